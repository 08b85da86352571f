#include <filesystem>

#include "core/main_loop.h"
#include "core/settings.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_fixtures.h"
#include "ui/pages/menu/credits_boot.h"
#include "ui/pages/shared/module_loops.h"
#include "ui/pages/page_harness.h"

namespace {

namespace fs = std::filesystem;
using namespace wave_fixtures;

class ControlLoopTest : public PageTest {
 protected:
  static StateHandlers ProgramHandlers() {
    StateHandlers handlers;
    handlers.createWindow = [] {
      StartDisplay();
      ApplyColourMode();
    };
    handlers.destroyWindow = StopDisplay;
    handlers.drawScreenFrame = DrawScreenFrame;
    handlers.mainMenu = RunMainMenu;
    handlers.credits = ShowCredits;
    handlers.bootSequence = RunBootSequence;
    for (const auto& [state, run] : {std::pair{STATE_VORTA, &RunVortaModule}, {STATE_XFORM, RunXformModule},
                                     {STATE_SLOOP, RunSloopModule}, {STATE_XMRPH, RunXmrphModule},
                                     {STATE_RECBIN, RunRecycleBinModule}, {STATE_UTILITY, RunUtilityModule}}) {
      handlers.modules[state] = run;
    }
    return handlers;
  }
};

TEST_F(ControlLoopTest, FirstStartEveryModuleAndExit) {
  StopDisplay();
  Headless().texts.clear();
  ScriptWait(8000);  // credits box and boot report
  for (int column : {0, 1, 2, 3, 6, 7}) Press({column, Lower(11)});  // each module, left by iMENU<>
  PressLower(11);  // iEXIT
  gApp.programState = STATE_FIRST_START;
  EXPECT_EQ(RunStateMachine(gApp, ProgramHandlers()), STATE_EXIT);
  EXPECT_TRUE(DrawnAll({"CREDITS", ">PERFORMING INITIAL FILE TESTS:", ">PREPARATIONS COMPLETE, STARTING SONIC-LOOM..."}));
  const std::pair<const char*, size_t> titles[] = {
      {"MAIN MENU ***", 7}, {"SYSTEM SETTINGS ***", 4}, {"RECYCLE BIN ***", 1}, {"SYSTEM PARAMETER SETTINGS ***", 1}};
  for (const auto& [title, count] : titles) EXPECT_EQ(TextsContaining(title).size(), count) << title;
  EXPECT_EQ(ReadAllBytes(SettingsFilePath(gApp.installDir)).size(), 39936u);
  for (int category = 0; category < kCategoryCount; ++category) {
    EXPECT_TRUE(!IsCategoryInUse(category) || fs::is_directory(CategoryFolderPath(gApp, category))) << category;
  }
}

TEST_F(ControlLoopTest, ResizeTwiceReturnsToTheFirstModeAndWritesTheSettingsEachTime) {
  ASSERT_EQ(gApp.settings.fullScreen, 0);
  const int closesBefore = Headless().windowCloses;
  Press({8, 8, Lower(11)});  // RESIZE twice
  gApp.programState = STATE_MAIN_MENU;
  EXPECT_EQ(RunStateMachine(gApp, ProgramHandlers()), STATE_EXIT);
  EXPECT_EQ(gApp.settings.fullScreen, 0);
  EXPECT_EQ(Headless().windowCloses - closesBefore, 3);  // two resizes and the exit
  EXPECT_EQ(DrawnCount("FULLSCREEN"), 1);
  const std::vector<uint8_t> image = ReadAllBytes(SettingsFilePath(gApp.installDir));
  ASSERT_EQ(image.size(), 39936u);
  EXPECT_EQ(image[4], 0);  // window mode stored
}

TEST_F(ControlLoopTest, BootSequenceSortsLooseFilesAndCountsFolders) {
  HandWave sample;
  sample.frames = 20000;
  WriteAllBytes(gApp.installDir + "/LOOSE.WAV", BuildWave(sample));
  WriteAllBytes(gApp.installDir + "/readme.txt", {1, 2, 3});
  RunBootSequence();
  EXPECT_TRUE(fs::exists(CategoryFilePath(gApp, kCategorySample, "LOOSE.WAV")));
  EXPECT_TRUE(fs::exists(gApp.installDir + "/readme.txt"));
  EXPECT_TRUE(DrawnAll({"1 DONE", "01 SAMPLES <WAV>", "1 FILES", "0 DEVICE<S> FOUND", "NO FILES TO REPLACE",
                        ">LOOKING FOR UPDATES:"}));
  const auto first = TextsContaining("00 CURRENTLY UNRECOGNIZED FILES");
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(std::pair(first[0].x, first[0].y), std::pair(238, 104));
  EXPECT_EQ(CountFolderFiles(gApp.installDir + "/no such folder"), -1);
}

}  // namespace
