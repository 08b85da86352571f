// The real SDL window on a (virtual) X display: opens, shows a drawn page,
// the page is read back from the screen, and the window closes cleanly and
// opens again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "core/app_globals.h"
#include "core/settings.h"
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
#endif

namespace {

constexpr int kWaitMillis = 5000;

void DrawSmokePage() {
  DrawScreenFrame();
  DrawPageHeader("SMOKE TEST", "0.0.0", true);
  SetButton(0, 0, "fLOAD<>");
  SetButton(11, 1, "iEXIT");
  ShowMessageText("WINDOW UP");
}

#ifdef SONICLOOM_SMOKE_X11
// The colour the X server shows at a logical canvas point; -1 when it
// cannot be read. Without a window manager the window sits at its stored
// position (window mode) or covers the screen from (0, 0).
long ScreenPixel(Display* display, int x, int y) {
  const Window root = DefaultRootWindow(display);
  const int rootX = (gDisplayState.layout.fullScreen ? 0 : Link().windowX.load()) + x - Link().frame.left;
  const int rootY = (gDisplayState.layout.fullScreen ? 0 : Link().windowY.load()) + y - Link().frame.top;
  XImage* image = XGetImage(display, root, rootX, rootY, 1, 1, AllPlanes, ZPixmap);
  if (!image) return -1;
  const long pixel = static_cast<long>(XGetPixel(image, 0, 0) & 0xFFFFFF);
  XDestroyImage(image);
  return pixel;
}

// Waits until the screen shows the expected colours at the probe points.
bool ScreenShows(const std::vector<std::pair<int, int>>& probes) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  bool matched = false;
  const int64_t until = NowMillis() + kWaitMillis;
  while (!matched && NowMillis() < until) {
    matched = true;
    for (const auto& [x, y] : probes) {
      if (ScreenPixel(display, x, y) != static_cast<long>(ReadPixel(x, y))) matched = false;
    }
    if (!matched) SleepMillis(20);
  }
  XCloseDisplay(display);
  return matched;
}
#endif

}  // namespace

TEST(SdlDisplaySmoke, OpensDrawsReadsBackAndClosesTwice) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  TempFolder folder;
  gApp = AppGlobals{};
  gApp.installDir = folder.path;
  gApp.exeName = "Sonic-Loom";
  BuildIdentityStrings(gApp);
  gApp.programState = STATE_MAIN_MENU;
  gApp.settings.fullScreen = 0;

  for (int pass = 0; pass < 2; ++pass) {
    gApp.settings.colourMode = static_cast<uint16_t>(pass * 3);
    StartDisplay();
    ASSERT_TRUE(gApp.windowExists);
    ApplyColourMode();
    DrawSmokePage();
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
    EXPECT_EQ(ReadAllBytes(folder / "system/sonicloom_system.dat").size(), kSettingsFileBytes);
  }
}
