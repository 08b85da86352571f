#pragma once
#include <cstdint>

// The screen font: 8 x 16 pixels per character, one byte per row, most
// significant bit leftmost, for the character codes 0..255 (Latin-1).
// Converted at build time from a packaged console font.
inline constexpr int kGlyphWidth = 8;
inline constexpr int kGlyphHeight = 16;

extern const uint8_t kConsoleFontGlyphs[256][16];
