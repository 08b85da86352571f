#include "wavetable/xform_bin_passes.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "wavetable/xform_table.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define SONICLOOM_SSE2_PASSES 1
#endif

namespace {

constexpr size_t kPoints = kXformSliceLength;
constexpr size_t kBins = kXformBinCount;
constexpr size_t kLowCut = kXformLowCutBin;
constexpr float kInfinite = std::numeric_limits<float>::infinity();

// The largest of f(v) over the values. Eight running maxima side by side, so
// that no comparison waits for the one before; a maximum is exact whatever
// the order, and NaN is passed over as one running maximum would.
template <class F>
float LargestOf(std::span<const float> values, F f) {
  constexpr size_t kSideBySide = 8;
  std::array<float, kSideBySide> running{};
  size_t i = 0;
  for (; i + kSideBySide <= values.size(); i += kSideBySide)
    for (size_t b = 0; b < kSideBySide; ++b) running[b] = std::max(running[b], f(values[i + b]));
  for (; i < values.size(); ++i) running[0] = std::max(running[0], f(values[i]));
  return *std::max_element(running.begin(), running.end());
}

// Lambdas rather than functions: each has a type of its own, so LargestOf is
// made for it with the call melted in, where a function pointer cost a call
// per value.
constexpr auto Absolute = [](float v) { return std::fabs(v); };
constexpr auto AbsoluteOrInfinite = [](float v) { return std::isfinite(v) ? std::fabs(v) : kInfinite; };

float ZeroUnfinite(std::span<float> values, float peakOrInfinite, float (*peakOf)(std::span<const float>)) {
  if (peakOrInfinite < kInfinite) return peakOrInfinite;
  for (float& v : values) v = std::isfinite(v) ? v : 0.0f;
  return peakOf(values);
}

std::pair<float, float> MirroredMagnitudes(const float* z, size_t m) {
  const float zRe = z[2 * m], zIm = z[2 * m + 1];
  const float yRe = z[2 * (kPoints - m)], yIm = z[2 * (kPoints - m) + 1];
  return {BinMagnitude(zRe + yRe, zIm - yIm), BinMagnitude(zIm + yIm, yRe - zRe)};
}

inline void PackRotatedBin(const float* rotors, size_t m, float l, float r, float* z) {
  const float c = rotors[2 * m];
  const float s = rotors[2 * m + 1];
  const float aRe = c * l, aIm = s * l, bRe = c * r, bIm = s * r;
  z[2 * m] = aRe - bIm;
  z[2 * m + 1] = aIm + bRe;
  z[2 * (kPoints - m)] = aRe + bIm;
  z[2 * (kPoints - m) + 1] = bRe - aIm;
}

void ClearUnpackedBins(float* z) {
  std::fill(z, z + 2 * kLowCut, 0.0f);
  std::fill(z + 2 * (kPoints - kLowCut) + 2, z + 2 * kPoints, 0.0f);
  z[kPoints] = 0.0f;  // Nyquist
  z[kPoints + 1] = 0.0f;
}

// Bins first .. end-1, one at a time; returns the strongest of them and
// `strongest`.
float RepackBins(float* z, std::span<float> spectrum, const float* rotors, size_t first, size_t end,
                 float strongest) {
  for (size_t m = first; m < end; ++m) {
    const auto [left, right] = MirroredMagnitudes(z, m);
    strongest = std::max(strongest, left);
    strongest = std::max(strongest, right);
    spectrum[2 * m] = left;
    spectrum[2 * m + 1] = right;
    PackRotatedBin(rotors, m, left, right, z);
  }
  return strongest;
}

float StrongestBelowLowCut(const float* z) {
  float strongest = 0.0f;
  for (size_t m = 1; m < kLowCut; ++m) {
    const auto [left, right] = MirroredMagnitudes(z, m);
    strongest = std::max(strongest, left);
    strongest = std::max(strongest, right);
  }
  return strongest;
}

// The whole slice: bins from the low cut up by `repack`, the ones below only
// measured, then emptied.
using BinRepacker = float (*)(float*, std::span<float>, const float*, size_t, size_t, float);
float RepackWhole(float* z, std::span<float> spectrum, const float* rotors, BinRepacker repack) {
  const float strongest = repack(z, spectrum, rotors, kLowCut, kBins, StrongestBelowLowCut(z));
  std::fill(spectrum.begin(), spectrum.begin() + 2 * kLowCut, 0.0f);
  ClearUnpackedBins(z);
  return strongest;
}

void DropResidueOfBins(std::span<float> spectrum, const float* rotors, float* z, float floor, size_t first,
                       size_t end) {
  for (size_t m = first; m < end; ++m) {
    const float l = spectrum[2 * m], r = spectrum[2 * m + 1];
    if (!(l < floor || r < floor)) continue;
    spectrum[2 * m] = l < floor ? 0.0f : l;
    spectrum[2 * m + 1] = r < floor ? 0.0f : r;
    PackRotatedBin(rotors, m, spectrum[2 * m], spectrum[2 * m + 1], z);
  }
}

void PackRotatedBins(std::span<const float> spectrum, const float* rotors, float* z, size_t first) {
  for (size_t m = first; m < kBins; ++m) PackRotatedBin(rotors, m, spectrum[2 * m], spectrum[2 * m + 1], z);
}

#ifdef SONICLOOM_SSE2_PASSES

// The largest of four running maxima.
float Largest(__m128 running) {
  alignas(16) float lanes[4];
  _mm_store_ps(lanes, running);
  return std::max({lanes[0], lanes[1], lanes[2], lanes[3]});
}

// With unfiniteAsInfinite, a value that is not finite counts as infinitely
// loud; otherwise NaN is passed over (max keeps the running value when the
// new one is NaN) and infinity counts as it is.
template <bool kUnfiniteAsInfinite>
float LargestAbsolute(std::span<const float> values) {
  const __m128 signless = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
  const __m128 largestFinite = _mm_set1_ps(std::numeric_limits<float>::max());
  const __m128 infinite = _mm_set1_ps(kInfinite);
  __m128 running[2] = {_mm_setzero_ps(), _mm_setzero_ps()};
  size_t i = 0;
  for (; i + 8 <= values.size(); i += 8) {
    for (int half = 0; half < 2; ++half) {
      __m128 v = _mm_and_ps(_mm_loadu_ps(values.data() + i + 4 * half), signless);
      if constexpr (kUnfiniteAsInfinite) {
        const __m128 finite = _mm_cmple_ps(v, largestFinite);  // false for NaN
        v = _mm_or_ps(_mm_and_ps(finite, v), _mm_andnot_ps(finite, infinite));
      }
      // maxps(v, running) gives running when v is NaN.
      running[half] = _mm_max_ps(v, running[half]);
    }
  }
  float largest = std::max(Largest(running[0]), Largest(running[1]));
  for (; i < values.size(); ++i)
    largest = std::max(largest, kUnfiniteAsInfinite ? AbsoluteOrInfinite(values[i]) : Absolute(values[i]));
  return largest;
}

// Four bins m .. m+3 (re, im interleaved) as one vector of re and one of im.
inline void LoadBins(const float* p, __m128& re, __m128& im) {
  const __m128 a = _mm_loadu_ps(p), b = _mm_loadu_ps(p + 4);
  re = _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0));
  im = _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1));
}

inline void StoreBins(float* p, __m128 re, __m128 im) {
  _mm_storeu_ps(p, _mm_unpacklo_ps(re, im));
  _mm_storeu_ps(p + 4, _mm_unpackhi_ps(re, im));
}

// The mirrored bins N - m .. N - m - 3 for lanes m .. m+3; p points at bin
// N - m - 3, the lowest of them.
inline void LoadMirroredBins(const float* p, __m128& re, __m128& im) {
  const __m128 low = _mm_loadu_ps(p), high = _mm_loadu_ps(p + 4);
  re = _mm_shuffle_ps(high, low, _MM_SHUFFLE(0, 2, 0, 2));
  im = _mm_shuffle_ps(high, low, _MM_SHUFFLE(1, 3, 1, 3));
}

inline void StoreMirroredBins(float* p, __m128 re, __m128 im) {
  const __m128 first = _mm_unpacklo_ps(re, im);   // lanes 0, 1
  const __m128 second = _mm_unpackhi_ps(re, im);  // lanes 2, 3
  _mm_storeu_ps(p + 4, _mm_shuffle_ps(first, first, _MM_SHUFFLE(1, 0, 3, 2)));
  _mm_storeu_ps(p, _mm_shuffle_ps(second, second, _MM_SHUFFLE(1, 0, 3, 2)));
}

inline __m128 Magnitudes(__m128 re, __m128 im) {
  return _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(re, re), _mm_mul_ps(im, im)));
}

// PackRotatedBin for bins m .. m+3.
inline void PackRotatedBinsAt(const float* rotors, size_t m, __m128 left, __m128 right, float* z) {
  __m128 c, s;
  LoadBins(rotors + 2 * m, c, s);
  const __m128 aRe = _mm_mul_ps(c, left), aIm = _mm_mul_ps(s, left);
  const __m128 bRe = _mm_mul_ps(c, right), bIm = _mm_mul_ps(s, right);
  StoreBins(z + 2 * m, _mm_sub_ps(aRe, bIm), _mm_add_ps(aIm, bRe));
  StoreMirroredBins(z + 2 * (kPoints - m - 3), _mm_add_ps(aRe, bIm), _mm_sub_ps(bRe, aIm));
}

float RepackBinsSse2(float* z, std::span<float> spectrum, const float* rotors, size_t first, size_t end,
                     float strongest) {
  __m128 running = _mm_set1_ps(strongest);
  size_t m = first;
  for (; m + 4 <= end; m += 4) {
    __m128 zRe, zIm, yRe, yIm;
    LoadBins(z + 2 * m, zRe, zIm);
    LoadMirroredBins(z + 2 * (kPoints - m - 3), yRe, yIm);
    const __m128 left = Magnitudes(_mm_add_ps(zRe, yRe), _mm_sub_ps(zIm, yIm));
    const __m128 right = Magnitudes(_mm_add_ps(zIm, yIm), _mm_sub_ps(yRe, zRe));
    running = _mm_max_ps(left, _mm_max_ps(right, running));
    StoreBins(spectrum.data() + 2 * m, left, right);
    PackRotatedBinsAt(rotors, m, left, right, z);
  }
  return RepackBins(z, spectrum, rotors, m, end, Largest(running));
}

void PackRotatedBinsSse2(std::span<const float> spectrum, const float* rotors, float* z) {
  size_t m = kLowCut;
  for (; m + 4 <= kBins; m += 4) {
    __m128 left, right;
    LoadBins(spectrum.data() + 2 * m, left, right);
    PackRotatedBinsAt(rotors, m, left, right, z);
  }
  PackRotatedBins(spectrum, rotors, z, m);
}

void DropResidueSse2(std::span<float> spectrum, const float* rotors, float* z, float floor) {
  const __m128 floors = _mm_set1_ps(floor);
  size_t m = kLowCut;
  for (; m + 4 <= kBins; m += 4) {
    const __m128 a = _mm_loadu_ps(spectrum.data() + 2 * m), b = _mm_loadu_ps(spectrum.data() + 2 * m + 4);
    if (_mm_movemask_ps(_mm_or_ps(_mm_cmplt_ps(a, floors), _mm_cmplt_ps(b, floors))) != 0)
      DropResidueOfBins(spectrum, rotors, z, floor, m, m + 4);
  }
  DropResidueOfBins(spectrum, rotors, z, floor, m, kBins);
}

#endif

}  // namespace

float PeakOfSectionPortable(std::span<const float> section) { return LargestOf(section, Absolute); }

float ZeroUnfiniteValuesPortable(std::span<float> values) {
  return ZeroUnfinite(values, LargestOf(values, AbsoluteOrInfinite), PeakOfSectionPortable);
}

float RepackAsRotatedMagnitudesPortable(float* z, std::span<float> spectrum, const float* rotors) {
  return RepackWhole(z, spectrum, rotors, RepackBins);
}

void DropResiduePortable(std::span<float> spectrum, const float* rotors, float* z, float floor) {
  DropResidueOfBins(spectrum, rotors, z, floor, kLowCut, kBins);
}

#ifdef SONICLOOM_SSE2_PASSES

float PeakOfSection(std::span<const float> section) { return LargestAbsolute<false>(section); }

float ZeroUnfiniteValues(std::span<float> values) {
  return ZeroUnfinite(values, LargestAbsolute<true>(values), PeakOfSection);
}

float RepackAsRotatedMagnitudes(float* z, std::span<float> spectrum, const float* rotors) {
  return RepackWhole(z, spectrum, rotors, RepackBinsSse2);
}

void DropResidue(std::span<float> spectrum, const float* rotors, float* z, float floor) {
  DropResidueSse2(spectrum, rotors, z, floor);
}

#else

float PeakOfSection(std::span<const float> section) { return PeakOfSectionPortable(section); }
float ZeroUnfiniteValues(std::span<float> values) { return ZeroUnfiniteValuesPortable(values); }
float RepackAsRotatedMagnitudes(float* z, std::span<float> spectrum, const float* rotors) {
  return RepackAsRotatedMagnitudesPortable(z, spectrum, rotors);
}
void DropResidue(std::span<float> spectrum, const float* rotors, float* z, float floor) {
  DropResiduePortable(spectrum, rotors, z, floor);
}

#endif

void PackRotatedSpectrumPortable(std::span<const float> spectrum, const float* rotors, float* z) {
  ClearUnpackedBins(z);
  PackRotatedBins(spectrum, rotors, z, kLowCut);
}

void PackRotatedSpectrum(std::span<const float> spectrum, const float* rotors, float* z) {
#ifdef SONICLOOM_SSE2_PASSES
  ClearUnpackedBins(z);
  PackRotatedBinsSse2(spectrum, rotors, z);
#else
  PackRotatedSpectrumPortable(spectrum, rotors, z);
#endif
}
