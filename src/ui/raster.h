#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "platform/frame_buffer.h"

// The software rasteriser under the drawing primitives. Coordinates are
// logical canvas pixels; everything is clipped to the frame buffer. The
// caller holds the FrameLock.

inline constexpr Colour kInvalidColour = 0xFFFFFFFFu;

struct Brush {
  bool pattern = false;
  Colour solid = 0;
  std::array<uint8_t, 8> bits{};  // rows, most significant bit leftmost
  Colour zeroColour = 0;          // pattern bits 0
  Colour oneColour = 0;           // pattern bits 1
};

inline constexpr int kPenStyleCount = 3;

struct Pen {
  Colour colour = 0;
  int style = 0;  // 0 solid, 1 dotted (1 on, 2 off), 2 sparse (1 on, 3 off)
  int width = 0;  // 0 and 1 are one pixel
};

// The fill covers x0 <= x < x1, y0 <= y < y1; an inverted rectangle fills
// nothing.
void RasterFill(FrameBuffer& frame, int x0, int y0, int x1, int y1, const Brush& brush);

void RasterPixel(FrameBuffer& frame, int x, int y, Colour colour);
Colour RasterRead(const FrameBuffer& frame, int x, int y);

// A line from (x0, y0) towards (x1, y1), the end pixel excluded. dashPhase
// carries the dash position from one segment of a path to the next.
void RasterLine(FrameBuffer& frame, int x0, int y0, int x1, int y1, const Pen& pen, int& dashPhase);

// Opaque text: each character cell in paper, the glyph's pixels in ink.
void RasterText(FrameBuffer& frame, int x, int y, std::string_view text, Colour ink, Colour paper);

int RasterTextWidth(std::string_view text);

// Device rectangle of a logical one, clipped to the frame buffer.
PixelRect DeviceRect(const FrameBuffer& frame, int x0, int y0, int x1, int y1);
