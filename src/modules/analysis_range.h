#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/message_codes.h"

// The analysis range of a sample ("SAMPLE ANALYSIS OPTIONS I"): the working
// signal built from the file's channels, trimmed to its audible part, and
// the start and end of the range, moved by two level thresholds.

inline constexpr int32_t kMinimumAnalysisRange = 4097;
// A sample counts as audible above 1/254 of full scale.
inline constexpr float kAudibleLevel = 1.0f / 254.0f;
// The threshold buttons step by 1/64 of full scale.
inline constexpr float kThresholdStep = 1.0f / 64.0f;
inline constexpr float kThresholdLowerLimit = 0.015f;  // "-THR": below this the threshold is 0
inline constexpr float kThresholdUpperLimit = 0.9845f; // "+THR": above this the threshold is 1
inline constexpr float kThresholdResetLimit = 0.01f;   // "RES": nothing to reset below this
// A mix whose peak, times 127, stays below the pair's peak has cancelled out.
inline constexpr double kCancellingMixFactor = 127.0;

enum class SourceMode : uint8_t {
  StereoToMono = 0,  // "STEREO->MONO"
  LeftOnly = 1,      // "LEFT ONLY"
  RightOnly = 2,     // "RIGHT ONLY"
};
inline constexpr int kSourceModeCount = 3;
const char* SourceModeText(SourceMode mode);

// The loaded sample: two channel buffers of length samples (a mono file
// fills both, or only the left one).
struct SampleChannels {
  std::span<const float> left;
  std::span<const float> right;
  int32_t length = 0;
  int channels = 1;
};

struct AnalysisRange {
  SourceMode source = SourceMode::StereoToMono;
  bool stereoFile = false;
  int32_t fileLength = 0;      // "SAMPLES IN FILE:"
  int32_t trimmedFirst = 0;    // where the working signal begins in the file
  std::vector<float> signal;   // the working signal, T = "USED DATA SAMPLES:"
  float startThreshold = 0.0f;
  float endThreshold = 0.0f;
  int32_t start = 0;           // S
  int32_t end = 0;             // E, S < E <= T

  int32_t Used() const { return static_cast<int32_t>(signal.size()); }
  int32_t RangeLength() const { return end - start; }  // "ANALYSIS RANGE:"
  int32_t EndShift() const { return end - Used(); }    // "END SHIFT:"
  std::span<const float> Range() const {
    return std::span<const float>(signal).subspan(static_cast<size_t>(start), static_cast<size_t>(end - start));
  }
};

// The source mix of the file, untrimmed. "STEREO->MONO" falls back to the
// left channel when the two channels cancel each other out.
std::vector<float> BuildWorkingSignal(const SampleChannels& sample, SourceMode mode);

// Where the audible part of a signal of n >= 4097 samples begins and how
// many samples the working signal keeps: first <= n - 4097 and
// 4097 <= used <= n - first.
struct TrimResult {
  int32_t first = 0;
  int32_t used = 0;
};
TrimResult TrimAudible(std::span<const float> signal);

// Opens the range page for a sample: builds and trims the working signal,
// thresholds 0, S = 0, E = T. A sample shorter than 4097 samples is refused
// with kMsgMinimumAnalysisRange and leaves the range empty.
MessageCode OpenAnalysisRange(AnalysisRange& range, const SampleChannels& sample);

// "SOURCE" (stereo files only): the next source mode, and the working
// signal built and trimmed again.
MessageCode CycleAnalysisSource(AnalysisRange& range, const SampleChannels& sample);

enum class RangeButton : uint8_t {
  LowerStart,  // "-THR_S"
  RaiseStart,  // "+THR_S"
  ResetStart,  // "TS_RES"
  LowerEnd,    // "-THR_E"
  RaiseEnd,    // "+THR_E"
  ResetEnd,    // "TE_RES"
};
// The threshold buttons: kMsgMinValue, kMsgMaxValue, kMsgMinimumAnalysisRange or kMsgNone.
MessageCode PressRangeButton(AnalysisRange& range, RangeButton button);

// S moves forward past samples below the start threshold, E back past
// samples below the end threshold, never closer than 4097 samples.
void RecomputeRangeStart(AnalysisRange& range);
void RecomputeRangeEnd(AnalysisRange& range);

// A threshold as the page shows it: nearest(32768 x threshold).
int32_t ShownThreshold(float threshold);
