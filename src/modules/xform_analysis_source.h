#pragma once
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/message_codes.h"

// Page "1.1.0" of the XFORM module: the sample as two working channels and
// the analysis range within them. The trimming and the threshold range work
// on a pair of channels and take a mono signal as the same channel twice,
// so the VORTA analysis can share them.

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

inline constexpr int64_t kMinAnalysisRange = 4097;
inline constexpr float kTrimLevel = 1.0f / 254.0f;  // 0.003937008
inline constexpr int64_t kTrimSearchTail = 4096;    // the start is searched before the last 4,096 samples
inline constexpr float kThresholdStep = 1.0f / 64.0f;
// When 127 times the peak of the mono mix stays below the pair's peak the
// channels cancel, and the left channel is used instead.
inline constexpr float kCancellationRatio = 127.0f;

// The channels after the source mode: a mono file (right empty) feeds both.
// Stereo-to-mono falls back to the left channel when the mix cancels.
void MixSourceChannels(std::span<const float> left, std::span<const float> right, XformSourceMode mode,
                       std::vector<float>& outLeft, std::vector<float>& outRight);

// Largest |sample| of either channel.
float PairPeak(std::span<const float> left, std::span<const float> right);

// Both channels scaled by one gain to a common peak of 1.0; a silent pair
// (or one that is not finite) is left as it is. Returns the gain applied.
float NormalizePair(std::span<float> left, std::span<float> right);

// The audible part of a pair: first = the first sample above 1/254 within
// all but the last 4,096 samples (none: n - 4,096), length = from first to
// the last sample above 1/254, at least 4,097 and never past the end (the
// start moves back when the audible part ends too close to the end). A
// pair shorter than 4,097 samples is used whole.
struct SignalRange {
  int64_t first = 0;
  int64_t length = 0;
};
SignalRange FindSignalRange(std::span<const float> left, std::span<const float> right);

// Thresholds and shifts of page "1.1.0" over the trimmed pair of length T:
// start index S and end index E with S < E <= T and E - S >= 4,097
// whenever T allows.
struct AnalysisRange {
  float startThreshold = 0.0f;
  float endThreshold = 0.0f;
  int64_t start = 0;   // S
  int64_t end = 0;     // E
  int64_t length = 0;  // T
  int64_t Span() const { return end - start; }
};

AnalysisRange FullAnalysisRange(int64_t length);

enum class RangeButton {
  LowerStart,  // "-THR_S"
  RaiseStart,  // "+THR_S"
  ResetStart,  // "TS_RES"
  LowerEnd,    // "-THR_E"
  RaiseEnd,    // "+THR_E"
  ResetEnd,    // "TE_RES"
};

// One press; MinValue / MaxValue / MinimumRange when refused (as shown on
// the message line), None when the range was recomputed.
MessageCode PressRangeButton(AnalysisRange& range, RangeButton button, std::span<const float> left,
                              std::span<const float> right);

// The working pair of page "1.1.0": the file's channels after the source
// mode, normalised together and trimmed, and the range within them.
struct XformAnalysisSource {
  bool stereoFile = false;
  XformSourceMode mode = XformSourceMode::Stereo;
  std::vector<float> left;
  std::vector<float> right;
  int64_t fileFrames = 0;  // "SAMPLES IN FILE:"
  AnalysisRange range;
};

// Builds (or, after "SOURCE", rebuilds) the pair from the file's channels
// (right empty for a mono file, which ignores the mode) and resets the range.
void BuildXformAnalysisSource(std::span<const float> fileLeft, std::span<const float> fileRight,
                              XformSourceMode mode, XformAnalysisSource& source);

// The range S .. E of each channel, as the analysis reads it.
std::span<const float> RangeOf(const XformAnalysisSource& source, bool rightChannel);

// Preview stretch for a range: 2^nearest(log2(4,325,376 / range)) within
// 1 .. 512; "-SPEED" halves it down to 1, "+SPEED" doubles it up to 512.
inline constexpr int32_t kMaxPreviewStretch = 512;
int32_t PreviewStretchFor(int64_t rangeLength);
MessageCode HalvePreviewStretch(int32_t& stretch);
MessageCode DoublePreviewStretch(int32_t& stretch);
