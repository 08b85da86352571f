#include <algorithm>
#include <array>
#include <string>

#include "audio/source_kinds.h"
#include "platform/clock.h"
#include "ui/draw.h"
#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/input.h"
#include "ui/level_map.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/xform/xform_pages.h"
#include "ui/progress.h"
#include "ui/slider.h"

// "1.1.1" SAMPLE ANALYSIS OPTIONS II of the XFORM module: the analysis of
// the range (frames, peak stages, layer gains) runs once on entry; the
// sliders then only rebuild the filter spectra and synthesise the table.
// While the user drags a slider the rebuild follows the pointer: a rebuild
// overtaken by a newer value stops and starts again with it, so the table
// shown at the end is the one of the last value.

namespace {

enum Action { kSlower, kFaster, kApply, kPlayOutput };

constexpr PageButton kButtons[] = {
    {7, 0, "-SPEED", kSlower},          {8, 0, "+SPEED", kFaster},           {10, 0, "fAPPLY", kApplyAction},
    {11, 0, "fCANCEL", kCancelAction},  {8, 1, "pOUTPUT", kPlayOutput},
};
constexpr uint8_t kOutputPlayCode = 21;  // (8, 1)

constexpr int kCountChars = 7;
constexpr int kSourceChars = 12;
constexpr int kDragPollMillis = 10;

// The flow of the three stages across the top of the main area.
constexpr std::array<const char*, 3> kStages = {"FFT ANALYSIS", "PEAK DETECTION", "RESYNTHESIS"};
constexpr int kStageTop = 112;
constexpr int kStageBottom = 136;
constexpr int kStageWidth = 260;
constexpr int kStageStep = 342;
constexpr int kStageLeft = 40;

// The two output boxes.
constexpr int kOutputTop = 150;
constexpr int kOutputBottom = 470;
constexpr int kLeftBoxLeft = 40;
constexpr int kLeftBoxRight = 500;
constexpr int kRightBoxLeft = 524;
constexpr int kRightBoxRight = 984;
constexpr int kMapX = 64;
constexpr int kMapBottom = 452;
constexpr int kMapCellWidth = 12;
constexpr int kMapCellHeight = 2;
constexpr int kWaveX = 546;
constexpr int kWaveStep = 12;
constexpr int kWaveWidth = 11;
constexpr int kWaveCentre = 320;
constexpr int kWaveHalf = 130;

// The two control boxes and their sliders.
constexpr int kControlTop = 486;
constexpr int kControlBottom = 680;
constexpr int kSliderCount = 3;
constexpr int kPeakBoost = 0;
constexpr int kSmoothness = 1;
constexpr int kStereoLink = 2;
constexpr int kSliderHeight = 22;
constexpr int kSliderLength = 360;
constexpr int kBarInset = 5;
constexpr int kBarMargin = 4;
constexpr int kLabelAbove = 18;
constexpr std::array<int, kSliderCount> kSliderX = {kLeftBoxLeft + 20, kLeftBoxLeft + 20, kRightBoxLeft + 20};
constexpr std::array<int, kSliderCount> kSliderY = {kControlTop + 50, kControlTop + 120, kControlTop + 50};
constexpr std::array<const char*, kSliderCount> kSliderNames = {"PEAK BOOST", "SMOOTHNESS", "PEAK STEREO LINK"};
constexpr std::array<const char*, kSliderCount> kReadoutLabels = {"PEAK BOOST <%>:", "SMOOTHNESS <%>:",
                                                                  "PEAK STEREO LINK <%>:"};
constexpr uint8_t kFirstSliderKey = 1;  // the digit keys 1, 2, 3 select the sliders

XformAnalysis& Analysis(const PageRun& run) { return XformPages(run).analysis; }

bool LinkShown(const PageRun& run) { return XformPages(run).source.mode == XformSourceMode::Stereo; }

double& ControlOf(XformAnalysisControls& controls, int index) {
  if (index == kPeakBoost) return controls.peakBoost;
  if (index == kSmoothness) return controls.smoothness;
  return controls.stereoLink;
}

double StartValue(const XformAnalysis& analysis, int index) {
  if (index == kPeakBoost) return 0.5 / std::max(1, analysis.stageCount - 1);
  const XformAnalysisControls start;
  return index == kSmoothness ? start.smoothness : start.stereoLink;
}

Slider SliderOf(const XformAnalysis& analysis, int index) {
  Slider slider;
  slider.resetValue = StartValue(analysis, index);
  slider.x0 = static_cast<int16_t>(kSliderX[static_cast<size_t>(index)]);
  slider.y0 = static_cast<int16_t>(kSliderY[static_cast<size_t>(index)]);
  slider.x1 = static_cast<int16_t>(slider.x0 + kSliderLength);
  slider.y1 = static_cast<int16_t>(slider.y0 + kSliderHeight);
  slider.barX = static_cast<int16_t>(slider.x0 + kBarInset);
  slider.scale = static_cast<float>(kSliderLength - 2 * kBarInset);
  slider.barTop = static_cast<int16_t>(slider.y0 + kBarMargin);
  slider.barBottom = static_cast<int16_t>(slider.y1 - kBarMargin);
  slider.readoutColumn = 1;
  slider.readoutRow = static_cast<uint16_t>(index);
  slider.number = static_cast<uint8_t>(kFirstSliderKey + index);
  slider.label = kReadoutLabels[static_cast<size_t>(index)];
  return slider;
}

bool SliderShown(const PageRun& run, int index) { return index != kStereoLink || LinkShown(run); }

void DrawOneSlider(PageRun& run, int index) {
  XformAnalysis& analysis = Analysis(run);
  const Slider slider = SliderOf(analysis, index);
  DrawText(slider.x0, slider.y0 - kLabelAbove, kSliderNames[static_cast<size_t>(index)], 'L');
  DrawFrame(slider.x0, slider.y0, slider.x1, slider.y1);
  DrawText(slider.x1 + 6, slider.y0 + 1, "RESET", 'L');
  DrawSlider(ControlOf(analysis.controls, index), slider);
}

void DrawStages() {
  for (size_t i = 0; i < kStages.size(); ++i) {
    const int left = kStageLeft + kStageStep * static_cast<int>(i);
    DrawFrame(left, kStageTop, left + kStageWidth, kStageBottom);
    DrawText(left + kStageWidth / 2, kStageTop + 4, kStages[i], 'M');
    if (i + 1 < kStages.size()) {
      const int tip = left + kStageStep - 8;
      DrawLine(left + kStageWidth + 8, (kStageTop + kStageBottom) / 2, tip, (kStageTop + kStageBottom) / 2);
      DrawLeftArrow(tip, (kStageTop + kStageBottom) / 2);  // its barbs trail to the left: it points right
    }
  }
}

void DrawOutput(const PageRun& run) {
  const XformTable& table = XformRam(run).table;
  HoldRepaint();
  SetPaper(PaletteColour(kBackground));
  FillBox(kLeftBoxLeft + 1, kOutputTop + 18, kLeftBoxRight, kOutputBottom);
  DrawLevelMap(table.bandProfile, LevelMapLayout::kColumns, kMapX, kMapBottom - kMapCellHeight, kMapCellWidth,
               kMapCellHeight);
  DrawXformSlices(table, kWaveX, kWaveCentre, kWaveStep, kWaveWidth, kWaveHalf);
  FlushRegion(kLeftBoxLeft, kOutputTop, kRightBoxRight, kOutputBottom);
}

void ShowReadouts(const PageRun& run) {
  const XformOptionPages& pages = XformPages(run);
  DrawStatusValue(0, 0, "WINDOW SIZE:", "%ld", pages.analysis.layout.window, kCountChars);
  DrawStatusValue(0, 1, "PEAK DETECTION STAGES:", "%ld", static_cast<int32_t>(pages.analysis.stageCount), 3);
  if (pages.source.range.stereoFile) {
    DrawStatusField(0, 2, "SOURCE:", std::string(XformSourceModeName(pages.source.mode)), kSourceChars);
  }
  ShowNameReadout(2, 0, "DISK:", ScreenName(pages.sampleName));
  ShowXformSpeed(pages.analysis.previewStretch);
}

void Draw(PageRun& run) {
  ShowReadouts(run);
  DrawStages();
  DrawPanel(kLeftBoxLeft, kOutputTop, kLeftBoxRight, kOutputBottom, "RESYNTHESIS OUTPUT <SPECTRUM>");
  DrawPanel(kRightBoxLeft, kOutputTop, kRightBoxRight, kOutputBottom, "RESYNTHESIS OUTPUT <WAVEFORM>");
  DrawOutput(run);
  DrawPanel(kLeftBoxLeft, kControlTop, kLeftBoxRight, kControlBottom, "RESYNTHESIS CONTROL");
  if (LinkShown(run)) DrawPanel(kRightBoxLeft, kControlTop, kRightBoxRight, kControlBottom, "PEAK DETECTION CONTROL");
  for (int index = 0; index < kSliderCount; ++index) {
    if (SliderShown(run, index)) DrawOneSlider(run, index);
  }
}

// A rebuild at the record's controls under the progress bar, cancellable.
void Rebuild(PageRun& run) {
  XformOptionPages& pages = XformPages(run);
  XformWorkspace& ram = XformRam(run);
  uint8_t progress = kMsgNone;
  const MessageCode result = RebuildFilterSpectra(pages.analysis, ram.table, ram.engine, CalcProgressHooks(progress));
  pages.outputStale = result != kMsgDone;
  if (result == kMsgDone) ++pages.sliderRebuilds;
  if (pages.outputStale) ClearXformTable(ram.table);
  run.Show(static_cast<uint8_t>(result == kMsgDone ? kMsgNone : result));
  run.redrawAll = true;  // the progress display took the buttons
}

void ShowCalculating() {
  uint8_t message = kMsgCalculating;
  ShowMessage(message);
}

double PointerValue(const Slider& slider) {
  return std::clamp((MouseLogicalX() - slider.barX) / static_cast<double>(slider.scale), 0.0, 1.0);
}

// Follows the pointer while the left button stays down. Every new position
// goes into the feed; the rebuild that runs meanwhile looks at the pointer
// between its slices and starts again with the newest value, so no queue of
// stale values builds up and the window repaints all the while.
void DragSlider(PageRun& run, int index) {
  XformOptionPages& pages = XformPages(run);
  XformWorkspace& ram = XformRam(run);
  const Slider slider = SliderOf(pages.analysis, index);
  XformControlFeed feed{pages.analysis.controls, false};
  double& value = ControlOf(feed.latest, index);
  auto follow = [&] {
    const double now = PointerValue(slider);
    if (now == value) return;
    value = now;
    feed.changed = true;
    DrawSlider(now, slider);
  };
  const char* shownLabel = nullptr;
  const ProgressHooks hooks{[&](const char* label, int64_t done, int64_t total) {
    if (label != shownLabel) {  // from the blend to the syntheses: the bar starts again under its own label
      ShowProgress(nullptr, 0, 0);
      ShowCalculating();
      shownLabel = label;
    }
    ShowProgress(label, static_cast<double>(done), static_cast<double>(total));
    WaitForInput(0);
    follow();
    return false;
  }};
  ShowCalculating();
  follow();
  for (;;) {
    if (feed.changed) {
      const MessageCode result = RebuildForLatestControls(pages.analysis, feed, ram.table, ram.engine, hooks);
      if (result == kMsgDone) ++pages.sliderRebuilds;
      pages.outputStale = result != kMsgDone;
      DrawOutput(run);
    }
    if (LeftReleased()) {
      follow();
      if (!feed.changed) break;
      continue;
    }
    WaitForInput(kDragPollMillis);
    follow();
  }
  ShowProgress(nullptr, 0, 0);
}

bool InsideBox(const Slider& slider, int x, int y) {
  return x >= slider.x0 && x <= slider.x1 && y >= slider.y0 && y <= slider.y1;
}

PageEvent OnMouse(PageRun& run, const PageEvent& event) {
  XformAnalysis& analysis = Analysis(run);
  for (int index = 0; index < kSliderCount; ++index) {
    if (!SliderShown(run, index)) continue;
    const Slider slider = SliderOf(analysis, index);
    if (InsideBox(slider, event.x, event.y)) {
      DragSlider(run, index);
      return {};
    }
    // "RESET" beside the box.
    const PageEvent moved = StepSlider(ControlOf(analysis.controls, index), event, slider);
    if (!moved.None()) return moved;
  }
  return {};
}

// A digit key held with LEFT, RIGHT or R: the slider steps while the keys
// are down; the table is made once for the value it was left at.
PageEvent OnHeldKey(PageRun& run, const PageEvent& event) {
  XformAnalysis& analysis = Analysis(run);
  for (int index = 0; index < kSliderCount; ++index) {
    if (!SliderShown(run, index)) continue;
    const Slider slider = SliderOf(analysis, index);
    if (!KeyDown(kKeyDigit0 + slider.number)) continue;
    return StepSlider(ControlOf(analysis.controls, index), event, slider);
  }
  return {};
}

void Act(PageRun& run, int action, const PageEvent& event) {
  XformOptionPages& pages = XformPages(run);
  XformWorkspace& ram = XformRam(run);
  if (event.kind == EventKind::Slider) {
    ShowCalculating();
    Rebuild(run);
    return;
  }
  switch (action) {
    case kSlower:
    case kFaster:
      run.message = action == kSlower ? HalvePreviewStretch(pages.analysis.previewStretch)
                                      : DoublePreviewStretch(pages.analysis.previewStretch);
      ShowXformSpeed(pages.analysis.previewStretch);
      return;
    case kPlayOutput:
      if (pages.outputStale) {
        Rebuild(run);
        if (pages.outputStale) return;
      }
      PlayXformScanHeld(run, ram.table, pages.analysis.previewStretch, kOutputPlayCode);
      return;
    case kApplyAction:
      if (pages.outputStale) {
        Rebuild(run);
        if (pages.outputStale) return;  // cancelled again: the page stays
      }
      ApplyXformAnalysis(ram, pages.analysis, pages.sampleName);
      return;
    default:
      return;
  }
}

constexpr Page kResynthesisPage = {.title = "SAMPLE ANALYSIS OPTIONS II",
                                   .number = "1.1.1",
                                   .buttons = kButtons,
                                   .draw = Draw,
                                   .act = Act,
                                   .held = OnHeldKey,
                                   .mouse = OnMouse};

}  // namespace

int RunXformResynthesisOptions(PageRun& run, XformOptionPages& pages) {
  XformWorkspace& ram = XformRam(run);
  DrawPageHeader(kResynthesisPage.title, kResynthesisPage.number, true);
  DrawStages();
  ReleaseXformAnalysis(pages.analysis);
  pages.analysis.controls = XformAnalysisControls{};
  uint8_t progress = kMsgNone;
  const MessageCode analysed = RunXformAnalysis(RangeOf(pages.source, false), RangeOf(pages.source, true),
                                                pages.analysis, ram.table, ram.engine, CalcProgressHooks(progress));
  if (analysed != kMsgDone) {
    run.redrawAll = true;
    return analysed;
  }
  pages.analysis.previewStretch = PreviewStretchFor(pages.source.range.RangeLength());
  pages.outputStale = false;
  pages.sliderRebuilds = 0;
  return RunXformOptionPage(kResynthesisPage, run);
}
