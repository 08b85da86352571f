#pragma once

// The fixed logical canvas every page is drawn on.
inline constexpr int kCanvasWidth = 1024;
inline constexpr int kCanvasHeight = 768;
// Window mode is offered only on screens at least this high.
inline constexpr int kTallScreenMinHeight = 800;

// Where the canvas sits on the screen. The frame buffer is screenW x screenH
// device pixels; device = logical - (left, top), so a larger full screen
// shows the canvas in its middle and a smaller one shows the canvas's middle.
struct DisplayLayout {
  bool tallScreen = false;
  bool fullScreen = false;  // after the tall-screen rule
  int screenW = kCanvasWidth;
  int screenH = kCanvasHeight;
  int left = 0;  // visible logical rectangle
  int top = 0;
  int right = kCanvasWidth;
  int bottom = kCanvasHeight;
};

// Full screen takes the desktop size; window mode is a 1024 x 768 client
// area and only possible on a tall screen.
DisplayLayout LayOutDisplay(int desktopWidth, int desktopHeight, bool fullScreenWanted);
