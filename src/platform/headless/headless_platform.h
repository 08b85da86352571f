#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/frame_buffer.h"
#include "platform/host_facts.h"
#include "platform/process.h"
#include "platform/window.h"

// One scripted input message, played when the virtual clock reaches it.
struct InputStep {
  enum class Kind { Wait, KeyDown, KeyUp, Characters, MouseMove, LeftDown, LeftUp, Close, Focus };
  Kind kind = Kind::Wait;
  int64_t dueMillis = 0;
  int key = 0;
  std::string text;
  int x = 0;  // logical canvas coordinates
  int y = 0;
  bool flag = false;
};

// The test sound card: what the "system" answers, and what was played on
// it. Nothing plays by itself: the position moves when a test advances it,
// or with the virtual clock when framesPerMillisecond is set.
struct HeadlessSound {
  // What the sound system answers.
  std::vector<std::string> deviceNames{"Headless Output (Analog Stereo)"};
  bool listsDevices = true;               // false: only a default output, named defaultName
  std::string defaultName = "headless default";
  std::vector<int> refusingDevices;       // ids that fail to open
  std::vector<int> positionlessDevices;   // ids that open but report no position
  bool positionLost = false;              // the open device reports no position any more
  int failingTeardownCalls = 0;           // the next n break, reset or close calls fail
  bool teardownHangs = false;             // every break, reset and close call fails
  double framesPerMillisecond = 0;        // 44.1 makes the position follow the virtual clock

  // What the program did with it.
  bool open = false;
  int openId = 0;
  int opens = 0;
  int closes = 0;
  int drops = 0;
  int starts = 0;
  int loopBreaks = 0;
  int resets = 0;
  int64_t totalFrames = 0;                // of the last buffer handed over
  int64_t readyAtStart = 0;               // frames rendered when it started
  bool loop = false;                      // as handed over
  float gain = 0.0f;                      // the volume the card applied
  std::vector<float> played;              // interleaved stereo, as the card got it
  int64_t clockAtStart = 0;
  int64_t fedByClock = 0;
};

struct DrawnText {
  int x = 0;  // left edge after alignment, logical
  int y = 0;
  std::string text;
  Colour ink = 0;
  Colour paper = 0;
};

// The whole state of the test backend in one record: what the "system"
// answers, and what the program asked of it.
struct HeadlessPlatform {
  static HostFacts DefaultHost() {
    HostFacts facts;
    facts.physicalMemory = 8ULL << 30;
    facts.processorCount = 2;
    facts.nameKnown = true;
    facts.hostName = "testhost";
    return facts;
  }

  HostFacts host = DefaultHost();
  std::string executablePath = "/opt/sonic-loom/Sonic-Loom";
  ScreenSize screen{true, 1920, 1080};
  bool okCancelAnswer = true;

  struct Box {
    std::string caption;
    std::string text;
  };
  std::vector<Box> errorBoxes;
  std::vector<Box> questions;
  std::vector<PowerCommand> powerCommands;
  std::vector<std::string> restarts;

  // Display window.
  bool windowThreadFails = false;
  bool windowCreationFails = false;
  bool systemSaverConfigured = false;
  bool windowOpen = false;
  int windowOpens = 0;
  int windowCloses = 0;
  std::string windowTitle;
  IconImage icon;
  int iconChanges = 0;
  std::vector<PixelRect> pushes;  // device rectangles, in order
  bool recordTexts = true;
  std::vector<DrawnText> texts;

  // Virtual clock and the input script still to play.
  int64_t clockMillis = 0;
  LocalTime localTimeAtStart{12, 0, 0, 0, 15};
  std::deque<InputStep> script;
  int64_t lastScriptDue = 0;
  int64_t scriptRanOutAt = 0;
  // A page still waiting for input this long after the script ran out has
  // a test without a way out: the run is stopped with a message.
  int64_t stuckLimitMillis = 3600000;

  HeadlessSound sound;
};

// A test process that ends through EndProcess exits with this base plus
// the program's result, so an unexpected end never passes for success.
inline constexpr int kHeadlessExitBase = 100;

HeadlessPlatform& Headless();

// Back to the defaults above, between tests; also closes the window and
// empties the shared input record.
void ResetHeadless();

// --- Building an input script. Delays count from the previous step.
void ScriptWait(int64_t millis);
void ScriptKeyDown(int key, int64_t after = 0);
void ScriptKeyUp(int key, int64_t after = 0);
// Down, held for holdMillis, up, then a pause of the same length.
void ScriptKeyPress(int key, int64_t holdMillis = 40);
// Modifier (control or escape) held around a key press.
void ScriptKeyPressWith(int modifier, int key, int64_t holdMillis = 40);
void ScriptType(std::string_view text, int64_t gapMillis = 20);
void ScriptMouseMove(int x, int y, int64_t after = 0);
void ScriptLeftDown(int x, int y, int64_t after = 0);
void ScriptLeftUp(int x, int y, int64_t after = 0);
void ScriptClick(int x, int y, int64_t holdMillis = 40);
void ScriptDrag(int x0, int y0, int x1, int y1, int steps, int64_t stepMillis = 20);
void ScriptCloseRequest(int64_t after = 0);
void ScriptFocus(bool hasFocus, int64_t after = 0);

// --- The sound card.
// Plays the next frames of the current buffer into Headless().sound.played,
// as the real card's feeding thread would; returns the frames fed.
int64_t AdvanceHeadlessSound(int64_t frames);
// Frames rendered so far of the buffer that plays (what the card may read).
int64_t HeadlessReadyFrames();
// Back to no buffer and no device (part of ResetHeadless).
void ResetHeadlessSound();

// --- Reading the result.
// The colour of a logical canvas pixel; 0 outside the frame buffer.
Colour CanvasPixel(int x, int y);
// Texts drawn whose text contains the given piece.
std::vector<DrawnText> TextsContaining(std::string_view piece);
// Writes the frame buffer as a PNG file for a person to look at.
bool SaveCanvasImage(const std::string& path);
bool WritePngImage(const std::string& path, int width, int height, const std::vector<Colour>& pixels);
