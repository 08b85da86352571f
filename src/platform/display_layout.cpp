#include "platform/display_layout.h"

DisplayLayout LayOutDisplay(int desktopWidth, int desktopHeight, bool fullScreenWanted) {
  DisplayLayout layout;
  layout.tallScreen = desktopHeight >= kTallScreenMinHeight;
  layout.fullScreen = fullScreenWanted || !layout.tallScreen;
  if (layout.fullScreen) {
    layout.screenW = desktopWidth;
    layout.screenH = desktopHeight;
  }
  // Arithmetic shifts: negative on screens larger than the canvas.
  layout.left = (kCanvasWidth - layout.screenW) >> 1;
  layout.top = (kCanvasHeight - layout.screenH) >> 1;
  layout.right = layout.screenW + layout.left;
  layout.bottom = layout.screenH + layout.top;
  return layout;
}

int DisplayScale(int areaWidth, int areaHeight, int forcedScale) {
  if (forcedScale >= 1 && forcedScale <= kMaxDisplayScale) return forcedScale;
  int scale = 1;
  while (scale < kMaxDisplayScale && kCanvasWidth * (scale + 1) <= areaWidth && kCanvasHeight * (scale + 1) <= areaHeight) {
    ++scale;
  }
  return scale;
}

int ForcedDisplayScale(const char* text) {
  if (!text || text[0] < '1' || text[0] > '0' + kMaxDisplayScale || text[1] != '\0') return 0;
  return text[0] - '0';
}

DisplayLayout LayOutScaledDisplay(int desktopWidth, int desktopHeight, bool fullScreenWanted, int scale) {
  const DisplayLayout unscaled = LayOutDisplay(desktopWidth, desktopHeight, fullScreenWanted);
  if (!unscaled.fullScreen || scale <= 1) return unscaled;
  DisplayLayout layout = LayOutDisplay(desktopWidth / scale, desktopHeight / scale, true);
  layout.tallScreen = unscaled.tallScreen;
  return layout;
}
