#pragma once
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <vector>

#include "core/random.h"

// Plain double-precision DFT, the yardstick of the transform tests:
// X[k] = sum x[j] exp(sign 2 pi i jk / n), one bin at a time.
inline std::complex<double> ReferenceBin(const std::vector<std::complex<double>>& x, size_t k, int sign) {
  const size_t n = x.size();
  std::complex<double> sum = 0.0;
  for (size_t j = 0; j < n; ++j) {
    const double angle = sign * 2.0 * std::numbers::pi * static_cast<double>((j * k) % n) / static_cast<double>(n);
    sum += x[j] * std::complex<double>(std::cos(angle), std::sin(angle));
  }
  return sum;
}

inline std::vector<std::complex<double>> ReferenceDft(const std::vector<std::complex<double>>& x, int sign) {
  std::vector<std::complex<double>> out(x.size());
  for (size_t k = 0; k < x.size(); ++k) out[k] = ReferenceBin(x, k, sign);
  return out;
}

// Seeded noise in -1 .. 1, exactly representable as float.
inline std::vector<std::complex<double>> NoiseSignal(size_t n, uint32_t seed) {
  SeedRandom(seed);
  std::vector<std::complex<double>> x(n);
  for (auto& v : x) {
    const double re = RandomNext() / 16383.5 - 1.0;
    const double im = RandomNext() / 16383.5 - 1.0;
    v = {static_cast<float>(re), static_cast<float>(im)};
  }
  return x;
}

inline std::vector<float> Interleave(const std::vector<std::complex<double>>& x) {
  std::vector<float> out(2 * x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    out[2 * i] = static_cast<float>(x[i].real());
    out[2 * i + 1] = static_cast<float>(x[i].imag());
  }
  return out;
}

// Root-mean-square error relative to the reference's RMS level.
inline double RelativeRmsError(const std::vector<float>& got, const std::vector<std::complex<double>>& want) {
  double err = 0.0, level = 0.0;
  for (size_t i = 0; i < want.size(); ++i) {
    err += std::norm(std::complex<double>(got[2 * i], got[2 * i + 1]) - want[i]);
    level += std::norm(want[i]);
  }
  return std::sqrt(err / level);
}
