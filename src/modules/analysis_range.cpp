#include "modules/analysis_range.h"

#include <algorithm>
#include <cmath>

#include "core/checked_alloc.h"
#include "modules/stereo_pair.h"
#include "wavetable/partial_table.h"

namespace {

std::span<const float> Channel(std::span<const float> channel, int32_t length) {
  return channel.first(std::min(channel.size(), static_cast<size_t>(std::max(length, 0))));
}

void CopyChannel(std::span<const float> from, std::vector<float>& to) {
  std::copy(from.begin(), from.end(), to.begin());
}

void ApplyTrim(AnalysisRange& range, std::vector<float> working) {
  const TrimResult trim = TrimAudible(working);
  range.trimmedFirst = trim.first;
  CheckedAlloc(range.signal, static_cast<size_t>(trim.used));
  std::copy_n(working.begin() + trim.first, trim.used, range.signal.begin());
  range.startThreshold = 0.0f;
  range.endThreshold = 0.0f;
  range.start = 0;
  range.end = trim.used;
}

bool RangeAtMinimum(const AnalysisRange& range) { return range.end - range.start == kMinimumAnalysisRange; }

MessageCode LowerThreshold(float& threshold, AnalysisRange& range, void (*recompute)(AnalysisRange&)) {
  if (threshold > kThresholdLowerLimit) {
    threshold -= kThresholdStep;
    recompute(range);
    return kMsgNone;
  }
  threshold = 0.0f;
  return kMsgMinValue;
}

MessageCode RaiseThreshold(float& threshold, AnalysisRange& range, void (*recompute)(AnalysisRange&)) {
  if (RangeAtMinimum(range)) return kMsgMinimumAnalysisRange;
  if (threshold < kThresholdUpperLimit) {
    threshold += kThresholdStep;
    recompute(range);
    return kMsgNone;
  }
  threshold = 1.0f;
  return kMsgMaxValue;
}

}  // namespace

const char* SourceModeText(SourceMode mode) {
  switch (mode) {
    case SourceMode::LeftOnly: return "LEFT ONLY";
    case SourceMode::RightOnly: return "RIGHT ONLY";
    default: return "STEREO->MONO";
  }
}

std::vector<float> BuildWorkingSignal(const SampleChannels& sample, SourceMode mode) {
  const int32_t n = std::max(sample.length, 0);
  std::vector<float> working;
  CheckedAlloc(working, static_cast<size_t>(n));
  const std::span<const float> left = Channel(sample.left, n);
  const std::span<const float> right = Channel(sample.right, n);
  if (sample.channels < 2 || mode == SourceMode::LeftOnly) {
    CopyChannel(left, working);
  } else if (mode == SourceMode::RightOnly) {
    CopyChannel(right, working);
  } else {
    const size_t both = std::min(left.size(), right.size());
    for (size_t i = 0; i < both; ++i) working[i] = (left[i] + right[i]) / 2.0f;
    const double mixPeak = PairPeak(working, working);
    if (kCancellingMixFactor * mixPeak < PairPeak(left, right)) CopyChannel(left, working);
  }
  ZeroNonFinite(working);
  return working;
}

TrimResult TrimAudible(std::span<const float> signal) {
  const int32_t n = static_cast<int32_t>(signal.size());
  if (n < kMinimumAnalysisRange) return {0, n};
  // The search stops early enough that at least 4097 samples remain.
  const int32_t lastStart = n - kMinimumAnalysisRange;
  int32_t first = lastStart;
  for (int32_t i = 0; i <= lastStart; ++i) {
    if (std::fabs(signal[static_cast<size_t>(i)]) > kAudibleLevel) {
      first = i;
      break;
    }
  }
  int32_t last = 0;
  for (int32_t i = n - 1; i >= first; --i) {
    if (std::fabs(signal[static_cast<size_t>(i)]) > kAudibleLevel) {
      last = i - first + 1;
      break;
    }
  }
  const int32_t used = std::min(std::max(last, kMinimumAnalysisRange), n - first);
  return {first, used};
}

MessageCode OpenAnalysisRange(AnalysisRange& range, const SampleChannels& sample) {
  range = AnalysisRange{};
  range.fileLength = std::max(sample.length, 0);
  range.stereoFile = sample.channels >= 2;
  if (range.fileLength < kMinimumAnalysisRange) return kMsgMinimumAnalysisRange;
  ApplyTrim(range, BuildWorkingSignal(sample, range.source));
  return kMsgNone;
}

MessageCode CycleAnalysisSource(AnalysisRange& range, const SampleChannels& sample) {
  if (!range.stereoFile || range.fileLength < kMinimumAnalysisRange) return kMsgNone;
  range.source = static_cast<SourceMode>((static_cast<int>(range.source) + 1) % kSourceModeCount);
  ApplyTrim(range, BuildWorkingSignal(sample, range.source));
  return kMsgNone;
}

MessageCode PressRangeButton(AnalysisRange& range, RangeButton button) {
  if (range.signal.empty()) return kMsgNoData;
  switch (button) {
    case RangeButton::LowerStart: return LowerThreshold(range.startThreshold, range, RecomputeRangeStart);
    case RangeButton::RaiseStart: return RaiseThreshold(range.startThreshold, range, RecomputeRangeStart);
    case RangeButton::LowerEnd: return LowerThreshold(range.endThreshold, range, RecomputeRangeEnd);
    case RangeButton::RaiseEnd: return RaiseThreshold(range.endThreshold, range, RecomputeRangeEnd);
    case RangeButton::ResetStart:
      if (range.startThreshold <= kThresholdResetLimit) return kMsgMinValue;
      range.startThreshold = 0.0f;
      range.start = 0;
      return kMsgNone;
    case RangeButton::ResetEnd:
      if (range.endThreshold <= kThresholdResetLimit) return kMsgMinValue;
      range.endThreshold = 0.0f;
      range.end = range.Used();
      return kMsgNone;
  }
  return kMsgNone;
}

void RecomputeRangeStart(AnalysisRange& range) {
  int32_t s = 0;
  if (range.end > kMinimumAnalysisRange) {
    while (s < range.end - kMinimumAnalysisRange && std::fabs(range.signal[static_cast<size_t>(s)]) < range.startThreshold) ++s;
  }
  range.start = s;
}

void RecomputeRangeEnd(AnalysisRange& range) {
  const int32_t used = range.Used();
  int32_t e = used;
  if (used > range.start + kMinimumAnalysisRange) {
    while (e > range.start + kMinimumAnalysisRange && std::fabs(range.signal[static_cast<size_t>(e - 1)]) < range.endThreshold) --e;
  }
  range.end = e;
}

int32_t ShownThreshold(float threshold) { return static_cast<int32_t>(Nearest(32768.0 * threshold)); }
