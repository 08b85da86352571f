#pragma once
#include <cstdint>

// The phase of a bin as the analysis pages read it: 0 when the imaginary
// part is exactly 0 (even for a negative real part), +-pi/2 by the sign of
// the imaginary part when the real part is exactly 0, else atan2(im, re).
double BinPhase(double re, double im);
float BinPhase(float re, float im);

// +1 for a positive phase or a phase of exactly 0, -1 for a negative one.
int16_t PhasePolarity(float phase);
