#pragma once
#include <cstdint>

// Two real signals travel through one complex transform: a in the real and
// b in the imaginary parts. Half spectra are complex arrays of n/2 + 1
// points (interleaved re, im), indexed 0 .. n/2.

// out (n complex points): out[m] = A[m] + i B[m] and
// out[n - m] = conj(A[m]) + i conj(B[m]) for m = n/2 down to 1; out[0] = 0.
// An inverse ComplexFft of out yields a in the real and b in the imaginary
// parts. out may be the same buffer as A.
void PackStereoSpectrum(float* out, const float* a, const float* b, int32_t n);

// From the transform z (n complex points) of a + i b, for m = 1 .. n/2:
// A[m] = z[m] + conj(z[n - m]), B[m] = -i (z[m] - conj(z[n - m])): twice the
// half spectra of a and b. DC and Nyquist entries of A and B are set to 0.
void UnpackStereoSpectrum(const float* z, float* a, float* b, int32_t n);
