#pragma once
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/message_codes.h"
#include "modules/analysis_range.h"

// Page "1.1.0" of the XFORM module: the sample as two working channels and
// the analysis range within them. The range itself (trimming to the audible
// part, the threshold buttons, the 4,097-sample minimum) is the sample
// analysis' AnalysisRange, run over the level of the pair: each sample of
// its signal is the larger magnitude of the two channels, so a sound counts
// as audible, and a threshold as reached, when either channel is.

enum class XformSourceMode : uint8_t {
  Stereo = 0,        // "STEREO": both channels as they are
  StereoToMono = 1,  // "STEREO->MONO": (left + right) / 2 in both
  LeftOnly = 2,      // "LEFT ONLY"
  RightOnly = 3,     // "RIGHT ONLY"
};
inline constexpr int kXformSourceModeCount = 4;

std::string_view XformSourceModeName(XformSourceMode mode);
// "SOURCE" cycles through the four modes.
XformSourceMode NextXformSourceMode(XformSourceMode mode);

// The channels after the source mode; a mono file (channels 1) feeds both.
// Stereo-to-mono falls back to the left channel when the mix cancels.
// Samples that are not finite become 0.
void MixSourceChannels(const SampleChannels& sample, XformSourceMode mode, std::vector<float>& outLeft,
                       std::vector<float>& outRight);

// The working pair of page "1.1.0": the file's channels after the source
// mode, normalised together to a common peak of 1.0 (a silent pair stays as
// it is) and trimmed; range.signal is the pair's level over the same samples.
struct XformAnalysisSource {
  XformSourceMode mode = XformSourceMode::Stereo;
  std::vector<float> left;
  std::vector<float> right;
  AnalysisRange range;  // stereoFile, fileLength, trimmedFirst, thresholds, S and E
};

// Builds (or, after "SOURCE", rebuilds) the pair and resets the range.
// MinimumAnalysisRange, with an empty source, for a file shorter than 4,097
// samples; else None. A mono file ignores the mode.
MessageCode BuildXformAnalysisSource(const SampleChannels& sample, XformSourceMode mode, XformAnalysisSource& source);

// "SOURCE" (stereo files only): the next mode, the pair built again.
MessageCode CycleXformSource(XformAnalysisSource& source, const SampleChannels& sample);

// The threshold buttons act on source.range with PressRangeButton.
// The range S .. E of one channel, as the analysis reads it.
std::span<const float> RangeOf(const XformAnalysisSource& source, bool rightChannel);

// Preview stretch for a range: 2^nearest(log2(4,325,376 / range)) within
// 1 .. 512; "-SPEED" halves it down to 1, "+SPEED" doubles it up to 512.
inline constexpr int32_t kMaxPreviewStretch = 512;
int32_t PreviewStretchFor(int64_t rangeLength);
MessageCode HalvePreviewStretch(int32_t& stretch);
MessageCode DoublePreviewStretch(int32_t& stretch);
