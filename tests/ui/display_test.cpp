#include "ui/display.h"

#include <gtest/gtest.h>

#include "core/settings.h"
#include "platform/clock.h"
#include "ui/ui_fixture.h"

using DisplayTest = UiTest;

TEST_F(DisplayTest, DestroyingTheWindowWritesTheSettingsWithThePosition) {
  EXPECT_TRUE(Headless().windowOpen);
  EXPECT_EQ(Headless().windowTitle, "Sonic-Loom 2.27");
  EXPECT_TRUE(gApp.windowExists);
  Link().windowX = 123;
  Link().windowY = -45;
  StopDisplay();
  EXPECT_FALSE(Headless().windowOpen);
  EXPECT_FALSE(gApp.windowExists);
  const std::vector<uint8_t> file = ReadAllBytes(folder / "system/sonicloom_system.dat");
  ASSERT_EQ(file.size(), kSettingsFileBytes);
  const SettingsBlock block = DecodeSettingsBlock(file.data());
  EXPECT_EQ(block.windowX, 123);
  EXPECT_EQ(block.windowY, -45);
  OpenDisplay();
}

TEST_F(DisplayTest, FullScreenKeepsTheStoredWindowPosition) {
  StopDisplay();
  gApp.settings.fullScreen = 1;
  gApp.settings.windowX = 40;
  OpenDisplay();
  Link().windowX = 0;
  StopDisplay();
  const SettingsBlock block = DecodeSettingsBlock(ReadAllBytes(folder / "system/sonicloom_system.dat").data());
  EXPECT_EQ(block.windowX, 40);
  EXPECT_EQ(block.fullScreen, 1);
  OpenDisplay();
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
