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
