#include <cstdio>

#include "core/random.h"
#include "platform/clock.h"
#include "ui/confirm.h"
#include "ui/pages/page_harness.h"

namespace {

class MainMenuTest : public PageTest {};

class ApplianceMenuTest : public PageTest {
 protected:
  void Prepare() override { gApp.applianceMode = true; }
};

class ShortScreenMenuTest : public PageTest {
 protected:
  void Prepare() override { Headless().screen = ScreenSize{true, 1280, 800 - 1}; }
};

TEST_F(MainMenuTest, DrawsTheSystemLinesIndexAndButtonsAndLeavesAtOnceOnExit) {
  gApp.hostName = "testhost";
  gApp.processorCount = 4;
  gApp.physicalMemory = 3ULL << 30;
  PressLower(11);
  RunMainMenu();
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_TRUE(Headless().questions.empty());
  EXPECT_TRUE(Drawn("*** MAIN MENU ***") || !TextsContaining("MAIN MENU").empty());
  EXPECT_EQ(StatusValue(0, 0), "TESTHOST");
  EXPECT_EQ(StatusValue(0, 1), "4");
  EXPECT_EQ(StatusValue(0, 2), "3072");
  EXPECT_TRUE(Drawn("SOUND DEVICE:"));
  EXPECT_EQ(StatusValue(1, 1), "WINDOW");
  EXPECT_EQ(StatusValue(1, 0), "12:00:00");
  EXPECT_TRUE(Drawn("FUNCTION INDEX"));
  const char* names[] = {"VORTA", "XFORM", "SLOOP", "XMRPH", "RECBIN", "UTILITY"};
  const char* descriptions[] = {"WAVETABLE SYNTHESIS <SINE WAVES>", "WAVETABLE SYNTHESIS <NOISE FILTERING>",
                                "LOOP SYNTHESIS", "CROSS SYNTHESIS", "UNKNOWN FILE TYPE RECYCLE BIN",
                                "PERSISTENT GLOBAL SETTINGS"};
  const int top = IndexBoxTop(6);
  for (int row = 0; row < 6; ++row) {
    const auto name = TextsContaining(names[row]);
    ASSERT_FALSE(name.empty()) << names[row];
    bool placed = false;
    for (const DrawnText& t : name) placed = placed || (t.x == kIndexNameX && t.text == names[row]);
    EXPECT_TRUE(placed) << names[row];
    const auto description = TextsContaining(descriptions[row]);
    ASSERT_FALSE(description.empty());
    EXPECT_EQ(description.back().x + MeasureText(descriptions[row]).width, kIndexDescriptionX);
    EXPECT_GT(description.back().y, top);
  }
  EXPECT_EQ(ButtonLabel(0, 0), "fVORTA<>");
  EXPECT_EQ(ButtonLabel(1, 0), "fXFORM<>");
  EXPECT_EQ(ButtonLabel(2, 0), "fSLOOP<>");
  EXPECT_EQ(ButtonLabel(3, 0), "fXMRPH<>");
  EXPECT_EQ(ButtonLabel(6, 0), "fRECBIN<>");
  EXPECT_EQ(ButtonLabel(7, 0), "fUTILITY<>");
  EXPECT_EQ(ButtonLabel(8, 0), "RESIZE");
  EXPECT_EQ(ButtonLabel(10, 0), "s UPDATE ");
  EXPECT_EQ(ButtonLabel(9, 1), "");
  EXPECT_EQ(ButtonLabel(10, 1), "");
  EXPECT_EQ(ButtonLabel(11, 1), "iEXIT");
}

TEST_F(MainMenuTest, ModuleButtonsSetTheirStatesAndEmptyPositionsDoNothing) {
  const std::pair<int, ProgramState> buttons[] = {{0, STATE_VORTA},  {1, STATE_XFORM},  {2, STATE_SLOOP},
                                                  {3, STATE_XMRPH},  {6, STATE_RECBIN}, {7, STATE_UTILITY},
                                                  {8, STATE_RESIZE}};
  for (const auto& [column, state] : buttons) {
    PressUpper(4);  // empty: nothing happens
    PressLower(9);  // empty outside appliance mode
    PressUpper(column);
    RunMainMenu();
    EXPECT_EQ(gApp.programState, state) << column;
  }
}

TEST_F(MainMenuTest, UpdateButtonAborts) {
  PressUpper(10);
  ScriptWait(5000);  // the update page shows its result for 4 seconds
  PressLower(11);
  RunMainMenu();
  EXPECT_TRUE(Drawn(">CONNECTION FAILED"));  // test builds never leave this machine
  EXPECT_TRUE(Drawn(Message("ABORTED")));
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_TRUE(gKept.randomSeeded);
}

TEST_F(MainMenuTest, ClockSeedsWithTheFirstStampAndRedrawsOnlyAfter400ms) {
  Headless().localTimeAtStart = LocalTime{9, 30, 7, 123, 1};
  const LocalTime now = QueryLocalTime();
  const int stamp = now.second * 1000 + now.millisecond;
  char shown[16];
  std::snprintf(shown, sizeof shown, "%02d:%02d:%02d", now.hour, now.minute, now.second);
  ShowLocalTime(false);
  const int first = RandomNext();
  SeedRandom(static_cast<uint32_t>(stamp));
  EXPECT_EQ(RandomNext(), first);
  EXPECT_EQ(DrawnCount(shown), 1);
  Headless().clockMillis += 400;  // not more than 400: nothing drawn, no new seed
  ShowLocalTime(false);
  EXPECT_EQ(Headless().texts.size(), 2u);  // label and value of the first drawing
  const int second = RandomNext();
  SeedRandom(static_cast<uint32_t>(stamp));
  RandomNext();
  EXPECT_EQ(RandomNext(), second);
  Headless().clockMillis += 1;
  ShowLocalTime(false);
  EXPECT_EQ(Headless().texts.size(), 4u);
  ShowLocalTime(true);  // a full drawing always draws
  EXPECT_EQ(Headless().texts.size(), 6u);
}

TEST_F(MainMenuTest, UpdateNotices) {
  gApp.settings.updateInstalled = 1;
  gApp.settings.updateAvailable = 1;
  PressLower(11);
  RunMainMenu();
  EXPECT_TRUE(Drawn(Message("UPDATE COMPLETE")));
  EXPECT_EQ(gApp.settings.updateInstalled, 0);
  EXPECT_EQ(gApp.settings.updateAvailable, 0);

  gApp.settings.updateAvailable = 1;
  EXPECT_EQ(PendingUpdateNotice(), kMsgUpdateAvailable);
  EXPECT_EQ(PendingUpdateNotice(), kMsgUpdateAvailable);  // shown each time
  EXPECT_EQ(gApp.settings.updateAvailable, 1);
  gApp.settings.noUpdateLookup = 1;
  EXPECT_EQ(PendingUpdateNotice(), kMsgNone);
  EXPECT_EQ(gApp.settings.updateAvailable, 0);

}

TEST_F(ApplianceMenuTest, LeaveButtonsAskFirst) {
  PressLower(11);             // "iOFF"
  PressUpper(11);             // "fNO"
  PressLower(10);             // "iREBOOT"
  PressUpper(11);             // "fNO"
  PressLower(9);              // "iEXIT"
  PressUpper(10);             // "fYES"
  RunMainMenu();
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_TRUE(Drawn(Message("SHUT DOWN MACHINE?")));
  EXPECT_TRUE(Drawn(Message("REBOOT MACHINE?")));
  EXPECT_TRUE(Drawn(Message("EXIT TO HOST?")));
  EXPECT_EQ(DrawnCount(Message("ABORTED")), 2);

  PressLower(11);
  PressUpper(10);
  RunMainMenu();
  EXPECT_EQ(gApp.programState, STATE_OFF);
  PressLower(10);
  PressUpper(10);
  RunMainMenu();
  EXPECT_EQ(gApp.programState, STATE_REBOOT);
}

TEST_F(ShortScreenMenuTest, NoResizeOnAShortScreen) {
  PressUpper(8);   // nothing there
  PressLower(11);
  RunMainMenu();
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_EQ(ButtonLabel(8, 0), "");
  EXPECT_TRUE(TextsContaining("SCREEN SIZE:").empty());
}

}  // namespace
