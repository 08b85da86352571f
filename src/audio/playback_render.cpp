#include "audio/playback_render.h"

#include <algorithm>

#include "audio/playback_state.h"

int64_t ScanFrames(int count, int32_t speed) {
  const int64_t steps = std::max(count - 1, 0);
  const int64_t frames = steps * kTableFrames / std::max<int32_t>(speed, 1);
  if (frames > kMaxScanFrames) return kMaxScanFrames;
  if (frames < kMinPositionFrames) return kMinPositionFrames;
  return frames;
}

void RenderScan(std::span<const float> tables, int count, int32_t speed, ScanCursor& cursor, std::span<float> out) {
  const int last = count - 1;
  // The fraction grows in single precision, speed x 2^-17 per frame.
  const float step = static_cast<float>(std::max<int32_t>(speed, 1)) * 0x1p-17f;
  const size_t frames = out.size() / 2;
  for (size_t i = 0; i < frames; ++i) {
    float* frame = &out[2 * i];
    const size_t at = 2 * static_cast<size_t>(cursor.position);
    if (cursor.table >= last) {
      const float* held = tables.data() + static_cast<size_t>(std::max(last, 0)) * kTableFloats + at;
      frame[0] = held[0];
      frame[1] = held[1];
    } else {
      const float* a = tables.data() + static_cast<size_t>(cursor.table) * kTableFloats + at;
      const float* b = a + kTableFloats;
      frame[0] = a[0] + (b[0] - a[0]) * cursor.fraction;
      frame[1] = a[1] + (b[1] - a[1]) * cursor.fraction;
    }
    cursor.position = (cursor.position + 1) % kTableFrames;
    if (cursor.table >= last) continue;
    cursor.fraction += step;
    if (cursor.fraction >= 1.0f) {
      ++cursor.table;
      cursor.fraction = 0.0f;
    }
  }
}

void InterleaveFrames(std::span<const float> left, std::span<const float> right, int64_t first, std::span<float> out) {
  const size_t frames = out.size() / 2;
  const auto start = static_cast<size_t>(first);
  for (size_t i = 0; i < frames; ++i) {
    out[2 * i] = left[start + i];
    out[2 * i + 1] = right[start + i];
  }
}
