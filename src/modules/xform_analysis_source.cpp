#include "modules/xform_analysis_source.h"

#include <algorithm>
#include <cmath>

#include "core/checked_alloc.h"
#include "wavetable/partial_table.h"
#include "wavetable/xform_table.h"

namespace {

float LevelAt(std::span<const float> left, std::span<const float> right, int64_t i) {
  const auto at = static_cast<size_t>(i);
  return std::max(std::fabs(left[at]), std::fabs(right[at]));
}

bool Audible(std::span<const float> left, std::span<const float> right, int64_t i) {
  return LevelAt(left, right, i) > kTrimLevel;
}

void CopyInto(std::span<const float> from, std::vector<float>& to) {
  CheckedAlloc(to, from.size());
  std::copy(from.begin(), from.end(), to.begin());
}

int64_t PairLength(std::span<const float> left, std::span<const float> right) {
  return static_cast<int64_t>(std::min(left.size(), right.size()));
}

void RecomputeStart(AnalysisRange& range, std::span<const float> left, std::span<const float> right) {
  range.start = 0;
  if (range.end <= kMinAnalysisRange) return;
  while (range.start < range.end - kMinAnalysisRange && LevelAt(left, right, range.start) < range.startThreshold)
    ++range.start;
}

void RecomputeEnd(AnalysisRange& range, std::span<const float> left, std::span<const float> right) {
  range.end = range.length;
  if (range.length <= range.start + kMinAnalysisRange) return;
  while (range.end > range.start + kMinAnalysisRange && LevelAt(left, right, range.end - 1) < range.endThreshold)
    --range.end;
}

// "-THR": one step down while above 0.015, else 0 and MinValue.
MessageCode LowerThreshold(float& threshold) {
  if (threshold > 0.015f) {
    threshold = std::max(0.0f, threshold - kThresholdStep);
    return kMsgNone;
  }
  threshold = 0.0f;
  return kMsgMinValue;
}

// "+THR": one step up while below 0.9845, else 1.0 and MaxValue.
MessageCode RaiseThreshold(float& threshold) {
  if (threshold < 0.9845f) {
    threshold = std::min(1.0f, threshold + kThresholdStep);
    return kMsgNone;
  }
  threshold = 1.0f;
  return kMsgMaxValue;
}

}  // namespace

std::string_view XformSourceModeName(XformSourceMode mode) {
  switch (mode) {
    case XformSourceMode::Stereo: return "STEREO";
    case XformSourceMode::StereoToMono: return "STEREO->MONO";
    case XformSourceMode::LeftOnly: return "LEFT ONLY";
    case XformSourceMode::RightOnly: return "RIGHT ONLY";
  }
  return "STEREO";
}

XformSourceMode NextXformSourceMode(XformSourceMode mode) {
  return static_cast<XformSourceMode>((static_cast<int>(mode) + 1) % kXformSourceModeCount);
}

float PairPeak(std::span<const float> left, std::span<const float> right) {
  float peak = 0.0f;
  for (float v : left) peak = std::max(peak, std::fabs(v));
  for (float v : right) peak = std::max(peak, std::fabs(v));
  return peak;
}

void MixSourceChannels(std::span<const float> left, std::span<const float> right, XformSourceMode mode,
                       std::vector<float>& outLeft, std::vector<float>& outRight) {
  if (right.empty()) mode = XformSourceMode::LeftOnly;  // a mono file feeds both channels
  const size_t n = right.empty() ? left.size() : std::min(left.size(), right.size());
  left = left.first(n);
  right = right.first(std::min(right.size(), n));
  switch (mode) {
    case XformSourceMode::Stereo:
      CopyInto(left, outLeft);
      CopyInto(right, outRight);
      return;
    case XformSourceMode::StereoToMono: {
      CheckedAlloc(outLeft, n);
      for (size_t i = 0; i < n; ++i) outLeft[i] = (left[i] + right[i]) * 0.5f;
      if (kCancellationRatio * PairPeak(outLeft, {}) < PairPeak(left, right)) CopyInto(left, outLeft);
      CopyInto(outLeft, outRight);
      return;
    }
    case XformSourceMode::LeftOnly:
      CopyInto(left, outLeft);
      CopyInto(left, outRight);
      return;
    case XformSourceMode::RightOnly:
      CopyInto(right, outLeft);
      CopyInto(right, outRight);
      return;
  }
}

float NormalizePair(std::span<float> left, std::span<float> right) {
  const float peak = PairPeak(left, right);
  if (!(peak > 0.0f) || !std::isfinite(peak)) return 1.0f;
  const float gain = 1.0f / peak;
  for (float& v : left) v *= gain;
  for (float& v : right) v *= gain;
  return gain;
}

SignalRange FindSignalRange(std::span<const float> left, std::span<const float> right) {
  const int64_t n = PairLength(left, right);
  if (n < kMinAnalysisRange) return {0, n};
  const int64_t searchEnd = n - kTrimSearchTail;
  int64_t first = searchEnd;
  for (int64_t i = 0; i < searchEnd; ++i) {
    if (Audible(left, right, i)) {
      first = i;
      break;
    }
  }
  int64_t last = 0;
  for (int64_t i = n - 1; i >= first; --i) {
    if (Audible(left, right, i)) {
      last = i - first + 1;
      break;
    }
  }
  int64_t length = std::max(std::min(last, n - first), kMinAnalysisRange);
  // A short audible part near the end keeps its minimum range by starting earlier.
  if (first + length > n) first = n - length;
  return {first, length};
}

AnalysisRange FullAnalysisRange(int64_t length) {
  AnalysisRange range;
  range.length = length;
  range.end = length;
  return range;
}

MessageCode PressRangeButton(AnalysisRange& range, RangeButton button, std::span<const float> left,
                              std::span<const float> right) {
  if (PairLength(left, right) < range.length) return kMsgNoData;
  MessageCode message = kMsgNone;
  switch (button) {
    case RangeButton::LowerStart:
      message = LowerThreshold(range.startThreshold);
      if (message == kMsgNone) RecomputeStart(range, left, right);
      break;
    case RangeButton::RaiseStart:
      if (range.Span() == kMinAnalysisRange) return kMsgMinimumAnalysisRange;
      message = RaiseThreshold(range.startThreshold);
      if (message == kMsgNone) RecomputeStart(range, left, right);
      break;
    case RangeButton::ResetStart:
      if (!(range.startThreshold > 0.01f)) return kMsgMinValue;
      range.startThreshold = 0.0f;
      range.start = 0;
      break;
    case RangeButton::LowerEnd:
      message = LowerThreshold(range.endThreshold);
      if (message == kMsgNone) RecomputeEnd(range, left, right);
      break;
    case RangeButton::RaiseEnd:
      if (range.Span() == kMinAnalysisRange) return kMsgMinimumAnalysisRange;
      message = RaiseThreshold(range.endThreshold);
      if (message == kMsgNone) RecomputeEnd(range, left, right);
      break;
    case RangeButton::ResetEnd:
      if (!(range.endThreshold > 0.01f)) return kMsgMinValue;
      range.endThreshold = 0.0f;
      range.end = range.length;
      break;
  }
  return message;
}

void BuildXformAnalysisSource(std::span<const float> fileLeft, std::span<const float> fileRight,
                              XformSourceMode mode, XformAnalysisSource& source) {
  source.stereoFile = !fileRight.empty();
  source.mode = source.stereoFile ? mode : XformSourceMode::Stereo;
  std::vector<float> left;
  std::vector<float> right;
  MixSourceChannels(fileLeft, fileRight, mode, left, right);
  source.fileFrames = static_cast<int64_t>(left.size());
  NormalizePair(left, right);
  const SignalRange signal = FindSignalRange(left, right);
  const auto first = static_cast<size_t>(signal.first);
  const auto length = static_cast<size_t>(signal.length);
  CopyInto(std::span<const float>(left).subspan(first, length), source.left);
  CopyInto(std::span<const float>(right).subspan(first, length), source.right);
  source.range = FullAnalysisRange(signal.length);
}

std::span<const float> RangeOf(const XformAnalysisSource& source, bool rightChannel) {
  const std::vector<float>& channel = rightChannel ? source.right : source.left;
  const auto start = static_cast<size_t>(std::clamp<int64_t>(source.range.start, 0, static_cast<int64_t>(channel.size())));
  const auto end = static_cast<size_t>(std::clamp<int64_t>(source.range.end, static_cast<int64_t>(start),
                                                           static_cast<int64_t>(channel.size())));
  return std::span<const float>(channel).subspan(start, end - start);
}

int32_t PreviewStretchFor(int64_t rangeLength) {
  if (rangeLength <= 0) return kMaxPreviewStretch;
  const double exponent = Nearest(std::log2(static_cast<double>(kXformSpectrumFloats) / static_cast<double>(rangeLength)));
  const double stretch = std::exp2(std::clamp(exponent, 0.0, 9.0));
  return static_cast<int32_t>(stretch);
}

MessageCode HalvePreviewStretch(int32_t& stretch) {
  if (stretch <= 1) return kMsgMinValue;
  stretch /= 2;
  return kMsgNone;
}

MessageCode DoublePreviewStretch(int32_t& stretch) {
  if (stretch >= kMaxPreviewStretch) return kMsgMaxValue;
  stretch = std::min(stretch * 2, kMaxPreviewStretch);
  return kMsgNone;
}
