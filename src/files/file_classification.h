#pragma once
#include <cstdint>

#include "core/app_globals.h"
#include "files/sound_file_records.h"

// What the reader needs to know of the settings.
struct ReadRules {
  bool forceLoopForSingleCycle = true;  // FORCE LOOP FOR SINGLE CYCLE CLASSIFICATION
};

ReadRules ReadRulesOf(const AppGlobals& app);

inline constexpr uint64_t kMaxSingleCycleFrames = 4096;
inline constexpr uint64_t kMaxSampleFrames = 3969000;           // 90 s at 44.1 kHz
inline constexpr uint64_t kXformSliceFrames = 131072;
inline constexpr uint32_t kMaxPlainSamplerData = 136;           // sampler data of a foreign cycle
inline constexpr uint32_t kMinSynthesisSamplerData = 4232;      // older table layouts start here

// A WAV file that passed the acceptance rules, as the classification sees
// it. loopLength is 0 when the file has no usable loop.
struct WaveFacts {
  const WaveHeader& header;
  const SamplerBlock& block;
  uint64_t frames;
  uint32_t samplerDataSize;  // 0 without a "smpl" chunk
  uint64_t loopLength;
};

// Sorts an accepted WAV file into samples, single cycles and the program's
// table kinds; fills info when given. Returns the category or 0 with the
// rejection in info->remark.
int16_t ClassifyWave(const WaveFacts& facts, const ReadRules& rules, FileInfo* info);

// Mono file whose single forward loop starts at frame 0 and spans 128 to
// 4,096 frames: the number of such cycles the file holds, else 0. A sample
// with two or more is a scan loop.
uint64_t ScanLoopCount(const WaveHeader& header, const SamplerBlock& block, uint64_t frames);

// Sets the rejection message (at most 127 characters) and yields category 0.
int16_t RejectFile(FileInfo* info, const char* message);
