#include "ui/console_font.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr std::string_view kNarrowCharacters = ".,:;";

std::array<GlyphSpan, 256> BuildSpans() {
  std::array<GlyphSpan, 256> spans{};
  for (char narrow : kNarrowCharacters) {
    const auto code = static_cast<uint8_t>(narrow);
    uint8_t used = 0;
    for (int row = 0; row < kGlyphHeight; ++row) used = static_cast<uint8_t>(used | kConsoleFontGlyphs[code][row]);
    if (used == 0) continue;
    int first = 0;
    while (!((used >> (7 - first)) & 1)) ++first;
    int last = kGlyphWidth - 1;
    while (!((used >> (7 - last)) & 1)) --last;
    // The ink centred in a half cell.
    const int start = first - (kNarrowGlyphWidth - (last - first + 1)) / 2;
    spans[code].firstColumn = std::clamp(start, 0, kGlyphWidth - kNarrowGlyphWidth);
    spans[code].width = kNarrowGlyphWidth;
  }
  return spans;
}

}  // namespace

GlyphSpan GlyphSpanOf(uint8_t character) {
  static const std::array<GlyphSpan, 256> spans = BuildSpans();
  return spans[character];
}
