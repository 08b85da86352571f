#include "ui/input.h"

#include "core/app_globals.h"
#include "platform/clock.h"
#include "ui/drop_import.h"
#include "ui/button_bar.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/message_line.h"
#include "ui/screen_saver.h"

InputState gInput;

namespace {

constexpr int kWaitCharSliceMillis = 100;
constexpr int kFirstFunctionKeyOffset = 111;  // F1 (112) gives button 1
constexpr int kButtonHeight = 25;
constexpr int kButtonWidth = 80;

void PressFeedback(uint8_t& code) {
  const int row = code >= 13 ? 1 : 0;
  const int column = code - 1 - 12 * row;
  const std::string& label = ButtonLabel(column, row);
  if (label.empty()) {
    code = kNoEvent;  // an empty button does nothing
    return;
  }
  if (ButtonKind(label) == 'p') return;
  DrawButtonLabel(column, row, PaletteColour(kBright));
  SleepMillis(kPressFeedbackMillis);
  DrawButtonLabel(column, row, PaletteColour(kText));
  RestoreNormalColours();
}

}  // namespace

int MouseLogicalX() { return MouseX(Link().lastMouse) + Link().frame.left; }
int MouseLogicalY() { return MouseY(Link().lastMouse) + Link().frame.top; }

bool PollInput(bool clearMessage, bool skip) {
  if (skip) return false;
  HonourCloseRequest();
  gInput.clickPolled = false;
  if (gApp.settings.shortcuts != 0 && Link().focused) {
    if (gInput.heldKey == kNoKey) {
      // Presses come in the order they were made, also those released
      // before this poll (during a button flash or a pause); a key whose
      // press was taken and that is still down is reported again only
      // after the loop let go of it (list repeat).
      KeyPress press;
      if (TakeKeyPress(kPolledKeys, true, press)) {
        gInput.heldKey = press.key;
        gInput.pressModifier = press.modifier;
        if (clearMessage) ClearMessageLine();
        return true;
      }
    } else if (!KeyIsDown(gInput.heldKey)) {
      gInput.heldKey = kNoKey;
    }
  } else {
    gInput.heldKey = kNoKey;
    DropKeyPresses();
  }
  if (!ClickPending()) return false;
  if (clearMessage) ClearMessageLine();
  gInput.clickPolled = true;
  return true;
}

uint8_t TranslateButton(uint8_t& code) {
  if (code != kNoEvent) return code;
  if (gInput.heldKey == kNoKey) {
    FlushMouse();
    const int x = MouseLogicalX() - 1;
    const int y = MouseLogicalY() - 1;
    for (int row = 0; row < kButtonRows; ++row) {
      if (y < kButtonTop[row] || y > kButtonTop[row] + kButtonHeight) continue;
      for (int column = 0; column < kButtonColumns; ++column) {
        if (x < kButtonLeft[column] || x > kButtonLeft[column] + kButtonWidth) continue;
        code = static_cast<uint8_t>(column + 1 + 12 * row);
        PressFeedback(code);
        return code;
      }
    }
    return code;
  }
  if (gInput.heldKey >= kKeyF1 && gInput.heldKey <= kKeyF12) {
    const bool lower = gInput.pressModifier || ModifierHeld();
    code = static_cast<uint8_t>(gInput.heldKey - kFirstFunctionKeyOffset + (lower ? 12 : 0));
    PressFeedback(code);
  }
  return code;
}

bool ClickOnButtonBar() {
  const int y = MouseLogicalY() - 1;
  for (int row = 0; row < kButtonRows; ++row) {
    if (y >= kButtonTop[row] && y <= kButtonTop[row] + kButtonHeight) return true;
  }
  return false;
}

bool ButtonStillHeld() {
  if (gInput.heldKey == kNoKey) return !LeftReleased();
  return KeyDown(gInput.heldKey) && ModifierHeld();
}

bool LeftReleased() { return MouseSlotFilled(kMouseLeftUp) || !Link().captured; }

bool ClickPending() { return MouseSlotFilled(kMouseLeftDown) || MouseSlotFilled(kMouseLeftDouble); }

bool ModifierHeld() { return KeyIsDown(kKeyControl) || KeyIsDown(kKeyEscape); }

bool KeyDown(int key) { return KeyIsDown(key); }

void FlushMouse() { FlushMouseSlots(kMouseKindsFlushed); }

void FlushChars() { DropCharacters(); }

uint8_t WaitChar() {
  uint8_t character = 0;
  while (true) {
    HonourCloseRequest();
    if (WaitForCharacter(character, kWaitCharSliceMillis)) return character;
  }
}

void IdleTick(uint8_t* code, bool* flag) {
  if (code) *code = kNoEvent;
  if (flag) *flag = false;
  FlushMouse();
  HonourCloseRequest();
  // Files dropped onto the window are imported from whatever page shows.
  ImportPendingDrops();
  WaitForInput(kIdleTickMillis);
  RunScreenSaverIfDue();
}

void MarkPlayButton(uint8_t code) {
  if (code < 13 || code > 24) return;
  const int column = code - 13;
  const std::string& label = ButtonLabel(column, 1);
  if (ButtonKind(label) != 'p') return;
  gInput.playColumn = column;
  gInput.playLabel = label;
  DrawButtonLabel(column, 1, PaletteColour(kBright));
  RestoreNormalColours();
}

void PauseHeldStep(int key, bool alwaysSlow) {
  const int pause = alwaysSlow || ModifierHeld() ? kSlowStepMillis : kFastStepMillis;
  const int64_t until = NowMillis() + pause;
  while (NowMillis() < until && KeyDown(key)) WaitForInput(static_cast<int>(until - NowMillis()));
}

void RepeatListKey(bool somethingPlays) {
  if (somethingPlays) return;
  if (gInput.heldKey != kKeyUp && gInput.heldKey != kKeyDown) return;
  SleepMillis(kListRepeatMillis);
  gInput.heldKey = kNoKey;
}
