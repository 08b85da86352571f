#include "modules/xform_analysis_source.h"

#include <algorithm>
#include <cmath>

#include "core/checked_alloc.h"
#include "modules/stereo_pair.h"
#include "wavetable/partial_table.h"
#include "wavetable/xform_table.h"

namespace {

void CopyInto(std::span<const float> from, std::vector<float>& to) {
  CheckedAlloc(to, from.size());
  std::copy(from.begin(), from.end(), to.begin());
}

SourceMode MonoModeOf(XformSourceMode mode) {
  switch (mode) {
    case XformSourceMode::LeftOnly: return SourceMode::LeftOnly;
    case XformSourceMode::RightOnly: return SourceMode::RightOnly;
    default: return SourceMode::StereoToMono;
  }
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

void MixSourceChannels(const SampleChannels& sample, XformSourceMode mode, std::vector<float>& outLeft,
                       std::vector<float>& outRight) {
  const size_t n = static_cast<size_t>(std::max(sample.length, 0));
  if (sample.channels >= 2 && mode == XformSourceMode::Stereo) {
    CopyInto(sample.left.first(std::min(n, sample.left.size())), outLeft);
    CopyInto(sample.right.first(std::min(n, sample.right.size())), outRight);
    outLeft.resize(n, 0.0f);
    outRight.resize(n, 0.0f);
    ZeroNonFinite(outLeft);
    ZeroNonFinite(outRight);
    return;
  }
  outLeft = BuildWorkingSignal(sample, MonoModeOf(mode));
  CopyInto(outLeft, outRight);
}

MessageCode BuildXformAnalysisSource(const SampleChannels& sample, XformSourceMode mode, XformAnalysisSource& source) {
  const bool stereoFile = sample.channels >= 2;
  source.mode = stereoFile ? mode : XformSourceMode::Stereo;
  source.left.clear();
  source.right.clear();
  source.range = AnalysisRange{};
  source.range.stereoFile = stereoFile;
  source.range.fileLength = std::max(sample.length, 0);
  if (source.range.fileLength < kMinimumAnalysisRange) return kMsgMinimumAnalysisRange;

  std::vector<float> left;
  std::vector<float> right;
  MixSourceChannels(sample, source.mode, left, right);
  ScalePairToPeak(left, right, 1.0);
  std::vector<float> level;
  CheckedAlloc(level, left.size());
  for (size_t i = 0; i < level.size(); ++i) level[i] = std::max(std::fabs(left[i]), std::fabs(right[i]));

  const TrimResult trim = TrimAudible(level);
  const auto first = static_cast<size_t>(trim.first);
  const auto used = static_cast<size_t>(trim.used);
  CopyInto(std::span<const float>(left).subspan(first, used), source.left);
  CopyInto(std::span<const float>(right).subspan(first, used), source.right);
  CopyInto(std::span<const float>(level).subspan(first, used), source.range.signal);
  source.range.trimmedFirst = trim.first;
  source.range.start = 0;
  source.range.end = trim.used;
  return kMsgNone;
}

MessageCode CycleXformSource(XformAnalysisSource& source, const SampleChannels& sample) {
  if (!source.range.stereoFile) return kMsgNone;
  return BuildXformAnalysisSource(sample, NextXformSourceMode(source.mode), source);
}

std::span<const float> RangeOf(const XformAnalysisSource& source, bool rightChannel) {
  const std::vector<float>& channel = rightChannel ? source.right : source.left;
  const auto size = static_cast<int64_t>(channel.size());
  const auto start = static_cast<size_t>(std::clamp<int64_t>(source.range.start, 0, size));
  const auto end = static_cast<size_t>(std::clamp<int64_t>(source.range.end, static_cast<int64_t>(start), size));
  return std::span<const float>(channel).subspan(start, end - start);
}

int32_t PreviewStretchFor(int64_t rangeLength) {
  if (rangeLength <= 0) return kMaxPreviewStretch;
  const double ratio = static_cast<double>(kXformMaxFrames) / static_cast<double>(rangeLength);
  const double exponent = std::clamp(Nearest(std::log2(ratio)), 0.0, std::log2(static_cast<double>(kMaxPreviewStretch)));
  return static_cast<int32_t>(std::exp2(exponent));
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
