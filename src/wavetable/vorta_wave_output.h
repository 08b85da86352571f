#pragma once
#include <cstdint>
#include <vector>

#include "files/sound_file_records.h"
#include "wavetable/partial_table.h"

// "WAVETABLE RENDERING <WAV>": the whole VORTA table as the program's own
// WAV wavetable. The table is rendered with S samples per slice and M waves
// per slice step; (32 M + b) S samples are written, b = 1 for the NORMAL base
// and 0 for the ALTERNATE base (which leaves out the last slice).

enum class WaveBase { kNormal, kAlternate };

// The rendering pages' "BITS PER SAMPLE:" modes 0..3: 8, 16, 32 PCM and 32 float.
inline constexpr int kBitsMode8 = 0;
inline constexpr int kBitsMode16 = 1;
inline constexpr int kBitsMode32 = 2;
inline constexpr int kBitsModeFloat = 3;

inline constexpr int kMinWaveSamples = 128;
inline constexpr int kMaxWaveSamples = 2048;
inline constexpr int kDefaultWaveSamples = 256;
inline constexpr int kMaxWavesPerStep = 32;
inline constexpr int kStepsPerTable = 32;

struct VortaWaveOptions {
  int samplesPerSlice = kDefaultWaveSamples;  // S: 128, 256, ..., 2048
  int wavesPerStep = kMaxWavesPerStep;        // M: 1..32 (NORMAL) or 2..32 (ALTERNATE), a power of two
  WaveBase base = WaveBase::kNormal;
  int bitsMode = kBitsMode16;
};

// The values the page's buttons can reach.
bool IsReachableSamplesPerSlice(int samples);
bool IsReachableWavesPerStep(int waves, WaveBase base);

// Format tag and bits of a bits mode (mode 1 for anything else).
void SetSampleFormat(WaveHeader& header, int bitsMode);

// The file ready to write: header, "smpl" image with loop, unity note and
// the table with R, and the mono samples. The table is used as given, like
// the other formats' writers: callers pass the optimised output copy
// (TableForOutput).
struct VortaWaveImage {
  WaveHeader header;
  SamplerBlock block;
  std::vector<float> samples;
};

// False (nothing prepared) when the options are outside what the page offers.
bool PrepareVortaWave(const PartialTable& table, int32_t stretch, const VortaWaveOptions& options,
                      VortaWaveImage& image);
