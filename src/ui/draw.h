#pragma once
#include <cstdint>
#include <string_view>

#include "ui/palette.h"
#include "ui/raster.h"

// The drawing primitives. Each takes the FrameLock only while it touches the
// frame buffer and then, unless a batch is open (RepaintHold), pushes its own
// rectangle widened by 2 pixels to the screen. Main thread only.

// Between drawing operations paper is Background and ink is Text; an
// operation that changes them sets them back when it ends.
struct DrawingState {
  Colour ink = kWhite;
  Colour paper = kWhite;           // solid brush, or the colour of the 0 bits of a pattern
  Colour textBackground = kWhite;  // paper of the last SetPaper: text cells and 1 bits of a pattern
  bool patternBrush = false;
  int pattern = 0;
  int penStyle = 0;
  int penWidth = 0;
  int penX = 0;
  int penY = 0;
  int dashPhase = 0;
  Palette palette = kColourTable[0];
};

extern DrawingState gDraw;

inline Colour PaletteColour(PaletteSlot slot) { return gDraw.palette[slot]; }

struct TextSize {
  int width = 0;
  int height = 0;
};

TextSize MeasureText(std::string_view text);

// Left edge of a text of the given width for the alignment code "L", "M"
// (centred on x) or "R" (right edge at x); any other code is "L".
int AlignedLeft(int x, int width, char alignment);

void DrawText(int x, int y, std::string_view text, char alignment);
// Formats into 127 characters, then DrawText.
void DrawFormatted(int x, int y, const char* format, char value, char alignment);
void DrawFormatted(int x, int y, const char* format, uint32_t value, char alignment);
void DrawFormatted(int x, int y, const char* format, int16_t value, char alignment);
// One character under the other, 14 pixels apart, each centred on x.
void DrawVerticalText(int x, int y, std::string_view text);

void FillBox(int x0, int y0, int x1, int y1);
void DrawFrame(int x0, int y0, int x1, int y1);
void DrawLine(int x0, int y0, int x1, int y1);
void PenMoveTo(int x, int y);
void PenLineTo(int x, int y);
// Arrows of three lines whose tip is (x, y).
void DrawDownArrow(int x, int y);
void DrawUpArrow(int x, int y);
void DrawRightArrow(int x, int y);
void DrawLeftArrow(int x, int y);
void SetPixel(int x, int y, Colour colour);
Colour ReadPixel(int x, int y);  // kInvalidColour outside the frame buffer

// Batches: HoldRepaint before many pieces, FlushRegion with their bounding
// rectangle after; nested batches push once, when the outermost closes.
void HoldRepaint();
void FlushRegion(int x0, int y0, int x1, int y1);
// Pushes a logical rectangle (corners in any order) unless a batch is open.
void PushRegion(int x0, int y0, int x1, int y1);

void SetInk(Colour colour);
void SetPaper(Colour colour);
void SetPattern(int pattern, Colour colour);
void SetPenStyle(int style, int width);
// The normal colours: paper Background, ink Text.
void RestoreNormalColours();

// Loads the palette and the drawing defaults of the current colour mode and
// backlight, and sets the window icon of the mode.
void ApplyColourMode();

// The brush as the rasteriser sees it.
Brush CurrentBrush();

// The two 8 x 8 patterns: diagonal stripes (shaded buttons) and a fine
// checkerboard (progress bars).
inline constexpr std::array<std::array<uint8_t, 8>, 2> kPatterns = {{
    {0xF8, 0x7C, 0x3E, 0x1F, 0x8F, 0xC7, 0xE3, 0xF1},
    {0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC},
}};
