#include "wavetable/limit_peak.h"

#include <algorithm>
#include <cmath>

double PeakOf(std::span<const float> samples) {
  double peak = 0.0;
  for (float sample : samples) peak = std::max(peak, std::fabs(static_cast<double>(sample)));
  return peak;
}

double LimitPeak(std::span<float> samples, double threshold, double target) {
  const double peak = PeakOf(samples);
  if (peak > threshold) {
    const double gain = target / peak;
    for (float& sample : samples) sample = static_cast<float>(sample * gain);
  }
  return peak;
}
