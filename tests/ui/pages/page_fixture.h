#pragma once
#include <algorithm>
#include <string>
#include <string_view>

#include "core/random.h"
#include "platform/headless/headless_shell.h"
#include "ui/draw.h"
#include "ui/page_frame.h"
#include "audio/playback_devices.h"
#include "core/message_codes.h"
#include "ui/pages/main_menu.h"
#include "ui/pages/page_support.h"
#include "ui/pages/recycle_bin.h"
#include "ui/pages/utility_pages.h"
#include "ui/ui_fixture.h"

// A page test: the program-wide page memories back at their start values
// and the scripted shell emptied.
class PageTest : public UiTest {
 protected:
  void SetUp() override {
    gMenuClock = MenuClock{};
    gUtilitySelector = kParametersSelector;
    gParameterLine = 0;
    gUserPathLine = 0;
    gRecycleBinPage = 1;
    ResetHeadlessShell();
    UiTest::SetUp();
    UseSoundDevices({});
  }

  // The sound cards the start-up test finds.
  static void UseSoundDevices(std::vector<std::string> names) {
    Headless().sound.deviceNames = std::move(names);
    TestPlaybackDevices();
  }

  void TearDown() override {
    ReleasePlayback();
    UiTest::TearDown();
    ResetHeadlessShell();
  }

  // Exactly this text was drawn at some time.
  static bool Drawn(std::string_view text) {
    const auto& texts = Headless().texts;
    return std::any_of(texts.begin(), texts.end(), [&](const DrawnText& t) { return t.text == text; });
  }

  static int DrawnCount(std::string_view text) {
    const auto& texts = Headless().texts;
    return static_cast<int>(std::count_if(texts.begin(), texts.end(), [&](const DrawnText& t) { return t.text == text; }));
  }

  // The value last drawn into a status field (right-aligned in its box).
  static std::string StatusValue(int column, int row) {
    const int right = kStatusColumnX[column] + kStatusValueRight;
    const auto& texts = Headless().texts;
    for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
      if (it->y == kStatusRowY[row] && it->x + MeasureText(it->text).width == right) return it->text;
    }
    return "<none>";
  }

  static std::string Message(std::string_view text) { return "MESSAGE: " + std::string(text); }

  // Presses held longer than the button's 100 ms press feedback, so that
  // the next press is seen as a new one.
  static constexpr int64_t kHoldMillis = 150;
  // A press of the lower row's button at that column (CTRL held).
  static void PressLower(int column) { ScriptKeyPressWith(kKeyControl, FunctionKey(column + 1), kHoldMillis); }
  static void PressUpper(int column) { ScriptKeyPress(FunctionKey(column + 1), kHoldMillis); }
  // A mouse click on a button.
  static void ClickButton(int column, int row) { ScriptClick(kButtonLeft[column] + 40, kButtonTop[row] + 12, 60); }
};
