#include "ui/level_map.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/app_globals.h"
#include "ui/draw.h"

namespace {

constexpr double kBacklightScale = 0.901;
constexpr int kBacklightLift = 25;
constexpr int kLevelShift = 5;
constexpr int kLcdBlueBase = 128;

// Fills the cells of count slices of cellsPerSlice levels each, where
// Level(slice, cell) gives the level.
template <typename Level>
void DrawCells(int cellsPerSlice, Level level, LevelMapLayout layout, int x, int y, int w, int h) {
  HoldRepaint();
  for (int c = 0; c < kSliceCount; ++c) {
    for (int r = 0; r < cellsPerSlice; ++r) {
      SetPaper(LevelColour(level(c, r)));
      if (layout == LevelMapLayout::kColumns) {
        FillBox(x + c * w, y - r * h, x + c * w + w - 1, y - r * h + h);
      } else {
        FillBox(x + r * w, y + c * h, x + r * w + w, y + c * h + h - 1);
      }
    }
  }
  if (layout == LevelMapLayout::kColumns) {
    FlushRegion(x, y - (cellsPerSlice - 1) * h, x + kSliceCount * w, y + h);
  } else {
    FlushRegion(x, y, x + cellsPerSlice * w, y + kSliceCount * h);
  }
  SetPaper(PaletteColour(kBackground));
}

}  // namespace

Colour LevelColourFor(int level, int colourMode, bool backlight) {
  level = std::clamp(level, -kMaxCode, kMaxCode);
  const double amplitude = level == 0 ? 0.0 : std::copysign(std::pow(10.0, std::abs(level) * kDecadesPerCode), level);
  int intensity = std::abs(level + (static_cast<int>(Nearest(amplitude)) >> kLevelShift));
  if (backlight && colourMode != kLcdColourMode) {
    intensity = static_cast<int>(Nearest(intensity * kBacklightScale + kBacklightLift));
  }
  const int c = intensity & 255;
  switch (colourMode) {
    case 0:
      return Rgb(0, c, 0);
    case 1:
      return Rgb(c, c, 0);
    case 2:
      return Rgb(c, c, c);
    default:
      return Rgb(c, c, (kLcdBlueBase + intensity / 2) % 256);
  }
}

Colour LevelColour(int level) {
  return LevelColourFor(level, gApp.settings.colourMode, gApp.settings.backlight != 0);
}

void DrawLevelMap(const XformBandProfile& profile, LevelMapLayout layout, int x, int y, int cellWidth,
                  int cellHeight) {
  DrawCells(
      kXformBandCount, [&](int c, int r) { return static_cast<int>(profile[static_cast<size_t>(c * kXformBandCount + r)]); },
      layout, x, y, cellWidth, cellHeight);
}

void DrawLevelMap(const PartialTable& table, LevelMapLayout layout, int x, int y, int cellWidth, int cellHeight) {
  DrawCells(kPartialCount, [&](int c, int k) { return static_cast<int>(table.at(k, c)); }, layout, x, y, cellWidth,
            cellHeight);
}
