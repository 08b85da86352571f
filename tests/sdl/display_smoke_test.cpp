// The real SDL window on an X display: opens, shows a page read back from the screen, closes and opens again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "core/app_globals.h"
#include "platform/clock.h"
#include "platform/window_link.h"
#include "support/temp_folder.h"
#include "ui/button_bar.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"

#ifdef SONICLOOM_SMOKE_X11
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Waits until the screen shows the frame buffer's colours at the probes (no window manager: window at its spot).
bool ScreenShows(const std::vector<std::pair<int, int>>& probes) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  const bool full = gDisplayState.layout.fullScreen;
  bool matched = false;
  for (const int64_t until = NowMillis() + 5000; !matched && NowMillis() < until; SleepMillis(20)) {
    matched = true;
    for (const auto& [x, y] : probes) {
      const int rootX = (full ? 0 : Link().windowX.load()) + x - Link().frame.left;
      const int rootY = (full ? 0 : Link().windowY.load()) + y - Link().frame.top;
      XImage* image = XGetImage(display, DefaultRootWindow(display), rootX, rootY, 1, 1, AllPlanes, ZPixmap);
      matched = matched && image && (XGetPixel(image, 0, 0) & 0xFFFFFF) == ReadPixel(x, y);
      if (image) XDestroyImage(image);
    }
  }
  XCloseDisplay(display);
  return matched;
}

}  // namespace
#endif

TEST(SdlDisplaySmoke, OpensDrawsReadsBackAndClosesTwice) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  TempFolder folder;
  gApp = AppGlobals{};
  gApp.installDir = folder.path;
  gApp.exeName = "Sonic-Loom";
  gApp.programState = STATE_MAIN_MENU;
  BuildIdentityStrings(gApp);

  for (int pass = 0; pass < 2; ++pass) {
    gApp.settings.colourMode = static_cast<uint16_t>(pass * 3);
    StartDisplay();
    ASSERT_TRUE(gApp.windowExists);
    ApplyColourMode();
    DrawScreenFrame();
    DrawPageHeader("SMOKE TEST", "0.0.0", true);
    SetButton(0, 0, "fLOAD<>");
    ShowMessageText("WINDOW UP");
    // The frame buffer holds the page ...
    EXPECT_EQ(ReadPixel(870, 8), PaletteColour(kText));           // the inverted module tag
    EXPECT_EQ(ReadPixel(500, 400), PaletteColour(kBackground));   // the main area
    EXPECT_EQ(ReadPixel(1 + 3, 708 + 3), PaletteColour(kFace));   // the "LOAD<>" face
#ifdef SONICLOOM_SMOKE_X11
    // ... and so does the screen, once the display thread presented it.
    EXPECT_TRUE(ScreenShows({{870, 8}, {500, 400}, {4, 711}, {944, 741}, {1023, 767}}));
#endif
    StopDisplay();
    EXPECT_FALSE(gApp.windowExists);
  }
}
