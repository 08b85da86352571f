#include <algorithm>

#include "ui/button_bar.h"
#include "ui/draw.h"
#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/level_map.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "ui/wave_graph.h"
#include "wavetable/table_assembling.h"
#include "wavetable/vorta_synthesis.h"

namespace {

enum Action {
  kPageBack, kPageForward, kFind, kType, kSourceBack, kSourceForward, kDestinationBack, kDestinationForward, kCopy,
  kRedo, kPlayFile, kPlayFileOutput, kPlayRamSlice, kPlayRam, kUndo,
};

constexpr int kRedoColumn = kAssemblingScreen;  // this screen's own place in the navigation row
constexpr int kPlayFileColumn = 7;
constexpr int kPlayFileOutputColumn = 8;
constexpr int kPlayRamSliceColumn = 9;
constexpr int kPlayRamColumn = 10;

constexpr PageButton kButtons[] = {
    {0, 0, "<<PAGE", kPageBack},   {1, 0, "PAGE>>", kPageForward},      {2, 0, "fFIND<>", kFind},
    {3, 0, "fF_TYPE<>", kType},    {7, 0, "<<SRC", kSourceBack},        {8, 0, "SRC>>", kSourceForward},
    {9, 0, "<<DEST", kDestinationBack}, {10, 0, "DEST>>", kDestinationForward}, {11, 0, "SRC>DEST", kCopy},
    {kRedoColumn, 1, "s REDO ", kRedo},
    {kPlayFileColumn, 1, "pFILE_IN", kPlayFile},          {kPlayFileColumn, 1, "pFILE_WT", kPlayFile},
    {kPlayFileOutputColumn, 1, "pFILE_OUT", kPlayFileOutput}, {kPlayFileOutputColumn, 1, "pFILE_SLC", kPlayFileOutput},
    {kPlayRamSliceColumn, 1, "pRAM_SLC", kPlayRamSlice}, {kPlayRamColumn, 1, "pRAM_WT", kPlayRam},
    {11, 1, "s UNDO ", kUndo},
};

// Right of the list: the source (its table's levels, or the single cycle's
// wave) above, the RAM table below, each with an arrow over its slice.
constexpr int kGraphLeft = 462;
constexpr int kColumnWidth = 16;
constexpr int kCellHeight = 2;
constexpr int kGraphRight = kGraphLeft + kSliceCount * kColumnWidth;
constexpr int kSourceBase = 370;
constexpr int kRamBase = 640;
constexpr int kMapHeight = kPartialCount * kCellHeight;
constexpr int kArrowStrip = 14;
constexpr int kCaptionRise = 40;

LibrarySource& Source(const PageRun& run) { return EditOf(run).assemblyList; }
TableAssembly& Assembly(const PageRun& run) { return EditOf(run).assembly; }

bool SingleCycle(const PageRun& run) { return Source(run).present && Source(run).singleCycle; }

bool Shows(const PageRun& run, const PageButton& button) {
  const std::string_view label = button.label;
  if (button.action == kSourceBack || button.action == kSourceForward) return !SingleCycle(run);
  if (label == "pFILE_IN" || label == "pFILE_OUT") return SingleCycle(run);
  if (label == "pFILE_WT" || label == "pFILE_SLC") return !SingleCycle(run);
  return true;
}

void MarkColumn(int slice, int base) {
  const int bottom = base - kMapHeight - 2;
  HoldRepaint();
  FillBox(kGraphLeft, bottom - kArrowStrip, kGraphRight + 1, bottom + 1);
  DrawDownArrow(kGraphLeft + kColumnWidth * slice + kColumnWidth / 2 - 1, bottom);
  FlushRegion(kGraphLeft, bottom - kArrowStrip, kGraphRight + 1, bottom + 1);
}

void ShowSlices(const PageRun& run) {
  const TableAssembly& assembly = Assembly(run);
  DrawStatusValue(3, 0, "DESTINATION SLICE:", "%.2d", static_cast<int32_t>(assembly.destination), 2);
  DrawStatusValue(3, 1, "SOURCE SLICE:", "%.2d", static_cast<int32_t>(assembly.source.slice), 2);
}

void DrawSource(const PageRun& run) {
  const TableAssembly& assembly = Assembly(run);
  const int top = kSourceBase - kMapHeight - kArrowStrip - 2;
  HoldRepaint();
  FillBox(kGraphLeft, top, kGraphRight + 1, kSourceBase + 1);
  FlushRegion(kGraphLeft, top, kGraphRight + 1, kSourceBase + 1);
  if (!assembly.source.present) {
    DrawText((kGraphLeft + kGraphRight) / 2, kSourceBase - kMapHeight / 2 - 7, "NO FILE SELECTED", 'M');
  } else if (assembly.source.singleCycle) {
    DrawWaveGraph(Source(run).cycle, kGraphLeft, kSourceBase - kMapHeight / 2, kGraphRight - kGraphLeft,
                  kMapHeight / 2 - 2);
  } else {
    DrawLevelMap(assembly.source.table, LevelMapLayout::kColumns, kGraphLeft, kSourceBase, kColumnWidth, kCellHeight);
    MarkColumn(assembly.source.slice, kSourceBase);
  }
  ShowSlices(run);
}

void DrawRam(const PageRun& run) {
  DrawLevelMap(RamOf(run).table, LevelMapLayout::kColumns, kGraphLeft, kRamBase, kColumnWidth, kCellHeight);
  MarkColumn(Assembly(run).destination, kRamBase);
  // The list's folder takes the first field; the name stands under "DISK:".
  ShowNameReadout(2, 1, "RAM:", RamOf(run).ramName);
  ShowSlices(run);
}

void ReadSource(PageRun& run) {
  LibrarySource& source = Source(run);
  const MessageCode read = ReadSelectedFile(source);
  if (source.present) SelectAssemblySource(Assembly(run), source.table, source.singleCycle);
  else ClearAssemblySource(Assembly(run));
  if (read != kMsgNone) run.message = read;
  DrawSource(run);
  // The source buttons and the file's play buttons follow the file's kind.
  for (int column : {7, 8}) SetButton(column, 0, "");
  SetPageButtons(kTableAssemblingPage, run);
}

void Draw(PageRun& run) {
  VortaModule& vorta = VortaOf(run);
  LibrarySource& source = Source(run);
  // A single cycle handed over by the file operations screen's "fINSERT".
  if (!vorta.insertPath.empty()) {
    EditOf(run).readPending = SelectSingleCycle(source, vorta.insertPath);
    if (!EditOf(run).readPending) run.message = kMsgFileNotFound;
    vorta.insertPath.clear();
  }
  DrawBrowserPage(source.list, source.rows);
  MarkBrowserRow(source.list);
  DrawText(kGraphLeft, kSourceBase - kMapHeight - kCaptionRise, "SOURCE FILE", 'L');
  DrawText(kGraphLeft, kRamBase - kMapHeight - kCaptionRise, "RAM WAVETABLE <DESTINATION>", 'L');
  ShowUndoEntries(run);
  DrawRam(run);
  if (EditOf(run).readPending) {
    EditOf(run).readPending = false;
    ReadSource(run);
  } else {
    DrawSource(run);
  }
}

void Act(PageRun& run, int action, const PageEvent& event) {
  TableAssembly& assembly = Assembly(run);
  LibrarySource& source = Source(run);
  VortaWorkspace& ram = RamOf(run);
  if (event.kind == EventKind::SelectionChanged) {
    MarkBrowserRow(source.list);
    ReadSource(run);
    return;
  }
  switch (action) {
    case kPageBack:
    case kPageForward:
    case kFind:
    case kType:
      if (ActOnList(run, source, static_cast<ListButton>(action - kPageBack))) {
        if (source.list.selected < 0) ClearAssemblySource(assembly);
        EditOf(run).readPending = source.list.selected >= 0 && action == kFind;
        run.redrawAll = true;
      }
      return;
    case kSourceBack:
    case kSourceForward:
      run.message = StepSourceSlice(assembly, action == kSourceBack ? -1 : 1);
      if (run.message == kMsgNone) DrawSource(run);
      return;
    case kDestinationBack:
    case kDestinationForward:
      StepDestinationSlice(assembly, action == kDestinationBack ? -1 : 1);
      DrawRam(run);
      return;
    case kCopy:
      run.message = CopySourceToDestination(assembly, ram.table);
      if (run.message == kMsgNone) {
        CommitEdit(run, kAssemblingScreen);
        DrawRam(run);
      }
      return;
    case kRedo: RedoEdit(run, kAssemblingScreen); return;
    case kUndo: UndoEdit(run, kAssemblingScreen); return;
    case kPlayFile:
      if (!assembly.source.present) {
        run.message = kMsgNoFileSelected;
      } else if (assembly.source.singleCycle) {
        PlaySplitHeld(source.cycle, source.cycle, static_cast<int64_t>(source.cycle.size()), true,
                      ButtonCode(kPlayFileColumn, 1), kSourceSingleCycle);
      } else {
        PlayTableHeldAt(assembly.source.table, source.stretch, kPlayFileColumn);
      }
      return;
    case kPlayFileOutput:
      if (!assembly.source.present) run.message = kMsgNoFileSelected;
      else PlaySliceHeldAt(assembly.source.table, assembly.source.slice, kPlayFileOutputColumn);
      return;
    case kPlayRamSlice: PlaySliceHeldAt(ram.table, assembly.destination, kPlayRamSliceColumn); return;
    case kPlayRam: PlayRamWavetableHeld(ram.ram, ram.playbackStretch, ButtonCode(kPlayRamColumn, 1)); return;
    default: return;
  }
}

PageEvent StepTheList(PageRun& run, const PageEvent& event) { return StepList(Source(run).list, event); }

}  // namespace

const Page kTableAssemblingPage = {.title = "TABLE ASSEMBLING",
                                   .number = "4.0.0",
                                   .buttons = kButtons,
                                   .draw = Draw,
                                   .act = Act,
                                   .shows = Shows,
                                   .held = StepTheList,
                                   .mouse = StepTheList,
                                   .listRepeat = true};
