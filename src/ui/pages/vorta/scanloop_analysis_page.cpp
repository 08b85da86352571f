#include <algorithm>
#include <cmath>

#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/vorta/analysis_graphs.h"
#include "ui/pages/vorta/analysis_run.h"
#include "ui/progress.h"

namespace {

// The first six actions are the engine's buttons in its order.
enum Action { kPlayInput = 100, kPlayResynthesis };

constexpr PageButton kButtons[] = {
    {2, 0, "SF_MODE", static_cast<int>(ScanloopButton::SliceFillMode)},
    {3, 0, "POL_LOCK", static_cast<int>(ScanloopButton::PolarityLock)},
    {4, 0, "SHARP", static_cast<int>(ScanloopButton::SharpenAttack)},
    {6, 0, "-CNTRST", static_cast<int>(ScanloopButton::LowerContrast)},
    {7, 0, "+CNTRST", static_cast<int>(ScanloopButton::RaiseContrast)},
    {8, 0, "P_ADAPT", static_cast<int>(ScanloopButton::PitchAdaption)},
    {10, 0, "fAPPLY", kApplyAction},
    {11, 0, "fCANCEL", kCancelAction},
    {5, 1, "pINPUT", kPlayInput},
    {8, 1, "pRESYNTH", kPlayResynthesis},
};
constexpr GraphBox kDriftBox{106, 300};
constexpr GraphBox kOutputBox{308, 680};
constexpr int kCountWidth = 7;
constexpr int kFlagWidth = 3;
constexpr int kFillWidth = 11;
constexpr double kPercent = 100.0;

const char* OnOff(bool on) { return on ? "ON" : "OFF"; }

std::span<const float> ScanSignal(const VortaAnalysisRun& analysis) {
  return analysis.sample.left.first(static_cast<size_t>(analysis.sample.length));
}

// Each slice's cycle as the slice sees it: the mean of the steps it covers
// ("FULL SIGNAL") or its first step ("EXCERPTS"), brought to a common peak.
std::vector<float> SliceDrift(std::span<const float> signal, const ScanloopAnalysis& analysis) {
  const size_t size = static_cast<size_t>(analysis.stepSize);
  std::vector<float> waves(size * kSliceCount, 0.0f);
  const int32_t steps = std::min<int32_t>(analysis.steps, static_cast<int32_t>(signal.size() / std::max<size_t>(1, size)));
  const double d = static_cast<double>(steps) / kSliceCount;
  for (int c = 0; c < kSliceCount && c < steps; ++c) {
    int32_t a = c;
    int32_t b = c + 1;
    if (steps > kSliceCount) {
      a = static_cast<int32_t>(Nearest(c * d));
      b = analysis.settings.sliceFill == SliceFill::Excerpts ? a + 1 : static_cast<int32_t>(Nearest((c + 1) * d));
      b = std::max(std::min(b, steps), a + 1);
    }
    for (int32_t step = a; step < b; ++step) {
      for (size_t i = 0; i < size; ++i) waves[c * size + i] += signal[static_cast<size_t>(step) * size + i] / (b - a);
    }
  }
  float peak = 0.0f;
  for (float v : waves) peak = std::max(peak, std::fabs(v));
  if (peak > 0.0f) {
    for (float& v : waves) v /= peak;
  }
  return waves;
}

void ShowReadouts(const ScanloopAnalysis& analysis) {
  const AnalysisSettings& settings = analysis.settings;
  DrawStatusValue(0, 1, "ANALYSIS STEPS:", "%d", analysis.steps, kCountWidth);
  DrawStatusValue(0, 2, "STEP SIZE <SAMPLES>:", "%d", analysis.stepSize, kCountWidth);
  if (analysis.OffersSliceFill()) DrawStatusField(1, 0, "SLICE FILL MODE:", SliceFillText(settings.sliceFill), kFillWidth);
  DrawStatusField(1, 1, "POLARITY LOCK:", OnOff(settings.polarityLock), kFlagWidth);
  DrawStatusField(1, 2, "SHARPEN ATTACK:", OnOff(settings.sharpenAttack), kFlagWidth);
  DrawStatusValue(2, 0, "CONTRAST <%>:", "%.0f", settings.contrast * kPercent, kFlagWidth);
  DrawStatusField(2, 1, "PREVIEW PITCH ADAPTION:", OnOff(settings.pitchAdaption), kFlagWidth);
}

void DrawDrift(const VortaAnalysisRun& analysis) {
  const ScanloopAnalysis& scan = analysis.scanloop;
  DrawWaveRowBox(SliceDrift(ScanSignal(analysis), scan), scan.stepSize, static_cast<size_t>(scan.stepSize),
                 "ANALYSIS INPUT <SLICE DRIFT, AVERAGED VALUES>", kDriftBox);
}

void Draw(PageRun& run) {
  const VortaAnalysisRun& analysis = AnalysisOf(run);
  ShowNameReadout(0, 0, "DISK:", analysis.name);
  ShowReadouts(analysis.scanloop);
  DrawDrift(analysis);
  DrawAnalysisOutput(analysis.scanloop.table, kOutputBox);
}

bool Shows(const PageRun& run, const PageButton& button) {
  return button.action != static_cast<int>(ScanloopButton::SliceFillMode) || AnalysisOf(run).scanloop.OffersSliceFill();
}

void Act(PageRun& run, int action, const PageEvent&) {
  VortaAnalysisRun& analysis = AnalysisOf(run);
  ScanloopAnalysis& scan = analysis.scanloop;
  switch (action) {
    case kApplyAction:
      ApplyScanloopAnalysis(scan, RamOf(run).table, RamOf(run).playbackStretch);
      return;
    case kPlayInput: {
      const std::span<const float> signal = ScanSignal(analysis);
      PlaySplitHeld(signal, signal, static_cast<int64_t>(signal.size()), false, ButtonCode(5, 1), kSourceWaveFile);
      return;
    }
    case kPlayResynthesis: {
      const std::span<const float> preview = std::span<const float>(scan.preview).first(scan.previewLength);
      PlaySplitHeld(preview, preview, static_cast<int64_t>(preview.size()), false, ButtonCode(8, 1),
                    scan.settings.pitchAdaption ? kSourceRamPitchAdapted : kSourceRamData);
      return;
    }
    default: {
      if (action < 0 || action > static_cast<int>(ScanloopButton::PitchAdaption)) return;
      const auto button = static_cast<ScanloopButton>(action);
      run.message = PressScanloopButton(scan, button);
      if (run.message != kMsgNone) return;
      ShowReadouts(scan);
      if (button == ScanloopButton::SliceFillMode) DrawDrift(analysis);
      DrawAnalysisOutput(scan.table, kOutputBox);
      return;
    }
  }
}

const Page kScanloopPage = {.title = "SCANLOOP ANALYSIS OPTIONS",
                            .number = "1.2.0",
                            .buttons = kButtons,
                            .draw = Draw,
                            .act = Act,
                            .shows = Shows};

}  // namespace

int RunScanloopAnalysisPage(PageRun& run) {
  VortaAnalysisRun& analysis = AnalysisOf(run);
  if (analysis.shape.steps == 0) return kMsgNoData;
  uint8_t progress = kMsgNone;
  const MessageCode started = StartScanloopAnalysis(analysis.scanloop, ScanSignal(analysis), analysis.shape.stepSize,
                                                    analysis.shape.steps, CalcProgressHooks(progress));
  if (started != kMsgDone) return started;
  const int result = RunPage(kScanloopPage, run);
  if (result != kMsgDone) ClearAnalysedTable(RamOf(run));
  return result;
}
