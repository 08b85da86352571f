// The permutation that puts the split-radix result into natural order.
// Exchanging tiles of 8 x 8 points touches whole cache lines on both sides,
// which matters once the buffer no longer fits the first-level cache.
#include <cstdint>
#include <cstring>

#include "dsp/fft_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SONICLOOM_VECTOR_TILES 1
#endif

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

// One tile pair exchanged (or one tile on the diagonal reordered in place):
// the tile at a receives b[rev l][rev h] at [h][l], and b likewise from a.
void ExchangeTiles(float* data, int64_t baseA, int64_t baseB, int64_t rowStride) {
  uint64_t tile[kTile][kTile];
  for (int h = 0; h < kTile; ++h)
    for (int l = 0; l < kTile; ++l) tile[h][l] = LoadPoint(data, baseA + h * rowStride + l);
  if (baseB != baseA) {
    for (int h = 0; h < kTile; ++h)
      for (int l = 0; l < kTile; ++l)
        StorePoint(data, baseA + h * rowStride + l, LoadPoint(data, baseB + kReverse3[l] * rowStride + kReverse3[h]));
  }
  for (int h = 0; h < kTile; ++h)
    for (int l = 0; l < kTile; ++l) StorePoint(data, baseB + h * rowStride + l, tile[kReverse3[l]][kReverse3[h]]);
}

#ifdef SONICLOOM_VECTOR_TILES
#pragma GCC push_options
#pragma GCC target("avx2")

// The same exchange with a tile held in sixteen registers of four points:
// rows loaded in bit-reversed order, transposed, stored in bit-reversed
// order. Only moves, so the result is that of the scalar exchange.
struct VectorTile {
  __m256d lo[kTile];  // points 0..3 of each row
  __m256d hi[kTile];  // points 4..7
};

inline void Transpose4(__m256d& a, __m256d& b, __m256d& c, __m256d& d) {
  const __m256d t0 = _mm256_unpacklo_pd(a, b), t1 = _mm256_unpackhi_pd(a, b);
  const __m256d t2 = _mm256_unpacklo_pd(c, d), t3 = _mm256_unpackhi_pd(c, d);
  a = _mm256_permute2f128_pd(t0, t2, 0x20);
  b = _mm256_permute2f128_pd(t1, t3, 0x20);
  c = _mm256_permute2f128_pd(t0, t2, 0x31);
  d = _mm256_permute2f128_pd(t1, t3, 0x31);
}

inline const double* PointAddress(const float* data, int64_t index) {
  return reinterpret_cast<const double*>(data + 2 * index);
}

// y[h][l] = tile[rev l][h]
inline VectorTile LoadTransposed(const float* data, int64_t base, int64_t rowStride) {
  __m256d lo[kTile], hi[kTile];
  for (int l = 0; l < kTile; ++l) {
    const double* row = PointAddress(data, base + kReverse3[l] * rowStride);
    lo[l] = _mm256_loadu_pd(row);
    hi[l] = _mm256_loadu_pd(row + 4);
  }
  Transpose4(lo[0], lo[1], lo[2], lo[3]);
  Transpose4(lo[4], lo[5], lo[6], lo[7]);
  Transpose4(hi[0], hi[1], hi[2], hi[3]);
  Transpose4(hi[4], hi[5], hi[6], hi[7]);
  VectorTile y;
  for (int h = 0; h < 4; ++h) {
    y.lo[h] = lo[h];
    y.hi[h] = lo[4 + h];
    y.lo[4 + h] = hi[h];
    y.hi[4 + h] = hi[4 + h];
  }
  return y;
}

// row h of the tile at base = y[rev h]
inline void StoreRowsReversed(float* data, int64_t base, int64_t rowStride, const VectorTile& y) {
  for (int h = 0; h < kTile; ++h) {
    auto* row = reinterpret_cast<double*>(data + 2 * (base + h * rowStride));
    _mm256_storeu_pd(row, y.lo[kReverse3[h]]);
    _mm256_storeu_pd(row + 4, y.hi[kReverse3[h]]);
  }
}

void ExchangeTilesVector(float* data, int64_t baseA, int64_t baseB, int64_t rowStride) {
  const VectorTile a = LoadTransposed(data, baseA, rowStride);
  if (baseB != baseA) StoreRowsReversed(data, baseA, rowStride, LoadTransposed(data, baseB, rowStride));
  StoreRowsReversed(data, baseB, rowStride, a);
}

#pragma GCC pop_options
#endif

using TileExchange = void (*)(float*, int64_t, int64_t, int64_t);

TileExchange ChooseTileExchange() {
#ifdef SONICLOOM_VECTOR_TILES
  if (ActiveFftKernel().kind == FftKernelKind::kVector) return ExchangeTilesVector;
#endif
  return ExchangeTiles;
}

}  // namespace

void BitReversePermute(float* data, int32_t n, const FftTables& tables) {
  BitReversePermutePart(data, n, tables, 0, 1);
}

namespace {

// Tiles m and m ^ 1 lie side by side in every row, and so do their
// partners' tiles rm and rm ^ 1 = reverse(m ^ top). A group of the four
// tiles {m, m ^ 1, m ^ top, m ^ top ^ 1} therefore exchanges whole
// neighbouring cache-line pairs with its partner group, and a thread that
// owns whole groups never writes a line pair another thread writes: the
// processors' adjacent-line prefetch then pulls no line back and forth.
// Each part takes an equal run of consecutive owned groups, so the rows it
// walks stay close together.
void PermuteGroupsOfPart(float* data, int middleBits, int64_t rowStride, TileExchange exchange, int part, int parts) {
  const int32_t top = int32_t{1} << (middleBits - 1);
  auto ownedGroup = [&](int32_t g) {  // g has bit 0 and the top bit clear
    const int32_t rg = ReverseBits(g, middleBits);  // also has both clear
    return rg >= g;
  };
  int32_t owned = 0;
  for (int32_t g = 0; g < top; g += 2) owned += ownedGroup(g);
  const int64_t first = int64_t{owned} * part / parts, last = int64_t{owned} * (part + 1) / parts;
  int64_t index = 0;
  for (int32_t g = 0; g < top && index < last; g += 2) {
    if (!ownedGroup(g)) continue;
    if (index++ < first) continue;
    const int32_t rg = ReverseBits(g, middleBits);
    // m pairs with rm, m ^ 1 with rm ^ top, m ^ top with rm ^ 1, m ^ top ^ 1
    // with rm ^ top ^ 1. When the group is its own partner, only the pairs
    // whose first tile is the smaller are exchanged (and the diagonal ones).
    const int32_t tiles[4] = {g, g ^ 1, g ^ top, g ^ top ^ 1};
    const int32_t partners[4] = {rg, rg ^ top, rg ^ 1, rg ^ top ^ 1};
    for (int t = 0; t < 4; ++t) {
      if (rg == g && partners[t] < tiles[t]) continue;
      exchange(data, int64_t{tiles[t]} << kTileBits, int64_t{partners[t]} << kTileBits, rowStride);
    }
  }
}

}  // namespace

void BitReversePermutePart(float* data, int32_t n, const FftTables& tables, int part, int parts) {
  const int bits = Log2OfPowerOfTwo(n);
  if (bits < 2 * kTileBits) {
    if (part == 0) PermuteSmall(data, n, bits);
    return;
  }
  const int middleBits = bits - 2 * kTileBits;
  const int32_t middleCount = int32_t{1} << middleBits;
  const int64_t rowStride = int64_t{1} << (bits - kTileBits);
  // The vector exchange with the vector kernel, so that tests pinning the
  // scalar kernel keep the portable code covered.
  const TileExchange exchange = ChooseTileExchange();
  if (parts > 1 && middleBits >= 2) {
    PermuteGroupsOfPart(data, middleBits, rowStride, exchange, part, parts);
    return;
  }
  // One thread: tile pairs (m, reversed m) are owned by their smaller index.
  for (int32_t m = part; m < middleCount; m += parts) {
    // The table holds the reversals for the cached length; the parts of a
    // threaded transform are shorter and reverse their indices here.
    const int32_t rm = n == tables.cachedLength ? tables.bitReverse[m] : ReverseBits(m, middleBits);
    if (rm < m) continue;
    exchange(data, int64_t{m} << kTileBits, int64_t{rm} << kTileBits, rowStride);
  }
}
