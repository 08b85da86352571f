#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "core/message_codes.h"
#include "files/sample_loader.h"
#include "modules/analysis_range.h"
#include "modules/cross_synthesis.h"
#include "modules/loop_synthesis.h"

// What the file operations pages hand the modules after the sample loader
// has filled two channel buffers: the loaded frames with their channel
// count and loop.

// The sample for "SAMPLE ANALYSIS OPTIONS I".
SampleChannels SampleChannelsOf(std::span<const float> left, std::span<const float> right,
                                const SampleDescriptor& descriptor);

// The step size of a scan loop (the length of its first, looped cycle) and
// the number of steps; 0 steps for a file that is not a scan loop.
struct ScanLoopShape {
  int32_t stepSize = 0;
  int32_t steps = 0;
};
ScanLoopShape ScanLoopShapeOf(const SampleDescriptor& descriptor);

// "LOAD" on the loop synthesis file page.
MessageCode LoadLoopInputFromSample(LoopSynthesis& loop, std::span<const float> left, std::span<const float> right,
                                    const SampleDescriptor& descriptor, std::string_view name);

// File A or B for cross synthesis, with its loop when the file has one.
CrossSourceInput CrossSourceOf(std::span<const float> left, std::span<const float> right,
                               const SampleDescriptor& descriptor, std::string_view name);
