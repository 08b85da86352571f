#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wavetable/partial_table.h"

// The rendered VORTA table: 33 slices of one cycle each, with R - 1 linear
// blends between neighbouring slices, in one float buffer large enough for
// the longest cycle (4,096 samples) at the largest stretch.
inline constexpr int kUnitySliceLength = 256;        // 44,100 / 256 = 172.265625 Hz
inline constexpr double kUnityPitchHz = 44100.0 / kUnitySliceLength;
inline constexpr int kMaxSliceLength = 4096;         // the longest cycle the writers ask for
inline constexpr size_t kRamWavetableSamples = static_cast<size_t>(kSliceCount) * 131072;  // 4,325,376

// playbackStretch R: 1..32, shown as speed 33 - R.
inline constexpr int32_t kMinStretch = 1;
inline constexpr int32_t kMaxStretch = 32;
inline constexpr int32_t kDefaultStretch = 16;
inline constexpr int kRamNameMaxChars = 21;

struct RamWavetable {
  std::vector<float> samples;  // kRamWavetableSamples while the module is open
  size_t length = 0;           // samples of the last render
};

void AllocateRamWavetable(RamWavetable& ram);
void ReleaseRamWavetable(RamWavetable& ram);

// Samples of a table rendered with cycle length N and stretch R: 32 N R + N.
size_t RenderedLength(int sliceLength, int32_t stretch);
// Where slice s begins: s N R.
size_t SliceStart(int slice, int sliceLength, int32_t stretch);

int32_t ClampStretch(int32_t stretch);
int32_t ShownSpeed(int32_t stretch);       // 33 - R
int32_t FasterPlayback(int32_t stretch);   // "+SPEED": R - 1, not below 1
int32_t SlowerPlayback(int32_t stretch);   // "-SPEED": R + 1, not above 32

// The name shown after "RAM:", cut to 21 characters.
std::string RamNameFrom(std::string_view name);
