#pragma once
#include <cstddef>

// 65,536 phase angles in [0, 2 pi), the first 37 zero, built into the
// program. The noise synthesis reads them in place.
inline constexpr int kPhaseCount = 65536;
inline constexpr size_t kPhaseTableBytes = 262144;

extern const float kPhaseTableResource[kPhaseCount];
