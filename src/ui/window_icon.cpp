#include "ui/window_icon.h"

#include <algorithm>
#include <cmath>

#include "ui/palette.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr double kPi = 3.14159265358979323846;

}  // namespace

IconImage MakeWindowIcon(int colourMode, int size) {
  const Palette palette = PaletteFor(colourMode, true);
  IconImage icon;
  icon.size = size;
  icon.pixels.assign(static_cast<size_t>(size) * static_cast<size_t>(size), 0);
  auto put = [&](int x, int y, Colour colour) {
    if (x < 0 || y < 0 || x >= size || y >= size) return;
    icon.pixels[static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x)] = kOpaque | colour;
  };
  // The drawing is made for 32 pixels; every length scales with the size.
  auto scaled = [&](int length) { return std::max(1, static_cast<int>(std::lround(length * size / 32.0))); };
  const int margin = scaled(1);
  const int frame = scaled(3);
  const int inset = scaled(4);
  const int line = std::max(1, size / 32);
  // Screen face with a frame.
  for (int y = margin; y < size - margin; ++y) {
    for (int x = margin; x < size - margin; ++x) {
      const bool edge = x < frame || y < frame || x >= size - frame || y >= size - frame;
      put(x, y, edge ? palette[kFace] : palette[kBackground]);
    }
  }
  // Centre line and one cycle of a wave across the screen.
  for (int x = inset; x < size - inset; ++x) {
    for (int t = 0; t < line; ++t) put(x, size / 2 + t, palette[kFaint]);
  }
  const double amplitude = 9.0 * size / 32.0;
  int lastY = -1;
  for (int x = inset; x < size - inset; ++x) {
    const double phase = 2.0 * kPi * (x - inset) / (size - 2 * inset);
    const int y = size / 2 - static_cast<int>(std::lround(amplitude * std::sin(phase)));
    if (lastY < 0) lastY = y;
    for (int fill = std::min(y, lastY); fill <= std::max(y, lastY) + line - 1; ++fill) {
      for (int t = 0; t < line; ++t) put(x + t, fill, palette[kBright]);
    }
    lastY = y;
  }
  return icon;
}
