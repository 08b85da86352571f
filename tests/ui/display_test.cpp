#include "ui/display.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/settings.h"
#include "platform/clock.h"
#include "ui/ui_fixture.h"

using DisplayTest = UiTest;

// Destroying the window writes the settings with the window's position; in
// full screen the stored window position is kept.
TEST_F(DisplayTest, DestroyingTheWindowWritesTheSettingsWithThePosition) {
  EXPECT_TRUE(Headless().windowOpen);
  EXPECT_EQ(Headless().windowTitle, "Sonic-Loom 2.27");
  struct Case {
    uint16_t fullScreen;
    int16_t storedX, windowX, windowY;
    int16_t writtenX, writtenY;
  };
  for (const Case& c : {Case{0, 0, 123, -45, 123, -45}, Case{1, 40, 0, 0, 40, 0}}) {
    SCOPED_TRACE(c.fullScreen);
    StopDisplay();
    gApp.settings.fullScreen = c.fullScreen;
    gApp.settings.windowX = c.storedX;
    gApp.settings.windowY = 0;
    OpenDisplay();
    EXPECT_TRUE(gApp.windowExists);
    Link().windowX = c.windowX;
    Link().windowY = c.windowY;
    StopDisplay();
    EXPECT_FALSE(Headless().windowOpen);
    EXPECT_FALSE(gApp.windowExists);
    const std::vector<uint8_t> file = ReadAllBytes(folder / "system/sonicloom_system.dat");
    ASSERT_EQ(file.size(), kSettingsFileBytes);
    const SettingsBlock block = DecodeSettingsBlock(file.data());
    EXPECT_EQ(std::tuple(block.windowX, block.windowY, block.fullScreen), std::tuple(c.writtenX, c.writtenY, c.fullScreen));
    OpenDisplay();
  }
}

TEST_F(DisplayTest, CloseRequestEndsTheProcessAtTheNextPollWithTheSettingsWritten) {
  const std::string settingsPath = folder / "system/sonicloom_system.dat";
  EXPECT_EXIT(
      {
        gApp.settings.colourMode = 2;
        ScriptCloseRequest(100);
        while (true) {
          PollInput(true, false);
          IdleTick();
        }
      },
      ::testing::ExitedWithCode(kHeadlessExitBase), "");
  const std::vector<uint8_t> file = ReadAllBytes(settingsPath);
  ASSERT_EQ(file.size(), kSettingsFileBytes);
  EXPECT_EQ(DecodeSettingsBlock(file.data()).colourMode, 2);
}

TEST_F(DisplayTest, CloseRequestIsIgnoredWhileClosingIsNotAllowed) {
  SetCloseAllowed(false);
  ScriptCloseRequest(10);
  for (int pass = 0; pass < 100; ++pass) {
    PollInput(true, false);
    IdleTick();
  }
  EXPECT_FALSE(Link().closeRequested);
  SetCloseAllowed(true);
}

TEST_F(DisplayTest, WindowFailuresAreFatal) {
  StopDisplay();
  Headless().windowThreadFails = true;
  EXPECT_EXIT(StartDisplay(), ::testing::ExitedWithCode(kHeadlessExitBase), "Error creating window thread");
  Headless().windowThreadFails = false;
  Headless().windowCreationFails = true;
  EXPECT_EXIT(StartDisplay(), ::testing::ExitedWithCode(kHeadlessExitBase), "Thread failure");
  Headless().windowCreationFails = false;
  OpenDisplay();
}

TEST_F(DisplayTest, IconsFollowTheColourMode) {
  Headless().iconChanges = 0;
  gApp.settings.colourMode = 3;
  ApplyColourMode();
  EXPECT_EQ(Headless().iconChanges, 1);
  ASSERT_EQ(Headless().icon.size, 32);
  EXPECT_EQ(Headless().icon.pixels[16 * 32 + 2], 0xFF000000u | Rgb(0, 0, 110));  // LCD face colour
  gApp.programState = STATE_FIRST_START;  // the first window got its icon at creation
  ApplyColourMode();
  EXPECT_EQ(Headless().iconChanges, 1);
}
