#pragma once
#include <cstdint>

// The screen font: 8 x 16 pixels per character, one byte per row, most
// significant bit leftmost, for the character codes 0..255 (Latin-1).
// Converted at build time from a packaged console font.
inline constexpr int kGlyphWidth = 8;
inline constexpr int kGlyphHeight = 16;

extern const uint8_t kConsoleFontGlyphs[256][16];

// Points, commas and colons take half a cell, as in a proportional screen
// font, so that page numbers like "1.0.0" fit their place.
inline constexpr int kNarrowGlyphWidth = 4;

struct GlyphSpan {
  int firstColumn = 0;  // first column of the glyph cell that is drawn
  int width = kGlyphWidth;
};

GlyphSpan GlyphSpanOf(uint8_t character);
