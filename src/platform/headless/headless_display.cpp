// The test display: a frame buffer in memory, a virtual clock, and an input
// script that is played as the clock advances, through the same window-event
// notes the real display thread uses.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/headless/headless_platform.h"
#include "platform/window.h"
#include "platform/window_link.h"

WindowOpenResult OpenDisplayWindow(const WindowRequest& request, DisplayLayout& layout) {
  HeadlessPlatform& headless = Headless();
  ++headless.windowOpens;
  if (headless.windowThreadFails) return WindowOpenResult::ThreadFailed;
  if (headless.windowCreationFails) return WindowOpenResult::WindowFailed;
  ResetWindowLink(headless.clockMillis);
  layout = LayOutDisplay(headless.screen.width, headless.screen.height, request.fullScreen);
  SetUpFrameBuffer(Link().frame, layout);
  Link().focused = true;
  Link().windowX = request.windowX;
  Link().windowY = request.windowY;
  headless.windowOpen = true;
  headless.windowTitle = request.title;
  headless.icon = request.icon;
  return WindowOpenResult::Ready;
}

void CloseDisplayWindow(bool) {
  HeadlessPlatform& headless = Headless();
  if (!headless.windowOpen) return;
  headless.windowOpen = false;
  ++headless.windowCloses;
  ReleaseFrameBuffer(Link().frame);
}

void PushFrameRect(const PixelRect& deviceRect) {
  if (deviceRect.Empty()) return;
  Headless().pushes.push_back(deviceRect);
}

void SetWindowIcon(const IconImage& icon) {
  Headless().icon = icon;
  ++Headless().iconChanges;
}

bool SystemScreenSaverConfigured() { return Headless().systemSaverConfigured; }

void RecordDrawnText(int x, int y, std::string_view text, Colour ink, Colour paper) {
  HeadlessPlatform& headless = Headless();
  if (headless.recordTexts) headless.texts.push_back({x, y, std::string(text), ink, paper});
}

// --- Script building.

namespace {

void Append(InputStep step, int64_t after) {
  HeadlessPlatform& headless = Headless();
  step.dueMillis = std::max(headless.lastScriptDue, headless.clockMillis) + std::max<int64_t>(after, 0);
  headless.lastScriptDue = step.dueMillis;
  headless.script.push_back(std::move(step));
}

InputStep Step(InputStep::Kind kind) {
  InputStep step;
  step.kind = kind;
  return step;
}

InputStep KeyStep(InputStep::Kind kind, int key) {
  InputStep step = Step(kind);
  step.key = key;
  return step;
}

InputStep MouseStep(InputStep::Kind kind, int x, int y) {
  InputStep step = Step(kind);
  step.x = x;
  step.y = y;
  return step;
}

}  // namespace

void ScriptWait(int64_t millis) { Append(Step(InputStep::Kind::Wait), millis); }
void ScriptKeyDown(int key, int64_t after) { Append(KeyStep(InputStep::Kind::KeyDown, key), after); }
void ScriptKeyUp(int key, int64_t after) { Append(KeyStep(InputStep::Kind::KeyUp, key), after); }

void ScriptKeyPress(int key, int64_t holdMillis) {
  ScriptKeyDown(key);
  ScriptKeyUp(key, holdMillis);
  ScriptWait(holdMillis);
}

void ScriptKeyPressWith(int modifier, int key, int64_t holdMillis) {
  ScriptKeyDown(modifier);
  ScriptKeyDown(key, 5);
  ScriptKeyUp(key, holdMillis);
  ScriptKeyUp(modifier, 5);
  ScriptWait(holdMillis);
}

void ScriptType(std::string_view text, int64_t gapMillis) {
  for (char character : text) {
    InputStep step = Step(InputStep::Kind::Characters);
    step.text = std::string(1, character);
    Append(std::move(step), gapMillis);
  }
}

void ScriptMouseMove(int x, int y, int64_t after) { Append(MouseStep(InputStep::Kind::MouseMove, x, y), after); }
void ScriptLeftDown(int x, int y, int64_t after) { Append(MouseStep(InputStep::Kind::LeftDown, x, y), after); }
void ScriptLeftUp(int x, int y, int64_t after) { Append(MouseStep(InputStep::Kind::LeftUp, x, y), after); }

void ScriptClick(int x, int y, int64_t holdMillis) {
  ScriptMouseMove(x, y);
  ScriptLeftDown(x, y, 5);
  ScriptLeftUp(x, y, holdMillis);
  ScriptWait(holdMillis);
}

void ScriptDrag(int x0, int y0, int x1, int y1, int steps, int64_t stepMillis) {
  ScriptMouseMove(x0, y0);
  ScriptLeftDown(x0, y0, 5);
  const int count = std::max(steps, 1);
  for (int i = 1; i <= count; ++i) {
    ScriptMouseMove(x0 + (x1 - x0) * i / count, y0 + (y1 - y0) * i / count, stepMillis);
  }
  ScriptLeftUp(x1, y1, stepMillis);
  ScriptWait(stepMillis);
}

void ScriptCloseRequest(int64_t after) { Append(Step(InputStep::Kind::Close), after); }

void ScriptFocus(bool hasFocus, int64_t after) {
  InputStep step = Step(InputStep::Kind::Focus);
  step.flag = hasFocus;
  Append(std::move(step), after);
}

// --- Playing the script on the virtual clock.

namespace {

void Play(const InputStep& step, int64_t now) {
  const FrameBuffer& frame = Link().frame;
  const int clientX = step.x - frame.left;
  const int clientY = step.y - frame.top;
  switch (step.kind) {
    case InputStep::Kind::Wait:
      break;
    case InputStep::Kind::KeyDown:
      NoteKeyDown(step.key, now);
      // As on the real display: these keys also type their control character.
      if (step.key == kKeyBackspace || step.key == kKeyReturn || step.key == kKeyEscape) {
        NoteCharacter(static_cast<uint8_t>(step.key));
      }
      break;
    case InputStep::Kind::KeyUp:
      NoteKeyUp(step.key);
      break;
    case InputStep::Kind::Characters:
      for (char character : step.text) NoteCharacter(static_cast<uint8_t>(character));
      break;
    case InputStep::Kind::MouseMove:
      NoteMouse(kMouseMove, clientX, clientY, now);
      break;
    case InputStep::Kind::LeftDown:
      NoteMouse(kMouseLeftDown, clientX, clientY, now);
      break;
    case InputStep::Kind::LeftUp:
      NoteMouse(kMouseLeftUp, clientX, clientY, now);
      break;
    case InputStep::Kind::Close:
      NoteCloseRequest();
      break;
    case InputStep::Kind::Focus:
      NoteFocus(step.flag);
      break;
  }
}

void GuardAgainstStuckPage() {
  HeadlessPlatform& headless = Headless();
  if (!headless.script.empty()) return;
  if (headless.clockMillis - headless.scriptRanOutAt <= headless.stuckLimitMillis) return;
  std::fprintf(stderr,
               "headless display: the input script ran out an hour of virtual time ago and the page is "
               "still waiting for input\n");
  std::abort();
}

// Moves the virtual clock up to `until`, playing the steps that fall due.
// With stopAtInput the clock stops at the first input message played.
void Advance(int64_t until, bool stopAtInput) {
  HeadlessPlatform& headless = Headless();
  while (!headless.script.empty() && headless.script.front().dueMillis <= until) {
    const InputStep step = headless.script.front();
    headless.script.pop_front();
    headless.clockMillis = std::max(headless.clockMillis, step.dueMillis);
    CheckIdleTimer(headless.clockMillis);
    Play(step, headless.clockMillis);
    if (headless.script.empty()) headless.scriptRanOutAt = headless.clockMillis;
    if (stopAtInput && step.kind != InputStep::Kind::Wait) return;
  }
  headless.clockMillis = std::max(headless.clockMillis, until);
  CheckIdleTimer(headless.clockMillis);
  GuardAgainstStuckPage();
}

}  // namespace

int64_t NowMillis() { return Headless().clockMillis; }

void SleepMillis(int milliseconds) { Advance(Headless().clockMillis + std::max(milliseconds, 0), false); }

void WaitForInput(int timeoutMillis) { Advance(Headless().clockMillis + std::max(timeoutMillis, 0), true); }

bool WaitForCharacter(uint8_t& character, int timeoutMillis) {
  const int64_t until = Headless().clockMillis + std::max(timeoutMillis, 0);
  while (true) {
    if (PopCharacter(character)) return true;
    if (Link().closeRequested || Headless().clockMillis >= until) return false;
    Advance(until, true);
  }
}

LocalTime QueryLocalTime() {
  const HeadlessPlatform& headless = Headless();
  const LocalTime& start = headless.localTimeAtStart;
  int64_t millis = ((static_cast<int64_t>(start.hour) * 60 + start.minute) * 60 + start.second) * 1000 +
                   start.millisecond + headless.clockMillis;
  const int64_t day = 24LL * 3600 * 1000;
  LocalTime time;
  time.dayOfMonth = start.dayOfMonth + static_cast<int>(millis / day);
  millis %= day;
  time.hour = static_cast<int>(millis / 3600000);
  time.minute = static_cast<int>(millis / 60000 % 60);
  time.second = static_cast<int>(millis / 1000 % 60);
  time.millisecond = static_cast<int>(millis % 1000);
  return time;
}

// --- Reading the result.

Colour CanvasPixel(int x, int y) {
  FrameBuffer& frame = Link().frame;
  const int deviceX = x - frame.left;
  const int deviceY = y - frame.top;
  if (deviceX < 0 || deviceY < 0 || deviceX >= frame.width || deviceY >= frame.height) return 0;
  return frame.pixels[static_cast<size_t>(deviceY) * static_cast<size_t>(frame.width) + static_cast<size_t>(deviceX)];
}

std::vector<DrawnText> TextsContaining(std::string_view piece) {
  std::vector<DrawnText> found;
  for (const DrawnText& text : Headless().texts) {
    if (text.text.find(piece) != std::string::npos) found.push_back(text);
  }
  return found;
}

bool SaveCanvasImage(const std::string& path) {
  FrameBuffer& frame = Link().frame;
  return WritePngImage(path, frame.width, frame.height, frame.pixels);
}
