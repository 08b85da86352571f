#include "platform/window_link.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/headless/headless_platform.h"

class WindowLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetHeadless(); }
  void TearDown() override { ResetHeadless(); }
};

TEST_F(WindowLinkTest, MouseSlotsKeepTheLatestPositionPerKind) {
  NoteMouse(kMouseLeftDown, 10, 20, 0);
  NoteMouse(kMouseLeftDown, -5, 700, 0);
  NoteMouse(kMouseMove, 30, 40, 0);
  EXPECT_TRUE(MouseSlotFilled(kMouseLeftDown));
  EXPECT_TRUE(Link().captured);
  EXPECT_EQ(MouseX(Link().lastMouse), 30);
  EXPECT_EQ(MouseX(Link().mouseSlot[kMouseLeftDown]), -5);  // signed positions survive packing
  EXPECT_EQ(MouseY(Link().mouseSlot[kMouseLeftDown]), 700);
  NoteMouse(kMouseWheel, 1, 1, 0);
  NoteMouse(kMouseExtraUp, 1, 1, 0);
  FlushMouseSlots(11);  // move .. wheel
  EXPECT_FALSE(MouseSlotFilled(kMouseLeftDown));
  EXPECT_FALSE(MouseSlotFilled(kMouseWheel));
  EXPECT_TRUE(MouseSlotFilled(kMouseExtraUp));
  NoteMouse(kMouseLeftUp, 0, 0, 0);
  EXPECT_FALSE(Link().captured);
}

TEST_F(WindowLinkTest, CharactersQueueInOrderAndFocusLossReleasesKeys) {
  for (char c : std::string("ab\x08")) NoteCharacter(static_cast<uint8_t>(c));
  uint8_t c = 0;
  for (uint8_t expected : {'a', 'b'}) {
    ASSERT_TRUE(PopCharacter(c));
    EXPECT_EQ(c, expected);
  }
  DropCharacters();
  EXPECT_FALSE(PopCharacter(c));

  NoteKeyDown(kKeyControl, 0);
  NoteMouse(kMouseLeftDown, 1, 1, 0);
  NoteFocus(false);
  EXPECT_FALSE(KeyIsDown(kKeyControl));
  EXPECT_FALSE(Link().captured);
}

TEST_F(WindowLinkTest, IdleTimerFiresAfterFifteenQuietMinutesAndOnlyWhenAllowed) {
  ResetWindowLink(0);
  Link().saverAllowed = true;
  EXPECT_FALSE(CheckIdleTimer(kIdleTimerMillis - 1));
  NoteKeyDown(kKeyF1, 1000);  // input restarts the timer
  EXPECT_FALSE(CheckIdleTimer(kIdleTimerMillis + 999));
  EXPECT_TRUE(CheckIdleTimer(kIdleTimerMillis + 1000));
  EXPECT_TRUE(Link().saverDue);
  NoteMouse(kMouseMove, 0, 0, kIdleTimerMillis + 2000);
  EXPECT_FALSE(Link().saverDue);

  Link().saverAllowed = false;  // window mode or saver off
  EXPECT_TRUE(CheckIdleTimer(3 * kIdleTimerMillis));
  EXPECT_FALSE(Link().saverDue);
}

TEST_F(WindowLinkTest, CloseRequestCountsOnlyWhileAllowed) {
  for (bool allowed : {false, true}) {
    Link().closeAllowed = allowed;
    NoteCloseRequest();
    EXPECT_EQ(Link().closeRequested, allowed);
  }
}

TEST_F(WindowLinkTest, HeadlessScriptPlaysOnTheVirtualClock) {
  ScriptKeyDown(FunctionKey(5), 100);
  ScriptType("x", 50);
  SleepMillis(99);
  EXPECT_FALSE(KeyIsDown(FunctionKey(5)));
  WaitForInput(1000);  // returns at the first message
  EXPECT_TRUE(KeyIsDown(FunctionKey(5)));
  EXPECT_EQ(NowMillis(), 100);
  uint8_t c = 0;
  EXPECT_TRUE(WaitForCharacter(c, 1000));
  EXPECT_EQ(c, 'x');
  EXPECT_EQ(NowMillis(), 150);
  EXPECT_FALSE(WaitForCharacter(c, 10));
  EXPECT_EQ(NowMillis(), 160);
}
