#include "ui/screen_saver.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/checked_alloc.h"
#include "core/random.h"
#include "platform/clock.h"
#include "ui/message_line.h"
#include "ui/ui_fixture.h"

namespace {

class SaverTest : public UiTest {
 protected:
  void Prepare() override { gApp.settings.fullScreen = 1; }

  void DrawSomething() {
    DrawScreenFrame();
    DrawPageHeader("MAIN MENU", "0.0.0", true);
    SetButton(11, 1, "iEXIT");
    uint8_t message = kMsgDone;
    ShowMessage(message);
  }

  std::vector<Colour> Canvas() {
    std::vector<Colour> pixels;
    CheckedAlloc(pixels, kCanvasPixels);
    SaveScreen(pixels, false);
    return pixels;
  }

  // Runs a standard loop for the given time; counts the buttons reported.
  int LoopFor(int64_t millis) {
    int buttons = 0;
    const int64_t until = NowMillis() + millis;
    while (NowMillis() < until) {
      uint8_t code = kNoEvent;
      if (PollInput(true, false) && TranslateButton(code) != kNoEvent) ++buttons;
      IdleTick();
    }
    return buttons;
  }
};

}  // namespace

TEST_F(SaverTest, StartsAfterFifteenIdleMinutesInFullScreenAndSwallowsTheWakingKey) {
  SeedRandom(7);
  DrawSomething();
  SetButton(0, 0, "fKEY");
  const std::vector<Colour> page = Canvas();
  ScriptWait(kIdleTimerMillis + 3000);
  ScriptKeyDown(kKeyF1);  // wakes the saver
  ScriptType("z", 10);
  ScriptKeyUp(kKeyF1, 500);
  ScriptWait(1000);
  EXPECT_EQ(LoopFor(kIdleTimerMillis - 1000), 0);
  EXPECT_TRUE(TextsContaining(" SONIC-LOOM 2.27 ").empty());
  EXPECT_EQ(LoopFor(6000), 0);  // the key that ended the saver did nothing else
  const auto walk = TextsContaining(" SONIC-LOOM 2.27 ");
  EXPECT_GT(walk.size(), 50u);  // about 3 s of 30 ms steps
  EXPECT_FALSE(TextsContaining("RESTORING SCREEN...").empty());
  EXPECT_FALSE(Link().cursorHidden);
  EXPECT_FALSE(CharacterQueued());  // typed while restoring: dropped
  EXPECT_EQ(Canvas(), page);  // the page came back

  ScriptKeyPress(kKeyF1);  // the next press works again
  EXPECT_EQ(LoopFor(500), 1);
}

// Never in window mode, with the setting off, or when the desktop has a saver of its own.
TEST_F(SaverTest, NeverStartsInWindowModeWithTheSettingOffOrADesktopSaver) {
  const std::function<void()> setups[] = {[] { gApp.settings.fullScreen = 0; },
                                          [] { gApp.settings.screenSaverOn = 0; },
                                          [] { Headless().systemSaverConfigured = true; }};
  for (const auto& setup : setups) {
    StopDisplay();
    gApp.settings.fullScreen = 1;
    gApp.settings.screenSaverOn = 1;
    setup();
    OpenDisplay();
    ScriptWait(kIdleTimerMillis + 5000);
    LoopFor(kIdleTimerMillis + 6000);
    EXPECT_TRUE(TextsContaining(" SONIC-LOOM 2.27 ").empty());
  }
}

TEST_F(SaverTest, RestorePutsBackWhatDiffersFromTheBackground) {
  DrawSomething();
  const std::vector<Colour> saved = Canvas();
  SetPaper(Palette(kFace));
  FillBox(0, 0, 1024, 768);
  SetPaper(Palette(kBackground));
  RestoreScreen(saved);
  EXPECT_EQ(Canvas(), saved);
  // With another brush the background pixels take the brush.
  SetPaper(Palette(kFace));
  RestoreScreen(saved);
  ExpectPixels({{500, 400, Palette(kFace)}, {864, 3, Palette(kText)}});
  SetPaper(Palette(kBackground));
}
