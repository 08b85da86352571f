#pragma once
#include <cstdint>
#include <span>

// Helpers on a pair of channel buffers (left, right). A mono sound fills
// both channels alike; the peak of a pair is the largest absolute sample of
// either channel, and normalising a pair scales both by one factor.

double PairPeak(std::span<const float> left, std::span<const float> right);

// Scales both channels so that the pair peaks at target. A silent pair (or
// one whose peak is not a finite number) is left as it is, so no silent
// sound is ever divided by zero. Returns the peak measured before.
double ScalePairToPeak(std::span<float> left, std::span<float> right, double target);

// Index of the last sample that is not exactly 0, -1 for an all-zero
// channel; of a pair the larger index.
int64_t LastNonZero(std::span<const float> samples);
int64_t LastNonZeroOfPair(std::span<const float> left, std::span<const float> right);

// NaN and infinite samples become 0, so that nothing a file brings in can
// turn a whole computation into NaN.
void ZeroNonFinite(std::span<float> samples);
