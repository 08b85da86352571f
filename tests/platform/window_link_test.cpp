#include "platform/window_link.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/headless/headless_platform.h"

class WindowLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetHeadless(); }
  void TearDown() override { ResetHeadless(); }
};

TEST_F(WindowLinkTest, MouseSlotsKeepTheLatestPositionPerKindAndFocusLossReleasesAll) {
  NoteMouse(kMouseLeftDown, 10, 20, 0);
  NoteMouse(kMouseLeftDown, -5, 700, 0);
  NoteMouse(kMouseMove, 30, 40, 0);
  EXPECT_TRUE(MouseSlotFilled(kMouseLeftDown) && Link().captured);
  // Signed positions survive packing.
  EXPECT_EQ(std::tuple(MouseX(Link().lastMouse), MouseX(Link().mouseSlot[kMouseLeftDown]),
                       MouseY(Link().mouseSlot[kMouseLeftDown])), std::tuple(30, -5, 700));
  NoteMouse(kMouseWheel, 1, 1, 0);
  NoteMouse(kMouseExtraUp, 1, 1, 0);
  FlushMouseSlots(11);  // move .. wheel
  EXPECT_EQ(std::tuple(MouseSlotFilled(kMouseLeftDown), MouseSlotFilled(kMouseWheel), MouseSlotFilled(kMouseExtraUp)),
            std::tuple(false, false, true));
  NoteMouse(kMouseLeftUp, 0, 0, 0);
  EXPECT_FALSE(Link().captured);
  NoteKeyDown(kKeyControl, 0);
  NoteMouse(kMouseLeftDown, 1, 1, 0);
  NoteFocus(false);
  EXPECT_FALSE(KeyIsDown(kKeyControl) || Link().captured);
}

TEST_F(WindowLinkTest, IdleTimerFiresAfterFifteenQuietMinutes) {
  ResetWindowLink(0);
  Link().saverAllowed = true;
  EXPECT_FALSE(CheckIdleTimer(kIdleTimerMillis - 1));
  NoteKeyDown(kKeyF1, 1000);  // input restarts the timer
  EXPECT_FALSE(CheckIdleTimer(kIdleTimerMillis + 999));
  EXPECT_TRUE(CheckIdleTimer(kIdleTimerMillis + 1000) && Link().saverDue);
  NoteMouse(kMouseMove, 0, 0, kIdleTimerMillis + 2000);
  EXPECT_FALSE(Link().saverDue);
  // Not allowed (window mode, saver off): the screen saver tests.
}
