#pragma once
#include <cstdint>
#include <vector>

#include "modules/loop_synthesis.h"

// "FILE RENDERING" of loop synthesis: the computed loop rotated by the loop
// start offset, its level aligned, written as the module's WAV file.

inline constexpr int32_t kLoopStartOffsetMax = 920;  // the bar's 0..100 %
inline constexpr uint32_t kDefaultUnityNote = 60;

enum class LoopLevelMode : uint8_t {
  FullRange = 0,  // "FULL RANGE": as computed, peak 1.0
  ToSource = 1,   // "TO SOURCE": the peak the input had when it was loaded
};

struct LoopRenderOptions {
  int32_t startOffset = 0;  // p, 0..920
  LoopLevelMode level = LoopLevelMode::FullRange;
  int bitsMode = 1;         // the rendering pages' "BITS PER SAMPLE:" mode, 16-bit PCM
};

// The output rotated so that it starts at nearest(p L / 920) and levelled;
// empty channels without output.
void RenderLoopPreview(const LoopSynthesis& loop, const LoopRenderOptions& options, std::vector<float>& left,
                       std::vector<float>& right);

// The whole WAV file: two channels when the input had two or the output was
// widened, else one; unity note and pitch fraction of the input (60 when it
// had no unity note). Empty without output.
std::vector<uint8_t> BuildLoopWaveFile(const LoopSynthesis& loop, const LoopRenderOptions& options,
                                       uint32_t unityNote, uint32_t pitchFraction);
