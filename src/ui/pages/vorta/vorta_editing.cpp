#include "ui/pages/vorta/vorta_editing.h"

#include <algorithm>
#include <vector>

#include "platform/clock.h"
#include "platform/window_link.h"
#include "ui/draw.h"
#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/input.h"
#include "ui/page_frame.h"
#include "ui/segment_graph.h"
#include "ui/wave_graph.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/slice_editor.h"
#include "wavetable/table_editing.h"
#include "wavetable/vorta_synthesis.h"

namespace {

constexpr int kDragWaitMillis = 10;

// --- The tool dialogs: the choice is the button's action.
constexpr PageButton kSliceToolButtons[] = {
    {0, 0, "FULL", static_cast<int>(SliceAction::Full)},      {1, 0, "ZERO", static_cast<int>(SliceAction::Zero)},
    {2, 0, "INVERT", static_cast<int>(SliceAction::Invert)},  {3, 0, "UNI_POL", static_cast<int>(SliceAction::UniPol)},
    {4, 0, "NORMAL", static_cast<int>(SliceAction::Normal)},  {5, 0, "OPTIMIZE", static_cast<int>(SliceAction::Optimize)},
    {11, 0, "fCANCEL", kCancelAction},
};
constexpr IndexRow kSliceToolIndex[] = {
    {"FULL", "ALL PARTIALS AT FULL SCALE"}, {"ZERO", "ALL PARTIALS SILENT"},
    {"INVERT", "INVERT ALL PARTIALS"},      {"UNI_POL", "ONE POLARITY FOR ALL PARTIALS"},
    {"NORMAL", "LOUDEST PARTIAL TO FULL SCALE"}, {"OPTIMIZE", "SLICE PEAK TO FULL SCALE"},
};

constexpr PageButton kRowToolButtons[] = {
    {0, 0, "FULL", static_cast<int>(RowAction::Full)},        {1, 0, "ZERO", static_cast<int>(RowAction::Zero)},
    {2, 0, "INVERT", static_cast<int>(RowAction::Invert)},    {3, 0, "UNI_POL", static_cast<int>(RowAction::UniPol)},
    {4, 0, "REVERSE", static_cast<int>(RowAction::Reverse)},  {5, 0, "MIRROR", static_cast<int>(RowAction::Mirror)},
    {6, 0, "NORMAL", static_cast<int>(RowAction::Normal)},    {7, 0, "STATIC", static_cast<int>(RowAction::Static)},
    {8, 0, "SE_LIN", static_cast<int>(RowAction::Linear)},    {9, 0, "POL_LOCK", static_cast<int>(RowAction::PolLock)},
    {11, 0, "fCANCEL", kCancelAction},
};
constexpr IndexRow kRowToolIndex[] = {
    {"FULL", "ALL SEGMENTS AT FULL SCALE"},  {"ZERO", "ALL SEGMENTS SILENT"},
    {"INVERT", "INVERT ALL SEGMENTS"},       {"UNI_POL", "ONE POLARITY FOR ALL SEGMENTS"},
    {"REVERSE", "REVERSE SEGMENT ORDER"},    {"MIRROR", "MIRROR FIRST HALF"},
    {"NORMAL", "LOUDEST SEGMENT TO FULL SCALE"}, {"STATIC", "CURRENT SEGMENT EVERYWHERE"},
    {"SE_LIN", "LINE FROM FIRST TO LAST SEGMENT"}, {"POL_LOCK", "CONTINUOUS POLARITY"},
};

constexpr PageButton kPolarityButtons[] = {
    {0, 0, "UNI_POL", static_cast<int>(PolarityAction::UniPol)},
    {1, 0, "POL_LOCK", static_cast<int>(PolarityAction::PolLock)},
    {2, 0, "RND_POL", static_cast<int>(PolarityAction::RndPol)},
    {3, 0, "INVERT", static_cast<int>(PolarityAction::Invert)},
    {11, 0, "fCANCEL", kCancelAction},
};
constexpr IndexRow kPolarityIndex[] = {
    {"UNI_POL", "ALL PARTIALS POSITIVE"},
    {"POL_LOCK", "CONTINUOUS POLARITY PER PARTIAL"},
    {"RND_POL", "RANDOM POLARITY"},
    {"INVERT", "INVERT ALL PARTIALS"},
};

bool ShowsSliceTool(const PageRun& run, const PageButton& button) {
  return button.action != static_cast<int>(SliceAction::Optimize) || EditOf(run).dialogOffersOptimize;
}
bool ShowsRowTool(const PageRun& run, const PageButton& button) {
  return button.action != static_cast<int>(RowAction::PolLock) || EditOf(run).dialogOnTableRow;
}

void DrawSliceTools(PageRun& run) {
  const size_t rows = EditOf(run).dialogOffersOptimize ? std::size(kSliceToolIndex) : std::size(kSliceToolIndex) - 1;
  DrawIndexBox("FUNCTION INDEX", std::span(kSliceToolIndex, rows));
}
void DrawRowTools(PageRun& run) {
  const size_t rows = EditOf(run).dialogOnTableRow ? std::size(kRowToolIndex) : std::size(kRowToolIndex) - 1;
  DrawIndexBox("FUNCTION INDEX", std::span(kRowToolIndex, rows));
}
void DrawPolarityTools(PageRun&) { DrawIndexBox("FUNCTION INDEX", kPolarityIndex); }

void Choose(PageRun& run, int action, const PageEvent&) {
  if (action == kNoAction) return;
  EditOf(run).dialogChoice = action;
  run.Finish(kMsgDone);
}

constexpr Page kSliceToolsPage = {.title = "SLICE TOOLS", .number = "3.0.1", .buttons = kSliceToolButtons,
                                  .draw = DrawSliceTools, .act = Choose, .shows = ShowsSliceTool};
constexpr Page kRowToolsPage = {.title = "ENVELOPE TOOLS", .number = "5.0.1", .buttons = kRowToolButtons,
                                .draw = DrawRowTools, .act = Choose, .shows = ShowsRowTool};
constexpr Page kPolarityPage = {.title = "TABLE POLARITY", .number = "6.0.1", .buttons = kPolarityButtons,
                                .draw = DrawPolarityTools, .act = Choose};

void StepScreen(PageRun& run, int16_t made, int16_t screen) {
  if (made != screen && run.selector && made >= 0 && made < static_cast<int16_t>(run.session->screens.size())) {
    *run.selector = static_cast<uint16_t>(made);
    run.Finish(kPageNavigated);
    return;
  }
  run.redrawAll = true;
}

}  // namespace

void ShowUndoEntries(const PageRun& run) { ShowUndoCount512(UndoUsedEntries(RamOf(run).undo)); }

void ShowRamName(const PageRun& run) { ShowNameReadout(0, 0, "RAM:", RamOf(run).ramName); }

bool CommitEdit(PageRun& run, int16_t screen) {
  VortaWorkspace& ram = RamOf(run);
  const bool changed = CommitTableChange(ram, screen, 0);
  if (changed) EditOf(run).redo.clear();
  ShowUndoEntries(run);
  return changed;
}

void UndoEdit(PageRun& run, int16_t screen) {
  VortaWorkspace& ram = RamOf(run);
  const PartialTable before = ram.table;
  int16_t made = screen;
  run.message = UndoTableChange(ram, made);
  if (run.message != kMsgDone) {
    ShowUndoEntries(run);
    return;
  }
  EditOf(run).redo.push_back({before, made, ram.table});
  StepScreen(run, made, screen);
}

void RedoEdit(PageRun& run, int16_t screen) {
  std::vector<RedoStep>& redo = EditOf(run).redo;
  if (!redo.empty() && redo.back().undone != RamOf(run).table) redo.clear();
  if (redo.empty()) {
    run.message = kMsgNoData;
    return;
  }
  const RedoStep step = redo.back();
  redo.pop_back();
  VortaWorkspace& ram = RamOf(run);
  ram.table = step.table;
  CommitTableChange(ram, step.screen, 0);
  run.message = kMsgDone;
  StepScreen(run, step.screen, screen);
}

ToolChoice RunToolDialog(PageRun& run, ToolDialog dialog, const char* number, bool offerOptimize, bool tableRow) {
  VortaEditMemory& edit = EditOf(run);
  edit.dialogChoice = -1;
  edit.dialogOffersOptimize = offerOptimize;
  edit.dialogOnTableRow = tableRow;
  Page page = dialog == ToolDialog::kSlice ? kSliceToolsPage : dialog == ToolDialog::kRow ? kRowToolsPage : kPolarityPage;
  page.number = number;
  PageRun inner;
  inner.session = run.session;
  const int result = RunPage(page, inner);
  run.redrawAll = true;
  return {result == kMsgDone && edit.dialogChoice >= 0, edit.dialogChoice};
}

void PlayTableHeldAt(const PartialTable& table, int32_t stretch, int column) {
  std::vector<float> samples(RenderedLength(kUnitySliceLength, stretch));
  const size_t length = RenderTable(table, samples, stretch, 1.0);
  const std::span<const float> played(samples.data(), length);
  PlaySplitHeld(played, played, static_cast<int64_t>(length), false, ButtonCode(column, 1), kSourceRamData);
}

void PlaySliceHeldAt(const PartialTable& table, int slice, int column) {
  const SlicePreview preview = RenderSlicePreview(table, slice);
  PlayCycleHeldAt(preview.played, column);
}

void PlayCycleHeldAt(std::span<const float> cycle, int column) {
  PlaySplitHeld(cycle, cycle, static_cast<int64_t>(cycle.size()), true, ButtonCode(column, 1), kSourceRamData);
}

void NextPointer(int& x, int& y, bool& released) {
  released = LeftReleased();
  if (!released) {
    FlushMouse();
    WaitForInput(kDragWaitMillis);
  }
  x = MouseLogicalX();
  y = MouseLogicalY();
  if (released) FlushMouse();
}

namespace {
constexpr int kWaveRowWidth = 26;
constexpr int kCaptionGap = 22;
constexpr int kArrowStrip = 14;
}  // namespace

void DrawTableWaveRow(const PartialTable& table, int centre, int halfHeight, std::string_view caption) {
  std::vector<float> cycles(static_cast<size_t>(kSliceCount) * kUnitySliceLength);
  for (int s = 0; s < kSliceCount; ++s) {
    RenderSlice(table, s, std::span(cycles).subspan(static_cast<size_t>(s) * kUnitySliceLength, kUnitySliceLength), 1.0);
  }
  DrawWaveRow(cycles, kWaveRowLeft, centre, kWaveRowStep, kWaveRowWidth, halfHeight, kUnitySliceLength,
              kUnitySliceLength);
  if (!caption.empty()) DrawText(kWaveRowLeft, centre - halfHeight - kCaptionGap - kArrowStrip, caption, 'L');
}

void MarkWaveRowSlice(int slice, int centre, int halfHeight) {
  const int bottom = centre - halfHeight - 2;
  const int top = bottom - kArrowStrip;
  HoldRepaint();
  FillBox(kWaveRowLeft, top, kWaveRowLeft + kSliceCount * kWaveRowStep, bottom + 1);
  DrawDownArrow(kWaveRowLeft + kWaveRowStep * slice + kWaveRowWidth / 2, bottom);
  FlushRegion(kWaveRowLeft, top, kWaveRowLeft + kSliceCount * kWaveRowStep, bottom + 1);
}

void ShowLimitRange(int column, int row, int limitMode) {
  static constexpr const char* kRanges[] = {"-127..127", "0..127", "-127..0"};
  DrawStatusField(column, row, "LIMIT RANGE:", kRanges[std::clamp(limitMode, 0, 2)], 9);
}

int RunOptionPage(PageRun& run, const Page& page) {
  PageRun inner;
  inner.session = run.session;
  return RunPage(page, inner);
}

namespace {

// One input step, drawn at once; true when the row changed.
bool SegmentStep(SegmentEditor& editor, const SegmentInput& input) {
  PageEvent pending;
  bool changed = false;
  EditSegments(editor, std::span(&input, 1), pending, changed);
  return changed;
}

}  // namespace

bool EditSegmentsByKey(SegmentEditor& editor, int key) {
  using Kind = SegmentInput::Kind;
  Kind kind;
  switch (key) {
    case kKeyLeft: kind = Kind::kLeft; break;
    case kKeyRight: kind = Kind::kRight; break;
    case kKeyUp: kind = Kind::kUp; break;
    case kKeyDown: kind = Kind::kDown; break;
    default: return false;
  }
  const bool moves = kind == Kind::kLeft || kind == Kind::kRight;
  return RepeatWhileHeld([&] { return SegmentStep(editor, {kind}); }, moves);
}

bool EditSegmentsByPointer(SegmentEditor& editor, int x, int y) {
  bool changed = false;
  bool first = true;
  FollowPointer(x, y, [&](int px, int py) {
    const SegmentInput input{first ? SegmentInput::Kind::kPress : SegmentInput::Kind::kDrag, px, py};
    first = false;
    changed = SegmentStep(editor, input) || changed;
  });
  return changed;
}
