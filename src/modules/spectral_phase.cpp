#include "modules/spectral_phase.h"

#include <cmath>
#include <numbers>

double BinPhase(double re, double im) {
  if (im == 0.0) return 0.0;
  if (re == 0.0) return im > 0.0 ? std::numbers::pi / 2 : -std::numbers::pi / 2;
  return std::atan2(im, re);
}

float BinPhase(float re, float im) {
  if (im == 0.0f) return 0.0f;
  if (re == 0.0f) return im > 0.0f ? std::numbers::pi_v<float> / 2 : -std::numbers::pi_v<float> / 2;
  return std::atan2(im, re);
}

int16_t PhasePolarity(float phase) { return phase < 0.0f ? int16_t{-1} : int16_t{1}; }
