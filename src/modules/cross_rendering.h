#pragma once
#include <cstdint>
#include <vector>

#include "modules/cross_synthesis.h"

// "FILE RENDERING" of cross synthesis: the output, level-aligned or as it
// is, written as the module's WAV file (unity note 60).

enum class CrossLevelMode : uint8_t {
  FullRange = 0,  // "FULL RANGE": the pair scaled to a common peak of 1.0
  Unchanged = 1,  // "UNCHANGED"
};

struct CrossRenderOptions {
  CrossLevelMode level = CrossLevelMode::FullRange;
  int bitsMode = 1;  // the rendering pages' "BITS PER SAMPLE:" mode, 16-bit PCM
  int channels = 2;  // as recorded when the two files were loaded
};

// The preview the page stores; empty channels without output.
void RenderCrossPreview(const CrossSynthesis& cross, CrossLevelMode level, std::vector<float>& left,
                        std::vector<float>& right);

// The whole WAV file; empty without output.
std::vector<uint8_t> BuildCrossWaveFile(const CrossSynthesis& cross, const CrossRenderOptions& options);
