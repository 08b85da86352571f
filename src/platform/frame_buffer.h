#pragma once
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/display_layout.h"

// 0x00RRGGBB.
using Colour = uint32_t;

constexpr Colour Rgb(int red, int green, int blue) {
  return (static_cast<Colour>(red & 255) << 16) | (static_cast<Colour>(green & 255) << 8) |
         static_cast<Colour>(blue & 255);
}
constexpr int RedOf(Colour colour) { return static_cast<int>((colour >> 16) & 255); }
constexpr int GreenOf(Colour colour) { return static_cast<int>((colour >> 8) & 255); }
constexpr int BlueOf(Colour colour) { return static_cast<int>(colour & 255); }

// Drawing waits this long for the display thread; painting waits without
// limit.
inline constexpr std::chrono::milliseconds kFrameLockWait{10000};

// The off-screen picture the window shows: one row after the other, device
// coordinates. Size and origin are set while no display thread runs and
// stay fixed while the window exists; the pixels are guarded by the
// FrameLock.
struct FrameBuffer {
  int width = 0;
  int height = 0;
  int left = 0;  // logical coordinates of device pixel (0, 0)
  int top = 0;
  std::vector<Colour> pixels;
  std::timed_mutex lock;  // the FrameLock
};

// Rectangle with exclusive right and bottom edges.
struct PixelRect {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

PixelRect UniteRects(const PixelRect& a, const PixelRect& b);
PixelRect IntersectRects(const PixelRect& a, const PixelRect& b);

// Sizes the buffer for the layout, all black (under the lock).
void SetUpFrameBuffer(FrameBuffer& frame, const DisplayLayout& layout);
void ReleaseFrameBuffer(FrameBuffer& frame);
