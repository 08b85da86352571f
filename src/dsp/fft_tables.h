#pragma once
#include <cstdint>
#include <vector>

// Lengths (complex points) at which the large transform changes how many
// worker threads share its deep stages.
inline constexpr int32_t kFftThreadedMinLength = 32768;
inline constexpr int32_t kFftFourThreadMinLength = 262145;  // above 262,144 points
inline constexpr int kFftFourThreadMinProcessors = 4;

// The tables of the power-of-two transform, one instance for the process.
// They are built for one length at a time and rebuilt when the length changes.
struct FftTables {
  int32_t cachedLength = 0;  // complex points the tables were built for, 0 = none
  int32_t maxLength = 0;     // complex points the arrays are allocated for
  uint8_t threadMode = 1;    // 1, 2 or 4 threads for the deep stages
  int processorCount = 1;    // the machine's processors, see SetFftProcessorCount

  // Reversed middle index bits for the blocked bit-reversal permutation.
  std::vector<int32_t> bitReverse;
  // cos, sin of 2 pi k / N for k = 0 .. N/4 - 1, interleaved (N/2 doubles):
  // the quarter wave every other twiddle is derived from.
  std::vector<double> twiddles;
  // Twiddles of the vector kernels, rounded once to float from the values
  // above, laid out per stage size (see fft_kernels.h). Offset keeps the
  // first entry on a 32-byte boundary.
  std::vector<float> stageTwiddleStore;
  int32_t stageTwiddleOffset = 0;

  const float* StageTwiddles() const { return stageTwiddleStore.data() + stageTwiddleOffset; }
};

extern FftTables gFftTables;

// Frees the arrays and allocates them zero-filled for up to maxComplexLength
// points (a power of two); the next transform rebuilds the tables.
void AllocateFftTables(int32_t maxComplexLength);

// Frees both arrays and forgets the cached length.
void ReleaseFftTables();

// Worker threads for a transform of complexLength points on a machine that
// reported processorCount processors (0 counts as 1): 1 below 32,768 points,
// 4 above 262,144 points with more than 3 processors, otherwise 2; always 1
// on a single processor.
uint8_t FftThreadMode(int32_t complexLength, int processorCount);

// The processors the transform may share its deep stages among: the program
// passes the machine's count at start (one until then). It counts from the
// next rebuild of the tables.
void SetFftProcessorCount(int processorCount);

// Rebuilds the tables for complexLength points when it differs from the
// cached length (growing the arrays when they are too small) and sets the
// thread mode from the tables' processor count.
void PrepareFftTables(FftTables& tables, int32_t complexLength);

// cos and sin of 2 pi j / N for any j in 0 .. N-1, from the quarter-wave table.
struct TwiddlePair {
  double cosValue;
  double sinValue;
};
TwiddlePair FullCircleTwiddle(const FftTables& tables, int32_t j);

bool IsPowerOfTwo(int32_t n);
int Log2OfPowerOfTwo(int32_t n);
