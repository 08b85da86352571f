#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "platform/window_link.h"

// Button codes: 1-12 the upper buttons (F1-F12), 13-24 the lower ones
// (CTRL or ESC with F1-F12, or a click); kNoEvent when none. Pages get
// typed events (ui/page_event.h).
inline constexpr uint8_t kNoEvent = 100;
inline constexpr uint16_t kNoKey = 252;  // HeldKey when the mouse is the source

inline constexpr int kPressFeedbackMillis = 100;
inline constexpr int kIdleTickMillis = 2;
inline constexpr int kFastStepMillis = 20;
inline constexpr int kSlowStepMillis = 150;
inline constexpr int kListRepeatMillis = 150;
inline constexpr int kMouseKindsFlushed = 11;  // mouse move .. wheel

// The keys PollInput scans, in this order (the order of presses comes first).
inline constexpr std::array<int, 18> kPolledKeys = {112, 113, 114, 115, 116, 117, 118, 119, 120,
                                                     121, 122, 123, kKeyLeft, kKeyUp, kKeyRight, kKeyDown,
                                                     kKeyLetterR, kKeyDigit0};

struct InputState {
  uint16_t heldKey = kNoKey;  // found down by the last PollInput and not yet seen released
  bool clickPolled = false;   // the last PollInput reported a click
  bool pressModifier = false; // CTRL or ESC was down when heldKey went down
  int playColumn = -1;        // the marked play button of the lower row
  std::string playLabel;
};

extern InputState gInput;

// A newly pressed polled key or a pending left click. A key is reported
// once per press; while one polled key is held no other is noticed.
bool PollInput(bool clearMessage, bool skip);

// Turns the pending key or click into a ButtonCode, with press feedback.
// A code other than kNoEvent is returned unchanged.
uint8_t TranslateButton(uint8_t& code);

// The latest click lies on one of the two rows of the button bar.
bool ClickOnButtonBar();

bool ButtonStillHeld();
bool LeftReleased();
bool ClickPending();
bool ModifierHeld();  // CTRL or ESC
bool KeyDown(int key);
void FlushMouse();
void FlushChars();
// The next typed character, waiting as long as it takes.
uint8_t WaitChar();
// The idle step of every loop: waits briefly for input, runs the screen
// saver when due.
void IdleTick(uint8_t* code = nullptr, bool* flag = nullptr);
void MarkPlayButton(uint8_t code);

// Logical canvas position of the latest mouse message.
int MouseLogicalX();
int MouseLogicalY();

// Pause of a held-key step: 150 ms with a modifier (or when the field always
// steps slowly), else 20 ms; ends early when the key is released.
void PauseHeldStep(int key, bool alwaysSlow = false);

// Held-key stepping: step() once, then again after each pause while the
// held key stays down. True when any step changed the value.
template <typename Step>
bool RepeatWhileHeld(Step step, bool alwaysSlow = false) {
  const int key = gInput.heldKey;
  bool changed = false;
  do {
    changed = step() || changed;
    PauseHeldStep(key, alwaysSlow);
  } while (KeyDown(key));
  return changed;
}

// List repeat of the browser loops: an arrow held down is reported again
// every 150 ms while nothing plays.
void RepeatListKey(bool somethingPlays);
