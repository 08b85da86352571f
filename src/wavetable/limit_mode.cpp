#include "wavetable/limit_mode.h"

#include <algorithm>

#include "wavetable/partial_table.h"

CodeRange LimitRange(int mode) {
  switch (mode) {
    case kLimitPositive: return {0, kMaxCode};
    case kLimitNegative: return {-kMaxCode, 0};
    default: return {-kMaxCode, kMaxCode};
  }
}

int NextLimitMode(int mode) { return ((mode % kLimitModeCount) + kLimitModeCount + 1) % kLimitModeCount; }

int ClampToLimit(int value, int mode) {
  const CodeRange range = LimitRange(mode);
  return std::clamp(value, range.low, range.high);
}
