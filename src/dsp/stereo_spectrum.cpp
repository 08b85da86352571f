#include "dsp/stereo_spectrum.h"

void PackStereoSpectrum(float* out, const float* a, const float* b, int32_t n) {
  if (n < 1) return;
  for (int32_t m = n / 2; m >= 1; --m) {
    const float aRe = a[2 * m], aIm = a[2 * m + 1];
    const float bRe = b[2 * m], bIm = b[2 * m + 1];
    out[2 * m] = aRe - bIm;
    out[2 * m + 1] = aIm + bRe;
    out[2 * (n - m)] = aRe + bIm;
    out[2 * (n - m) + 1] = bRe - aIm;
  }
  out[0] = 0.0f;
  out[1] = 0.0f;
}

void UnpackStereoSpectrum(const float* z, float* a, float* b, int32_t n) {
  if (n < 1) return;
  const int32_t half = n / 2;
  for (int32_t m = 1; m < half; ++m) {
    const float zRe = z[2 * m], zIm = z[2 * m + 1];
    const float yRe = z[2 * (n - m)], yIm = z[2 * (n - m) + 1];
    a[2 * m] = zRe + yRe;
    a[2 * m + 1] = zIm - yIm;
    b[2 * m] = zIm + yIm;
    b[2 * m + 1] = yRe - zRe;
  }
  a[0] = a[1] = b[0] = b[1] = 0.0f;
  a[2 * half] = a[2 * half + 1] = b[2 * half] = b[2 * half + 1] = 0.0f;
}
