#pragma once
#include <span>

// When the largest absolute sample exceeds the threshold, every sample is
// multiplied by target / peak; otherwise nothing changes. Returns the peak
// that was measured.
double LimitPeak(std::span<float> samples, double threshold, double target);

double PeakOf(std::span<const float> samples);
