#pragma once
#include <cstdint>

#include "wavetable/partial_table.h"
#include "wavetable/vorta_wave_output.h"

// "SINGLE CYCLE RENDERING <WAV>": one slice of the VORTA table as a looped
// mono single cycle of S samples (128, 256, ..., 4,096). The file carries
// only the family id in its "smpl" chunk, so the library files it as a
// single cycle, never as a table.

inline constexpr int kMinCycleSamples = 128;
inline constexpr int kMaxCycleSamples = 4096;
inline constexpr int kDefaultCycleSamples = 256;

struct VortaCycleOptions {
  int slice = 0;                          // 0..32
  int samples = kDefaultCycleSamples;     // S: a power of two, 128..4,096
  bool inverted = false;                  // "SLICE POLARITY:" INVERTED
  int bitsMode = kBitsMode16;
};

bool IsReachableCycleSamples(int samples);

// False (nothing prepared) for a slice or a length the page cannot reach.
// The cycle is synthesised at pitch 256 / S and brought down to full scale
// when louder; the loop covers the whole cycle and the unity note follows S.
bool PrepareVortaCycle(const PartialTable& table, const VortaCycleOptions& options, VortaWaveImage& image);
