#include <cstdio>

#include "core/random.h"
#include "platform/clock.h"
#include "ui/confirm.h"
#include "ui/pages/page_harness.h"

namespace {

using MainMenuTest = PageTest;

TEST_F(MainMenuTest, DrawsTheSystemLinesAndIndexAndLeavesAtOnceOnExit) {
  gApp.hostName = "testhost";
  gApp.processorCount = 4;
  gApp.physicalMemory = 3ULL << 30;
  PressLower(11);
  RunMainMenu();
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_TRUE(Headless().questions.empty());
  const std::pair<std::pair<int, int>, const char*> fields[] = {
      {{0, 0}, "TESTHOST"}, {{0, 1}, "4"}, {{0, 2}, "3072"}, {{1, 1}, "WINDOW"}, {{1, 0}, "12:00:00"}};
  for (const auto& [at, value] : fields) EXPECT_EQ(StatusValue(at.first, at.second), value);
  // The index: names on the left, descriptions right-aligned in the box.
  const char* description = "UNKNOWN FILE TYPE RECYCLE BIN";
  EXPECT_EQ(TextsContaining("RECBIN").at(0).x, kIndexNameX);
  const auto text = TextsContaining(description);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back().x + MeasureText(description).width, kIndexDescriptionX);
  EXPECT_GT(text.back().y, IndexBoxTop(6));
}

TEST_F(MainMenuTest, ModuleButtonsSetTheirStatesAndEmptyPositionsDoNothing) {
  const std::pair<int, ProgramState> buttons[] = {{0, STATE_VORTA},  {1, STATE_XFORM},  {2, STATE_SLOOP},
                                                  {3, STATE_XMRPH},  {6, STATE_RECBIN}, {7, STATE_UTILITY},
                                                  {8, STATE_RESIZE}};
  for (const auto& [column, state] : buttons) {
    Press({4, Lower(9), column});  // empty positions (outside appliance mode) do nothing
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
  EXPECT_TRUE(Shown("ABORTED"));
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_TRUE(gKept.randomSeeded);
}

TEST_F(MainMenuTest, ClockSeedsWithTheFirstStampAndRedrawsOnlyAfter400ms) {
  Headless().localTimeAtStart = LocalTime{9, 30, 7, 123, 1};
  const LocalTime now = QueryLocalTime();
  const uint32_t stamp = static_cast<uint32_t>(now.second * 1000 + now.millisecond);
  char shown[16];
  std::snprintf(shown, sizeof shown, "%02d:%02d:%02d", now.hour, now.minute, now.second);
  ShowLocalTime(false);
  const int first = RandomNext();
  SeedRandom(stamp);
  EXPECT_EQ(RandomNext(), first);
  EXPECT_EQ(DrawnCount(shown), 1);
  // Not more than 400 ms: nothing drawn, no new seed; then label and value
  // again, and a full drawing always draws.
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

TEST_F(MainMenuTest, UpdateNotices) {
  gApp.settings.updateInstalled = 1;
  gApp.settings.updateAvailable = 1;
  PressLower(11);
  RunMainMenu();
  EXPECT_TRUE(Shown("UPDATE COMPLETE"));
  EXPECT_EQ(gApp.settings.updateInstalled + gApp.settings.updateAvailable, 0);
  gApp.settings.updateAvailable = 1;
  EXPECT_EQ(PendingUpdateNotice(), kMsgUpdateAvailable);
  EXPECT_EQ(PendingUpdateNotice(), kMsgUpdateAvailable);  // shown each time
  gApp.settings.noUpdateLookup = 1;
  EXPECT_EQ(PendingUpdateNotice(), kMsgNone);
  EXPECT_EQ(gApp.settings.updateAvailable, 0);
}

class ApplianceMenuTest : public PageTest {
 protected:
  void Prepare() override { gApp.applianceMode = true; }
};

TEST_F(ApplianceMenuTest, LeaveButtonsAskFirst) {
  // "iOFF", "iREBOOT" answered "fNO", then "iEXIT" answered "fYES".
  Press({Lower(11), 11, Lower(10), 11, Lower(9), 10});
  RunMainMenu();
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_TRUE(ShownAll({"SHUT DOWN MACHINE?", "REBOOT MACHINE?", "EXIT TO HOST?"}));
  EXPECT_EQ(DrawnCount(Message("ABORTED")), 2);
  for (const auto& [lower, state] : {std::pair{11, STATE_OFF}, {10, STATE_REBOOT}}) {
    Press({Lower(lower), 10});
    RunMainMenu();
    EXPECT_EQ(gApp.programState, state);
  }
}

class ShortScreenMenuTest : public PageTest {
 protected:
  void Prepare() override { Headless().screen = ScreenSize{true, 1280, 800 - 1}; }
};

TEST_F(ShortScreenMenuTest, NoResizeOnAShortScreen) {
  PressUpper(8);  // nothing there
  PressLower(11);
  RunMainMenu();
  EXPECT_EQ(gApp.programState, STATE_EXIT);
  EXPECT_EQ(ButtonLabel(8, 0), "");
  EXPECT_TRUE(TextsContaining("SCREEN SIZE:").empty());
}

}  // namespace
