#pragma once
#include <cstddef>
#include <cstdint>

#include "dsp/fft_tables.h"

// The inner stages of the power-of-two transform. Two interchangeable sets:
// a plain scalar one that runs everywhere, and a vector one (AVX2 with FMA)
// chosen at start when the processor has it. Both compute the same
// decimation-in-frequency split-radix transform whose result lies in
// bit-reversed order; the permutation is applied afterwards by the caller.
//
// Direction: kFftForward (0) uses exp(+2 pi i jk/N), kFftInverse (1)
// exp(-2 pi i jk/N).
//
// Vector stage twiddles (floats, on a 32-byte boundary): entries 0..47 hold
// the 16-point leaf (cos and sin of k, 2k and 3k times 2 pi/16 for k = 0..3,
// each duplicated for the real and imaginary slot), 48..111 the 32-point leaf
// (cos and sin of 2 pi k/32, k = 0..15, duplicated); the split stage of size
// m >= 64 starts at 2m and holds per group of four k: cos k, sin k, cos 3k,
// sin 3k of 2 pi/m, duplicated (32 floats).

enum class FftKernelKind { kScalar, kVector };

struct FftKernel {
  FftKernelKind kind;
  // Floats of vector stage twiddles for transforms up to maxLength points.
  size_t (*stageTwiddleFloats)(int32_t maxLength);
  // Fills the stage twiddles for every stage up to tables.cachedLength.
  void (*buildStageTwiddles)(const FftTables& tables, float* out);
  // Butterflies k = kBegin .. kEnd-1 (multiples of 4 within 0 .. m/4) of one
  // split-radix pass over m points from source to destination (which may be
  // the same buffer). The whole pass leaves in the first half the input of an
  // m/2 transform and in the two last quarters those of two m/4 transforms.
  void (*splitPass)(float* destination, const float* source, int32_t m, int32_t kBegin, int32_t kEnd, int direction,
                    const FftTables& tables);
  // The whole transform of m points (m a power of two, 2 <= m <= cached
  // length), result in bit-reversed order.
  void (*transform)(float* data, int32_t m, int direction, const FftTables& tables);
};

const FftKernel& ScalarFftKernel();
// True when the processor runs the vector kernel.
bool VectorFftKernelAvailable();
const FftKernel& VectorFftKernel();  // only when available

// The kernel the transform uses: the vector one when available.
const FftKernel& ActiveFftKernel();
// Tests and benchmarks pin one kernel; the vector kind falls back to scalar
// when the processor lacks it. Forces a table rebuild.
void SelectFftKernel(FftKernelKind kind);

// In-place bit-reversal permutation of n complex points (n a power of two,
// n <= tables.cachedLength).
void BitReversePermute(float* data, int32_t n, const FftTables& tables);
// The share of one of `parts` threads (part = 0 .. parts-1) of the same
// permutation; the shares are disjoint.
void BitReversePermutePart(float* data, int32_t n, const FftTables& tables, int part, int parts);
