#include "platform/display_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

std::string Shown(const DisplayLayout& d) {  // tall|full screen|size|visible logical rectangle
  return std::string(d.tallScreen ? "tall" : "low") + (d.fullScreen ? " full " : " window ") +
         std::to_string(d.screenW) + "x" + std::to_string(d.screenH) + " " + std::to_string(d.left) + "," +
         std::to_string(d.top) + ".." + std::to_string(d.right) + "," + std::to_string(d.bottom);
}

TEST(DisplayLayout, CentresTheCanvasAndAllowsWindowsOnlyOnTallScreens) {
  const std::tuple<int, int, int, bool, const char*> cases[] = {  // width, height, scale, full screen, layout
      {1920, 1080, 1, true, "tall full 1920x1080 -448,-156..1472,924"},  // logical (0, 0) at device (448, 156)
      // Not tall: always full screen; logical x 112 .. 911 visible.
      {800, 600, 1, false, "low full 800x600 112,84..912,684"},
      {1025, 769, 1, true, "low full 1025x769 -1,-1..1024,768"},  // arithmetic shift rounds down
      {1280, 800, 1, false, "tall window 1024x768 0,0..1024,768"},
      {1280, 799, 1, false, "low full 1280x799 -128,-16..1152,783"},
      // Scaled: full screen divides the desktop, a window keeps the canvas; "tall" sees the real height.
      {3840, 2160, 2, true, "tall full 1920x1080 -448,-156..1472,924"},
      {3840, 2160, 2, false, "tall window 1024x768 0,0..1024,768"},
      {2048, 1600, 2, true, "tall full 1024x800 0,-16..1024,784"},
  };
  for (const auto& [width, height, scale, fullScreen, shown] : cases) {
    const DisplayLayout layout = scale == 1 ? LayOutDisplay(width, height, fullScreen)
                                            : LayOutScaledDisplay(width, height, fullScreen, scale);
    EXPECT_EQ(Shown(layout), shown) << width << "x" << height << " / " << scale;
  }
}

TEST(DisplayLayout, LargeScreensShowTheCanvasAtTheLargestWholeFactor) {
  const std::tuple<int, int, int, int> rows[] = {  // width, height, forced scale, scale
      {1920, 1080, 0, 1}, {2048, 1536, 0, 2}, {2047, 1536, 0, 1}, {3840, 2160, 0, 2},
      {3840, 2160, 1, 1}, {1280, 1024, 3, 3}, {7680, 4320, 0, 4}, {800, 600, 0, 1},
  };
  for (const auto& [width, height, forced, scale] : rows)
    EXPECT_EQ(DisplayScale(width, height, forced), scale) << width << "x" << height;
  for (const char* text : {"", "0", "5", "2x", "-1"}) EXPECT_EQ(ForcedDisplayScale(text), 0) << text;
  EXPECT_EQ(ForcedDisplayScale(nullptr), 0);
  EXPECT_EQ(ForcedDisplayScale("3"), 3);
}

}  // namespace
