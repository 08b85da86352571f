#include "ui/button_bar.h"
#include "ui/draw.h"
#include "ui/graph_markers.h"
#include "ui/info_panels.h"
#include "ui/level_map.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "ui/wave_graph.h"
#include "wavetable/filter_shape.h"

namespace {

enum Action {
  kPageBack, kPageForward, kFind, kType, kSourceBack, kSourceForward, kPlayFile, kPlayFileOutput, kPlayBands,
};

constexpr int kPlayFileColumn = 7;
constexpr int kPlayFileOutputColumn = 8;
constexpr int kPlayBandsColumn = 9;

constexpr PageButton kButtons[] = {
    {0, 0, "<<PAGE", kPageBack},  {1, 0, "PAGE>>", kPageForward}, {2, 0, "fFIND<>", kFind},
    {3, 0, "fF_TYPE<>", kType},   {7, 0, "<<SRC", kSourceBack},   {8, 0, "SRC>>", kSourceForward},
    {10, 0, "fAPPLY", kApplyAction}, {11, 0, "fCANCEL", kCancelAction},
    {kPlayFileColumn, 1, "pFILE_IN", kPlayFile},          {kPlayFileColumn, 1, "pFILE_WT", kPlayFile},
    {kPlayFileOutputColumn, 1, "pFILE_OUT", kPlayFileOutput}, {kPlayFileOutputColumn, 1, "pFILE_SLC", kPlayFileOutput},
    {kPlayBandsColumn, 1, "pBANDS", kPlayBands},
};

// Right of the list: the file (its table's levels with the source slice
// marked, or the single cycle's wave) above, the source slice's 64 codes
// as the bars of the coming filter curve below.
constexpr int kGraphLeft = 462;
constexpr int kColumnWidth = 16;
constexpr int kCellHeight = 2;
constexpr int kGraphRight = kGraphLeft + kSliceCount * kColumnWidth;
constexpr int kSourceBase = 370;
constexpr int kMapHeight = kPartialCount * kCellHeight;
constexpr int kArrowStrip = 14;
constexpr int kCaptionY = 430;

const Page& ImportPage();

LibrarySource& Source(const PageRun& run) { return EditOf(run).filterList; }
int16_t& Slice(const PageRun& run) { return EditOf(run).tool.importSlice; }
bool SingleCycle(const PageRun& run) { return Source(run).present && Source(run).singleCycle; }

bool Shows(const PageRun& run, const PageButton& button) {
  const std::string_view label = button.label;
  if (button.action == kSourceBack || button.action == kSourceForward) return !SingleCycle(run);
  if (label == "pFILE_IN" || label == "pFILE_OUT") return SingleCycle(run);
  if (label == "pFILE_WT" || label == "pFILE_SLC") return !SingleCycle(run);
  return true;
}

void DrawSource(const PageRun& run) {
  const LibrarySource& source = Source(run);
  const int top = kSourceBase - kMapHeight - kArrowStrip - 2;
  HoldRepaint();
  FillBox(kGraphLeft, top, kGraphRight + 1, kSourceBase + 1);
  FlushRegion(kGraphLeft, top, kGraphRight + 1, kSourceBase + 1);
  DrawStatusValue(3, 0, "SOURCE SLICE:", "%.2d", static_cast<int32_t>(Slice(run)), 2);
  if (!source.present) {
    DrawText((kGraphLeft + kGraphRight) / 2, kSourceBase - kMapHeight / 2 - 7, "NO FILE SELECTED", 'M');
    DrawSliceBars(PartialTable{}, 0, true);
    return;
  }
  if (source.singleCycle) {
    DrawWaveGraph(source.cycle, kGraphLeft, kSourceBase - kMapHeight / 2, kGraphRight - kGraphLeft,
                  kMapHeight / 2 - 2);
  } else {
    DrawLevelMap(source.table, LevelMapLayout::kColumns, kGraphLeft, kSourceBase, kColumnWidth, kCellHeight);
    const int bottom = kSourceBase - kMapHeight - 2;
    DrawDownArrow(kGraphLeft + kColumnWidth * Slice(run) + kColumnWidth / 2 - 1, bottom);
  }
  DrawSliceBars(source.table, Slice(run), true);
}

void ReadSource(PageRun& run) {
  LibrarySource& source = Source(run);
  const MessageCode read = ReadSelectedFile(source);
  if (source.present) PrepareFilterImport(source.table);
  Slice(run) = 0;
  if (read != kMsgNone) run.message = read;
  DrawSource(run);
  // The source buttons and the file's play buttons follow the file's kind.
  for (int column : {7, 8}) SetButton(column, 0, "");
  SetPageButtons(ImportPage(), run);
}

void Draw(PageRun& run) {
  LibrarySource& source = Source(run);
  DrawBrowserPage(source.list, source.rows);
  MarkBrowserRow(source.list);
  DrawText(kGraphLeft, kSourceBase - kMapHeight - 40, "SOURCE FILE", 'L');
  DrawText(470, kCaptionY, "FILTER SHAPE <SOURCE SLICE>", 'L');
  if (EditOf(run).readPending) {
    EditOf(run).readPending = false;
    ReadSource(run);
  } else {
    DrawSource(run);
  }
}

void Act(PageRun& run, int action, const PageEvent& event) {
  LibrarySource& source = Source(run);
  FilterShapeEditor& filter = EditOf(run).tool.filter;
  if (event.kind == EventKind::SelectionChanged) {
    MarkBrowserRow(source.list);
    ReadSource(run);
    return;
  }
  switch (action) {
    case kApplyAction:
      if (!source.present) {
        run.message = kMsgNoFileSelected;
        return;
      }
      TakeFilterCurve(filter, source.table, Slice(run));
      return;
    case kPageBack:
    case kPageForward:
    case kFind:
    case kType:
      if (ActOnList(run, source, static_cast<ListButton>(action - kPageBack))) {
        EditOf(run).readPending = source.list.selected >= 0 && action == kFind;
        run.redrawAll = true;
      }
      return;
    case kSourceBack:
    case kSourceForward:
      if (!source.present) {
        run.message = kMsgNoFileSelected;
        return;
      }
      Slice(run) = static_cast<int16_t>((Slice(run) + (action == kSourceBack ? kLastSlice : 1)) % kSliceCount);
      DrawSource(run);
      return;
    case kPlayFile:
      if (!source.present) run.message = kMsgNoFileSelected;
      else if (source.singleCycle) PlayCycleHeldAt(source.cycle, kPlayFileColumn);
      else PlayTableHeldAt(source.table, source.stretch, kPlayFileColumn);
      return;
    case kPlayFileOutput:
      if (!source.present) run.message = kMsgNoFileSelected;
      else PlaySliceHeldAt(source.table, Slice(run), kPlayFileOutputColumn);
      return;
    case kPlayBands: {
      // The RAM table as this slice would filter it.
      if (!source.present) {
        run.message = kMsgNoFileSelected;
        return;
      }
      FilterShapeEditor trial = filter;
      TakeFilterCurve(trial, source.table, Slice(run));
      PlayTableHeldAt(ApplyFilterShape(RamOf(run).table, trial.shape, trial.shift.values, trial.intensity,
                                       trial.blurFactor, trial.polarityLock),
                      RamOf(run).playbackStretch, kPlayBandsColumn);
      return;
    }
    default:
      return;
  }
}

PageEvent StepTheList(PageRun& run, const PageEvent& event) { return StepList(Source(run).list, event); }

constexpr Page kFilterImportPage = {.title = "FILTER SHAPE IMPORT",
                                    .number = "6.3.1",
                                    .buttons = kButtons,
                                    .draw = Draw,
                                    .act = Act,
                                    .shows = Shows,
                                    .held = StepTheList,
                                    .mouse = StepTheList,
                                    .listRepeat = true};

const Page& ImportPage() { return kFilterImportPage; }

}  // namespace

int RunFilterShapeImport(PageRun& run) {
  Source(run).present = false;
  // The list opens where it was left; a selection there is read again.
  EditOf(run).readPending = Source(run).list.selected >= 0;
  return RunOptionPage(run, kFilterImportPage);
}
