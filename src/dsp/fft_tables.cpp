#include "dsp/fft_tables.h"

#include <cmath>
#include <numbers>

#include "core/checked_alloc.h"
#include "dsp/fft_kernels.h"

FftTables gFftTables;

namespace {

// The blocked permutation exchanges tiles of 8 x 8 points.
constexpr int kBitReverseTileBits = 3;

size_t BitReverseEntries(int32_t maxLength) {
  // Room for half the longest transform, rounded up to a power of two, plus 2.
  int32_t half = maxLength / 2;
  int32_t rounded = 1;
  while (rounded < half) rounded *= 2;
  return static_cast<size_t>(rounded) + 2;
}

void AllocateArrays(FftTables& tables, int32_t maxLength) {
  CheckedAlloc(tables.bitReverse, BitReverseEntries(maxLength));
  CheckedAlloc(tables.twiddles, static_cast<size_t>(maxLength / 2 > 0 ? maxLength / 2 : 1) + 2);
  // 8 floats of slack to move the start onto a 32-byte boundary.
  CheckedAlloc(tables.stageTwiddleStore, ActiveFftKernel().stageTwiddleFloats(maxLength) + 8);
  const auto address = reinterpret_cast<uintptr_t>(tables.stageTwiddleStore.data());
  tables.stageTwiddleOffset = static_cast<int32_t>(((32 - address % 32) % 32) / sizeof(float));
  tables.maxLength = maxLength;
  tables.cachedLength = 0;
}

void BuildQuarterWave(FftTables& tables, int32_t n) {
  const int32_t quarter = n / 4;
  for (int32_t k = 0; k < quarter; ++k) {
    const double angle = 2.0 * std::numbers::pi * k / n;
    tables.twiddles[2 * k] = std::cos(angle);
    tables.twiddles[2 * k + 1] = std::sin(angle);
  }
}

void BuildBitReverse(FftTables& tables, int32_t n) {
  const int bits = Log2OfPowerOfTwo(n);
  const int middleBits = bits - 2 * kBitReverseTileBits;
  if (middleBits < 0) return;
  const int32_t middleCount = int32_t{1} << middleBits;
  for (int32_t m = 0; m < middleCount; ++m) {
    int32_t reversed = 0;
    for (int b = 0; b < middleBits; ++b) reversed |= ((m >> b) & 1) << (middleBits - 1 - b);
    tables.bitReverse[m] = reversed;
  }
}

}  // namespace

bool IsPowerOfTwo(int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

int Log2OfPowerOfTwo(int32_t n) {
  int bits = 0;
  while ((int32_t{1} << bits) < n) ++bits;
  return bits;
}

void AllocateFftTables(int32_t maxComplexLength) {
  int32_t maxLength = 4;
  while (maxLength < maxComplexLength) maxLength *= 2;
  AllocateArrays(gFftTables, maxLength);
}

void SetFftProcessorCount(int processorCount) {
  gFftTables.processorCount = processorCount;
}

void ReleaseFftTables() {
  CheckedAlloc(gFftTables.bitReverse, 0);
  CheckedAlloc(gFftTables.twiddles, 0);
  CheckedAlloc(gFftTables.stageTwiddleStore, 0);
  gFftTables.stageTwiddleOffset = 0;
  gFftTables.maxLength = 0;
  gFftTables.cachedLength = 0;
}

uint8_t FftThreadMode(int32_t complexLength, int processorCount) {
  if (processorCount < 1) processorCount = 1;
  if (complexLength < kFftThreadedMinLength || processorCount == 1) return 1;
  if (complexLength >= kFftFourThreadMinLength && processorCount >= kFftFourThreadMinProcessors) return 4;
  return 2;
}

void PrepareFftTables(FftTables& tables, int32_t complexLength) {
  if (complexLength == tables.cachedLength) return;
  // A transform longer than the reserved tables grows them instead of
  // running past their end.
  if (complexLength > tables.maxLength) AllocateArrays(tables, complexLength < 4 ? 4 : complexLength);
  BuildQuarterWave(tables, complexLength);
  BuildBitReverse(tables, complexLength);
  tables.cachedLength = complexLength;
  ActiveFftKernel().buildStageTwiddles(tables, tables.stageTwiddleStore.data() + tables.stageTwiddleOffset);
  tables.threadMode = FftThreadMode(complexLength, tables.processorCount);
}

TwiddlePair FullCircleTwiddle(const FftTables& tables, int32_t j) {
  const int32_t n = tables.cachedLength;
  const int32_t quarter = n / 4;
  if (quarter == 0) {
    // n = 2: only the angles 0 and pi exist.
    return j == 0 ? TwiddlePair{1.0, 0.0} : TwiddlePair{-1.0, 0.0};
  }
  const int32_t turn = j / quarter;
  const int32_t rest = j % quarter;
  const double c = tables.twiddles[2 * rest];
  const double s = tables.twiddles[2 * rest + 1];
  switch (turn & 3) {
    case 0: return {c, s};
    case 1: return {-s, c};
    case 2: return {-c, -s};
    default: return {s, -c};
  }
}
