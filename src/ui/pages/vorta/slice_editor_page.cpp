#include <algorithm>

#include "ui/draw.h"
#include "ui/graph_markers.h"
#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/level_map.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "ui/wave_graph.h"
#include "wavetable/slice_editor.h"
#include "wavetable/limit_mode.h"
#include "wavetable/table_editing.h"

namespace {

enum Action {
  kBack1, kBack8, kForward8, kForward1, kRandom, kRandomPolarity, kFillPolarity, kTools, kLimit, kDraw,
  kRedo, kPlaySlice, kPlayTable, kUndo,
};

constexpr int kRedoColumn = kSliceEditorScreen;  // this screen's own place in the navigation row
constexpr int kPlaySliceColumn = 9;
constexpr int kPlayTableColumn = 10;

constexpr PageButton kButtons[] = {
    {0, 0, "<<1_SLC", kBack1},   {1, 0, "<<8_SLC", kBack8},       {2, 0, "SLC_8>>", kForward8},
    {3, 0, "SLC_1>>", kForward1}, {5, 0, "RAND", kRandom},         {6, 0, "RND_POL", kRandomPolarity},
    {7, 0, "FILL_POL", kFillPolarity}, {8, 0, "fTOOLS<>", kTools}, {9, 0, "LIMIT", kLimit},
    {11, 0, "fWDRAW<>", kDraw},  {kRedoColumn, 1, "s REDO ", kRedo}, {kPlaySliceColumn, 1, "pRAM_SLC", kPlaySlice},
    {kPlayTableColumn, 1, "pRAM_WT", kPlayTable}, {11, 1, "s UNDO ", kUndo},
};

// The table's partial levels above the bars, one column per slice under the
// read position arrow; the cycle at half pitch left of the bars.
constexpr int kMapLeft = 463;
constexpr int kMapBase = 380;
constexpr int kMapColumnWidth = 14;
constexpr int kMapCellHeight = 2;
constexpr int kMapTop = kMapBase - kPartialCount * kMapCellHeight;
constexpr int kMapRight = kMapLeft + kSliceCount * kMapColumnWidth;
constexpr int kWaveLeft = 42;
constexpr int kWaveWidth = 400;
constexpr int kGraphCentre = 556;
constexpr int kWaveHalfHeight = 84;
constexpr int kCaptionY = 430;
constexpr int kBarsLeft = 470;
constexpr int kBarsRight = 925;
constexpr int kFirstBarLeft = 471;
constexpr int kBarStep = 7;
constexpr double kBarPixelsPerCode = 0.66;
constexpr BracketPlace kBarsBracket{940, 965, kGraphCentre};

SliceEditor& Editor(const PageRun& run) { return EditOf(run).slice; }

void ShowFillPolarity(const PageRun& run) {
  DrawStatusField(0, 1, "FILL POLARITY:", EditOf(run).fillPositive ? "POSITIVE" : "NEGATIVE", 8);
}

void ShowLimit(const PageRun& run) {
  ShowLimitRange(3, 0, Editor(run).limitMode);
  DrawLimitBracket(Editor(run).limitMode, kBarsBracket);
}

// The slice's graphs and readouts; the partial readout names the given row.
void DrawSlice(const PageRun& run, int row) {
  const PartialTable& table = RamOf(run).table;
  const int slice = Editor(run).slice;
  DrawLevelMap(table, LevelMapLayout::kColumns, kMapLeft, kMapBase, kMapColumnWidth, kMapCellHeight);
  DrawSliceBars(table, slice);
  ShowCurrentSlice(slice, SliceIsFilled(table, slice));
  ShowPartialValue(row + 1, table.at(row, slice));
  const SlicePreview preview = RenderSlicePreview(table, slice);
  DrawWaveGraph(preview.drawn, kWaveLeft, kGraphCentre, kWaveWidth, kWaveHalfHeight);
}

void Draw(PageRun& run) {
  DrawText(kMapLeft - 12, (kMapTop + kMapBase) / 2 - 7, "PARTIAL LEVELS <SLICES 00-32>", 'R');
  DrawText(kWaveLeft, kCaptionY, "WAVEFORM <PITCH 0.5>", 'L');
  DrawText(kBarsLeft, kCaptionY, "PARTIALS <01-64>", 'L');
  ShowRamName(run);
  ShowFillPolarity(run);
  ShowLimit(run);
  ShowUndoEntries(run);
  DrawSlice(run, 0);
}

void Changed(PageRun& run, int row = 0) {
  CommitEdit(run, kSliceEditorScreen);
  DrawSlice(run, row);
}

int BarRow(int x) { return std::clamp((x - kFirstBarLeft) / kBarStep, 0, kPartialCount - 1); }
int BarCode(int y) { return static_cast<int>(Nearest((kGraphCentre - y) / kBarPixelsPerCode)); }

// A press on the bars sets the partial under the pointer and follows the
// pointer while the button stays down; a press on the level map chooses
// the slice.
PageEvent Pointer(PageRun& run, const PageEvent& event) {
  SliceEditor& editor = Editor(run);
  PartialTable& table = RamOf(run).table;
  if (event.x >= kMapLeft && event.x < kMapRight && event.y >= kMapTop && event.y <= kMapBase) {
    editor.slice = static_cast<int16_t>((event.x - kMapLeft) / kMapColumnWidth);
    DrawSlice(run, 0);
    return {};
  }
  if (event.x < kBarsLeft || event.x > kBarsRight || event.y < kGraphCentre - kMaxCode ||
      event.y > kGraphCentre + kMaxCode) {
    return {};
  }
  int row = 0;
  FollowPointer(event.x, event.y, [&](int x, int y) {
    row = BarRow(x);
    SetSliceCode(table, editor.slice, row, BarCode(y), editor.limitMode);
    DrawSliceBars(table, editor.slice, true);
    ShowPartialValue(row + 1, table.at(row, editor.slice));
  });
  Changed(run, row);
  return {};
}

void ApplySliceTool(PageRun& run) {
  const ToolChoice choice = RunToolDialog(run, ToolDialog::kSlice, "3.0.1", true);
  if (!choice.chosen) return;
  ApplySliceAction(RamOf(run).table, Editor(run).slice, static_cast<SliceAction>(choice.action),
                   EditOf(run).fillPositive);
  CommitEdit(run, kSliceEditorScreen);
  run.message = kMsgDone;
}

void Act(PageRun& run, int action, const PageEvent&) {
  SliceEditor& editor = Editor(run);
  PartialTable& table = RamOf(run).table;
  switch (action) {
    case kBack1:
    case kBack8:
    case kForward8:
    case kForward1:
      editor.slice = StepSlice(editor.slice, static_cast<SliceStep>(action - kBack1));
      DrawSlice(run, 0);
      return;
    case kRandom:
      RandomizeSlice(table, editor.slice, editor.limitMode);
      Changed(run);
      return;
    case kRandomPolarity:
      RandomPolarity(table, editor.slice, kAllRows);
      Changed(run);
      return;
    case kFillPolarity:
      EditOf(run).fillPositive = !EditOf(run).fillPositive;
      ShowFillPolarity(run);
      return;
    case kTools:
      ApplySliceTool(run);
      return;
    case kLimit:
      editor.limitMode = NextLimitMode(editor.limitMode);
      ShowLimit(run);
      return;
    case kDraw:
      run.message = static_cast<uint8_t>(RunWaveformDrawing(run));
      if (run.message == kMsgDone) CommitEdit(run, kSliceEditorScreen);
      run.redrawAll = true;
      return;
    case kRedo:
      RedoEdit(run, kSliceEditorScreen);
      return;
    case kUndo:
      UndoEdit(run, kSliceEditorScreen);
      return;
    case kPlaySlice:
      PlaySliceHeldAt(table, editor.slice, kPlaySliceColumn);
      return;
    case kPlayTable:
      PlayRamWavetableHeld(RamOf(run).ram, RamOf(run).playbackStretch, ButtonCode(kPlayTableColumn, 1));
      return;
    default:
      return;
  }
}

}  // namespace

const Page kSliceEditorPage = {.title = "SLICE EDITOR",
                               .number = "3.0.0",
                               .buttons = kButtons,
                               .draw = Draw,
                               .act = Act,
                               .mouse = Pointer};
