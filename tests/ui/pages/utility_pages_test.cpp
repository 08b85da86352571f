#include <filesystem>

#include "files/category_root_move.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_fixtures.h"
#include "ui/pages/shared/module_loops.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/utility/utility_pages.h"

namespace {

namespace fs = std::filesystem;
using namespace wave_fixtures;

class UtilityTest : public PageHarness {
 protected:
  bool Has(int category, const std::string& name) {
    return fs::exists(CategoryFolderPath(gApp, category) + name);
  }
};

constexpr int kLineBack = 0;
constexpr int kLineForward = 1;
constexpr int kValue = 3;

TEST_F(UtilityTest, ParameterLinesCommentsAndDefaults) {
  PressUpper(kLineBack);  // 0 -> 7, wrapping
  PressLower(11);
  RunUtilityModule();
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
  EXPECT_FALSE(TextsContaining("SYSTEM PARAMETER SETTINGS ***").empty());
  EXPECT_TRUE(DrawnAll({"00: CRT GREEN", "[00 ... 03]", "[ON / OFF]", "[YES / NO]", "NO VALID DEVICE FOUND",
                        "- THIS OPTION CAN ONLY BE CHANGED IF THERE ARE 2 OR MORE DEVICES IN THE LIST"}));
  EXPECT_EQ(DrawnCount("ON"), 4);
  EXPECT_EQ(DrawnCount("YES"), 2);
  EXPECT_EQ(gKept.parameterLine, 7);
  // The marker of line 7.
  const auto markers = TextsContaining(">>>>>>");
  ASSERT_FALSE(markers.empty());
  EXPECT_EQ(markers.back().y, kListRowTop + kListRowStep * 7);
}

TEST_F(UtilityTest, ValueChangesEachLine) {
  const Colour greenBackground = PaletteColour(kBackground);
  // One value step on every line but 5 (force loop), then round to line 0.
  for (int line = 0; line < 8; ++line) {
    if (line != 5) PressUpper(kValue);
    if (line == 3) {
      PressUpper(kValue);  // shortcuts off: the key does nothing now
      ClickButton(3, 0);   // the mouse still works
      PressUpper(kValue);  // and the keys again: off
      ClickButton(3, 0);   // on
    }
    PressUpper(kLineForward);
  }
  PressLower(11);
  RunUtilityModule();
  const SettingsBlock& set = gApp.settings;
  EXPECT_EQ((std::array<int, 7>{set.colourMode, set.backlight, set.screenSaverOn, set.shortcuts, set.prelistenOn,
                                set.noUpdateLookup, set.noForceLoop}),
            (std::array<int, 7>{1, 0, 0, 1, 0, 1, 0}));
  EXPECT_EQ(gKept.parameterLine, 0);
  EXPECT_TRUE(DrawnAll({"01: CRT YELLOW", "OFF", "NO", "MESSAGE: NO DEVICE"}));
  EXPECT_NE(PaletteColour(kBackground), greenBackground);
  EXPECT_EQ(CanvasPixel(500, 120), PaletteColour(kBackground));
  EXPECT_EQ(ParameterValueText(0), "01: CRT YELLOW");
  gApp.settings.colourMode = 3;
  EXPECT_EQ(ParameterValueText(0), "03: LCD");
}

TEST_F(UtilityTest, WaveOutDeviceLineFollowsTheDeviceList) {
  UseSoundDevices({"Card A"});
  gKept.parameterLine = 7;
  PressUpper(kValue);
  PressLower(11);
  RunUtilityModule();
  EXPECT_TRUE(DrawnAll({"MESSAGE: SINGLE DEVICE", "[00 ... 00]", "00: CARD A"}));
  EXPECT_EQ(gApp.settings.playbackDeviceIndex, 0);

  UseSoundDevices({"Card A", "Card B (USB)"});
  Headless().texts.clear();
  PressUpper(kValue);
  PressLower(11);
  RunUtilityModule();
  EXPECT_EQ(gApp.settings.playbackDeviceIndex, 1);
  EXPECT_TRUE(DrawnAll({"[00 ... 01]", "01: CARD B <USB>", "CARD B <USB>"}));  // the last: "SOUND DEVICE:"
  EXPECT_TRUE(TextsContaining("MESSAGE: SINGLE").empty());
}

TEST_F(UtilityTest, ForceLoopLineResortsTheLibraryEachTime) {
  HandWave cycle;
  cycle.frames = 1000;  // mono 44.1 kHz, no loop data
  WriteAllBytes(CategoryFilePath(gApp, kCategoryUnrecognized, "CYCLE.WAV"), BuildWave(cycle));
  for (int i = 0; i < 5; ++i) PressUpper(kLineForward);
  PressUpper(kValue);
  PressLower(11);
  RunUtilityModule();
  EXPECT_EQ(gApp.settings.noForceLoop, 1);
  EXPECT_TRUE(DrawnAll({"MESSAGE: UPDATING FILE SYSTEM, PLEASE WAIT", "MESSAGE: DONE", "NO"}));
  EXPECT_TRUE(Has(kCategorySingleCycle, "CYCLE.WAV"));
  EXPECT_FALSE(Has(kCategoryUnrecognized, "CYCLE.WAV"));

  Headless().texts.clear();
  PressUpper(kValue);  // the line is remembered
  PressLower(11);
  RunUtilityModule();
  EXPECT_EQ(gApp.settings.noForceLoop, 0);
  EXPECT_TRUE(Drawn(Message("DONE")));
  EXPECT_TRUE(Has(kCategoryUnrecognized, "CYCLE.WAV"));
  EXPECT_FALSE(Has(kCategorySingleCycle, "CYCLE.WAV"));
}

TEST_F(UtilityTest, UtilityRemembersItsPage) {
  PressLower(1);   // fPATHS<>
  PressLower(11);
  RunUtilityModule();
  EXPECT_EQ(gKept.utilityScreen, 1);
  PressLower(0);   // fPARAM<>
  PressLower(11);
  RunUtilityModule();
  EXPECT_EQ(TextsContaining("USER PATH SETTINGS ***").size(), 2u);  // once on each visit
  EXPECT_EQ(gKept.utilityScreen, 0);
}

TEST_F(UtilityTest, UserPathsSetResetAndExplore) {
  TempFolder elsewhere;
  const std::string root = elsewhere.path;
  WriteAllBytes(CategoryFilePath(gApp, kCategoryUnrecognized, "JUNK.BIN"), {1, 2, 3});
  auto& shell = HeadlessShellRecord();
  shell.folderAnswers.push_back(std::nullopt);                     // nothing chosen
  shell.folderAnswers.push_back(gApp.installDir + "/data/inner");  // inside the program folder
  shell.folderAnswers.push_back(root + "/02 Single Cycles (WAV)");  // through a category folder
  shell.folderAnswers.push_back(root);
  gKept.utilityScreen = 1;
  PressUpper(4);           // fRESET<> without a user root
  for (int i = 0; i < 4; ++i) {
    PressUpper(3);  // fSET<>
    ScriptWait(1000);  // the folder move pauses at its end
  }
  PressUpper(11);          // EXPLORE
  PressUpper(4);           // fRESET<>
  PressUpper(11);          //   fNO
  PressLower(11);
  RunUtilityModule();
  EXPECT_TRUE(DrawnAll({"MESSAGE: NOTHING TO RESET", "MESSAGE: ABORTED",
                        "MESSAGE: INSTALL PATH CAN NOT BE SET AS USER DEFINED PATH, USE RESET<> INSTEAD",
                        "MESSAGE: CASCADING DIRECTORIES NOT ALLOWED", "MESSAGE: DONE", "MESSAGE: RESET TO DEFAULT?"}));
  ASSERT_EQ(shell.dialogs.size(), 4u);
  EXPECT_EQ(shell.dialogs[0].title, MoveFolderDialogTitle(kCategoryUnrecognized));
  EXPECT_EQ(gApp.folderUserPath[0], root + "/");
  EXPECT_TRUE(fs::exists(root + "/" + kFolderTable[0].folderName + "/JUNK.BIN"));
  EXPECT_TRUE(Drawn("USER DEFINED"));
  ASSERT_EQ(shell.explored.size(), 1u);
  EXPECT_EQ(shell.explored[0], CategoryFolderPath(gApp, kCategoryUnrecognized));
  EXPECT_EQ(shell.minimised, 1);

  Headless().texts.clear();
  PressUpper(4);   // fRESET<>
  PressUpper(10);  //   fYES
  ScriptWait(1000);
  PressLower(11);
  RunUtilityModule();
  EXPECT_TRUE(Drawn(Message("DONE")));
  EXPECT_TRUE(gApp.folderUserPath[0].empty());
  EXPECT_TRUE(fs::exists(CategoryFilePath(gApp, kCategoryUnrecognized, "JUNK.BIN")));
}

TEST_F(UtilityTest, UserPathLinesWrapOverTheUsedSlots) {
  gKept.utilityScreen = 1;
  PressUpper(kLineBack);
  PressLower(11);
  RunUtilityModule();
  int used = 0;
  for (int category = 0; category < kCategoryCount; ++category) used += IsCategoryInUse(category);
  EXPECT_EQ(gKept.userPathLine, used - 1);
  EXPECT_EQ(DrawnCount("DEFAULT PATH"), used);
  EXPECT_TRUE(DrawnAll({"00 CURRENTLY UNRECOGNIZED FILES", "05 VORTA - WAVETABLES <BLOFELD, SYX>"}));
}

}  // namespace
