#pragma once
#include <cstdint>

#include "dsp/dft_tables.h"

// Unnormalised complex transform of any length n >= 1 with separate real and
// imaginary arrays: out[k] = sum over j of in[j] exp(-2 pi i jk / n).
// Input and output may be the same arrays. Uses the process-wide gDftTables,
// rebuilding them when n changes. Not to be entered from two threads at once.
void MixedRadixDft(int32_t n, const float* inRe, const float* inIm, float* outRe, float* outIm);

// re[k] = sum x[j] cos(2 pi jk/n), im[k] = sum x[j] sin(2 pi jk/n): one sine
// cycle over n samples gives im[1] = +n/2, read as phase atan2(im, re) = +pi/2.
void RealSpectrum(int32_t n, const float* x, float* re, float* im);

// y[j] = sum over k of re[k] cos(2 pi jk/n) + im[k] sin(2 pi jk/n): a partial
// re = A cos(phi), im = A sin(phi) at bin k gives A cos(2 pi jk/n - phi).
void SpectrumToWave(int32_t n, const float* re, const float* im, float* y);
