#include <vector>

#include "audio/source_kinds.h"
#include "platform/clock.h"
#include "ui/draw.h"
#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/input.h"
#include "ui/module_graphs.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/xform/xform_pages.h"
#include "ui/segment_graph.h"

// "2.1.0" AMPLITUDE PROFILE SCALING of the XFORM module: the level of each
// slice, measured from its peak, edited in the segment graph and with the
// profile buttons; the scaled copy shows below and replaces the table on
// "fAPPLY".

namespace {

enum Action { kSmooth, kZero, kCeil, kNormal, kRestore, kApply, kPlayIn, kPlayOut, kPlaySlice };

constexpr PageButton kButtons[] = {
    {0, 0, "SMOOTH", kSmooth},   {1, 0, "ZERO", kZero},          {2, 0, "CEIL", kCeil},
    {3, 0, "NORMAL", kNormal},   {4, 0, "RESTORE", kRestore},    {10, 0, "fAPPLY", kApplyAction},
    {11, 0, "fCANCEL", kCancelAction}, {7, 1, "pIN_WT", kPlayIn}, {8, 1, "pOUT_WT", kPlayOut},
    {9, 1, "pOUT_SLC", kPlaySlice},
};
constexpr uint8_t kScaleButtonCode = 1;  // "fSCALE<>" on "2.0.0"
constexpr uint8_t kPlayInCode = 20;
constexpr uint8_t kPlayOutCode = 21;
constexpr uint8_t kPlaySliceCode = 22;

constexpr int kGraphCentre = 300;
constexpr int kGraphTop = kGraphCentre - 170;
constexpr int kGraphBottom = kGraphCentre + 170;
constexpr int kOutputTop = 484;
constexpr int kOutputBottom = 684;
constexpr int kWaveX = kSegmentGraphLeft - 11;
constexpr int kWaveCentre = 592;
constexpr int kWaveHalf = 80;
constexpr int kBoxLeft = 20;
constexpr int kBoxRight = 1004;

SegmentEditor EditorOf(PageRun& run) {
  XformOptionPages& pages = XformPages(run);
  SegmentEditor editor;
  editor.rows = pages.scaling.profile;
  editor.centre = kGraphCentre;
  editor.current = pages.currentSlice;
  editor.scale = SegmentScale::kLinearUnsigned;
  return editor;
}

void RefreshOutput(PageRun& run) {
  XformOptionPages& pages = XformPages(run);
  ScaledXformOutput(XformRam(run).table, pages.scaling, pages.output);
  HoldRepaint();
  DrawXformSlices(pages.output, kWaveX, kWaveCentre, kSegmentStep, kSegmentStep - 2, kWaveHalf);
  FlushRegion(kBoxLeft, kOutputTop, kBoxRight, kOutputBottom);
}

void DrawGraph(PageRun& run) {
  const XformOptionPages& pages = XformPages(run);
  HoldRepaint();
  DrawWholeSegmentGraph(pages.scaling.profile, 0, kGraphCentre, 0, 0, kPeakScaleMarks);
  DrawSegmentMarkers(pages.currentSlice, kGraphCentre);
  FlushRegion(kBoxLeft, kGraphTop, kBoxRight, kGraphBottom);
  ShowCurrentSegment(pages.currentSlice);
  ShowSegmentValue(SegmentScale::kLinearUnsigned, pages.scaling.profile[static_cast<size_t>(pages.currentSlice)]);
}

void Draw(PageRun& run) {
  ShowNameReadout(0, 0, "RAM:", XformRam(run).table.ramName);
  DrawPanel(kBoxLeft, kGraphTop - 24, kBoxRight, kGraphBottom + 4, "AMPLITUDE ENVELOPE");
  DrawScaleLabels(kGraphCentre, kPeakScaleMarks);
  DrawLine(kBoxLeft, kGraphTop - 24, kBoxLeft, kGraphBottom + 4);  // the labels cleared the box's left edge
  DrawGraph(run);
  DrawPanel(kBoxLeft, kOutputTop, kBoxRight, kOutputBottom, "SCALED WAVETABLE OUTPUT");
  RefreshOutput(run);
}

// Steps of the segment editor: a held arrow repeats, a press drags.
void Edit(PageRun& run, std::vector<SegmentInput> steps, bool drag) {
  SegmentEditor editor = EditorOf(run);
  PageEvent event;
  bool changed = false;
  bool any = false;
  for (;;) {
    EditSegments(editor, steps, event, changed);
    any = any || changed;
    event = {};
    if (!drag || LeftReleased()) break;
    WaitForInput(10);
    steps = {{SegmentInput::Kind::kDrag, MouseLogicalX(), MouseLogicalY()}};
  }
  XformPages(run).currentSlice = editor.current;
  if (any) RefreshOutput(run);
}

PageEvent OnMouse(PageRun& run, const PageEvent& event) {
  Edit(run, {{SegmentInput::Kind::kPress, event.x, event.y}}, true);
  return {};
}

PageEvent OnHeldKey(PageRun& run, const PageEvent& event) {
  using Kind = SegmentInput::Kind;
  Kind kind;
  switch (event.key) {
    case kKeyLeft: kind = Kind::kLeft; break;
    case kKeyRight: kind = Kind::kRight; break;
    case kKeyUp: kind = Kind::kUp; break;
    case kKeyDown: kind = Kind::kDown; break;
    default: return {};
  }
  RepeatWhileHeld([&] {
    Edit(run, {{kind}}, false);
    return true;
  }, kind == Kind::kLeft || kind == Kind::kRight);
  return {};
}

void Act(PageRun& run, int action, const PageEvent&) {
  XformOptionPages& pages = XformPages(run);
  XformWorkspace& ram = XformRam(run);
  switch (action) {
    case kSmooth:
    case kZero:
    case kCeil:
    case kNormal:
    case kRestore:
      run.message = ApplyXformProfileButton(pages.scaling, static_cast<ProfileButton>(action - kSmooth));
      DrawGraph(run);
      RefreshOutput(run);
      return;
    case kApplyAction:
      ApplyXformProfile(ram, pages.scaling, kScaleButtonCode);
      return;
    case kPlayIn:
      PlayXformScanHeld(run, ram.table, ram.table.speed, kPlayInCode);
      return;
    case kPlayOut:
      PlayXformScanHeld(run, pages.output, ram.table.speed, kPlayOutCode);
      return;
    case kPlaySlice:
      PlayTableHeld(pages.output.noise, pages.currentSlice, kPlaySliceCode, kSourceRamData);
      return;
    default:
      return;
  }
}

void Open(PageRun& run) {
  XformOptionPages& pages = XformPages(run);
  if (!XformTableAllocated(pages.output)) {
    pages.scaling = StartXformProfileScaling(XformRam(run).table);
    AllocateXformTable(pages.output);
  }
  Draw(run);
}

}  // namespace

const Page kXformProfilePage = {.title = "AMPLITUDE PROFILE SCALING",
                                .number = "2.1.0",
                                .buttons = kButtons,
                                .draw = Open,
                                .act = Act,
                                .held = OnHeldKey,
                                .mouse = OnMouse};
