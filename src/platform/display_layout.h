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

// Whole-number scaling on large screens: the canvas is shown at the largest
// factor whose canvas fits the area (at least 1); a forced factor (1 to
// kMaxDisplayScale, 0 = none) wins.
inline constexpr int kMaxDisplayScale = 4;
int DisplayScale(int areaWidth, int areaHeight, int forcedScale);

// The forced factor of the SONICLOOM_SCALE text: 1 to kMaxDisplayScale, or 0
// when the text is missing or holds anything else.
int ForcedDisplayScale(const char* text);

// The layout of a screen shown at a factor: full screen lays the canvas out
// on the desktop divided by the factor (centred as ever); window mode keeps
// the 1,024 x 768 canvas. The tall-screen rule always sees the real desktop.
DisplayLayout LayOutScaledDisplay(int desktopWidth, int desktopHeight, bool fullScreenWanted, int scale);
