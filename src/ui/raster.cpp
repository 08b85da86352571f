#include "ui/raster.h"

#include <algorithm>
#include <cstdlib>

#include "ui/console_font.h"

namespace {

struct DashPattern {
  int on;
  int off;
};

// Segment lengths of the three pen styles (drawn, skipped).
constexpr std::array<DashPattern, kPenStyleCount> kDashPatterns = {{{16, 0}, {1, 2}, {1, 3}}};

Colour* Row(FrameBuffer& frame, int deviceY) {
  return frame.pixels.data() + static_cast<size_t>(deviceY) * static_cast<size_t>(frame.width);
}

// A square of the pen's width centred on the point.
void PlotPenPoint(FrameBuffer& frame, int x, int y, const Pen& pen) {
  const int width = std::max(pen.width, 1);
  if (width == 1) {
    RasterPixel(frame, x, y, pen.colour);
    return;
  }
  const int start = -(width / 2);
  Brush brush;
  brush.solid = pen.colour;
  RasterFill(frame, x + start, y + start, x + start + width, y + start + width, brush);
}

}  // namespace

PixelRect DeviceRect(const FrameBuffer& frame, int x0, int y0, int x1, int y1) {
  return IntersectRects({x0 - frame.left, y0 - frame.top, x1 - frame.left, y1 - frame.top},
                        {0, 0, frame.width, frame.height});
}

void RasterFill(FrameBuffer& frame, int x0, int y0, int x1, int y1, const Brush& brush) {
  const PixelRect area = DeviceRect(frame, x0, y0, x1, y1);
  if (area.Empty()) return;
  for (int y = area.y0; y < area.y1; ++y) {
    Colour* row = Row(frame, y);
    if (!brush.pattern) {
      std::fill(row + area.x0, row + area.x1, brush.solid);
      continue;
    }
    // The pattern is anchored to the logical canvas, so it looks the same
    // in every display mode.
    const uint8_t bits = brush.bits[static_cast<size_t>((y + frame.top) & 7)];
    for (int x = area.x0; x < area.x1; ++x) {
      const int bit = 7 - ((x + frame.left) & 7);
      row[x] = ((bits >> bit) & 1) ? brush.oneColour : brush.zeroColour;
    }
  }
}

void RasterPixel(FrameBuffer& frame, int x, int y, Colour colour) {
  const int deviceX = x - frame.left;
  const int deviceY = y - frame.top;
  if (deviceX < 0 || deviceY < 0 || deviceX >= frame.width || deviceY >= frame.height) return;
  Row(frame, deviceY)[deviceX] = colour;
}

Colour RasterRead(const FrameBuffer& frame, int x, int y) {
  const int deviceX = x - frame.left;
  const int deviceY = y - frame.top;
  if (deviceX < 0 || deviceY < 0 || deviceX >= frame.width || deviceY >= frame.height) return kInvalidColour;
  return frame.pixels[static_cast<size_t>(deviceY) * static_cast<size_t>(frame.width) + static_cast<size_t>(deviceX)];
}

void RasterLine(FrameBuffer& frame, int x0, int y0, int x1, int y1, const Pen& pen, int& dashPhase) {
  const DashPattern dash = kDashPatterns[static_cast<size_t>(((pen.style % kPenStyleCount) + kPenStyleCount) %
                                                             kPenStyleCount)];
  const int unit = std::max(pen.width, 1);  // wide pens stretch their dashes
  const int on = dash.on * unit;
  const int cycle = (dash.on + dash.off) * unit;
  const int dx = std::abs(x1 - x0);
  const int dy = -std::abs(y1 - y0);
  const int stepX = x0 < x1 ? 1 : -1;
  const int stepY = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  int x = x0;
  int y = y0;
  // Solid thin lines wholly inside the frame (nearly all of a graph's
  // curves) write their pixels without dash or clipping tests.
  const PixelRect area = DeviceRect(frame, std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1,
                                    std::max(y0, y1) + 1);
  const bool whole = area.x1 - area.x0 == dx + 1 && area.y1 - area.y0 == 1 - dy;
  if (dash.off == 0 && pen.width <= 1 && whole) {
    const int steps = std::max(dx, -dy);
    Colour* pixel = Row(frame, y0 - frame.top) + (x0 - frame.left);
    const std::ptrdiff_t rowStep = stepY * static_cast<std::ptrdiff_t>(frame.width);
    for (int i = 0; i < steps; ++i) {
      *pixel = pen.colour;
      const int doubled = 2 * error;
      if (doubled >= dy) {
        error += dy;
        pixel += stepX;
      }
      if (doubled <= dx) {
        error += dx;
        pixel += rowStep;
      }
    }
    dashPhase = (dashPhase + steps) % cycle;
    return;
  }
  while (x != x1 || y != y1) {
    if (dash.off == 0 || dashPhase % cycle < on) PlotPenPoint(frame, x, y, pen);
    dashPhase = (dashPhase + 1) % cycle;
    const int doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      x += stepX;
    }
    if (doubled <= dx) {
      error += dx;
      y += stepY;
    }
  }
}

void RasterText(FrameBuffer& frame, int x, int y, std::string_view text, Colour ink, Colour paper) {
  int cellX = x;
  for (char character : text) {
    const auto code = static_cast<uint8_t>(character);
    const GlyphSpan span = GlyphSpanOf(code);
    const PixelRect cell = DeviceRect(frame, cellX, y, cellX + span.width, y + kGlyphHeight);
    if (!cell.Empty()) {
      const uint8_t* glyph = kConsoleFontGlyphs[code];
      for (int deviceY = cell.y0; deviceY < cell.y1; ++deviceY) {
        const uint8_t bits = glyph[deviceY + frame.top - y];
        Colour* row = Row(frame, deviceY);
        for (int deviceX = cell.x0; deviceX < cell.x1; ++deviceX) {
          const int bit = 7 - (deviceX + frame.left - cellX + span.firstColumn);
          row[deviceX] = ((bits >> bit) & 1) ? ink : paper;
        }
      }
    }
    cellX += span.width;
  }
}

int RasterTextWidth(std::string_view text) {
  int width = 0;
  for (char character : text) width += GlyphSpanOf(static_cast<uint8_t>(character)).width;
  return width;
}
