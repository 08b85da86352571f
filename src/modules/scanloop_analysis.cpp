#include "modules/scanloop_analysis.h"

#include <algorithm>
#include <cmath>

#include "core/checked_alloc.h"
#include "dsp/mixed_radix_dft.h"
#include "modules/spectral_phase.h"
#include "wavetable/ram_wavetable.h"

namespace {

size_t StepIndex(int32_t step, int partial) { return static_cast<size_t>(step) * kPartialCount + static_cast<size_t>(partial); }

void TakeStep(ScanloopAnalysis& analysis, int32_t step, float gain, int slice) {
  for (int p = 0; p < kPartialCount; ++p) {
    analysis.harmonics.magnitude(p, slice) = analysis.stepMagnitudes[StepIndex(step, p)] * gain;
    const int16_t polarity = analysis.stepPolarities[StepIndex(step, p)];
    analysis.harmonics.polarity(p, slice) = polarity < 0 ? int16_t{-1} : int16_t{1};
  }
}

void AverageSteps(ScanloopAnalysis& analysis, int32_t first, int32_t last, int slice) {
  for (int p = 0; p < kPartialCount; ++p) {
    double sum = 0.0;
    int16_t polarity = 0;
    for (int32_t s = first; s < last; ++s) {
      sum += analysis.stepMagnitudes[StepIndex(s, p)];
      if (polarity == 0) polarity = analysis.stepPolarities[StepIndex(s, p)];
    }
    analysis.harmonics.magnitude(p, slice) = static_cast<float>(sum / (last - first));
    analysis.harmonics.polarity(p, slice) = polarity < 0 ? int16_t{-1} : int16_t{1};
  }
}

}  // namespace

int32_t ScanloopPreviewStretch(int32_t stepSize, bool pitchAdaption) {
  if (!pitchAdaption || stepSize <= 0) return kScanPreviewStretchBase;
  const double stretch = Nearest(static_cast<double>(kScanPreviewStretchBase) * kUnitySliceLength / stepSize);
  return static_cast<int32_t>(std::clamp(stretch, static_cast<double>(kMinStretch), static_cast<double>(kMaxStretch)));
}

MessageCode AnalyzeScanSteps(std::span<const float> signal, int32_t stepSize, int32_t steps, ScanloopAnalysis& analysis,
                               const ProgressHooks& hooks) {
  analysis.stepSize = std::max(stepSize, 0);
  analysis.steps = analysis.stepSize > 0 ? static_cast<int32_t>(std::min<int64_t>(std::max(steps, 0), static_cast<int64_t>(signal.size()) / analysis.stepSize)) : 0;
  CheckedAlloc(analysis.stepMagnitudes, static_cast<size_t>(analysis.steps) * kPartialCount);
  CheckedAlloc(analysis.stepPolarities, static_cast<size_t>(analysis.steps) * kPartialCount);
  std::vector<float> re(static_cast<size_t>(analysis.stepSize)), im(static_cast<size_t>(analysis.stepSize));
  for (int32_t s = 0; s < analysis.steps; ++s) {
    if (ProgressCancelled(hooks, kAnalysisProgressLabel, s, analysis.steps)) return kMsgAborted;
    RealSpectrum(analysis.stepSize, signal.data() + static_cast<size_t>(s) * static_cast<size_t>(analysis.stepSize), re.data(), im.data());
    // A step shorter than 65 samples has fewer bins; the partials above stay silent.
    const int bins = std::min(kPartialCount, analysis.stepSize - 1);
    for (int p = 0; p < bins; ++p) {
      const float r = re[static_cast<size_t>(p + 1)], m = im[static_cast<size_t>(p + 1)];
      const float magnitude = std::sqrt(r * r + m * m);
      analysis.stepMagnitudes[StepIndex(s, p)] = magnitude;
      analysis.stepPolarities[StepIndex(s, p)] = magnitude > 0.0f ? PhasePolarity(BinPhase(r, m)) : int16_t{0};
    }
  }
  ProgressFinished(hooks, kAnalysisProgressLabel, analysis.steps);
  return kMsgDone;
}

void MapScanSteps(ScanloopAnalysis& analysis) {
  analysis.harmonics = HarmonicMatrix{};
  const int32_t steps = analysis.steps;
  if (steps <= 0) return;
  const bool sharpen = analysis.settings.sharpenAttack;
  if (steps <= kSliceCount) {
    for (int c = 0; c < steps; ++c) TakeStep(analysis, c, 1.0f, c);
    if (sharpen) TakeStep(analysis, 0, kScanSharpenGain, 0);
    return;
  }
  const double d = static_cast<double>(steps) / kSliceCount;
  bool firstSliceSingle = false;
  for (int c = 0; c < kSliceCount; ++c) {
    const int32_t a = static_cast<int32_t>(Nearest(c * d));
    int32_t b = analysis.settings.sliceFill == SliceFill::Excerpts ? a + 1 : static_cast<int32_t>(Nearest((c + 1) * d));
    b = std::max(std::min(b, steps), a + 1);
    if (c == 0) firstSliceSingle = b - a == 1;
    AverageSteps(analysis, a, b, c);
  }
  if (sharpen) TakeStep(analysis, 0, firstSliceSingle ? kScanSharpenGain : 1.0f, 0);
}

MessageCode StartScanloopAnalysis(ScanloopAnalysis& analysis, std::span<const float> signal, int32_t stepSize,
                                    int32_t steps, const ProgressHooks& hooks) {
  analysis = ScanloopAnalysis{};
  if (AnalyzeScanSteps(signal, stepSize, steps, analysis, hooks) == kMsgAborted) return kMsgAborted;
  if (analysis.steps == 0) return kMsgNoData;
  RefreshScanloopAnalysis(analysis, true);
  return kMsgDone;
}

void RefreshScanloopAnalysis(ScanloopAnalysis& analysis, bool fromMapping) {
  if (fromMapping) MapScanSteps(analysis);
  analysis.table = BuildTableFromHarmonics(analysis.harmonics, analysis.settings.contrast);
  FinishAnalysisTable(analysis.table, analysis.settings.polarityLock, std::min(analysis.steps, kSliceCount));
  analysis.stretch = ScanloopPreviewStretch(analysis.stepSize, analysis.settings.pitchAdaption);
  analysis.previewLength = RenderPreview(analysis.table, analysis.stretch, 1.0, analysis.preview);
}

MessageCode PressScanloopButton(ScanloopAnalysis& analysis, ScanloopButton button) {
  AnalysisSettings& settings = analysis.settings;
  switch (button) {
    case ScanloopButton::SliceFillMode:
      if (!analysis.OffersSliceFill()) return kMsgNone;
      settings.sliceFill = settings.sliceFill == SliceFill::FullSignal ? SliceFill::Excerpts : SliceFill::FullSignal;
      RefreshScanloopAnalysis(analysis, true);
      return kMsgNone;
    case ScanloopButton::PolarityLock:
      settings.polarityLock = !settings.polarityLock;
      RefreshScanloopAnalysis(analysis, false);
      return kMsgNone;
    case ScanloopButton::SharpenAttack:
      settings.sharpenAttack = !settings.sharpenAttack;
      RefreshScanloopAnalysis(analysis, true);
      return kMsgNone;
    case ScanloopButton::LowerContrast:
    case ScanloopButton::RaiseContrast: {
      const MessageCode message =
          button == ScanloopButton::LowerContrast ? LowerContrast(settings) : RaiseContrast(settings);
      if (message == kMsgNone) RefreshScanloopAnalysis(analysis, false);
      return message;
    }
    case ScanloopButton::PitchAdaption:
      settings.pitchAdaption = !settings.pitchAdaption;
      analysis.stretch = ScanloopPreviewStretch(analysis.stepSize, settings.pitchAdaption);
      analysis.previewLength = RenderPreview(analysis.table, analysis.stretch, 1.0, analysis.preview);
      return kMsgNone;
  }
  return kMsgNone;
}

MessageCode ApplyScanloopAnalysis(const ScanloopAnalysis& analysis, PartialTable& table, int32_t& stretch) {
  table = analysis.table;
  stretch = analysis.stretch;
  return kMsgDone;
}
