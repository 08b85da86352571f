#include "ui/window_icon.h"

#include <algorithm>
#include <cmath>

#include "ui/palette.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr double kPi = 3.14159265358979323846;

}  // namespace

IconImage MakeWindowIcon(int colourMode) {
  const Palette palette = PaletteFor(colourMode, true);
  IconImage icon;
  icon.size = kWindowIconSize;
  icon.pixels.assign(static_cast<size_t>(kWindowIconSize) * kWindowIconSize, 0);
  auto put = [&](int x, int y, Colour colour) {
    if (x < 0 || y < 0 || x >= kWindowIconSize || y >= kWindowIconSize) return;
    icon.pixels[static_cast<size_t>(y) * kWindowIconSize + static_cast<size_t>(x)] = kOpaque | colour;
  };
  // Screen face with a frame.
  for (int y = 1; y < kWindowIconSize - 1; ++y) {
    for (int x = 1; x < kWindowIconSize - 1; ++x) {
      const bool edge = x < 3 || y < 3 || x >= kWindowIconSize - 3 || y >= kWindowIconSize - 3;
      put(x, y, edge ? palette[kFace] : palette[kBackground]);
    }
  }
  // Centre line and one cycle of a wave across the screen.
  for (int x = 4; x < kWindowIconSize - 4; ++x) put(x, kWindowIconSize / 2, palette[kFaint]);
  int lastY = -1;
  for (int x = 4; x < kWindowIconSize - 4; ++x) {
    const double phase = 2.0 * kPi * (x - 4) / (kWindowIconSize - 8);
    const int y = kWindowIconSize / 2 - static_cast<int>(std::lround(9.0 * std::sin(phase)));
    if (lastY < 0) lastY = y;
    for (int fill = std::min(y, lastY); fill <= std::max(y, lastY); ++fill) {
      put(x, fill, palette[kBright]);
    }
    lastY = y;
  }
  return icon;
}
