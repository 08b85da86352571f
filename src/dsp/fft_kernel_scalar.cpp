// The portable split-radix kernel: double arithmetic, twiddles read straight
// from the quarter-wave table.
#include "dsp/fft_kernels.h"

namespace {

struct Complex {
  double re;
  double im;
};

inline Complex Load(const float* data, int32_t index) { return {data[2 * index], data[2 * index + 1]}; }

inline void Store(float* data, int32_t index, Complex value) {
  data[2 * index] = static_cast<float>(value.re);
  data[2 * index + 1] = static_cast<float>(value.im);
}

// t1 + sigma i t3 and t1 - sigma i t3, sigma = +1 for exp(+...), -1 for exp(-...).
template <int kSigma>
inline Complex PlusSigmaI(Complex t1, Complex t3) {
  return {t1.re - kSigma * t3.im, t1.im + kSigma * t3.re};
}
template <int kSigma>
inline Complex MinusSigmaI(Complex t1, Complex t3) {
  return {t1.re + kSigma * t3.im, t1.im - kSigma * t3.re};
}

// value * exp(sigma i angle) given cos and sin of angle.
template <int kSigma>
inline Complex Rotate(Complex v, TwiddlePair w) {
  const double s = kSigma * w.sinValue;
  return {v.re * w.cosValue - v.im * s, v.re * s + v.im * w.cosValue};
}

template <int kSigma>
void SplitPass(float* data, const float* source, int32_t m, int32_t kBegin, int32_t kEnd, const FftTables& tables) {
  const int32_t q = m / 4;
  const int32_t stride = tables.cachedLength / m;
  for (int32_t k = kBegin; k < kEnd; ++k) {
    const Complex x0 = Load(source, k), x1 = Load(source, k + q), x2 = Load(source, k + 2 * q),
                  x3 = Load(source, k + 3 * q);
    Store(data, k, {x0.re + x2.re, x0.im + x2.im});
    Store(data, k + q, {x1.re + x3.re, x1.im + x3.im});
    const Complex t1 = {x0.re - x2.re, x0.im - x2.im};
    const Complex t3 = {x1.re - x3.re, x1.im - x3.im};
    const TwiddlePair w1 = {tables.twiddles[2 * k * stride], tables.twiddles[2 * k * stride + 1]};
    const TwiddlePair w3 = FullCircleTwiddle(tables, 3 * k * stride);
    Store(data, k + 2 * q, Rotate<kSigma>(PlusSigmaI<kSigma>(t1, t3), w1));
    Store(data, k + 3 * q, Rotate<kSigma>(MinusSigmaI<kSigma>(t1, t3), w3));
  }
}

template <int kSigma>
void Transform(float* data, int32_t m, const FftTables& tables) {
  if (m == 2) {
    const Complex a = Load(data, 0), b = Load(data, 1);
    Store(data, 0, {a.re + b.re, a.im + b.im});
    Store(data, 1, {a.re - b.re, a.im - b.im});
    return;
  }
  if (m == 4) {
    const Complex x0 = Load(data, 0), x1 = Load(data, 1), x2 = Load(data, 2), x3 = Load(data, 3);
    const Complex t0 = {x0.re + x2.re, x0.im + x2.im}, t1 = {x0.re - x2.re, x0.im - x2.im};
    const Complex t2 = {x1.re + x3.re, x1.im + x3.im}, t3 = {x1.re - x3.re, x1.im - x3.im};
    Store(data, 0, {t0.re + t2.re, t0.im + t2.im});
    Store(data, 1, {t0.re - t2.re, t0.im - t2.im});
    Store(data, 2, PlusSigmaI<kSigma>(t1, t3));
    Store(data, 3, MinusSigmaI<kSigma>(t1, t3));
    return;
  }
  SplitPass<kSigma>(data, data, m, 0, m / 4, tables);
  Transform<kSigma>(data, m / 2, tables);
  Transform<kSigma>(data + m, m / 4, tables);
  Transform<kSigma>(data + m + m / 2, m / 4, tables);
}

size_t NoStageTwiddles(int32_t) { return 0; }
void BuildNothing(const FftTables&, float*) {}

void ScalarSplitPass(float* data, const float* source, int32_t m, int32_t kBegin, int32_t kEnd, int direction,
                     const FftTables& tables) {
  if (direction == 0)
    SplitPass<1>(data, source, m, kBegin, kEnd, tables);
  else
    SplitPass<-1>(data, source, m, kBegin, kEnd, tables);
}

void ScalarTransform(float* data, int32_t m, int direction, const FftTables& tables) {
  if (direction == 0)
    Transform<1>(data, m, tables);
  else
    Transform<-1>(data, m, tables);
}

constexpr FftKernel kScalarKernel = {FftKernelKind::kScalar, NoStageTwiddles, BuildNothing, ScalarSplitPass,
                                     ScalarTransform};

}  // namespace

const FftKernel& ScalarFftKernel() { return kScalarKernel; }
