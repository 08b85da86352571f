#include "modules/stereo_pair.h"

#include <algorithm>
#include <cmath>

namespace {

double ChannelPeak(std::span<const float> samples) {
  float peak = 0.0f;
  for (float sample : samples) peak = std::max(peak, std::fabs(sample));
  return peak;
}

}  // namespace

double PairPeak(std::span<const float> left, std::span<const float> right) {
  const double leftPeak = ChannelPeak(left);
  if (right.data() == left.data() && right.size() == left.size()) return leftPeak;
  return std::max(leftPeak, ChannelPeak(right));
}

double ScalePairToPeak(std::span<float> left, std::span<float> right, double target) {
  const double peak = PairPeak(left, right);
  if (!(peak > 0.0) || !std::isfinite(peak)) return peak;
  const double gain = target / peak;
  for (float& sample : left) sample = static_cast<float>(sample * gain);
  if (right.data() != left.data())
    for (float& sample : right) sample = static_cast<float>(sample * gain);
  return peak;
}

int64_t LastNonZero(std::span<const float> samples) {
  for (int64_t i = static_cast<int64_t>(samples.size()) - 1; i >= 0; --i)
    if (samples[static_cast<size_t>(i)] != 0.0f) return i;
  return -1;
}

int64_t LastNonZeroOfPair(std::span<const float> left, std::span<const float> right) {
  return std::max(LastNonZero(left), LastNonZero(right));
}

void ZeroNonFinite(std::span<float> samples) {
  for (float& sample : samples)
    if (!std::isfinite(sample)) sample = 0.0f;
}
