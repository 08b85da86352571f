#pragma once

// The value range that "RAND" and pointer drawing keep to, cycled by
// "LIMIT": mode 0 both polarities, 1 positive only, 2 negative only.
inline constexpr int kLimitBipolar = 0;
inline constexpr int kLimitPositive = 1;
inline constexpr int kLimitNegative = 2;
inline constexpr int kLimitModeCount = 3;

struct CodeRange {
  int low;
  int high;
};

CodeRange LimitRange(int mode);
int NextLimitMode(int mode);
int ClampToLimit(int value, int mode);
