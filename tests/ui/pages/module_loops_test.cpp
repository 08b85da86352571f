// The module loops as a whole: the system settings every module shares,
// the recycle bin and the utility pages.
#include "files/category_root_move.h"
#include "files/wave_fixtures.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/shared/browser_page.h"
#include "ui/pages/utility/utility_pages.h"

namespace {

using ModuleTest = PageHarness;

TEST_F(ModuleTest, VolumeStopsAtItsLimitsAndShowsOneToSixtyFour) {
  gApp.settings.playbackVolume = 1.0f / 64.0f;
  Press({0, 1, 1, 1, 1, 1, 1, 1});  // -VOLUME at 1/64; the last +VOLUME at 1.0
  gApp.programState = STATE_XFORM;
  RunWith(RunXformModule);
  EXPECT_TRUE(ShownAll({"MIN VALUE", "MAX VALUE"}));
  EXPECT_TRUE(DrawnAll({"1", "2", "4", "8", "16", "32"}));
  EXPECT_FLOAT_EQ(gApp.settings.playbackVolume, 1.0f);
  EXPECT_EQ(StatusValue(0, 3), "64");
  EXPECT_EQ(DrawnCount("64"), 1);  // the refused step drew nothing
}

TEST_F(ModuleTest, SpeedLimitsFlushAndAFreshTableOnEveryEntry) {
  PressTimes(8, 17);  // -SPEED: R 16 -> 32, then refused
  PressUpper(11);     // FLUSH
  PressTimes(9, 16);  // +SPEED: R 16 -> 1, then refused
  PressLower(11);
  {
    ModuleRun vorta(STATE_VORTA);
    EXPECT_EQ(vorta.RunScreen(0), kPageNavigated);
    EXPECT_EQ(vorta.session->selector, kLeaveModule);
    EXPECT_EQ(vorta.session->vorta->ram.playbackStretch, 1);
    vorta.session->vorta->ram.ramName = "PAD";
  }
  EXPECT_TRUE(DrawnAll({"01", "32"}) && ShownAll({"MIN VALUE", "MAX VALUE", "DONE"}));
  EXPECT_EQ(DrawnCount("17"), 2);  // on entry and after FLUSH
  ModuleRun again(STATE_VORTA);
  EXPECT_EQ(again.session->vorta->ram.playbackStretch, 16);
  EXPECT_TRUE(again.session->vorta->ram.ramName.empty());
}

TEST_F(ModuleTest, VortaScreensNavigateByTheLowerRowAndTheRamWavetablePlaysWithADevice) {
  // fVIEWER<> twice (its own button is not on its bar), iMENU<> (not on 2.0.0), fTEF<>,
  // fSYSTEM<>, pRAM_WT without a sound device, iMENU<>.
  RunWith(RunVortaModule, {Lower(2), Lower(2), Lower(11), Lower(6), Lower(0), Lower(9)});
  EXPECT_EQ(gApp.programState, STATE_MAIN_MENU);
  EXPECT_TRUE(DrawnAll({"*** TABLE VIEWER ***", "*** TABLE EDITING FUNCTIONS ***"}));
  EXPECT_TRUE(Shown("SOUND DEVICE NOT AVAILABLE"));
  EXPECT_EQ(DrawnCount("*** SYSTEM SETTINGS ***"), 2);
  SaveArtefact("vorta_system_settings");

  UseSoundDevices({"Card A"});
  PressTimes(8, 2);  // R = 18
  ScriptKeyPressWith(kKeyControl, FunctionKey(10), 300);  // pRAM_WT
  RunWith(RunVortaModule);
  EXPECT_GE(Headless().sound.starts, 1);
  EXPECT_EQ(Headless().sound.totalFrames, 18 * 8192 + 256);
  EXPECT_TRUE(TextsContaining("SOUND DEVICE NOT AVAILABLE").empty() && Drawn("CARD A"));
}

TEST_F(ModuleTest, NavigationRowsLeaveOutTheOpenScreenAndMenuOnlyOnZero) {
  struct Case { ProgramState state; uint16_t current; std::vector<int> columns; };
  const Case cases[] = {{STATE_VORTA, 3, {0, 1, 2, 4, 5, 6}}, {STATE_XFORM, 1, {0, 2}},
                        {STATE_SLOOP, 0, {1, 2, kMenuColumn}}, {STATE_XMRPH, 2, {0, 1}}};
  for (const Case& c : cases) {
    std::vector<int> columns;
    for (const NavigationButton& button : NavigationRow(ModuleScreens(c.state), c.current)) {
      columns.push_back(button.column);
      EXPECT_EQ(button.target, button.column == kMenuColumn ? kLeaveModule : button.column);
    }
    EXPECT_EQ(columns, c.columns) << c.state;
  }
}

TEST_F(ModuleTest, CrossSynthesisShowsBothRamsAndNoSpeed) {
  Press({8, 11, Lower(11)});  // no -SPEED here; FLUSH
  ModuleRun xmrph(STATE_XMRPH);
  xmrph.session->xmrph->ramNameA = "A.WAV";
  EXPECT_EQ(xmrph.RunScreen(0), kPageNavigated);
  EXPECT_TRUE(Drawn("A.WAV") && Shown("DONE"));
  EXPECT_TRUE(xmrph.session->xmrph->ramNameA.empty() && TextsContaining("SPEED").empty());
  EXPECT_EQ(ButtonLabel(9, 1), "");  // no pRAM_WT
}

constexpr int kDelete = 4, kClear = 6, kExplore = 11;

class RecycleBinTest : public PageHarness {
 protected:
  static std::string BinFile(const std::string& name) { return LibraryPath(kCategoryUnrecognized, name); }
  static void PutJunk(int count) {
    for (int i = 0; i < count; ++i) {
      WriteAllBytes(BinFile((i < 10 ? "NOTE0" : "NOTE") + std::to_string(i) + ".TXT"), {static_cast<uint8_t>(i), 1, 2});
    }
  }
  static void RunWith(std::initializer_list<int> presses) { PageHarness::RunWith(RunRecycleBinModule, presses); }
};

TEST_F(RecycleBinTest, PagesRemembersItsPageAndShowsTheReadouts) {
  PutJunk(17);
  RunWith({1});  // PAGE>>
  EXPECT_EQ(StatusValues({{0, 2}, {1, 2}, {0, 3}, {1, 3}}), (std::vector<std::string>{"17", "2", "16 - 16", "1"}));
  EXPECT_TRUE(DrawnAll({"00016", "NOTE16.TXT"}));
  // The next visit opens on the kept page 2; with files gone it falls back.
  fs::remove(BinFile("NOTE16.TXT"));
  RunWith({0});  // <<PAGE on the only page
  EXPECT_EQ(StatusValues({{0, 3}, {1, 3}}), (std::vector<std::string>{"0 - 15", "0"}));
  EXPECT_TRUE(Shown("SINGLE PAGE"));
  EXPECT_EQ(gKept.recycleBinPage, 1);
}

TEST_F(RecycleBinTest, DeleteUsesTheRealNameOfTheClickedRowAndClearEmptiesTheFolder) {
  const std::string longName = "a long file name (x).txt";
  WriteAllBytes(BinFile(longName), {9, 9});
  WriteAllBytes(BinFile("ZZZ.TXT"), {8});
  PressUpper(kDelete);  // without selection
  ScriptClick(300, kFileRowTop + 6);
  RunWith({kDelete, kNo, kDelete, kYes});
  EXPECT_TRUE(ShownAll({"NO FILE SELECTED", "DELETE FILE<S>?", "ABORTED", "DONE"}));
  EXPECT_EQ(std::pair(fs::exists(BinFile(longName)), fs::exists(BinFile("ZZZ.TXT"))), std::pair(false, true));
  EXPECT_TRUE(TextsContaining("a long").empty() && !TextsContaining("~").empty());  // the short name shown

  PutJunk(3);  // before ZZZ.TXT
  RunWith({kArrowDown, kArrowDown, kClear, kYes, kClear, kExplore});  // the second: empty now
  EXPECT_EQ(StatusValue(2, 0), "");  // the selection went with the files
  EXPECT_TRUE(Drawn("NOTE01.TXT") && Shown("NO FILES IN DIRECTORY"));
  EXPECT_EQ(StatusValue(0, 3), "NONE");
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(fs::exists(BinFile("NOTE0" + std::to_string(i) + ".TXT")));
  ASSERT_EQ(HeadlessShellRecord().explored.size(), 1u);
  EXPECT_EQ(HeadlessShellRecord().minimised, 1);
  EXPECT_EQ(MarkedRows(), (std::vector{0, 1}));
}

TEST_F(RecycleBinTest, FindJumpsToTheMatchingFile) {
  PutJunk(20);
  // fFIND<>: the search pauses; keys pressed meanwhile are not seen.
  for (const char* name : {"NOTE18", "QQQ"}) {
    PressUpper(2);
    Type(name);
    ScriptWait(700);
  }
  PressUpper(2);
  ScriptKeyPress(kKeyEscape);
  RunWith({});
  EXPECT_EQ(MarkedRows().at(0), 2);
  EXPECT_TRUE(Drawn("NOTE18.TXT") && ShownAll({"FILE NOT FOUND", "ABORTED"}));
  EXPECT_EQ(gKept.recycleBinPage, 2);
}

TEST_F(RecycleBinTest, HeldDownStepsOnAndAFailedExploreSaysSo) {
  PutJunk(10);
  ScriptKeyDown(kKeyDown, 10);
  ScriptKeyUp(kKeyDown, 640);  // reported at once and every 150 ms after
  HeadlessShellRecord().openerWorks = false;
  RunWith({kExplore});
  EXPECT_EQ(MarkedRows(), (std::vector{0, 1, 2, 3, 4}));
  EXPECT_TRUE(Shown("ACCESS DENIED"));
  EXPECT_EQ(HeadlessShellRecord().minimised, 0);
  SaveArtefact("recycle_bin");
}

TEST(DiskLine, FreeSpaceAndShortenedPaths) {
  EXPECT_EQ(ShortenedPath("/data/Samples", 13), "/data/Samples");
  EXPECT_EQ(ShortenedPath("/home/Ann/Sonic-Loom/data/01 Samples (WAV)", 20), ".../01 Samples (WAV)");
  const std::pair<int64_t, const char*> space[] = {
      {64LL << 20, "64 <LOW!>"}, {65LL << 20, "65"}, {4194304LL << 20, "4194304"}, {4194305LL << 20, ">4194304"}};
  for (const auto& [bytes, shown] : space) EXPECT_EQ(FreeSpaceText(bytes, true), shown);
  EXPECT_EQ(FreeSpaceText(0, false), "-N.A.-");
}

constexpr int kLineBack = 0, kLineForward = 1, kValue = 3;
constexpr int kSet = 3, kReset = 4;  // on the user paths

class UtilityTest : public PageHarness {
 protected:
  static bool Has(int category, const std::string& name) { return fs::exists(LibraryPath(category, name)); }
  static void RunWith(std::initializer_list<int> presses) { PageHarness::RunWith(RunUtilityModule, presses); }
};

TEST_F(UtilityTest, LinesWrapShowTheDefaultsAndThePageIsRemembered) {
  RunWith({kLineBack});  // 0 -> 7
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

TEST_F(UtilityTest, ValueChangesEachLineAndTheDeviceLineFollowsTheDeviceList) {
  const Colour greenBackground = PaletteColour(kBackground);
  // One value step on every line but 5 (force loop, below), then round to line 0.
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
  EXPECT_EQ(CanvasPixel(500, 120), PaletteColour(kBackground));
  EXPECT_NE(CanvasPixel(500, 120), greenBackground);
  gApp.settings.colourMode = 3;
  EXPECT_EQ(ParameterValueText(0), "03: LCD");

  UseSoundDevices({"Card A"});
  gKept.parameterLine = 7;
  RunWith({kValue});
  EXPECT_TRUE(DrawnAll({"MESSAGE: SINGLE DEVICE", "[00 ... 00]", "00: CARD A"}));
  EXPECT_EQ(gApp.settings.playbackDeviceIndex, 0);

  UseSoundDevices({"Card A", "Card B (USB)"});
  RunWith({kValue});  // 0 -> 1
  EXPECT_EQ(gApp.settings.playbackDeviceIndex, 1);
  EXPECT_TRUE(DrawnAll({"[00 ... 01]", "01: CARD B <USB>", "CARD B <USB>"}));  // the last: "SOUND DEVICE:"
  EXPECT_FALSE(Shown("SINGLE DEVICE"));
}

// Each change of the force loop line sorts the library again: a short mono file without loop data moves.
TEST_F(UtilityTest, ForceLoopLineResortsTheLibraryEachTime) {
  WriteAllBytes(LibraryPath(kCategoryUnrecognized, "CYCLE.WAV"), wave_fixtures::BuildWave({.frames = 1000}));
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
  TempFolder root;
  WriteAllBytes(LibraryPath(kCategoryUnrecognized, "JUNK.BIN"), {1, 2, 3});
  auto& shell = HeadlessShellRecord();
  shell.folderAnswers.push_back(std::nullopt);                     // nothing chosen
  shell.folderAnswers.push_back(gApp.installDir + "/data/inner");  // inside the program folder
  shell.folderAnswers.push_back(root / "02 Single Cycles (WAV)");  // through a category folder
  shell.folderAnswers.push_back(root.path);
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
  EXPECT_EQ(gApp.folderUserPath[0], root.path + "/");
  EXPECT_TRUE(fs::exists(root / kFolderTable[0].folderName + "/JUNK.BIN"));
  EXPECT_TRUE(Drawn("USER DEFINED"));
  EXPECT_EQ(shell.explored, std::vector{CategoryFolderPath(gApp, kCategoryUnrecognized)});
  EXPECT_EQ(shell.minimised, 1);

  Press({kReset, 10});  // fYES
  ScriptWait(1000);
  RunWith({});
  EXPECT_TRUE(Shown("DONE") && gApp.folderUserPath[0].empty());
  EXPECT_TRUE(Has(kCategoryUnrecognized, "JUNK.BIN"));
}

}  // namespace
