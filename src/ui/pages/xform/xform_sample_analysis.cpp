#include <algorithm>
#include <cmath>

#include "audio/source_kinds.h"
#include "ui/draw.h"
#include "ui/graph_markers.h"
#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/shared/page_support.h"
#include "ui/pages/xform/xform_pages.h"
#include "ui/wave_graph.h"

// "1.1.0" SAMPLE ANALYSIS OPTIONS I of the XFORM module: the source mode
// and the analysis range of a stereo sample, before "fANALYZE" opens the
// analysis itself.

namespace {

enum Action {
  kLowerStart,
  kRaiseStart,
  kResetStart,
  kLowerEnd,
  kRaiseEnd,
  kResetEnd,
  kSource,
  kAnalyze,
  kPlayInput,
};

constexpr PageButton kButtons[] = {
    {0, 0, "-THR_S", kLowerStart}, {1, 0, "+THR_S", kRaiseStart}, {2, 0, "TS_RES", kResetStart},
    {4, 0, "-THR_E", kLowerEnd},   {5, 0, "+THR_E", kRaiseEnd},   {6, 0, "TE_RES", kResetEnd},
    {8, 0, "SOURCE", kSource},     {10, 0, "fANALYZE", kAnalyze}, {11, 0, "fCANCEL", kCancelAction},
    {3, 1, "pINPUT", kPlayInput},
};
constexpr uint8_t kInputPlayCode = 16;  // (3, 1)

constexpr int kCountChars = 8;
constexpr int kThresholdChars = 6;
constexpr int kSourceChars = 12;

// The "INPUT FILE <NORMALIZED>" box and its graph.
constexpr int kBoxLeft = 40;
constexpr int kBoxTop = 130;
constexpr int kBoxRight = 984;
constexpr int kBoxBottom = 640;
constexpr int kGraphX = 60;
constexpr int kGraphWidth = 904;
constexpr int kGraphCentre = 375;
constexpr int kGraphHalf = 210;

XformAnalysisSource& Source(const PageRun& run) { return XformPages(run).source; }

bool Shows(const PageRun& run, const PageButton& button) {
  return button.action != kSource || Source(run).range.stereoFile;
}

void ShowReadouts(const PageRun& run) {
  const XformOptionPages& pages = XformPages(run);
  const AnalysisRange& range = pages.source.range;
  ShowNameReadout(0, 0, "DISK:", ScreenName(pages.sampleName));
  DrawStatusValue(0, 1, "SAMPLES IN FILE:", "%.7ld", range.fileLength, kCountChars);
  DrawStatusValue(0, 2, "USED DATA SAMPLES:", "%.7ld", range.Used(), kCountChars);
  if (range.stereoFile) {
    DrawStatusField(0, 3, "SOURCE:", std::string(XformSourceModeName(pages.source.mode)), kSourceChars);
  }
  DrawStatusValue(1, 0, "START SHIFT:", "%+.7ld", range.start, kCountChars + 1);
  DrawStatusValue(1, 1, "START THRESHOLD:", "%ld", ShownThreshold(range.startThreshold), kThresholdChars);
  DrawStatusValue(2, 0, "END SHIFT:", "%+.7ld", range.EndShift(), kCountChars + 1);
  DrawStatusValue(2, 1, "END THRESHOLD:", "%ld", ShownThreshold(range.endThreshold), kThresholdChars);
  DrawStatusValue(3, 0, "ANALYSIS RANGE:", "%ld", range.RangeLength(), kCountChars);
}

int ColumnOf(int64_t sample, int64_t used) {
  return used > 0 ? static_cast<int>(sample * (kGraphWidth - 1) / used) : 0;
}

// A dotted line across the graph at the level of a threshold, above and
// below the centre line.
void DrawThresholdLines(float threshold, int firstColumn, int lastColumn) {
  const int offset = static_cast<int>(std::lround(threshold * kGraphHalf));
  if (offset <= 0) return;
  SetPenStyle(1, 0);
  DrawLine(kGraphX + firstColumn, kGraphCentre - offset, kGraphX + lastColumn, kGraphCentre - offset);
  DrawLine(kGraphX + firstColumn, kGraphCentre + offset, kGraphX + lastColumn, kGraphCentre + offset);
  SetPenStyle(0, 0);
}

void DrawInputGraph(const PageRun& run) {
  const XformAnalysisSource& source = Source(run);
  const AnalysisRange& range = source.range;
  const int first = ColumnOf(range.start, range.Used());
  const int last = ColumnOf(range.end, range.Used());
  HoldRepaint();
  DrawStereoWaveGraph(source.left, source.right, kGraphX, kGraphCentre, kGraphWidth, kGraphHalf);
  SetInk(PaletteColour(kAccent));
  DrawThresholdLines(range.startThreshold, 0, first);
  DrawThresholdLines(range.endThreshold, last, kGraphWidth);
  RestoreNormalColours();
  DrawAnalysisRange(kGraphX, kGraphCentre, kGraphWidth, kGraphHalf, first, last);
  FlushRegion(kBoxLeft, kBoxTop, kBoxRight, kBoxBottom);
}

void Draw(PageRun& run) {
  ShowReadouts(run);
  DrawPanel(kBoxLeft, kBoxTop, kBoxRight, kBoxBottom, "INPUT FILE <NORMALIZED>");
  DrawInputGraph(run);
}

RangeButton RangeButtonOf(int action) { return static_cast<RangeButton>(action - kLowerStart); }

void Analyze(PageRun& run) {
  XformOptionPages& pages = XformPages(run);
  uint8_t calculating = kMsgCalculating;
  ShowMessage(calculating);
  const int result = RunXformResynthesisOptions(run, pages);
  if (result == kMsgDone) {
    run.Finish(kMsgDone);
    return;
  }
  // The previewed table is not kept.
  DiscardXformAnalysis(XformRam(run));
  run.redrawAll = true;
  run.Show(static_cast<uint8_t>(result));
}

void Act(PageRun& run, int action, const PageEvent&) {
  XformOptionPages& pages = XformPages(run);
  switch (action) {
    case kLowerStart:
    case kRaiseStart:
    case kResetStart:
    case kLowerEnd:
    case kRaiseEnd:
    case kResetEnd:
      run.message = PressRangeButton(pages.source.range, RangeButtonOf(action));
      ShowReadouts(run);
      DrawInputGraph(run);
      return;
    case kSource:
      run.message = CycleXformSource(pages.source, pages.sample);
      run.redrawAll = true;
      return;
    case kAnalyze:
      Analyze(run);
      return;
    case kPlayInput: {
      const auto left = RangeOf(pages.source, false);
      PlaySplitHeld(left, RangeOf(pages.source, true), static_cast<int64_t>(left.size()), false, kInputPlayCode,
                    kSourceWaveFile);
      return;
    }
    default:
      return;
  }
}

constexpr Page kAnalysisOptionsPage = {.title = "SAMPLE ANALYSIS OPTIONS I",
                                       .number = "1.1.0",
                                       .buttons = kButtons,
                                       .draw = Draw,
                                       .act = Act,
                                       .shows = Shows};

}  // namespace

int RunXformAnalysisOptions(PageRun& run, XformOptionPages& pages) {
  const MessageCode opened = BuildXformAnalysisSource(pages.sample, XformSourceMode::Stereo, pages.source);
  if (opened != kMsgNone) return opened;
  XformOptionPages* const before = run.session->xform->pages;
  run.session->xform->pages = &pages;
  const int result = RunXformOptionPage(kAnalysisOptionsPage, run);
  run.session->xform->pages = before;
  return result;
}

int RunXformSampleAnalysis(PageRun& run, const std::string& path) {
  if (!run.session || !run.session->xform) return kMsgAborted;
  XformOptionPages pages;
  const MessageCode loaded = LoadXformSample(path, pages);
  if (loaded != kMsgNone) return loaded;
  return RunXformAnalysisOptions(run, pages);
}
