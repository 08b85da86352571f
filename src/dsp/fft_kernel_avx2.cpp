// The vector split-radix kernel: four complex points per 256-bit register,
// single-precision arithmetic with FMA, twiddles from the precomputed stage
// tables. Compiled for AVX2 + FMA and only called when the processor has
// both; everything here has internal linkage so that no AVX2 code can stand
// in for an inline function of the rest of the program.
#include "dsp/fft_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2,fma")

namespace {

using V = __m256;

constexpr int32_t kLeaf16Offset = 0;
constexpr int32_t kLeaf32Offset = 48;
constexpr int32_t kFirstSplitStage = 64;

inline V Load(const float* p) { return _mm256_loadu_ps(p); }
inline void Store(float* p, V v) { _mm256_storeu_ps(p, v); }
inline V LoadAligned(const float* p) { return _mm256_load_ps(p); }
// Exchanges real and imaginary part of every point.
inline V Swap(V v) { return _mm256_permute_ps(v, 0xB1); }

// a * exp(sigma i theta), c and s holding cos theta and sin theta twice per point.
template <int kSigma>
inline V Rotate(V a, V c, V s) {
  const V t = _mm256_mul_ps(Swap(a), s);
  return kSigma > 0 ? _mm256_fmaddsub_ps(a, c, t) : _mm256_fmsubadd_ps(a, c, t);
}

// t1 + sigma i t3 and t1 - sigma i t3, given swapped t3.
template <int kSigma>
inline V PlusSigmaI(V t1, V swappedT3) {
  return kSigma > 0 ? _mm256_addsub_ps(t1, swappedT3) : _mm256_fmsubadd_ps(t1, _mm256_set1_ps(1.0f), swappedT3);
}
template <int kSigma>
inline V MinusSigmaI(V t1, V swappedT3) {
  return kSigma > 0 ? _mm256_fmsubadd_ps(t1, _mm256_set1_ps(1.0f), swappedT3) : _mm256_addsub_ps(t1, swappedT3);
}

// 4 x 4 transpose of complex points held in four registers.
inline void Transpose4(V& a, V& b, V& c, V& d) {
  const __m256d r0 = _mm256_castps_pd(a), r1 = _mm256_castps_pd(b);
  const __m256d r2 = _mm256_castps_pd(c), r3 = _mm256_castps_pd(d);
  const __m256d t0 = _mm256_unpacklo_pd(r0, r1), t1 = _mm256_unpackhi_pd(r0, r1);
  const __m256d t2 = _mm256_unpacklo_pd(r2, r3), t3 = _mm256_unpackhi_pd(r2, r3);
  a = _mm256_castpd_ps(_mm256_permute2f128_pd(t0, t2, 0x20));
  b = _mm256_castpd_ps(_mm256_permute2f128_pd(t1, t3, 0x20));
  c = _mm256_castpd_ps(_mm256_permute2f128_pd(t0, t2, 0x31));
  d = _mm256_castpd_ps(_mm256_permute2f128_pd(t1, t3, 0x31));
}

template <int kSigma>
inline void Leaf16(float* data, const float* tw) {
  const float* w = tw + kLeaf16Offset;
  const V v0 = Load(data), v1 = Load(data + 8), v2 = Load(data + 16), v3 = Load(data + 24);
  const V t0 = _mm256_add_ps(v0, v2), t1 = _mm256_sub_ps(v0, v2);
  const V t2 = _mm256_add_ps(v1, v3), st3 = Swap(_mm256_sub_ps(v1, v3));
  V u0 = _mm256_add_ps(t0, t2);
  V u1 = Rotate<kSigma>(_mm256_sub_ps(t0, t2), LoadAligned(w + 16), LoadAligned(w + 24));
  V u2 = Rotate<kSigma>(PlusSigmaI<kSigma>(t1, st3), LoadAligned(w), LoadAligned(w + 8));
  V u3 = Rotate<kSigma>(MinusSigmaI<kSigma>(t1, st3), LoadAligned(w + 32), LoadAligned(w + 40));
  Transpose4(u0, u1, u2, u3);
  const V a = _mm256_add_ps(u0, u2), b = _mm256_sub_ps(u0, u2);
  const V c = _mm256_add_ps(u1, u3), sd = Swap(_mm256_sub_ps(u1, u3));
  V z0 = _mm256_add_ps(a, c), z2 = _mm256_sub_ps(a, c);
  V z1 = PlusSigmaI<kSigma>(b, sd), z3 = MinusSigmaI<kSigma>(b, sd);
  Transpose4(z0, z2, z1, z3);
  Store(data, z0);
  Store(data + 8, z2);
  Store(data + 16, z1);
  Store(data + 24, z3);
}

template <int kSigma>
inline void Leaf32(float* data, const float* tw) {
  const float* w = tw + kLeaf32Offset;
  for (int j = 0; j < 4; ++j) {
    const V a = Load(data + 8 * j), b = Load(data + 32 + 8 * j);
    Store(data + 8 * j, _mm256_add_ps(a, b));
    Store(data + 32 + 8 * j, Rotate<kSigma>(_mm256_sub_ps(a, b), LoadAligned(w + 16 * j), LoadAligned(w + 16 * j + 8)));
  }
  Leaf16<kSigma>(data, tw);
  Leaf16<kSigma>(data + 32, tw);
}

template <int kSigma>
void SplitPass(float* data, const float* source, int32_t m, int32_t kBegin, int32_t kEnd, const float* tw) {
  const int32_t q2 = m / 2;  // a quarter of the points, in floats
  const float* w = tw + 2 * m + 8 * kBegin;
  float* p0 = data;
  float* p1 = data + q2;
  float* p2 = data + 2 * q2;
  float* p3 = data + 3 * q2;
  const float* s0 = source;
  const float* s1 = source + q2;
  const float* s2 = source + 2 * q2;
  const float* s3 = source + 3 * q2;
  for (int32_t f = 2 * kBegin; f < 2 * kEnd; f += 8, w += 32) {
    const V x0 = Load(s0 + f), x1 = Load(s1 + f), x2 = Load(s2 + f), x3 = Load(s3 + f);
    Store(p0 + f, _mm256_add_ps(x0, x2));
    Store(p1 + f, _mm256_add_ps(x1, x3));
    const V t1 = _mm256_sub_ps(x0, x2);
    const V st3 = Swap(_mm256_sub_ps(x1, x3));
    Store(p2 + f, Rotate<kSigma>(PlusSigmaI<kSigma>(t1, st3), LoadAligned(w), LoadAligned(w + 8)));
    Store(p3 + f, Rotate<kSigma>(MinusSigmaI<kSigma>(t1, st3), LoadAligned(w + 16), LoadAligned(w + 24)));
  }
}

template <int kSigma>
void Transform(float* data, int32_t m, const float* tw) {
  if (m == 16) {
    Leaf16<kSigma>(data, tw);
  } else if (m == 32) {
    Leaf32<kSigma>(data, tw);
  } else {
    SplitPass<kSigma>(data, data, m, 0, m / 4, tw);
    Transform<kSigma>(data, m / 2, tw);
    Transform<kSigma>(data + m, m / 4, tw);
    Transform<kSigma>(data + m + m / 2, m / 4, tw);
  }
}

size_t StageTwiddleFloats(int32_t maxLength) {
  const size_t length = maxLength > 0 ? static_cast<size_t>(maxLength) : 0;
  return 4 * length > 128 ? 4 * length : 128;
}

void PutDuplicated(float* out, int lane, double value) {
  out[2 * lane] = static_cast<float>(value);
  out[2 * lane + 1] = static_cast<float>(value);
}

void BuildStageTwiddles(const FftTables& tables, float* out) {
  const int32_t n = tables.cachedLength;
  if (n >= 16) {
    const int32_t step = n / 16;
    for (int k = 0; k < 4; ++k) {
      for (int power = 1; power <= 3; ++power) {
        const TwiddlePair w = FullCircleTwiddle(tables, power * k * step);
        PutDuplicated(out + kLeaf16Offset + 16 * (power - 1), k, w.cosValue);
        PutDuplicated(out + kLeaf16Offset + 16 * (power - 1) + 8, k, w.sinValue);
      }
    }
  }
  if (n >= 32) {
    const int32_t step = n / 32;
    for (int k = 0; k < 16; ++k) {
      const TwiddlePair w = FullCircleTwiddle(tables, k * step);
      PutDuplicated(out + kLeaf32Offset + 16 * (k / 4), k % 4, w.cosValue);
      PutDuplicated(out + kLeaf32Offset + 16 * (k / 4) + 8, k % 4, w.sinValue);
    }
  }
  for (int32_t m = kFirstSplitStage; m <= n; m *= 2) {
    const int32_t step = n / m;
    float* stage = out + 2 * m;
    for (int32_t k = 0; k < m / 4; ++k) {
      float* group = stage + 32 * (k / 4);
      const TwiddlePair w1 = FullCircleTwiddle(tables, k * step);
      const TwiddlePair w3 = FullCircleTwiddle(tables, 3 * k * step);
      PutDuplicated(group, k % 4, w1.cosValue);
      PutDuplicated(group + 8, k % 4, w1.sinValue);
      PutDuplicated(group + 16, k % 4, w3.cosValue);
      PutDuplicated(group + 24, k % 4, w3.sinValue);
    }
  }
}

void VectorSplitPass(float* data, const float* source, int32_t m, int32_t kBegin, int32_t kEnd, int direction,
                     const FftTables& tables) {
  if (m < kFirstSplitStage) {
    ScalarFftKernel().splitPass(data, source, m, kBegin, kEnd, direction, tables);
  } else if (direction == 0) {
    SplitPass<1>(data, source, m, kBegin, kEnd, tables.StageTwiddles());
  } else {
    SplitPass<-1>(data, source, m, kBegin, kEnd, tables.StageTwiddles());
  }
}

void VectorTransform(float* data, int32_t m, int direction, const FftTables& tables) {
  if (m < 16) {
    ScalarFftKernel().transform(data, m, direction, tables);
  } else if (direction == 0) {
    Transform<1>(data, m, tables.StageTwiddles());
  } else {
    Transform<-1>(data, m, tables.StageTwiddles());
  }
}

constexpr FftKernel kVectorKernel = {FftKernelKind::kVector, StageTwiddleFloats, BuildStageTwiddles, VectorSplitPass,
                                     VectorTransform};

}  // namespace

#pragma GCC pop_options

bool VectorFftKernelAvailable() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

const FftKernel& VectorFftKernel() { return kVectorKernel; }

#else

bool VectorFftKernelAvailable() { return false; }
const FftKernel& VectorFftKernel() { return ScalarFftKernel(); }

#endif
