#pragma once
#include <cstdint>
#include <span>

// The loop a sound file carries, as cross synthesis uses it to pad a file
// to a longer length. The type is the file's sampler loop type plus one.
inline constexpr int16_t kLoopTypeNone = 0;
inline constexpr int16_t kLoopTypeNormal = 1;     // "NORMAL": forward repetition
inline constexpr int16_t kLoopTypeAlternate = 2;  // "ALTERNATE": forward, then backward
inline constexpr int16_t kLoopTypeReverse = 3;    // "REVERSE": backward repetition
const char* LoopTypeText(int16_t type);

struct SourceLoop {
  int16_t type = kLoopTypeNone;
  int32_t start = 0;  // first sample of the loop
  int32_t end = 0;    // last sample of the loop (inclusive)
};

// The loop type for a file: none without a loop, else the sampler loop
// type (0 forward, 1 alternating, 2 backward) plus one.
int16_t LoopTypeFromFile(bool hasLoop, uint32_t samplerLoopType);

// A loop counts only with a known type and 0 <= start <= end < length.
bool LoopIsValid(const SourceLoop& loop, int64_t sourceLength);

// Fills the destination (its size is the target length): the source's
// first s samples unchanged, s = loop start (or target - 1 when the start
// lies beyond the target), then the loop repeated in its type's manner.
// Without a valid loop the destination takes the source as far as it goes
// and silence after it.
void LoopPad(const SourceLoop& loop, std::span<const float> source, std::span<float> destination);
