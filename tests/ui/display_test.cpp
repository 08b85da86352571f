#include "ui/display.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <tuple>

#include "core/random.h"
#include "core/settings.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_fixtures.h"
#include "ui/drop_import.h"
#include "ui/message_line.h"
#include "ui/screen_saver.h"
#include "ui/ui_fixture.h"

using DisplayTest = UiTest;

// Destroying the window writes the settings with its position; full screen keeps the stored one.
TEST_F(DisplayTest, DestroyingTheWindowWritesTheSettingsWithThePosition) {
  EXPECT_TRUE(Headless().windowOpen);
  EXPECT_EQ(Headless().windowTitle, "Sonic-Loom 2.27");
  struct Case { uint16_t fullScreen; int16_t storedX, windowX, windowY, writtenX, writtenY; };
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
    EXPECT_FALSE(Headless().windowOpen || gApp.windowExists);
    const std::vector<uint8_t> file = ReadAllBytes(folder / "system/sonicloom_system.dat");
    ASSERT_EQ(file.size(), kSettingsFileBytes);
    const SettingsBlock block = DecodeSettingsBlock(file.data());
    EXPECT_EQ(std::tuple(block.windowX, block.windowY, block.fullScreen), std::tuple(c.writtenX, c.writtenY, c.fullScreen));
    OpenDisplay();
  }
}

// A close request ends the process at the next poll, settings written; not while closing is not allowed.
TEST_F(DisplayTest, CloseRequestsAndWindowFailuresEndTheProcess) {
  EXPECT_EXIT(
      {
        gApp.settings.colourMode = 2;
        ScriptCloseRequest(100);
        LoopFor(10000);
      },
      ::testing::ExitedWithCode(kHeadlessExitBase), "");
  const std::vector<uint8_t> file = ReadAllBytes(folder / "system/sonicloom_system.dat");
  ASSERT_EQ(file.size(), kSettingsFileBytes);
  EXPECT_EQ(DecodeSettingsBlock(file.data()).colourMode, 2);
  SetCloseAllowed(false);
  ScriptCloseRequest(10);
  LoopFor(200);
  EXPECT_FALSE(Link().closeRequested);
  SetCloseAllowed(true);
  StopDisplay();
  Headless().windowThreadFails = true;
  EXPECT_EXIT(StartDisplay(), ::testing::ExitedWithCode(kHeadlessExitBase), "Error creating window thread");
  Headless().windowThreadFails = false;
  Headless().windowCreationFails = true;
  EXPECT_EXIT(StartDisplay(), ::testing::ExitedWithCode(kHeadlessExitBase), "Thread failure");
  Headless().windowCreationFails = false;
  OpenDisplay();
}

// A drop of three files delivered as SDL would, imported by the next idle step of a page.
TEST_F(DisplayTest, ADropOfThreeFilesImportsTwoAndReportsTheRefusedOne) {
  const auto namesIn = [](const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
  };
  const TempFolder sources;
  WriteAllBytes(sources / "take 48k.wav",
                wave_fixtures::BuildWave({.channels = 2, .sampleRate = 48000, .frames = 48000}));
  WriteAllBytes(sources / "ready.wav", wave_fixtures::BuildWave({.channels = 1, .sampleRate = 44100, .frames = 44100}));
  WriteAllBytes(sources / "notes.wav", {'n', 'o', 't', 'e', 's'});
  const uint64_t serial = LibraryImportSerial();
  NoteDropBegin();
  for (const char* name : {"take 48k.wav", "ready.wav", "notes.wav"}) NoteDroppedPath(sources / name);
  EXPECT_FALSE(DropsPending());  // not before the drop is complete
  NoteDropComplete();
  ASSERT_TRUE(DropsPending());
  IdleTick();
  EXPECT_FALSE(DropsPending());
  EXPECT_EQ(LibraryImportSerial(), serial + 1);
  EXPECT_EQ(namesIn(CategoryFolderPath(gApp, kCategorySample)), (std::set<std::string>{"TAKE_48K.WAV", "READY.WAV"}));
  EXPECT_EQ(namesIn(sources.path).size(), 3u);
  EXPECT_TRUE(Shown("MESSAGE: 2 FILES IMPORTED, 1 REFUSED <UNSUPPORTED AUDIO FORMAT>"));
}

class SaverTest : public UiTest {
 protected:
  void Prepare() override { gApp.settings.fullScreen = 1; }
};

// The restore puts the page back; it copies only what differs from the background, which takes the brush.
TEST_F(SaverTest, StartsAfterFifteenIdleMinutesInFullScreenRestoresThePageAndSwallowsTheWakingKey) {
  SeedRandom(7);
  DrawScreenFrame();
  DrawPageHeader("MAIN MENU", "0.0.0", true);
  SetButton(0, 0, "fKEY");
  SetButton(11, 1, "iEXIT");
  uint8_t message = kMsgDone;
  ShowMessage(message);
  std::vector<Colour> page(kCanvasPixels), after(kCanvasPixels);
  SaveScreen(page, false);
  ScriptWait(kIdleTimerMillis + 3000);
  ScriptKeyDown(kKeyF1);  // wakes the saver
  ScriptType("z", 10);
  ScriptKeyUp(kKeyF1, 500);
  ScriptWait(1000);
  EXPECT_EQ(LoopFor(kIdleTimerMillis - 1000), 0);
  EXPECT_TRUE(TextsContaining(" SONIC-LOOM 2.27 ").empty());
  EXPECT_EQ(LoopFor(6000), 0);  // the key that ended the saver did nothing else
  EXPECT_GT(TextsContaining(" SONIC-LOOM 2.27 ").size(), 50u);  // about 3 s of 30 ms steps
  EXPECT_TRUE(Shown("RESTORING SCREEN..."));
  EXPECT_FALSE(Link().cursorHidden);
  EXPECT_FALSE(CharacterQueued());  // typed while restoring: dropped
  SaveScreen(after, false);
  EXPECT_EQ(after, page);  // the page came back
  ScriptKeyPress(kKeyF1);  // the next press works again
  EXPECT_EQ(LoopFor(500), 1);
  SetPaper(Palette(kFace));
  RestoreScreen(page);
  ExpectPixels({{500, 400, Palette(kFace)}, {864, 3, Palette(kText)}});
  SetPaper(Palette(kBackground));
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
