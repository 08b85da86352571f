#include "modules/loop_pad.h"

#include <algorithm>

const char* LoopTypeText(int16_t type) {
  switch (type) {
    case kLoopTypeNormal: return "NORMAL";
    case kLoopTypeAlternate: return "ALTERNATE";
    case kLoopTypeReverse: return "REVERSE";
    default: return "NONE";
  }
}

int16_t LoopTypeFromFile(bool hasLoop, uint32_t samplerLoopType) {
  if (!hasLoop || samplerLoopType > 2) return kLoopTypeNone;
  return static_cast<int16_t>(samplerLoopType + 1);
}

bool LoopIsValid(const SourceLoop& loop, int64_t sourceLength) {
  if (loop.type < kLoopTypeNormal || loop.type > kLoopTypeReverse) return false;
  return loop.start >= 0 && loop.start <= loop.end && loop.end < sourceLength;
}

void LoopPad(const SourceLoop& loop, std::span<const float> source, std::span<float> destination) {
  const int64_t target = static_cast<int64_t>(destination.size());
  if (target <= 0) return;
  if (!LoopIsValid(loop, static_cast<int64_t>(source.size()))) {
    const size_t copied = std::min(source.size(), destination.size());
    std::copy_n(source.begin(), copied, destination.begin());
    std::fill(destination.begin() + static_cast<std::ptrdiff_t>(copied), destination.end(), 0.0f);
    return;
  }
  const int64_t head = loop.start < target ? loop.start : target - 1;
  std::copy_n(source.begin(), head, destination.begin());
  const int64_t length = static_cast<int64_t>(loop.end) - loop.start + 1;
  for (int64_t j = 0; j < target - head; ++j) {
    const int64_t pass = j / length;
    const int64_t within = j % length;
    int64_t from = loop.start + within;
    if (loop.type == kLoopTypeReverse || (loop.type == kLoopTypeAlternate && pass % 2 == 1)) from = loop.end - within;
    destination[static_cast<size_t>(head + j)] = source[static_cast<size_t>(from)];
  }
}
