#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/display_layout.h"
#include "platform/frame_buffer.h"

struct SingleInstance;

// A square window icon, 0xAARRGGBB per pixel, row after row.
struct IconImage {
  int size = 0;
  std::vector<uint32_t> pixels;
};

struct WindowRequest {
  bool fullScreen = false;
  int windowX = 0;
  int windowY = 0;
  std::string title;
  IconImage icon;
  SingleInstance* instance = nullptr;  // raise requests of later launches, when set
};

enum class WindowOpenResult { Ready, ThreadFailed, WindowFailed };

// Starts the display thread, which creates the window and the frame buffer
// (Link().frame) and serves the window until CloseDisplayWindow. Returns
// once the window is ready (or the thread failed); layout tells where the
// canvas sits.
WindowOpenResult OpenDisplayWindow(const WindowRequest& request, DisplayLayout& layout);

// Ends the display thread and frees the frame buffer. The last window
// position stays in Link().windowX and windowY. When the program is
// leaving, returns as soon as the window is gone and leaves the display
// system's own teardown (which may wait on desktop services) to the end of
// the process.
void CloseDisplayWindow(bool leaving = false);

// Marks a device rectangle of the frame buffer for the screen. Never waits
// for the display: the display thread merges the rectangles and presents at
// most once per refresh, and not while Link().repaintHold is set.
void PushFrameRect(const PixelRect& deviceRect);

// Replaces the window icon (applied by the display thread).
void SetWindowIcon(const IconImage& icon);

// True when the desktop runs a screen saver of its own, which then takes
// precedence over the program's.
bool SystemScreenSaverConfigured();

// Lets a test backend log the texts put on the canvas (logical position and
// colours); the real backend ignores it.
void RecordDrawnText(int x, int y, std::string_view text, Colour ink, Colour paper);
