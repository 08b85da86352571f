#include <cstdio>

#include "ui/draw.h"
#include "ui/info_panels.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "wavetable/slice_navigation.h"
#include "wavetable/table_interpolation.h"

namespace {

enum Action {
  kBack1, kBack8, kForward8, kForward1, kSetAnchor, kClear, kRestore, kAlgorithm, kPolarityLock,
  kPlayInput, kPlaySlice, kPlayAnchors, kPlayOutput,
};

constexpr int kPlayInputColumn = 7;
constexpr int kPlaySliceColumn = 8;
constexpr int kPlayAnchorsColumn = 9;
constexpr int kPlayOutputColumn = 10;

constexpr PageButton kButtons[] = {
    {0, 0, "<<1_SLC", kBack1},     {1, 0, "<<8_SLC", kBack8},       {2, 0, "SLC_8>>", kForward8},
    {3, 0, "SLC_1>>", kForward1},  {4, 0, "SLICE_SET", kSetAnchor}, {5, 0, "CLEAR", kClear},
    {6, 0, "RESTORE", kRestore},   {7, 0, "ALGO", kAlgorithm},      {8, 0, "POL_LOCK", kPolarityLock},
    {10, 0, "fAPPLY", kApplyAction}, {11, 0, "fCANCEL", kCancelAction},
    {kPlayInputColumn, 1, "pRAM_WT", kPlayInput},     {kPlaySliceColumn, 1, "pSLICE", kPlaySlice},
    {kPlayAnchorsColumn, 1, "pANCHORS", kPlayAnchors}, {kPlayOutputColumn, 1, "pOUTPUT", kPlayOutput},
};

// The input with its anchors marked under each slice, the output below.
constexpr int kInputCentre = 230;
constexpr int kOutputCentre = 520;
constexpr int kHalfHeight = 55;
constexpr int kAnchorRowY = kInputCentre + kHalfHeight + 8;
constexpr int kAnchorRowHeight = 16;

TableInterpolation& State(const PageRun& run) { return EditOf(run).tool.interpolation; }

void DrawAnchors(const TableInterpolation& state) {
  const int right = kWaveRowLeft + kSliceCount * kWaveRowStep;
  HoldRepaint();
  FillBox(kWaveRowLeft, kAnchorRowY, right, kAnchorRowY + 2 * kAnchorRowHeight);
  for (int s = 0; s < kSliceCount; ++s) {
    char text[16];  // room for any int, so the compiler sees no truncation
    std::snprintf(text, sizeof text, "A%.2d", s);
    const int x = kWaveRowLeft + kWaveRowStep * s + kWaveRowStep / 2 - 1;
    // Alternate rows so that neighbouring labels do not overlap.
    const int y = kAnchorRowY + (s % 2) * kAnchorRowHeight;
    DrawText(x, y, state.anchors[static_cast<size_t>(s)] ? text : " ---- ", 'M');
  }
  FlushRegion(kWaveRowLeft, kAnchorRowY, right, kAnchorRowY + 2 * kAnchorRowHeight);
}

void DrawOutput(PageRun& run) {
  TableInterpolation& state = State(run);
  MessageCode message = kMsgNone;
  EditOf(run).tool.output =
      InterpolateTable(state.input, state.anchors, state.algorithm, state.polarityLock, &message);
  DrawTableWaveRow(EditOf(run).tool.output, kOutputCentre, kHalfHeight, {});
  DrawAnchors(state);
  MarkWaveRowSlice(state.currentSlice, kInputCentre, kHalfHeight);
  ShowCurrentSlice(state.currentSlice, state.anchors[static_cast<size_t>(state.currentSlice)] != 0);
  DrawStatusField(2, 0, "ALGORITHM:", state.algorithm == InterpolationAlgorithm::Ipol ? "IPOL" : "STRETCH+IPOL", 12);
  DrawStatusField(2, 1, "POLARITY LOCK:", state.polarityLock ? "ON" : "OFF", 3);
  if (message != kMsgNone) run.message = message;
}

void Draw(PageRun& run) {
  DrawText(kWaveRowLeft, kInputCentre - kHalfHeight - 36, "INPUT <OPTIMIZED> AND ANCHORS", 'L');
  DrawText(kWaveRowLeft, kOutputCentre - kHalfHeight - 36, "OUT <INTERPOLATED>", 'L');
  DrawTableWaveRow(State(run).input, kInputCentre, kHalfHeight, {});
  ShowRamName(run);
  DrawOutput(run);
}

void Act(PageRun& run, int action, const PageEvent&) {
  TableInterpolation& state = State(run);
  const int32_t stretch = RamOf(run).playbackStretch;
  switch (action) {
    case kApplyAction: RamOf(run).table = EditOf(run).tool.output; return;
    case kBack1:
    case kBack8:
    case kForward8:
    case kForward1:
      state.currentSlice = StepSlice(state.currentSlice, static_cast<SliceStep>(action - kBack1));
      MarkWaveRowSlice(state.currentSlice, kInputCentre, kHalfHeight);
      ShowCurrentSlice(state.currentSlice, state.anchors[static_cast<size_t>(state.currentSlice)] != 0);
      return;
    case kSetAnchor: ToggleAnchor(state); break;
    case kClear: ClearAnchors(state); break;
    case kRestore: RestoreAnchors(state); break;
    case kAlgorithm: state.algorithm = OtherInterpolationAlgorithm(state.algorithm); break;
    case kPolarityLock: state.polarityLock = !state.polarityLock; break;
    case kPlayInput: PlayTableHeldAt(state.input, stretch, kPlayInputColumn); return;
    case kPlaySlice: PlaySliceHeldAt(state.input, state.currentSlice, kPlaySliceColumn); return;
    case kPlayAnchors: PlayTableHeldAt(AnchorsOnly(state.input, state.anchors), stretch, kPlayAnchorsColumn); return;
    case kPlayOutput: PlayTableHeldAt(EditOf(run).tool.output, stretch, kPlayOutputColumn); return;
    default: return;
  }
  DrawOutput(run);
}

constexpr Page kInterpolationPage = {
    .title = "TABLE INTERPOLATION", .number = "6.6.0", .buttons = kButtons, .draw = Draw, .act = Act};

}  // namespace

int RunTableInterpolation(PageRun& run) {
  State(run) = StartTableInterpolation(RamOf(run).table);
  return RunOptionPage(run, kInterpolationPage);
}
