#pragma once
#include <span>

// The three-point smoother [1, 2, 1] / 4 that "BLUR", "SMOOTH" and the pad
// share. Each pass reads the previous pass's result.
//
// Open ends (rows across the slices, which do not wrap):
//   y[0] = (2 x[0] + x[1]) / 3,  y[n-1] = (2 x[n-1] + x[n-2]) / 3.
void SmoothLine(std::span<double> values, int passes);

// Circular ends (one cycle of a waveform): the neighbour of each end is
// taken from the other end. For n <= 2 only the two end formulas apply.
void SmoothLineCircular(std::span<double> values, int passes);
void SmoothLineCircular(std::span<float> values, int passes);
