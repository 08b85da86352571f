#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/app_globals.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "files/wave_reader.h"
#include "modules/tuning_keyboard.h"
#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/input.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/vorta/analysis_graphs.h"
#include "ui/pages/vorta/analysis_run.h"
#include "ui/progress.h"
#include "wavetable/vorta_synthesis.h"

namespace {

// --- "1.1.0" SAMPLE ANALYSIS OPTIONS I.

enum RangeAction { kLowerStart, kRaiseStart, kResetStart, kLowerEnd, kRaiseEnd, kResetEnd, kSource, kAnalyze, kPlayRange };

constexpr PageButton kRangeButtons[] = {
    {0, 0, "-THR_S", kLowerStart},      {1, 0, "+THR_S", kRaiseStart}, {2, 0, "TS_RES", kResetStart},
    {4, 0, "-THR_E", kLowerEnd},        {5, 0, "+THR_E", kRaiseEnd},   {6, 0, "TE_RES", kResetEnd},
    {8, 0, "SOURCE", kSource},          {10, 0, "fANALYZE", kAnalyze}, {11, 0, "fCANCEL", kCancelAction},
    {3, 1, "pINPUT", kPlayRange},
};
constexpr GraphBox kFileBox{120, 660, true};
constexpr int kCountWidth = 7;
constexpr int kShiftWidth = 8;
constexpr int kThresholdWidth = 5;
constexpr int kSourceWidth = 12;

void ShowRangeReadouts(const VortaAnalysisRun& analysis) {
  const AnalysisRange& range = analysis.range;
  DrawStatusValue(0, 1, "SAMPLES IN FILE:", "%.7d", range.fileLength, kCountWidth);
  DrawStatusValue(0, 2, "USED DATA SAMPLES:", "%.7d", range.Used(), kCountWidth);
  DrawStatusValue(0, 3, "ANALYSIS RANGE:", "%.7d", range.RangeLength(), kCountWidth);
  DrawStatusValue(1, 0, "START SHIFT:", "%+.7d", range.start, kShiftWidth);
  DrawStatusValue(1, 1, "START THRESHOLD:", "%d", ShownThreshold(range.startThreshold), kThresholdWidth);
  DrawStatusValue(2, 0, "END SHIFT:", "%+.7d", range.EndShift(), kShiftWidth);
  DrawStatusValue(2, 1, "END THRESHOLD:", "%d", ShownThreshold(range.endThreshold), kThresholdWidth);
  if (range.stereoFile) DrawStatusField(2, 2, "SOURCE:", SourceModeText(range.source), kSourceWidth);
}

void DrawFileBox(const AnalysisRange& range) {
  const float gain = DrawNormalizedInput(range.signal, "INPUT FILE <NORMALIZED>", kFileBox);
  DrawThresholdLines(kFileBox, range.startThreshold, range.endThreshold, gain);
  DrawRangeBrackets(kFileBox, range.start, range.end, range.Used());
}

void DrawRangePage(PageRun& run) {
  const VortaAnalysisRun& analysis = AnalysisOf(run);
  ShowNameReadout(0, 0, "DISK:", analysis.name);
  ShowRangeReadouts(analysis);
  DrawFileBox(analysis.range);
}

bool ShowsRangeButton(const PageRun& run, const PageButton& button) {
  return button.action != kSource || AnalysisOf(run).range.stereoFile;
}

void PlayRange(std::span<const float> range, int column) {
  PlaySplitHeld(range, range, static_cast<int64_t>(range.size()), false, ButtonCode(column, 1), kSourceWaveFile);
}

extern const Page kSpectralPage;

// "fANALYZE": the frame spectra under the progress display, then "1.1.1".
void Analyze(PageRun& run) {
  VortaAnalysisRun& analysis = AnalysisOf(run);
  uint8_t progress = kMsgNone;
  run.redrawAll = true;
  if (StartSpectralAnalysis(analysis.spectral, analysis.range.Range(), CalcProgressHooks(progress)) == kMsgAborted) {
    run.Show(kMsgAborted);
    return;
  }
  PageRun options;
  options.session = run.session;
  if (RunPage(kSpectralPage, options) == kMsgDone) {
    run.redrawAll = false;
    run.Finish(kMsgDone);
    return;
  }
  ClearAnalysedTable(RamOf(run));
  run.Show(kMsgAborted);
}

void ActOnRange(PageRun& run, int action, const PageEvent&) {
  VortaAnalysisRun& analysis = AnalysisOf(run);
  switch (action) {
    case kLowerStart: case kRaiseStart: case kResetStart: case kLowerEnd: case kRaiseEnd: case kResetEnd:
      run.message = PressRangeButton(analysis.range, static_cast<RangeButton>(action));
      ShowRangeReadouts(analysis);
      DrawFileBox(analysis.range);
      return;
    case kSource:
      run.message = CycleAnalysisSource(analysis.range, analysis.sample);
      run.redrawAll = true;
      return;
    case kAnalyze:
      Analyze(run);
      return;
    case kPlayRange:
      PlayRange(analysis.range.Range(), 3);
      return;
    default:
      return;
  }
}

const Page kRangePage = {.title = "SAMPLE ANALYSIS OPTIONS I",
                         .number = "1.1.0",
                         .buttons = kRangeButtons,
                         .draw = DrawRangePage,
                         .act = ActOnRange,
                         .shows = ShowsRangeButton};

// --- "1.1.1" SAMPLE ANALYSIS OPTIONS II.

// The first eight actions are the engine's buttons in its order.
enum SpectralAction { kPlayInput = 100, kPlayFundamental, kPlayResynthesis };

constexpr PageButton kSpectralButtons[] = {
    {0, 0, "SF_MODE", static_cast<int>(SpectralButton::SliceFillMode)},
    {1, 0, "POL_LOCK", static_cast<int>(SpectralButton::PolarityLock)},
    {2, 0, "SHARP", static_cast<int>(SpectralButton::SharpenAttack)},
    {3, 0, "-CNTRST", static_cast<int>(SpectralButton::LowerContrast)},
    {4, 0, "+CNTRST", static_cast<int>(SpectralButton::RaiseContrast)},
    {6, 0, "-5_CENT", static_cast<int>(SpectralButton::LowerCents)},
    {7, 0, "+5_CENT", static_cast<int>(SpectralButton::RaiseCents)},
    {8, 0, "P_ADAPT", static_cast<int>(SpectralButton::PitchAdaption)},
    {10, 0, "fAPPLY", kApplyAction},
    {11, 0, "fCANCEL", kCancelAction},
    {5, 1, "pINPUT", kPlayInput},
    {6, 1, "pFUND", kPlayFundamental},
    {8, 1, "pRESYNTH", kPlayResynthesis},
};
constexpr GraphBox kRangeBox{106, 208};
constexpr GraphBox kOutputBox{216, 472};
constexpr int kFlagWidth = 3;
constexpr int kFillWidth = 11;
constexpr int kFrequencyWidth = 9;
constexpr int kOffsetWidth = 6;
constexpr double kPercent = 100.0;

const char* OnOff(bool on) { return on ? "ON" : "OFF"; }

void ShowSpectralReadouts(const SpectralAnalysis& analysis) {
  const AnalysisSettings& settings = analysis.settings;
  if (analysis.OffersSliceFill()) DrawStatusField(0, 1, "SLICE FILL MODE:", SliceFillText(settings.sliceFill), kFillWidth);
  DrawStatusField(0, 2, "POLARITY LOCK:", OnOff(settings.polarityLock), kFlagWidth);
  DrawStatusField(0, 3, "SHARPEN ATTACK:", OnOff(settings.sharpenAttack), kFlagWidth);
  DrawStatusValue(1, 0, "CONTRAST <%>:", "%.0f", settings.contrast * kPercent, kFlagWidth);
  DrawStatusField(2, 0, "FUND FREQUENCY <HZ>:", ShownFundamentalFrequency(settings.cents), kFrequencyWidth);
  DrawStatusField(2, 1, "FUND NOTE OFFSET:", ShownNoteOffset(settings.cents), kOffsetWidth);
  DrawStatusField(2, 2, "PREVIEW PITCH ADAPTION:", OnOff(settings.pitchAdaption), kFlagWidth);
}

void DrawSpectralPage(PageRun& run) {
  const VortaAnalysisRun& analysis = AnalysisOf(run);
  ShowNameReadout(0, 0, "DISK:", analysis.name);
  DrawNormalizedInput(analysis.range.Range(), "ANALYSIS INPUT <WAVEFORM, NORMALIZED>", kRangeBox);
  RedrawSpectralOutput(analysis.spectral);
}

bool ShowsSpectralButton(const PageRun& run, const PageButton& button) {
  return button.action != static_cast<int>(SpectralButton::SliceFillMode) || AnalysisOf(run).spectral.OffersSliceFill();
}

void Retune(SpectralAnalysis& analysis, int cents) {
  SetAnalysisCents(analysis, cents);
  RedrawSpectralOutput(analysis);
}

void ActOnSpectral(PageRun& run, int action, const PageEvent& event) {
  VortaAnalysisRun& analysis = AnalysisOf(run);
  SpectralAnalysis& spectral = analysis.spectral;
  if (event.kind == EventKind::Key) {
    Retune(spectral, StepTuningCents(spectral.settings.cents, event.key == kKeyLeft ? -1 : 1));
    return;
  }
  if (event.kind == EventKind::Click) {
    if (const auto cents = TuningKeyCentsAt(event.x, event.y)) Retune(spectral, *cents);
    return;
  }
  switch (action) {
    case kApplyAction:
      ApplySpectralAnalysis(spectral, RamOf(run).table, RamOf(run).playbackStretch);
      return;
    case kPlayInput:
      PlayRange(analysis.range.Range(), 5);
      return;
    case kPlayFundamental:
      PlaySplitHeld(spectral.fundamental, spectral.fundamental, static_cast<int64_t>(spectral.fundamental.size()), false,
                    ButtonCode(6, 1), kSourceAnalysisFundamental);
      return;
    case kPlayResynthesis: {
      const std::span<const float> preview = std::span<const float>(spectral.preview).first(spectral.previewLength);
      PlaySplitHeld(preview, preview, static_cast<int64_t>(preview.size()), false, ButtonCode(8, 1),
                    spectral.settings.pitchAdaption ? kSourceRamPitchAdapted : kSourceRamData);
      return;
    }
    default:
      if (action < 0 || action > static_cast<int>(SpectralButton::PitchAdaption)) return;
      run.message = PressSpectralButton(spectral, static_cast<SpectralButton>(action));
      if (run.message == kMsgNone) RedrawSpectralOutput(spectral);
      return;
  }
}

// The arrows and the keyboard tune; other keys and clicks do nothing here.
PageEvent TuningKey(PageRun&, const PageEvent& event) {
  return event.key == kKeyLeft || event.key == kKeyRight ? event : PageEvent{};
}
PageEvent TuningClick(PageRun&, const PageEvent& event) {
  return TuningKeyCentsAt(event.x, event.y) ? event : PageEvent{};
}

const Page kSpectralPage = {.title = "SAMPLE ANALYSIS OPTIONS II",
                            .number = "1.1.1",
                            .buttons = kSpectralButtons,
                            .draw = DrawSpectralPage,
                            .act = ActOnSpectral,
                            .shows = ShowsSpectralButton,
                            .held = TuningKey,
                            .mouse = TuningClick};

}  // namespace

void RedrawSpectralOutput(const SpectralAnalysis& analysis) {
  ShowSpectralReadouts(analysis);
  DrawAnalysisOutput(analysis.table, kOutputBox);
  DrawTuningKeyboard(analysis.settings.cents);
}

int LoadAnalysisSample(const std::string& path, VortaAnalysisRun& analysis) {
  const ReadRules rules = ReadRulesOf(gApp);
  FileInfo info;
  if (TestSoundFile(path, &info, rules) != kCategorySample) return kMsgAccessDenied;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return kMsgAccessDenied;
  analysis.name = ScreenName(std::filesystem::path(path).filename().string());
  analysis.left.assign(kMaxSampleFrames, 0.0f);
  analysis.right.assign(kMaxSampleFrames, 0.0f);
  const bool loaded =
      LoadSampleStream(file, analysis.name, kCategorySample, analysis.left, analysis.right, analysis.descriptor, rules);
  std::fclose(file);
  if (!loaded) return kMsgAccessDenied;
  const size_t frames = std::min<uint64_t>(analysis.descriptor.frames, kMaxSampleFrames);
  analysis.left.resize(frames);
  analysis.right.resize(frames);
  analysis.left.shrink_to_fit();
  analysis.right.shrink_to_fit();
  analysis.sample = SampleChannelsOf(analysis.left, analysis.right, analysis.descriptor);
  analysis.shape = ScanLoopShapeOf(analysis.descriptor);
  return kMsgDone;
}

void ClearAnalysedTable(VortaWorkspace& ram) {
  CancelSpectralAnalysis(ram.table, ram.playbackStretch);
  RenderRamWavetable(ram.table, ram.ram, ram.playbackStretch);
}

int RunSampleAnalysisPages(PageRun& run) {
  VortaAnalysisRun& analysis = AnalysisOf(run);
  const MessageCode opened = OpenAnalysisRange(analysis.range, analysis.sample);
  if (opened != kMsgDone && opened != kMsgNone) return opened;
  return RunPage(kRangePage, run);
}

int RunVortaSampleAnalysis(PageRun& run, const std::string& path, bool scanLoop) {
  if (!run.session || !run.session->vorta) return kMsgNoData;
  auto analysis = std::make_unique<VortaAnalysisRun>();
  const int loaded = LoadAnalysisSample(path, *analysis);
  if (loaded != kMsgDone) return loaded;
  run.session->vorta->analysis = analysis.get();
  PageRun pages;
  pages.session = run.session;
  const int result = scanLoop ? RunScanloopAnalysisPage(pages) : RunSampleAnalysisPages(pages);
  run.session->vorta->analysis = nullptr;
  return result;
}
