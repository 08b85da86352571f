#include "ui/draw.h"
#include "ui/hold_to_play.h"
#include "ui/level_map.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "wavetable/table_editing.h"
#include "wavetable/vorta_synthesis.h"

namespace {

enum Action {
  kPolarity, kScale, kOrder, kFilter, kShift, kSymmetry, kInterpolation, kOptimize, kBlur, kRandomData,
  kRedo, kPlayTable, kUndo,
};

constexpr int kRedoColumn = kTableEditingScreen;  // this screen's own place in the navigation row
constexpr int kPlayTableColumn = 10;

constexpr PageButton kButtons[] = {
    {0, 0, "fPOLAR<>", kPolarity}, {1, 0, "fSCALE<>", kScale},   {2, 0, "fORDER<>", kOrder},
    {3, 0, "fFILTER<>", kFilter},  {4, 0, "fSHIFT<>", kShift},   {5, 0, "fSYMOD<>", kSymmetry},
    {6, 0, "fIPOL<>", kInterpolation}, {9, 0, "OPTIMIZE", kOptimize}, {10, 0, "BLUR", kBlur},
    {11, 0, "RNDDATA", kRandomData}, {kRedoColumn, 1, "s REDO ", kRedo}, {kPlayTableColumn, 1, "pRAM_WT", kPlayTable},
    {11, 1, "s UNDO ", kUndo},
};

// The RAM table as a level map (partials rising, one column per slice) and
// as its 33 waves.
constexpr int kMapLeft = 50;
constexpr int kMapBase = 420;
constexpr int kMapColumnWidth = 28;
constexpr int kMapCellHeight = 4;
constexpr int kMapTop = kMapBase - kPartialCount * kMapCellHeight;
constexpr int kWavesCentre = 560;
constexpr int kWavesHalfHeight = 60;

void DrawTable(const PageRun& run) {
  DrawLevelMap(RamOf(run).table, LevelMapLayout::kColumns, kMapLeft, kMapBase, kMapColumnWidth, kMapCellHeight);
  DrawTableWaveRow(RamOf(run).table, kWavesCentre, kWavesHalfHeight, "RAM WAVETABLE <SLICES 00-32>");
}

void Draw(PageRun& run) {
  DrawText(kMapLeft, kMapTop - 22, "PARTIAL LEVELS <PARTIALS 01-64>", 'L');
  ShowRamName(run);
  ShowUndoEntries(run);
  DrawTable(run);
}

void Changed(PageRun& run) {
  CommitEdit(run, kTableEditingScreen);
  DrawTable(run);
  run.message = kMsgDone;
}

// An option page that may have changed the RAM table.
void AfterOptionPage(PageRun& run, int result) {
  if (result == kMsgDone) CommitEdit(run, kTableEditingScreen);
  run.message = static_cast<uint8_t>(result);
  run.redrawAll = true;
}

void Act(PageRun& run, int action, const PageEvent&) {
  PartialTable& table = RamOf(run).table;
  switch (action) {
    case kPolarity: {
      const ToolChoice choice = RunToolDialog(run, ToolDialog::kPolarity, "6.0.1");
      if (!choice.chosen) {
        run.message = kMsgAborted;
        return;
      }
      ApplyPolarityAction(table, static_cast<PolarityAction>(choice.action));
      Changed(run);
      return;
    }
    case kScale: AfterOptionPage(run, RunProfileScaling(run)); return;
    case kOrder: AfterOptionPage(run, RunSliceOrderMatrix(run)); return;
    case kFilter: AfterOptionPage(run, RunFilterShapeEditor(run)); return;
    case kShift: AfterOptionPage(run, RunFormantShifter(run)); return;
    case kSymmetry:
      // The generated table replaces the RAM table and starts a new undo
      // history of its own.
      run.message = static_cast<uint8_t>(RunSymmetryGenerator(run));
      if (run.message == kMsgDone) EditOf(run).redo.clear();
      run.redrawAll = true;
      return;
    case kInterpolation: AfterOptionPage(run, RunTableInterpolation(run)); return;
    case kOptimize:
      OptimizeTable(table, 0);
      Changed(run);
      return;
    case kBlur:
      BlurTable(table);
      Changed(run);
      return;
    case kRandomData:
      RandomizeTable(table);
      Changed(run);
      return;
    case kRedo: RedoEdit(run, kTableEditingScreen); return;
    case kUndo: UndoEdit(run, kTableEditingScreen); return;
    case kPlayTable:
      PlayRamWavetableHeld(RamOf(run).ram, RamOf(run).playbackStretch, ButtonCode(kPlayTableColumn, 1));
      return;
    default:
      return;
  }
}

}  // namespace

const Page kTableEditingFunctionsPage = {
    .title = "TABLE EDITING FUNCTIONS", .number = "6.0.0", .buttons = kButtons, .draw = Draw, .act = Act};
