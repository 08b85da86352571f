#include "ui/palette.h"

Palette PaletteFor(int colourMode, bool backlight) {
  const int mode = colourMode >= 0 && colourMode < static_cast<int>(kColourTable.size()) ? colourMode : 0;
  Palette palette = kColourTable[mode];
  if (!backlight && mode != kLcdColourMode) palette[kBackground] = kBlack;
  return palette;
}
