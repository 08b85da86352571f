// The main menu, the program's state machine from the first start to the
// exit, and the web update run from the menu.
#include "core/main_loop.h"
#include "core/random.h"
#include "core/settings.h"
#include "files/wave_fixtures.h"
#include "platform/clock.h"
#include "ui/pages/menu/credits_boot.h"
#include "ui/pages/page_harness.h"
#include "update/update_fixture.h"

namespace {

using MainMenuTest = PageHarness;
using WebUpdatePageTest = WithUpdateServer<PageHarness>;

TEST_F(MainMenuTest, DrawsTheSystemLinesAndIndexLeavesAtOnceOnExitAndHasNoResizeOnAShortScreen) {
  gApp.hostName = "testhost";
  gApp.processorCount = 4;
  gApp.physicalMemory = 3ULL << 30;
  RunWith(RunMainMenu);
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_TRUE(Headless().questions.empty());
  EXPECT_EQ(StatusValues({{0, 0}, {0, 1}, {0, 2}, {1, 1}, {1, 0}}),
            (std::vector<std::string>{"TESTHOST", "4", "3072", "WINDOW", "12:00:00"}));
  // The index: names on the left, descriptions right-aligned in the box.
  const char* description = "UNKNOWN FILE TYPE RECYCLE BIN";
  EXPECT_EQ(TextsContaining("RECBIN").at(0).x, kIndexNameX);
  const auto text = TextsContaining(description);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back().x + MeasureText(description).width, kIndexDescriptionX);
  EXPECT_GT(text.back().y, IndexBoxTop(6));

  StopDisplay();
  Headless().screen = ScreenSize{true, 1280, 800 - 1};
  OpenDisplay();
  RunWith(RunMainMenu, {8});  // nothing there
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_EQ(ButtonLabel(8, 0), "");
  EXPECT_TRUE(TextsContaining("SCREEN SIZE:").empty());
}

TEST_F(MainMenuTest, ModuleButtonsSetTheirStatesAndApplianceLeaveButtonsAskFirst) {
  const std::pair<int, ProgramState> buttons[] = {{0, STATE_VORTA}, {1, STATE_XFORM},  {2, STATE_SLOOP},
      {3, STATE_XMRPH}, {6, STATE_RECBIN}, {7, STATE_UTILITY}, {8, STATE_RESIZE}};
  for (const auto& [column, state] : buttons) {
    Press({4, Lower(9), column});  // empty positions (outside appliance mode) do nothing
    RunMainMenu();
    EXPECT_EQ(gApp.programState, state) << column;
  }

  gApp.applianceMode = true;
  // "iOFF", "iREBOOT" answered "fNO", then "iEXIT" answered "fYES".
  Press({Lower(11), 11, Lower(10), 11, Lower(9), 10});
  RunMainMenu();
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_TRUE(ShownAll({"SHUT DOWN MACHINE?", "REBOOT MACHINE?", "EXIT TO HOST?"}));
  EXPECT_EQ(DrawnCount("MESSAGE: ABORTED"), 2);
  for (const auto& [lower, state] : {std::pair{11, STATE_OFF}, {10, STATE_REBOOT}}) {
    Press({Lower(lower), 10});
    RunMainMenu();
    EXPECT_EQ(gApp.programState, state);
  }
}

TEST_F(MainMenuTest, ClockSeedsWithTheFirstStampAndRedrawsOnlyAfter400ms) {
  Headless().localTimeAtStart = LocalTime{9, 30, 7, 123, 1};
  const LocalTime now = QueryLocalTime();
  const uint32_t stamp = static_cast<uint32_t>(now.second * 1000 + now.millisecond);
  ShowLocalTime(false);
  const int first = RandomNext();
  SeedRandom(stamp);
  EXPECT_EQ(RandomNext(), first);
  EXPECT_EQ(DrawnCount("09:30:07"), 1);
  // Up to 400 ms: nothing drawn, no new seed; then label and value again.
  const std::pair<int, size_t> steps[] = {{400, 2u}, {1, 4u}};
  for (const auto& [millis, texts] : steps) {
    Headless().clockMillis += millis;
    ShowLocalTime(false);
    EXPECT_EQ(Headless().texts.size(), texts);
  }
  const int second = RandomNext();
  SeedRandom(stamp);
  RandomNext();
  EXPECT_EQ(RandomNext(), second);
  ShowLocalTime(true);
  EXPECT_EQ(Headless().texts.size(), 6u);
}

TEST_F(MainMenuTest, UpdateNoticesAndAFailedUpdate) {
  gApp.settings.updateInstalled = 1;
  gApp.settings.updateAvailable = 1;
  PressUpper(10);
  ScriptWait(5000);  // the update page shows its result for 4 seconds
  RunWith(RunMainMenu);
  EXPECT_TRUE(ShownAll({"UPDATE COMPLETE", "ABORTED"}));
  EXPECT_TRUE(Drawn(">CONNECTION FAILED"));  // test builds never leave this machine
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_TRUE(gKept.randomSeeded);
  EXPECT_EQ(gApp.settings.updateInstalled + gApp.settings.updateAvailable, 0);
  gApp.settings.updateAvailable = 1;
  for (int visit = 0; visit < 2; ++visit) EXPECT_EQ(PendingUpdateNotice(), kMsgUpdateAvailable);  // each time
  gApp.settings.noUpdateLookup = 1;
  EXPECT_EQ(PendingUpdateNotice(), kMsgNone);
  EXPECT_EQ(gApp.settings.updateAvailable, 0);
}

using ControlLoopTest = PageHarness;

// The handlers the program itself runs the state machine with.
StateHandlers ProgramHandlers() {
  StateHandlers handlers;
  handlers.createWindow = [] { StartDisplay(); ApplyColourMode(); };
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

// The first start, each module left by iMENU<>, RESIZE twice (back to the first mode), iEXIT.
TEST_F(ControlLoopTest, FirstStartEveryModuleResizeTwiceAndExit) {
  StopDisplay();
  Headless().texts.clear();
  const int closesBefore = Headless().windowCloses;
  ScriptWait(8000);  // credits box and boot report
  for (int column : {0, 1, 2, 3, 6, 7}) Press({column, Lower(11)});
  Press({8, 8, Lower(11)});
  gApp.programState = STATE_FIRST_START;
  EXPECT_EQ(RunStateMachine(gApp, ProgramHandlers()), STATE_EXIT);
  EXPECT_TRUE(DrawnAll({"CREDITS", ">PERFORMING INITIAL FILE TESTS:", ">PREPARATIONS COMPLETE, STARTING SONIC-LOOM..."}));
  const std::pair<const char*, size_t> titles[] = {{"MAIN MENU ***", 9}, {"SYSTEM SETTINGS ***", 4},
                                                   {"RECYCLE BIN ***", 1}, {"SYSTEM PARAMETER SETTINGS ***", 1}};
  for (const auto& [title, count] : titles) EXPECT_EQ(TextsContaining(title).size(), count) << title;
  EXPECT_EQ(gApp.settings.fullScreen, 0);
  EXPECT_EQ(Headless().windowCloses - closesBefore, 3);  // two resizes and the exit
  EXPECT_EQ(DrawnCount("FULLSCREEN"), 1);
  EXPECT_EQ(ReadAllBytes(SettingsFilePath(gApp.installDir)).at(4), 0);  // window mode stored
}

TEST_F(ControlLoopTest, BootSequenceSortsLooseFilesAndCountsFolders) {
  WriteAllBytes(gApp.installDir + "/LOOSE.WAV", wave_fixtures::BuildWave({.frames = 20000}));
  RunBootSequence();  // what the sorting leaves alone: the library tests
  EXPECT_TRUE(fs::exists(CategoryFilePath(gApp, kCategorySample, "LOOSE.WAV")));
  EXPECT_TRUE(DrawnAll({"1 DONE", "01 SAMPLES <WAV>", "1 FILES", "0 DEVICE<S> FOUND", "NO FILES TO REPLACE",
                        ">LOOKING FOR UPDATES:"}));
  ExpectTextAt("00 CURRENTLY UNRECOGNIZED FILES", 238, 104);
  EXPECT_EQ(CountFolderFiles(gApp.installDir + "/no such folder"), -1);
}

// The notice after the restart and the restart command itself: the update notice and the main loop tests.
TEST_F(WebUpdatePageTest, MenuUpdateInstallsTheNewProgramAndAsksForARestart) {
  InstallProgram(folder);
  PublishSigned("page.update", PackUpdate(3.0f, MarkerProgram("new"), Bytes("%PDF new")));
  setenv("SONICLOOM_UPDATE_URL", server->Url("redirect", "page.update").c_str(), 1);
  PressUpper(10);  // "s UPDATE "
  RunMainMenu();
  unsetenv("SONICLOOM_UPDATE_URL");
  ASSERT_EQ(gApp.programState, STATE_RESTART);
  EXPECT_TRUE(UiTest::Shown("WEB UPDATE") && Drawn("UPDATE LOG") && Shown("INSTALLING UPDATE, PLEASE WAIT"));
  const std::pair<const char*, int> rows[] = {
      {">TESTING CONNECTIVITY", 160}, {">REPLACING PDF FILE", 340}, {">RESTARTING APPLICATION...", 380}};
  for (const auto& [text, y] : rows) {
    EXPECT_EQ(TextsContaining(text).size(), 1u) << text;
    ExpectTextAt(text, 50, y);
  }

  ASSERT_EQ(std::system((folder / "Sonic-Loom").c_str()), 0);
  EXPECT_EQ(ReadAllBytes(folder / "marker"), Bytes("new\n"));
}

}  // namespace
