#include "files/category_root_move.h"
#include "files/wave_fixtures.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/utility/utility_pages.h"

namespace {

constexpr int kLineBack = 0, kLineForward = 1, kValue = 3;
constexpr int kSet = 3, kReset = 4;  // on the user paths

class UtilityTest : public PageHarness {
 protected:
  static bool Has(int category, const std::string& name) { return fs::exists(LibraryPath(category, name)); }
  static void RunWith(std::initializer_list<int> presses) { PageHarness::RunWith(RunUtilityModule, presses); }
};

TEST_F(UtilityTest, LinesWrapShowTheDefaultsAndThePageIsRemembered) {
  RunWith({kLineBack});  // 0 -> 7
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
  EXPECT_TRUE(DrawnAll({"00: CRT GREEN", "NO VALID DEVICE FOUND"}));
  EXPECT_EQ(gKept.parameterLine, 7);
  EXPECT_EQ(MarkedRows(kListRowTop, kListRowStep).back(), 7);
  RunWith({Lower(1), kLineBack});  // fPATHS<>: its lines wrap over the used slots
  EXPECT_EQ(gKept.utilityScreen, 1);
  int used = 0;
  for (int category = 0; category < kCategoryCount; ++category) used += IsCategoryInUse(category);
  EXPECT_EQ(gKept.userPathLine, used - 1);
  EXPECT_EQ(DrawnCount("DEFAULT PATH"), used);
  RunWith({Lower(0)});  // opened on the paths; fPARAM<>
  EXPECT_EQ(TextsContaining("USER PATH SETTINGS ***").size(), 1u);
  EXPECT_EQ(gKept.utilityScreen, 0);
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
  RunWith({});
  const SettingsBlock& set = gApp.settings;
  EXPECT_EQ((std::array<int, 7>{set.colourMode, set.backlight, set.screenSaverOn, set.shortcuts, set.prelistenOn,
                                set.noUpdateLookup, set.noForceLoop}),
            (std::array<int, 7>{1, 0, 0, 1, 0, 1, 0}));
  EXPECT_EQ(gKept.parameterLine, 0);
  EXPECT_TRUE(DrawnAll({"01: CRT YELLOW", "OFF", "NO", "MESSAGE: NO DEVICE"}));
  EXPECT_NE(PaletteColour(kBackground), greenBackground);
  EXPECT_EQ(CanvasPixel(500, 120), PaletteColour(kBackground));
  gApp.settings.colourMode = 3;
  EXPECT_EQ(ParameterValueText(0), "03: LCD");
}

TEST_F(UtilityTest, WaveOutDeviceLineFollowsTheDeviceList) {
  UseSoundDevices({"Card A"});
  gKept.parameterLine = 7;
  RunWith({kValue});
  EXPECT_TRUE(DrawnAll({"MESSAGE: SINGLE DEVICE", "[00 ... 00]", "00: CARD A"}));
  EXPECT_EQ(gApp.settings.playbackDeviceIndex, 0);

  UseSoundDevices({"Card A", "Card B (USB)"});
  RunWith({kValue});
  EXPECT_EQ(gApp.settings.playbackDeviceIndex, 1);
  EXPECT_TRUE(DrawnAll({"[00 ... 01]", "01: CARD B <USB>", "CARD B <USB>"}));  // the last: "SOUND DEVICE:"
  EXPECT_FALSE(Shown("SINGLE DEVICE"));
}

// Each change of the force loop line sorts the library again; the line is
// remembered between visits.
TEST_F(UtilityTest, ForceLoopLineResortsTheLibraryEachTime) {
  wave_fixtures::HandWave cycle;
  cycle.frames = 1000;  // mono 44.1 kHz, no loop data
  WriteAllBytes(LibraryPath(kCategoryUnrecognized, "CYCLE.WAV"), wave_fixtures::BuildWave(cycle));
  PressTimes(kLineForward, 5);
  for (const int noForceLoop : {1, 0}) {
    SCOPED_TRACE(noForceLoop);
    RunWith({kValue});
    EXPECT_EQ(gApp.settings.noForceLoop, noForceLoop);
    EXPECT_TRUE(ShownAll({"UPDATING FILE SYSTEM, PLEASE WAIT", "DONE"}));
    EXPECT_EQ(Has(kCategorySingleCycle, "CYCLE.WAV"), noForceLoop == 1);
    EXPECT_EQ(Has(kCategoryUnrecognized, "CYCLE.WAV"), noForceLoop == 0);
  }
}

TEST_F(UtilityTest, UserPathsSetResetAndExplore) {
  TempFolder elsewhere;
  const std::string root = elsewhere.path;
  WriteAllBytes(LibraryPath(kCategoryUnrecognized, "JUNK.BIN"), {1, 2, 3});
  auto& shell = HeadlessShellRecord();
  shell.folderAnswers.push_back(std::nullopt);                     // nothing chosen
  shell.folderAnswers.push_back(gApp.installDir + "/data/inner");  // inside the program folder
  shell.folderAnswers.push_back(root + "/02 Single Cycles (WAV)");  // through a category folder
  shell.folderAnswers.push_back(root);
  gKept.utilityScreen = 1;
  PressUpper(kReset);  // without a user root
  for (int i = 0; i < 4; ++i) {
    PressUpper(kSet);
    ScriptWait(1000);  // the folder move pauses at its end
  }
  RunWith({11, kReset, 11});  // EXPLORE; fRESET<> answered fNO
  EXPECT_TRUE(ShownAll({"NOTHING TO RESET", "ABORTED", "CASCADING DIRECTORIES NOT ALLOWED", "DONE",
                        "INSTALL PATH CAN NOT BE SET AS USER DEFINED PATH, USE RESET<> INSTEAD",
                        "RESET TO DEFAULT?"}));
  ASSERT_EQ(shell.dialogs.size(), 4u);
  EXPECT_EQ(shell.dialogs[0].title, MoveFolderDialogTitle(kCategoryUnrecognized));
  EXPECT_EQ(gApp.folderUserPath[0], root + "/");
  EXPECT_TRUE(fs::exists(root + "/" + kFolderTable[0].folderName + "/JUNK.BIN"));
  EXPECT_TRUE(Drawn("USER DEFINED"));
  ASSERT_EQ(shell.explored.size(), 1u);
  EXPECT_EQ(shell.explored[0], CategoryFolderPath(gApp, kCategoryUnrecognized));
  EXPECT_EQ(shell.minimised, 1);

  Press({kReset, 10});  // fYES
  ScriptWait(1000);
  RunWith({});
  EXPECT_TRUE(Shown("DONE"));
  EXPECT_TRUE(gApp.folderUserPath[0].empty());
  EXPECT_TRUE(Has(kCategoryUnrecognized, "JUNK.BIN"));
}

}  // namespace
