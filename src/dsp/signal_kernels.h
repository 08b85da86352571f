#pragma once
#include <cstdint>

// Fade length of the loop tripler, the rising half of a 128-point window.
inline constexpr int32_t kLoopFadeLength = 64;

// Periodic Hann window: w[k] = (1 - cos(2 pi k / n)) / 2 for k = 0 .. n-1,
// so w[0] = 0 and the peak 1.0 sits at k = n/2.
void HannWindow(double* w, int32_t n);

// Writes three consecutive copies of the length samples of source into
// destination (3 x length samples). With fadeCount above 1 each copy's first
// and last 64 samples are shaped by the rising half of a 128-point Hann
// window, so copies join without clicks.
void TripleLoopSegment(const float* source, float* destination, int32_t fadeCount, int32_t length);

// Subtracts the mean of the n samples (summed in double precision) unless
// the sum is exactly zero; a NaN sum counts as non-zero.
void RemoveMean(float* data, int32_t n);
