#include "dsp/signal_kernels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

void HannWindow(double* w, int32_t n) {
  for (int32_t k = 0; k < n; ++k) w[k] = (1.0 - std::cos(2.0 * std::numbers::pi * k / n)) * 0.5;
}

void TripleLoopSegment(const float* source, float* destination, int32_t fadeCount, int32_t length) {
  if (length <= 0) return;
  std::copy(source, source + length, destination);
  if (fadeCount > 1) {
    std::array<double, 2 * kLoopFadeLength> window;
    HannWindow(window.data(), 2 * kLoopFadeLength);
    // A segment shorter than the fade is faded over its own length only, so
    // the fade-out never reaches in front of the segment.
    const int32_t fade = std::min(kLoopFadeLength, length);
    for (int32_t k = 0; k < fade; ++k) {
      destination[k] = static_cast<float>(destination[k] * window[k]);
      destination[length - 1 - k] = static_cast<float>(destination[length - 1 - k] * window[k]);
    }
  }
  std::copy(destination, destination + length, destination + length);
  std::copy(destination, destination + length, destination + 2 * length);
}

void RemoveMean(float* data, int32_t n) {
  if (n <= 0) return;
  double sum = 0.0;
  for (int32_t i = 0; i < n; ++i) sum += data[i];
  if (sum == 0.0) return;  // false for NaN, which is removed like any other sum
  const double mean = sum / n;
  for (int32_t i = 0; i < n; ++i) data[i] = static_cast<float>(data[i] - mean);
}
