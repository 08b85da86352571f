#include "ui/screen_saver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "core/app_globals.h"
#include "core/checked_alloc.h"
#include "core/random.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "platform/window_link.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/input.h"

namespace {

constexpr int kTitleBufferChars = 64;

// The logical canvas rows that exist in the frame buffer, as device columns.
struct CanvasSpan {
  int firstX = 0;  // logical
  int lastX = 0;   // exclusive
  int firstY = 0;
  int lastY = 0;
};

CanvasSpan VisibleCanvas(const FrameBuffer& frame) {
  CanvasSpan span;
  span.firstX = std::max(0, frame.left);
  span.lastX = std::min(kCanvasWidth, frame.left + frame.width);
  span.firstY = std::max(0, frame.top);
  span.lastY = std::min(kCanvasHeight, frame.top + frame.height);
  return span;
}

const Colour* DeviceRow(const FrameBuffer& frame, int logicalX, int logicalY) {
  return frame.pixels.data() + static_cast<size_t>(logicalY - frame.top) * static_cast<size_t>(frame.width) +
         static_cast<size_t>(logicalX - frame.left);
}

void ClearVisible() {
  const DisplayLayout& layout = gDisplayState.layout;
  FillBox(layout.left, layout.top, layout.right, layout.bottom);
}

// The key that woke the saver must not act on the page behind it: a polled
// key still held counts as already reported.
void SwallowHeldKey() {
  DropKeyPresses();
  for (int key : kPolledKeys) {
    if (KeyDown(key)) {
      gInput.heldKey = static_cast<uint16_t>(key);
      return;
    }
  }
}

}  // namespace

void SaveScreen(std::vector<Colour>& pixels, bool stopWhenSaverEnds) {
  if (pixels.size() < kCanvasPixels) return;
  FrameBuffer& frame = Link().frame;
  std::unique_lock<std::timed_mutex> hold(frame.lock, std::defer_lock);
  if (!hold.try_lock_for(kFrameLockWait)) return;
  const CanvasSpan span = VisibleCanvas(frame);
  if (span.lastX <= span.firstX) return;
  for (int y = span.firstY; y < span.lastY; ++y) {
    if (stopWhenSaverEnds && !Link().saverDue) return;
    std::memcpy(pixels.data() + static_cast<size_t>(y) * kCanvasWidth + static_cast<size_t>(span.firstX),
                DeviceRow(frame, span.firstX, y), static_cast<size_t>(span.lastX - span.firstX) * sizeof(Colour));
  }
}

void RestoreScreen(const std::vector<Colour>& pixels) {
  if (pixels.size() < kCanvasPixels) return;
  FrameBuffer& frame = Link().frame;
  {
    std::unique_lock<std::timed_mutex> hold(frame.lock, std::defer_lock);
    if (!hold.try_lock_for(kFrameLockWait)) return;
    const Brush brush = CurrentBrush();
    const Colour background = PaletteColour(kBackground);
    const CanvasSpan span = VisibleCanvas(frame);
    const bool plainBackground = !brush.pattern && brush.solid == background;
    if (span.lastX > span.firstX) {
      const size_t count = static_cast<size_t>(span.lastX - span.firstX);
      for (int y = span.firstY; y < span.lastY; ++y) {
        const Colour* saved = pixels.data() + static_cast<size_t>(y) * kCanvasWidth + static_cast<size_t>(span.firstX);
        Colour* row = const_cast<Colour*>(DeviceRow(frame, span.firstX, y));
        if (plainBackground) {
          // Filling with the background and putting back what differs from
          // it is the saved row itself.
          std::memcpy(row, saved, count * sizeof(Colour));
          continue;
        }
        RasterFill(frame, span.firstX, y, span.lastX, y + 1, brush);
        for (size_t x = 0; x < count; ++x) {
          if (saved[x] != background) row[x] = saved[x];
        }
      }
    }
  }
  PushRegion(-2, -2, kCanvasWidth + 2, kCanvasHeight + 2);
}

void RunScreenSaverIfDue() {
  WindowLink& link = Link();
  if (!link.saverDue || SystemScreenSaverConfigured() || !gDisplayState.started) return;
  std::vector<Colour> saved;
  CheckedAlloc(saved, kCanvasPixels);
  SaveScreen(saved);
  if (!link.saverDue) return;

  char title[kTitleBufferChars];
  std::snprintf(title, sizeof title, " %s ", gApp.screenTitle.c_str());
  const TextSize size = MeasureText(title);
  const DisplayLayout& layout = gDisplayState.layout;
  const int minX = layout.left;
  const int maxX = layout.right - size.width;
  const int minY = layout.top;
  const int maxY = layout.bottom - size.height;
  int dx = 1 - 2 * RandomBelow(2);
  int dy = 1 - 2 * RandomBelow(2);

  link.cursorHidden = true;
  ClearVisible();
  int x = 0;
  int y = 3;
  while (link.saverDue) {
    DrawText(x, y, title, 'L');
    x += dx;
    y += dy;
    if (x < minX || x > maxX) dx = -dx;
    if (y < minY || y > maxY) dy = -dy;
    SleepMillis(kSaverStepMillis);
  }

  link.cursorHidden = false;
  ClearVisible();
  DrawText(kCanvasWidth / 2, kCanvasHeight / 2, "RESTORING SCREEN...", 'M');
  SleepMillis(kSaverRestoreMillis);
  RestoreScreen(saved);
  FlushMouseSlots(kMouseKindCount);
  FlushChars();
  SwallowHeldKey();
}
