#include "platform/display_layout.h"

#include <gtest/gtest.h>

TEST(DisplayLayout, CentresTheCanvasOnLargerAndSmallerScreens) {
  const DisplayLayout wide = LayOutDisplay(1920, 1080, true);
  EXPECT_TRUE(wide.fullScreen);
  EXPECT_EQ(wide.screenW, 1920);
  EXPECT_EQ(wide.screenH, 1080);
  EXPECT_EQ(wide.left, -448);  // logical (0, 0) at device (448, 156)
  EXPECT_EQ(wide.top, -156);
  EXPECT_EQ(wide.right, 1472);
  EXPECT_EQ(wide.bottom, 924);

  const DisplayLayout small = LayOutDisplay(800, 600, false);
  EXPECT_TRUE(small.fullScreen);  // not tall: always full screen
  EXPECT_FALSE(small.tallScreen);
  EXPECT_EQ(small.left, 112);
  EXPECT_EQ(small.top, 84);
  EXPECT_EQ(small.right, 912);  // logical x 112 .. 911 visible
  EXPECT_EQ(small.bottom, 684);

  const DisplayLayout odd = LayOutDisplay(1025, 769, true);
  EXPECT_EQ(odd.left, -1);  // arithmetic shift rounds down
  EXPECT_EQ(odd.top, -1);
}

TEST(DisplayLayout, WindowModeOnlyOnTallScreens) {
  const DisplayLayout tall = LayOutDisplay(1280, 800, false);
  EXPECT_TRUE(tall.tallScreen);
  EXPECT_FALSE(tall.fullScreen);
  EXPECT_EQ(tall.screenW, 1024);
  EXPECT_EQ(tall.screenH, 768);
  EXPECT_EQ(tall.left, 0);
  EXPECT_EQ(tall.top, 0);

  const DisplayLayout low = LayOutDisplay(1280, 799, false);
  EXPECT_FALSE(low.tallScreen);
  EXPECT_TRUE(low.fullScreen);
  EXPECT_EQ(low.screenW, 1280);
  EXPECT_EQ(low.screenH, 799);
}
