#include "platform/frame_buffer.h"

#include <algorithm>

PixelRect UniteRects(const PixelRect& a, const PixelRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

PixelRect IntersectRects(const PixelRect& a, const PixelRect& b) {
  PixelRect result{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
  if (result.Empty()) return {};
  return result;
}

void SetUpFrameBuffer(FrameBuffer& frame, const DisplayLayout& layout) {
  std::lock_guard<std::timed_mutex> hold(frame.lock);
  frame.width = layout.screenW;
  frame.height = layout.screenH;
  frame.left = layout.left;
  frame.top = layout.top;
  frame.pixels.assign(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height), 0);
}

void ReleaseFrameBuffer(FrameBuffer& frame) {
  std::lock_guard<std::timed_mutex> hold(frame.lock);
  std::vector<Colour>().swap(frame.pixels);
  frame.width = 0;
  frame.height = 0;
}
