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

TEST(DisplayLayout, LargeScreensShowTheCanvasAtTheLargestWholeFactor) {
  const struct {
    int width, height, forced, scale;
  } rows[] = {
      {1920, 1080, 0, 1}, {2048, 1536, 0, 2}, {2047, 1536, 0, 1}, {3840, 2160, 0, 2},
      {3840, 2160, 1, 1}, {1280, 1024, 3, 3}, {7680, 4320, 0, 4}, {800, 600, 0, 1},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(DisplayScale(row.width, row.height, row.forced), row.scale) << row.width << "x" << row.height;
  }
  for (const char* text : {"", "0", "5", "2x", "-1"}) EXPECT_EQ(ForcedDisplayScale(text), 0) << text;
  EXPECT_EQ(ForcedDisplayScale(nullptr), 0);
  EXPECT_EQ(ForcedDisplayScale("3"), 3);

  // Full screen lays the canvas out on the desktop divided by the factor;
  // window mode keeps the canvas; the tall-screen rule sees the real height.
  const DisplayLayout full = LayOutScaledDisplay(3840, 2160, true, 2);
  EXPECT_EQ(full.screenW, 1920);
  EXPECT_EQ(full.screenH, 1080);
  EXPECT_EQ(full.left, -448);
  const DisplayLayout window = LayOutScaledDisplay(3840, 2160, false, 2);
  EXPECT_FALSE(window.fullScreen);
  EXPECT_EQ(window.screenW, 1024);
  const DisplayLayout tall = LayOutScaledDisplay(2048, 1600, true, 2);
  EXPECT_TRUE(tall.tallScreen);
  EXPECT_EQ(tall.screenH, 800);
}
