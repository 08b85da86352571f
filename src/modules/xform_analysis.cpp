#include "modules/xform_analysis.h"

#include <algorithm>
#include <cmath>

#include "core/checked_alloc.h"
#include "dsp/signal_kernels.h"
#include "modules/xform_analysis_source.h"
#include "modules/xform_peak_stages.h"

namespace {

constexpr const char* kAdjustmentLabel = "ADJUSTMENT PROGRESS: ";
constexpr size_t kFrameFloats = kXformSliceSpectrumFloats;  // 65,536 bins x 2
constexpr int32_t kBlendBlockBins = 1024;

size_t LaneIndex(const XformEngine& engine, const XformLane& lane) {
  return static_cast<size_t>(&lane - engine.lanes.data());
}

std::span<float> FrameMagnitudes(XformAnalysis& record, int frame) {
  return std::span<float>(record.magnitudes).subspan(static_cast<size_t>(frame) * kFrameFloats, kFrameFloats);
}

std::span<uint8_t> FrameStages(XformAnalysis& record, int frame) {
  return std::span<uint8_t>(record.stages).subspan(static_cast<size_t>(frame) * kFrameFloats, kFrameFloats);
}

bool RecordIsAnalysed(const XformAnalysis& record) {
  return record.stageCount >= kXformMinStageCount &&
         record.layerGains.size() == static_cast<size_t>(record.stageCount) &&
         record.magnitudes.size() == kXformFrameCount * kFrameFloats &&
         record.stages.size() == kXformFrameCount * kFrameFloats;
}

// Per-lane working rows of the frame analysis and the layer synthesis.
struct LaneRows {
  std::vector<std::vector<float>> rows;
  LaneRows(size_t lanes, size_t length) {
    CheckedAlloc(rows, lanes);
    for (auto& row : rows) CheckedAlloc(row, length);
  }
};

// The windowed frame, left in the real and right in the imaginary parts,
// zero beyond the window and beyond the range.
void LoadFrame(std::span<const float> left, std::span<const float> right, int64_t start,
               const std::vector<double>& window, std::vector<float>& transform) {
  std::fill(transform.begin(), transform.end(), 0.0f);
  const auto n = static_cast<int64_t>(std::min(left.size(), right.size()));
  const auto length = static_cast<int64_t>(window.size());
  for (int64_t i = 0; i < length && start + i < n; ++i) {
    const auto at = static_cast<size_t>(start + i);
    transform[2 * static_cast<size_t>(i)] = static_cast<float>(left[at] * window[static_cast<size_t>(i)]);
    transform[2 * static_cast<size_t>(i) + 1] = static_cast<float>(right[at] * window[static_cast<size_t>(i)]);
  }
}

void BuildLayer(const XformAnalysis& record, int frame, int level, double link, std::span<float> layer) {
  const auto magnitudes = FrameMagnitudes(record, frame);
  const auto stages = FrameStages(record, frame);
  std::fill(layer.begin(), layer.begin() + 2 * kXformLowCutBin, 0.0f);
  for (size_t j = kXformLowCutBin; j < static_cast<size_t>(kXformBinCount); ++j) {
    const uint8_t left = stages[2 * j];
    const uint8_t right = stages[2 * j + 1];
    layer[2 * j] = LayerValue(magnitudes[2 * j], left, right, level, link);
    layer[2 * j + 1] = LayerValue(magnitudes[2 * j + 1], right, left, level, link);
  }
}

// The direction a bin's phase stands for: phase 0 when the imaginary part
// is exactly 0 (whatever the real part's sign), +-pi/2 when the real part is.
void PhaseDirection(float re, float im, double& x, double& y) {
  if (im == 0.0f) {
    x = 1.0;
    y = 0.0;
  } else if (re == 0.0f) {
    x = 0.0;
    y = im > 0.0f ? 1.0 : -1.0;
  } else {
    x = re;
    y = im;
  }
}

// phi L - phi R per bin, within -pi .. pi: the angle from the right
// channel's direction to the left one's, one arc tangent per bin.
void PhaseDifferences(const XformLane& lane, std::vector<float>& differences) {
  const float* left = lane.halfLeft.data();
  const float* right = lane.halfRight.data();
  for (size_t j = 0; j < differences.size(); ++j) {
    double lx, ly, rx, ry;
    PhaseDirection(left[2 * j], left[2 * j + 1], lx, ly);
    PhaseDirection(right[2 * j], right[2 * j + 1], rx, ry);
    differences[j] = static_cast<float>(std::atan2(ly * rx - lx * ry, lx * rx + ly * ry));
  }
}

bool IsSilent(std::span<const float> values) {
  return std::all_of(values.begin(), values.end(), [](float v) { return v == 0.0f; });
}

double ClampControl(double value) { return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0; }

// The peak boost in use: the slider, or its start value while unset.
double PeakBoostOf(const XformAnalysis& record) {
  if (record.controls.peakBoost < 0.0) return 0.5 / (record.stageCount - 1);
  return ClampControl(record.controls.peakBoost);
}

// The blend of the two layers around the peak boost, for one slider state.
struct BlendWeights {
  int level = 0;
  double fraction = 0;
  double gainLow = 0;
  double gainHigh = 0;
  double link = 0;
  double smoothness = 0;
};

// A run of neighbouring bins of all slices: one row per slice. Rows of
// neighbouring values keep the work within a few cache lines of every
// frame, where walking the slices of one bin would jump half a megabyte at
// every step.
constexpr int32_t kBlendRunBins = 64;
constexpr size_t kBlendRunFloats = 2 * kBlendRunBins;
using BlendRun = std::array<std::array<double, kBlendRunFloats>, kXformFrameCount>;

// [1, 2, 1] / 4 across the slices with ends (2 first + second) / 3 and
// (2 last + before last) / 3, blended in by the smoothness; the first
// `count` values of every row.
void SmoothAcrossSlices(BlendRun& values, size_t count, double smoothness) {
  if (smoothness <= 0.0) return;
  constexpr int last = kXformFrameCount - 1;
  BlendRun smoothed;
  for (size_t i = 0; i < count; ++i) smoothed[0][i] = (2.0 * values[0][i] + values[1][i]) / 3.0;
  for (int f = 1; f < last; ++f)
    for (size_t i = 0; i < count; ++i)
      smoothed[f][i] = (values[f - 1][i] + 2.0 * values[f][i] + values[f + 1][i]) / 4.0;
  for (size_t i = 0; i < count; ++i) smoothed[last][i] = (2.0 * values[last][i] + values[last - 1][i]) / 3.0;
  for (int f = 0; f < kXformFrameCount; ++f)
    for (size_t i = 0; i < count; ++i) values[f][i] += (smoothed[f][i] - values[f][i]) * smoothness;
}

// Bins first .. first + count - 1 of every slice of the filter spectra.
void BlendBinRun(const XformAnalysis& record, const BlendWeights& w, int32_t first, int32_t count, XformTable& table) {
  BlendRun values;
  const size_t begin = 2 * static_cast<size_t>(first);
  const size_t floats = 2 * static_cast<size_t>(count);
  for (int f = 0; f < kXformFrameCount; ++f) {
    const float* magnitudes = FrameMagnitudes(record, f).data() + begin;
    const uint8_t* stages = FrameStages(record, f).data() + begin;
    auto& row = values[static_cast<size_t>(f)];
    for (size_t i = 0; i < floats; ++i) {
      // The other channel of the same bin: begin is even.
      const uint8_t own = stages[i];
      const uint8_t other = stages[i ^ 1u];
      const double low = w.gainLow * LayerValue(magnitudes[i], own, other, w.level, w.link);
      const double high = w.gainHigh * LayerValue(magnitudes[i], own, other, w.level + 1, w.link);
      row[i] = low + (high - low) * w.fraction;
    }
  }
  SmoothAcrossSlices(values, floats, w.smoothness);
  for (int f = 0; f < kXformFrameCount; ++f) {
    float* out = SpectrumSlice(table, f).data() + begin;
    const auto& row = values[static_cast<size_t>(f)];
    for (size_t i = 0; i < floats; ++i) out[i] = static_cast<float>(row[i]);
  }
}

}  // namespace

XformFrameLayout XformFrameLayoutFor(int64_t rangeLength) {
  const int64_t natural = std::max<int64_t>(rangeLength, 0) / kXformFrameCount;  // W0
  const int64_t window = std::clamp<int64_t>(natural, kXformMinWindow, kXformMaxWindow);
  int64_t hop = natural;
  if (window != natural) {
    // ceil((W - W0) / 32) for either sign of the difference.
    const int64_t difference = window - natural;
    const int64_t steps = kXformFrameCount - 1;
    const int64_t up = difference >= 0 ? (difference + steps - 1) / steps : -((-difference) / steps);
    hop = natural - up;
  }
  // Ranges below 33 x 32 samples cannot fit 33 frames of 1,024: the frames
  // then overlap completely and read zeros past the end.
  return {static_cast<int32_t>(window), static_cast<int32_t>(std::max<int64_t>(hop, 0))};
}

std::span<const float> FrameMagnitudes(const XformAnalysis& record, int frame) {
  return std::span<const float>(record.magnitudes).subspan(static_cast<size_t>(frame) * kFrameFloats, kFrameFloats);
}

std::span<const uint8_t> FrameStages(const XformAnalysis& record, int frame) {
  return std::span<const uint8_t>(record.stages).subspan(static_cast<size_t>(frame) * kFrameFloats, kFrameFloats);
}

void ReleaseXformAnalysis(XformAnalysis& record) {
  std::vector<float>().swap(record.magnitudes);
  std::vector<uint8_t>().swap(record.stages);
  std::vector<float>().swap(record.layerGains);
  record.frameTops.fill(0);
  record.stageCount = 0;
}

size_t XformAnalysisBytes(const XformAnalysis& record) {
  return record.magnitudes.capacity() * sizeof(float) + record.stages.capacity() +
         record.layerGains.capacity() * sizeof(float);
}

MessageCode XformFrameAnalysis(std::span<const float> left, std::span<const float> right, XformAnalysis& record,
                                XformEngine& engine, const ProgressHooks& hooks) {
  const auto n = static_cast<int64_t>(std::min(left.size(), right.size()));
  if (n <= 0 || engine.lanes.empty()) return kMsgNoData;
  record.layout = XformFrameLayoutFor(n);
  record.previewStretch = PreviewStretchFor(n);
  std::vector<double> window;
  CheckedAlloc(window, static_cast<size_t>(record.layout.window));
  HannWindow(window.data(), record.layout.window);
  CheckedAlloc(record.magnitudes, kXformFrameCount * kFrameFloats);
  CheckedAlloc(record.stages, kXformFrameCount * kFrameFloats);
  record.frameTops.fill(0);
  record.stageCount = 0;
  std::vector<float>().swap(record.layerGains);

  LaneRows differences(engine.lanes.size(), static_cast<size_t>(kXformBinCount));
  const bool finished = RunXformJobs(
      engine, kXformFrameCount,
      [&](int frame, XformLane& lane) {
        const size_t at = LaneIndex(engine, lane);
        LoadFrame(left, right, static_cast<int64_t>(frame) * record.layout.hop, window, lane.transform);
        const auto magnitudes = FrameMagnitudes(record, frame);
        std::vector<float>& difference = differences.rows[at];
        AnalyzeLaneTransform(lane, magnitudes, {});
        PhaseDifferences(lane, difference);
        record.frameTops[static_cast<size_t>(frame)] = DetectPeakStages(magnitudes, FrameStages(record, frame));
        LinkStereoPhase(magnitudes, difference);
      },
      hooks, kAnalysisProgressLabel);
  if (!finished) return kMsgAborted;
  SettleStageCount(record);
  if (record.controls.peakBoost < 0.0) record.controls.peakBoost = 0.5 / (record.stageCount - 1);
  return kMsgDone;
}

int16_t SettleStageCount(XformAnalysis& record) {
  int top = kXformMinStageCount;
  for (int t : record.frameTops) top = std::max(top, t);
  record.stageCount = static_cast<int16_t>(top);
  if (record.stages.size() != kXformFrameCount * kFrameFloats) return record.stageCount;
  for (int f = 0; f < kXformFrameCount; ++f) {
    const int own = record.frameTops[static_cast<size_t>(f)];
    if (own <= 0 || own >= top) continue;
    for (uint8_t& stage : FrameStages(record, f))
      if (stage == own) stage = static_cast<uint8_t>(top);
    record.frameTops[static_cast<size_t>(f)] = top;
  }
  return record.stageCount;
}

float LayerValue(float own, uint8_t ownStage, uint8_t otherStage, int level, double link) {
  if (ownStage > level) return own;
  if (otherStage > level) return static_cast<float>(own * link);
  return 0.0f;
}

MessageCode MeasureLayerGains(XformAnalysis& record, XformEngine& engine, const ProgressHooks& hooks) {
  const int levels = record.stageCount;
  if (levels < kXformMinStageCount || record.magnitudes.empty() || engine.lanes.empty()) return kMsgNoData;
  std::vector<float> peaks;
  CheckedAlloc(peaks, static_cast<size_t>(levels) * kXformFrameCount);
  LaneRows layers(engine.lanes.size(), kFrameFloats);
  const bool finished = RunXformJobs(
      engine, levels * kXformFrameCount,
      [&](int job, XformLane& lane) {
        const int level = job / kXformFrameCount;
        const int frame = job % kXformFrameCount;
        std::span<float> layer = layers.rows[LaneIndex(engine, lane)];
        BuildLayer(record, frame, level, kStereoLinkForGains, layer);
        if (IsSilent(layer)) return;
        peaks[static_cast<size_t>(job)] = SynthesizeNoise(layer, engine, lane.transform, lane);
      },
      hooks, kAdjustmentLabel);
  if (!finished) return kMsgAborted;
  CheckedAlloc(record.layerGains, static_cast<size_t>(levels));
  for (int level = 0; level < levels; ++level) {
    const auto first = peaks.begin() + static_cast<std::ptrdiff_t>(level) * kXformFrameCount;
    const float largest = *std::max_element(first, first + kXformFrameCount);
    record.layerGains[static_cast<size_t>(level)] = largest > kXformSilentPeak ? 1.0f / largest : 0.0f;
  }
  return kMsgDone;
}

MessageCode RebuildFilterSpectra(const XformAnalysis& record, XformTable& table, XformEngine& engine,
                                  const ProgressHooks& hooks) {
  if (!RecordIsAnalysed(record) || !XformTableAllocated(table) || engine.lanes.empty()) return kMsgNoData;
  const double reach = (record.stageCount - 2 + kTopLayerReach) * PeakBoostOf(record);
  BlendWeights weights;
  weights.level = std::clamp(static_cast<int>(std::floor(reach)), 0, record.stageCount - 2);
  weights.fraction = std::clamp(reach - weights.level, 0.0, 1.0);
  weights.gainLow = record.layerGains[static_cast<size_t>(weights.level)];
  weights.gainHigh = record.layerGains[static_cast<size_t>(weights.level + 1)];
  weights.link = ClampControl(record.controls.stereoLink);
  weights.smoothness = ClampControl(record.controls.smoothness);

  for (int s = 0; s < kXformFrameCount; ++s) {
    auto spectrum = SpectrumSlice(table, s);
    std::fill(spectrum.begin(), spectrum.begin() + 2 * kXformLowCutBin, 0.0f);
  }
  const int blocks = (kXformBinCount + kBlendBlockBins - 1) / kBlendBlockBins;
  // The blend reports too, so that a page repaints (and a newer slider
  // value or a cancel is seen) before the syntheses begin.
  const bool blended = RunXformJobs(
      engine, blocks,
      [&](int block, XformLane&) {
        const int32_t first = std::max(block * kBlendBlockBins, kXformLowCutBin);
        const int32_t end = std::min((block + 1) * kBlendBlockBins, kXformBinCount);
        for (int32_t j = first; j < end; j += kBlendRunBins)
          BlendBinRun(record, weights, j, std::min(kBlendRunBins, end - j), table);
      },
      hooks, kAdjustmentLabel);
  if (!blended) return kMsgAborted;
  if (!SynthesizeTable(table, engine, hooks)) return kMsgAborted;
  NormalizeXformInLanes(table, engine);
  return kMsgDone;
}

MessageCode RunXformAnalysis(std::span<const float> left, std::span<const float> right, XformAnalysis& record,
                              XformTable& table, XformEngine& engine, const ProgressHooks& hooks) {
  MessageCode result = XformFrameAnalysis(left, right, record, engine, hooks);
  if (result != kMsgDone) return result;
  result = MeasureLayerGains(record, engine, hooks);
  if (result != kMsgDone) return result;
  return RebuildFilterSpectra(record, table, engine, hooks);
}

MessageCode RebuildForLatestControls(XformAnalysis& record, XformControlFeed& feed, XformTable& table,
                                      XformEngine& engine, const ProgressHooks& hooks) {
  for (;;) {
    record.controls = feed.latest;
    feed.changed = false;
    bool userStopped = false;
    const ProgressHooks watch{[&](const char* label, int64_t done, int64_t total) {
      if (ProgressCancelled(hooks, label, done, total)) {
        userStopped = true;
        return true;
      }
      return feed.changed;
    }};
    const MessageCode result = RebuildFilterSpectra(record, table, engine, watch);
    if (result != kMsgAborted || userStopped || !feed.changed) return result;
  }
}

void ApplyXformAnalysis(XformWorkspace& workspace, const XformAnalysis& record, std::string_view name) {
  workspace.table.speed = ValidXformSpeed(record.previewStretch);
  AdoptXformTable(workspace, name);
}

void DiscardXformAnalysis(XformWorkspace& workspace) { FlushXform(workspace); }
