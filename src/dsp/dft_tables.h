#pragma once
#include <array>
#include <cstdint>
#include <vector>

inline constexpr int kMaxDftFactors = 31;

// The tables of the any-length transform, one instance for the process:
// the factorisation of the cached length and the working rows, allocated for
// a maximum length by the module that uses the transform.
struct DftTables {
  int32_t cachedLength = 0;  // 0 = none
  int32_t factorCount = 0;
  int32_t maxLength = 0;
  // Index 1 .. factorCount: the radix of each pass in the order applied, the
  // product of the radices already applied, and of those still to come.
  std::array<int32_t, kMaxDftFactors + 1> actual{};
  std::array<int32_t, kMaxDftFactors + 1> sofar{};
  std::array<int32_t, kMaxDftFactors + 1> remain{};
  // Twiddles of every pass, cos and sin, pass after pass ((radix - 1) x sofar each).
  std::vector<double> trigCos;
  std::vector<double> trigSin;
  // Two working rows the passes alternate between.
  std::vector<double> rowARe, rowAIm;
  std::vector<double> rowBRe, rowBIm;
  // The all-zero imaginary input of RealSpectrum and the discarded imaginary
  // output of SpectrumToWave at odd lengths; at even lengths, scratchImag
  // holds the samples in pairs, the half-length transform's floats.
  std::vector<float> zeroImag;
  std::vector<float> scratchImag;
  // Even lengths n: the half-length transform's output (RealSpectrum) or
  // input (SpectrumToWave), kept in doubles, and cos / sin of 2 pi k / n for
  // k <= n / 2, built for realLength.
  int32_t realLength = 0;  // 0 = none
  std::vector<double> rowCRe, rowCIm;
  std::vector<double> realCos, realSin;
  // Pair sums and differences of the general odd-radix butterfly, and the
  // cos / sin table of that radix.
  std::vector<double> oddSumRe, oddSumIm, oddDiffRe, oddDiffIm;
  std::vector<double> radixCos, radixSin;
};

extern DftTables gDftTables;

// Frees the rows and allocates them zero-filled for up to maxLength points.
void AllocateDftTables(int32_t maxLength);
void ReleaseDftTables();

// The radices for length n in the order they are applied (see the
// factorisation rules in mixed_radix_dft.cpp). n = 1 gives {1}.
std::vector<int32_t> DftFactors(int32_t n);

// Rebuilds factors and twiddles when n differs from the cached length,
// growing the rows when n exceeds the allocated maximum.
void PrepareDftTables(DftTables& tables, int32_t n);

enum class DftForm { Complex, Spectrum, Wave };

// Plain pointers into the tables for the pass kernels, which are compiled
// apart (some for AVX2) and touch no library types.
struct DftPassPlan {
  int32_t n = 0;
  int32_t factorCount = 0;
  const float* inRe = nullptr;
  const float* inIm = nullptr;
  float* outRe = nullptr;
  float* outIm = nullptr;
  // Real forms of even length 2 n, run as n complex points. Spectrum: inRe
  // holds the 2 n samples, outRe / outIm receive the 2 n bins (+sum x sin).
  // Wave: inRe / inIm hold the 2 n bins, outRe receives the 2 n samples.
  DftForm form = DftForm::Complex;
  float* packRe = nullptr;  // n packed samples or wave pairs
  float* packIm = nullptr;
  double* halfRe = nullptr;  // n points of the half-length transform
  double* halfIm = nullptr;
  const double* realCos = nullptr;  // cos, sin of pi k / n for k <= n
  const double* realSin = nullptr;
  const int32_t* actual = nullptr;
  const int32_t* sofar = nullptr;
  const int32_t* remain = nullptr;
  const double* trigCos = nullptr;
  const double* trigSin = nullptr;
  double* aRe = nullptr;
  double* aIm = nullptr;
  double* bRe = nullptr;
  double* bIm = nullptr;
  double* oddSumRe = nullptr;
  double* oddSumIm = nullptr;
  double* oddDiffRe = nullptr;
  double* oddDiffIm = nullptr;
  double* radixCos = nullptr;
  double* radixSin = nullptr;
};

// Transforms plan.in into plan.out through the rows, in the plan's form.
using DftPassRunner = void (*)(const DftPassPlan& plan);
DftPassRunner VectorDftPassRunner();  // nullptr when the processor lacks AVX2 + FMA
DftPassRunner PortableDftPassRunner();
// Tests and benchmarks pin one runner; nullptr picks the fastest available.
void SelectDftPassRunner(DftPassRunner runner);
