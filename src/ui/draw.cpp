#include "ui/draw.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "core/app_globals.h"
#include "ui/console_font.h"
#include "ui/draw_path.h"
#include "ui/window_icon.h"
#include "platform/window.h"
#include "platform/window_link.h"

DrawingState gDraw;

namespace {

constexpr int kFormatBufferChars = 128;  // 127 characters and the terminator
constexpr int kPushMargin = 2;
constexpr int kVerticalTextStep = 14;
constexpr int kArrowLength = 12;
constexpr int kArrowHead = 4;

// The FrameLock for one primitive; a wait that runs out skips the primitive.
std::unique_lock<std::timed_mutex> LockFrame() {
  std::unique_lock<std::timed_mutex> hold(Link().frame.lock, std::defer_lock);
  (void)hold.try_lock_for(kFrameLockWait);
  return hold;
}

Pen CurrentPen() { return {gDraw.ink, gDraw.penStyle, gDraw.penWidth}; }

void Push(int x0, int y0, int x1, int y1) {
  const FrameBuffer& frame = Link().frame;
  const int left = std::min(x0, x1) - kPushMargin;
  const int top = std::min(y0, y1) - kPushMargin;
  const int right = std::max(x0, x1) + kPushMargin;
  const int bottom = std::max(y0, y1) + kPushMargin;
  PushFrameRect(DeviceRect(frame, left, top, right, bottom));
}

void LineWithEndPixel(int x0, int y0, int x1, int y1) {
  {
    auto hold = LockFrame();
    if (!hold.owns_lock()) return;
    RasterLine(Link().frame, x0, y0, x1, y1, CurrentPen(), gDraw.dashPhase);
    if (gDraw.penStyle % kPenStyleCount == 0) RasterPixel(Link().frame, x1, y1, gDraw.ink);
  }
  PushRegion(x0, y0, x1, y1);
}

}  // namespace

Brush CurrentBrush() {
  Brush brush;
  brush.pattern = gDraw.patternBrush;
  brush.solid = gDraw.paper;
  brush.bits = kPatterns[static_cast<size_t>(gDraw.pattern & 1)];
  brush.zeroColour = gDraw.paper;
  brush.oneColour = gDraw.textBackground;
  return brush;
}

TextSize MeasureText(std::string_view text) {
  return {RasterTextWidth(text), kGlyphHeight};
}

int AlignedLeft(int x, int width, char alignment) {
  if (alignment == 'M') return x - width / 2;
  if (alignment == 'R') return x - width;
  return x;
}

void DrawText(int x, int y, std::string_view text, char alignment) {
  const TextSize size = MeasureText(text);
  const int left = AlignedLeft(x, size.width, alignment);
  {
    auto hold = LockFrame();
    if (!hold.owns_lock()) return;
    RasterText(Link().frame, left, y, text, gDraw.ink, gDraw.textBackground);
  }
  RecordDrawnText(left, y, text, gDraw.ink, gDraw.textBackground);
  PushRegion(left, y, left + size.width, y + size.height);
}

void DrawFormatted(int x, int y, const char* format, char value, char alignment) {
  char buffer[kFormatBufferChars];
  std::snprintf(buffer, sizeof buffer, format, value);
  DrawText(x, y, buffer, alignment);
}

void DrawFormatted(int x, int y, const char* format, uint32_t value, char alignment) {
  char buffer[kFormatBufferChars];
  std::snprintf(buffer, sizeof buffer, format, value);
  DrawText(x, y, buffer, alignment);
}

void DrawFormatted(int x, int y, const char* format, int16_t value, char alignment) {
  char buffer[kFormatBufferChars];
  std::snprintf(buffer, sizeof buffer, format, value);
  DrawText(x, y, buffer, alignment);
}

void DrawVerticalText(int x, int y, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    DrawText(x, y + static_cast<int>(i) * kVerticalTextStep, text.substr(i, 1), 'M');
  }
}

void FillBox(int x0, int y0, int x1, int y1) {
  {
    auto hold = LockFrame();
    if (!hold.owns_lock()) return;
    RasterFill(Link().frame, x0, y0, x1, y1, CurrentBrush());
  }
  PushRegion(x0, y0, x1, y1);
}

void DrawFrame(int x0, int y0, int x1, int y1) {
  {
    auto hold = LockFrame();
    if (!hold.owns_lock()) return;
    FrameBuffer& frame = Link().frame;
    const Pen pen = CurrentPen();
    int phase = 0;
    RasterLine(frame, x0, y0, x1, y0, pen, phase);
    RasterLine(frame, x1, y0, x1, y1, pen, phase);
    RasterLine(frame, x1, y1, x0, y1, pen, phase);
    RasterLine(frame, x0, y1, x0, y0, pen, phase);
  }
  PushRegion(x0, y0, x1, y1);
}

void DrawLine(int x0, int y0, int x1, int y1) {
  gDraw.dashPhase = 0;
  LineWithEndPixel(x0, y0, x1, y1);
}

void PenMoveTo(int x, int y) {
  gDraw.penX = x;
  gDraw.penY = y;
  gDraw.dashPhase = 0;
}

void PenLineTo(int x, int y) {
  const int fromX = gDraw.penX;
  const int fromY = gDraw.penY;
  gDraw.penX = x;
  gDraw.penY = y;
  LineWithEndPixel(fromX, fromY, x, y);
}

void DrawPolyline(std::span<const PenPoint> points) {
  if (points.empty()) return;
  PenMoveTo(points[0].x, points[0].y);
  if (points.size() == 1) return;
  int x0 = points[0].x;
  int y0 = points[0].y;
  int x1 = x0;
  int y1 = y0;
  {
    auto hold = LockFrame();
    if (!hold.owns_lock()) return;
    FrameBuffer& frame = Link().frame;
    const Pen pen = CurrentPen();
    const bool endPixels = gDraw.penStyle % kPenStyleCount == 0;
    for (size_t i = 1; i < points.size(); ++i) {
      const PenPoint& from = points[i - 1];
      const PenPoint& to = points[i];
      RasterLine(frame, from.x, from.y, to.x, to.y, pen, gDraw.dashPhase);
      if (endPixels) RasterPixel(frame, to.x, to.y, gDraw.ink);
      x0 = std::min(x0, to.x);
      y0 = std::min(y0, to.y);
      x1 = std::max(x1, to.x);
      y1 = std::max(y1, to.y);
    }
  }
  gDraw.penX = points.back().x;
  gDraw.penY = points.back().y;
  PushRegion(x0, y0, x1, y1);
}

void DrawDownArrow(int x, int y) {
  DrawLine(x, y, x, y - kArrowLength);
  DrawLine(x, y, x - kArrowHead, y - kArrowHead);
  DrawLine(x, y, x + kArrowHead, y - kArrowHead);
}

void DrawUpArrow(int x, int y) {
  DrawLine(x, y, x, y + kArrowLength);
  DrawLine(x, y, x - kArrowHead, y + kArrowHead);
  DrawLine(x, y, x + kArrowHead, y + kArrowHead);
}

void DrawRightArrow(int x, int y) {
  DrawLine(x, y, x + kArrowLength, y);
  DrawLine(x, y, x + kArrowHead, y - kArrowHead);
  DrawLine(x, y, x + kArrowHead, y + kArrowHead);
}

void DrawLeftArrow(int x, int y) {
  DrawLine(x, y, x - kArrowLength, y);
  DrawLine(x, y, x - kArrowHead, y - kArrowHead);
  DrawLine(x, y, x - kArrowHead, y + kArrowHead);
}

void SetPixel(int x, int y, Colour colour) {
  {
    auto hold = LockFrame();
    if (!hold.owns_lock()) return;
    RasterPixel(Link().frame, x, y, colour);
  }
  PushRegion(x, y, x + 1, y + 1);
}

Colour ReadPixel(int x, int y) {
  auto hold = LockFrame();
  if (!hold.owns_lock()) return kInvalidColour;
  return RasterRead(Link().frame, x, y);
}

void HoldRepaint() {
  std::atomic<uint8_t>& hold = Link().repaintHold;
  if (hold < 255) ++hold;
}

void FlushRegion(int x0, int y0, int x1, int y1) {
  std::atomic<uint8_t>& hold = Link().repaintHold;
  if (hold > 0) --hold;
  if (hold == 0) Push(x0, y0, x1, y1);
}

void PushRegion(int x0, int y0, int x1, int y1) {
  if (Link().repaintHold == 0) Push(x0, y0, x1, y1);
}

void SetInk(Colour colour) {
  gDraw.ink = colour;
  gDraw.dashPhase = 0;
}

void SetPaper(Colour colour) {
  gDraw.paper = colour;
  gDraw.textBackground = colour;
  gDraw.patternBrush = false;
}

void SetPattern(int pattern, Colour colour) {
  gDraw.pattern = pattern & 1;
  gDraw.patternBrush = true;
  gDraw.paper = colour;
}

void SetPenStyle(int style, int width) {
  gDraw.penStyle = style;
  gDraw.penWidth = width;
  gDraw.dashPhase = 0;
}

void RestoreNormalColours() {
  SetPaper(PaletteColour(kBackground));
  SetInk(PaletteColour(kText));
}

void ApplyColourMode() {
  const int mode = gApp.settings.colourMode;
  gDraw.palette = PaletteFor(mode, gApp.settings.backlight != 0);
  SetPaper(gDraw.palette[kBackground]);
  SetInk(gDraw.palette[kText]);
  SetPenStyle(0, 0);
  // The first window already got its icon when it was created.
  if (gApp.programState != STATE_FIRST_START) SetWindowIcon(MakeWindowIcon(mode));
}
