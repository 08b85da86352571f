// The permutation that puts the split-radix result into natural order.
// Exchanging tiles of 8 x 8 points touches whole cache lines on both sides,
// which matters once the buffer no longer fits the first-level cache.
#include <cstdint>
#include <cstring>

#include "dsp/fft_kernels.h"

namespace {

constexpr int kTileBits = 3;
constexpr int kTile = 1 << kTileBits;
constexpr int kReverse3[kTile] = {0, 4, 2, 6, 1, 5, 3, 7};

inline uint64_t LoadPoint(const float* data, int64_t index) {
  uint64_t value;
  std::memcpy(&value, data + 2 * index, sizeof value);
  return value;
}

inline void StorePoint(float* data, int64_t index, uint64_t value) {
  std::memcpy(data + 2 * index, &value, sizeof value);
}

int32_t ReverseBits(int32_t value, int bits) {
  int32_t reversed = 0;
  for (int b = 0; b < bits; ++b) reversed |= ((value >> b) & 1) << (bits - 1 - b);
  return reversed;
}

void PermuteSmall(float* data, int32_t n, int bits) {
  for (int32_t i = 0; i < n; ++i) {
    const int32_t j = ReverseBits(i, bits);
    if (i < j) {
      const uint64_t a = LoadPoint(data, i);
      StorePoint(data, i, LoadPoint(data, j));
      StorePoint(data, j, a);
    }
  }
}

}  // namespace

void BitReversePermute(float* data, int32_t n, const FftTables& tables) {
  BitReversePermutePart(data, n, tables, 0, 1);
}

void BitReversePermutePart(float* data, int32_t n, const FftTables& tables, int part, int parts) {
  const int bits = Log2OfPowerOfTwo(n);
  if (bits < 2 * kTileBits) {
    if (part == 0) PermuteSmall(data, n, bits);
    return;
  }
  const int middleBits = bits - 2 * kTileBits;
  const int32_t middleCount = int32_t{1} << middleBits;
  const int64_t rowStride = int64_t{1} << (bits - kTileBits);
  uint64_t tile[kTile][kTile];
  // Tile pairs (m, reversed m) are owned by their smaller index; spreading
  // the owners round-robin evens out the work between the parts.
  for (int32_t m = part; m < middleCount; m += parts) {
    // The table holds the reversals for the cached length; the parts of a
    // threaded transform are shorter and reverse their indices here.
    const int32_t rm = n == tables.cachedLength ? tables.bitReverse[m] : ReverseBits(m, middleBits);
    if (rm < m) continue;
    const int64_t baseA = int64_t{m} << kTileBits;
    const int64_t baseB = int64_t{rm} << kTileBits;
    for (int h = 0; h < kTile; ++h)
      for (int l = 0; l < kTile; ++l) tile[h][l] = LoadPoint(data, baseA + h * rowStride + l);
    if (rm != m) {
      for (int h = 0; h < kTile; ++h)
        for (int l = 0; l < kTile; ++l)
          StorePoint(data, baseA + h * rowStride + l,
                     LoadPoint(data, baseB + kReverse3[l] * rowStride + kReverse3[h]));
    }
    const int64_t target = rm != m ? baseB : baseA;
    for (int h = 0; h < kTile; ++h)
      for (int l = 0; l < kTile; ++l)
        StorePoint(data, target + h * rowStride + l, tile[kReverse3[l]][kReverse3[h]]);
  }
}
