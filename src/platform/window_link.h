#pragma once
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>
#include <span>

#include "platform/frame_buffer.h"

// Key numbers as the program polls them (the classic virtual-key numbers).
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyShift = 16;
inline constexpr int kKeyControl = 17;
inline constexpr int kKeyAlt = 18;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyDigit0 = 48;  // digits 48..57
inline constexpr int kKeyLetterA = 65;  // letters 65..90
inline constexpr int kKeyLetterR = 82;
inline constexpr int kKeyNumpad0 = 96;  // keypad digits 96..105
inline constexpr int kKeyF1 = 112;      // F1..F12 = 112..123
inline constexpr int kKeyF12 = 123;
constexpr int FunctionKey(int number) { return kKeyF1 + number - 1; }  // 1..12
inline constexpr int kKeyCount = 256;

// Mouse message kinds in their fixed order; each has a one-position slot.
enum MouseKind : int {
  kMouseMove = 0,
  kMouseLeftDown,
  kMouseLeftUp,
  kMouseLeftDouble,
  kMouseRightDown,
  kMouseRightUp,
  kMouseRightDouble,
  kMouseMiddleDown,
  kMouseMiddleUp,
  kMouseMiddleDouble,
  kMouseWheel,
  kMouseExtraDown,
  kMouseExtraUp,
  kMouseExtraDouble,
};
inline constexpr int kMouseKindCount = 14;

// The screen saver becomes due after this long without input.
inline constexpr int64_t kIdleTimerMillis = 900000;

// One key going down, with whether CTRL or ESC was down with it: a press
// released before the main thread looked is still acted on.
struct KeyPress {
  uint16_t key = 0;
  bool modifier = false;
};

// Everything the display thread and the main thread share. The display
// thread fills the input queues and the key table; the main thread draws
// into the frame buffer and empties the queues. Queues and slots are guarded
// by inputLock; the single flags are atomics.
struct WindowLink {
  FrameBuffer frame;

  std::mutex inputLock;
  std::condition_variable inputEvent;  // every input message, and a close request
  uint64_t inputSerial = 0;            // counts input messages
  std::deque<uint8_t> characters;
  std::vector<std::string> dropBatch;     // paths of a drop still arriving
  bool dropOpen = false;                  // between the start and the end of a drop
  std::vector<std::string> droppedPaths;  // whole drops waiting for the main thread
  std::deque<KeyPress> keyPresses;  // key-down transitions not yet taken by the main thread
  std::array<uint32_t, kMouseKindCount> mouseSlot{};
  std::array<bool, kMouseKindCount> mouseSlotFilled{};

  std::array<std::atomic<uint8_t>, kKeyCount> keyDown{};
  std::atomic<uint32_t> lastMouse{0};  // client x in the low 16 bits, y in the high 16 bits
  std::atomic<bool> captured{false};
  std::atomic<bool> focused{false};
  std::atomic<bool> saverDue{false};
  std::atomic<bool> saverAllowed{false};  // screen saver setting on and full screen
  std::atomic<bool> cursorHidden{false};
  std::atomic<bool> applianceMode{false};
  std::atomic<bool> closeAllowed{true};
  std::atomic<bool> closeRequested{false};
  std::atomic<uint8_t> repaintHold{0};
  std::atomic<int64_t> idleTimerStart{0};
  std::atomic<int> windowX{0};  // top-left of the window in window mode
  std::atomic<int> windowY{0};
};

WindowLink& Link();

// Back to an empty state before a window opens.
void ResetWindowLink(int64_t now);

uint32_t PackMousePosition(int x, int y);
int MouseX(uint32_t position);  // signed
int MouseY(uint32_t position);

// --- Display-thread side: both backends turn their window events into these.
void NoteKeyDown(int key, int64_t now);
void NoteKeyUp(int key);
void NoteCharacter(uint8_t character);
void NoteMouse(int kind, int clientX, int clientY, int64_t now);
void NoteFocus(bool hasFocus);
// A close request counts only while closing is allowed; the main thread acts
// on it at its next input poll.
void NoteCloseRequest();
// The idle timer: fires every 15 minutes after the last input; true when it
// fired now.
bool CheckIdleTimer(int64_t now);

// Files dropped onto the window: a drop starts, delivers its paths one by
// one and ends; the main thread sees a drop once it has ended. A path that
// comes without a start counts as a drop of its own.
void NoteDropBegin();
void NoteDroppedPath(const std::string& path);
void NoteDropComplete();

// --- Main-thread side.
bool PopCharacter(uint8_t& character);
bool CharacterQueued();
void DropCharacters();
bool MouseSlotFilled(int kind);
void FlushMouseSlots(int kindCount);  // the first kindCount kinds
bool KeyIsDown(int key);
// The oldest press of one of the keys not yet taken; else, when
// scanHeld, the first of the keys that is down (a press already taken but
// still held, reported again). False when neither.
bool TakeKeyPress(std::span<const int> keys, bool scanHeld, KeyPress& press);
void DropKeyPresses();
uint64_t InputSerial();
bool DropsPending();
std::vector<std::string> TakeDroppedPaths();
