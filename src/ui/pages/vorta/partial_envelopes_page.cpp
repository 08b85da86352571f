#include <algorithm>

#include "ui/draw.h"
#include "ui/graph_markers.h"
#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/input.h"
#include "ui/level_map.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "ui/segment_graph.h"
#include "wavetable/limit_mode.h"
#include "wavetable/partial_envelopes.h"
#include "wavetable/table_editing.h"

namespace {

// Upper-row actions are the engine's envelope buttons; the rest follow.
enum Action { kTools = 100, kRedo, kPlayEnvelope, kPlayTable, kUndo };

constexpr int kRedoColumn = kEnvelopeScreen;  // this screen's own place in the navigation row
constexpr int kPlayEnvelopeColumn = 9;
constexpr int kPlayTableColumn = 10;

constexpr int Button(EnvelopeButton button) { return static_cast<int>(button); }

constexpr PageButton kButtons[] = {
    {0, 0, "<<1_ENV", Button(EnvelopeButton::Back1)},       {1, 0, "<<7_ENV", Button(EnvelopeButton::Back7)},
    {2, 0, "ENV_7>>", Button(EnvelopeButton::Forward7)},    {3, 0, "ENV_1>>", Button(EnvelopeButton::Forward1)},
    {4, 0, "RAND", Button(EnvelopeButton::Random)},         {5, 0, "RND_POL", Button(EnvelopeButton::RandomPolarity)},
    {6, 0, "SMOOTH", Button(EnvelopeButton::Smooth)},       {7, 0, "fTOOLS<>", kTools},
    {8, 0, "<<ROTATE", Button(EnvelopeButton::RotateLeft)}, {9, 0, "ROTATE>>", Button(EnvelopeButton::RotateRight)},
    {10, 0, "VIEW", Button(EnvelopeButton::View)},          {11, 0, "LIMIT", Button(EnvelopeButton::Limit)},
    {kRedoColumn, 1, "s REDO ", kRedo},                     {kPlayEnvelopeColumn, 1, "pENV", kPlayEnvelope},
    {kPlayTableColumn, 1, "pRAM_WT", kPlayTable},           {11, 1, "s UNDO ", kUndo},
};

// The "ENVELOPE SELECTION" level map of all partials above the graph: one
// column per slice in line with the graph's segments, partial 1 at the
// bottom; the current partial marked on both sides.
constexpr int kGraphCentre = kHighGraphBracket.centre;
constexpr int kMapCellHeight = 3;
constexpr int kMapColumnWidth = kSegmentStep;
constexpr int kMapLeft = kSegmentGraphLeft - kSegmentStep / 2;
constexpr int kMapRight = kMapLeft + kSliceCount * kMapColumnWidth;
constexpr int kMapBase = 374;
constexpr int kMapTop = kMapBase - kPartialCount * kMapCellHeight;
constexpr int kMarkerGap = 4;
constexpr int kArrowReach = 14;

PartialEnvelopes& State(const PageRun& run) { return EditOf(run).envelopes; }

SegmentEditor Editor(PageRun& run) {
  SegmentEditor editor;
  editor.rows = RamOf(run).table.codes;
  editor.row = State(run).current;
  editor.centre = kGraphCentre;
  const CodeRange range = LimitRange(State(run).limitMode);
  editor.maximum = range.high;
  editor.minimum = range.low;
  editor.current = EditOf(run).envelopeSegment;
  editor.firstContext = State(run).current;
  editor.contextCount = State(run).viewAll ? kPartialCount : 0;
  return editor;
}

void ShowReadouts(const PageRun& run) {
  const PartialEnvelopes& state = State(run);
  DrawStatusValue(1, 0, "CURRENT ENVELOPE:", "%.2d", static_cast<int32_t>(state.current + 1), 2);
  ShowLimitRange(1, 1, state.limitMode);
  DrawStatusField(3, 0, "VIEWING ENVELOPES:", state.viewAll ? "ALL" : "CURRENT", 7);
  const int segment = EditOf(run).envelopeSegment;
  ShowCurrentSegment(segment);
  ShowSegmentValue(SegmentScale::kLogarithmic, RamOf(run).table.at(state.current, segment));
}

void DrawMap(const PageRun& run) {
  const int row = State(run).current;
  const int y = kMapBase - row * kMapCellHeight - kMapCellHeight / 2 - 1;
  HoldRepaint();
  DrawLevelMap(RamOf(run).table, LevelMapLayout::kColumns, kMapLeft, kMapBase, kMapColumnWidth, kMapCellHeight);
  FillBox(kMapLeft - kArrowReach - kMarkerGap, kMapTop - kArrowReach, kMapLeft, kMapBase + kArrowReach);
  FillBox(kMapRight, kMapTop - kArrowReach, kMapRight + kArrowReach + kMarkerGap, kMapBase + kArrowReach);
  DrawRightArrow(kMapLeft - kMarkerGap - kArrowReach + 1, y);
  DrawLeftArrow(kMapRight + kMarkerGap + kArrowReach - 1, y);
  FlushRegion(kMapLeft - kArrowReach - kMarkerGap, kMapTop - kArrowReach, kMapRight + kArrowReach + kMarkerGap,
              kMapBase + kArrowReach);
}

void DrawEnvelope(PageRun& run) {
  const SegmentEditor editor = Editor(run);
  DrawWholeSegmentGraph(editor.rows, editor.row, kGraphCentre, editor.firstContext, editor.contextCount);
  DrawSegmentMarkers(editor.current, kGraphCentre);
  DrawLimitBracket(State(run).limitMode, kHighGraphBracket);
  DrawMap(run);
  ShowReadouts(run);
}

void Draw(PageRun& run) {
  DrawText(kMapLeft, kMapTop - 2 * kArrowReach, "ENVELOPE SELECTION", 'L');
  DrawText(kMapRight, kMapTop - 2 * kArrowReach, "PARTIALS 01-64 ACROSS SLICES 00-32", 'R');
  ShowRamName(run);
  ShowUndoEntries(run);
  DrawEnvelope(run);
}

// After a change of the table: undo entry, the partial rendered alone for
// "pENV", the graph and the map again.
void Changed(PageRun& run) {
  CommitEdit(run, kEnvelopeScreen);
  RenderEnvelopePreview(State(run), RamOf(run).table, RamOf(run).playbackStretch);
  DrawEnvelope(run);
}

void Finish(PageRun& run, const SegmentEditor& editor, bool changed) {
  EditOf(run).envelopeSegment = editor.current;
  if (changed) Changed(run);
  else ShowReadouts(run);
}

PageEvent HeldKey(PageRun& run, const PageEvent& event) {
  SegmentEditor editor = Editor(run);
  const bool changed = EditSegmentsByKey(editor, event.key);
  Finish(run, editor, changed);
  return {};
}

PageEvent Pointer(PageRun& run, const PageEvent& event) {
  SegmentEditor editor = Editor(run);
  const bool changed = EditSegmentsByPointer(editor, event.x, event.y);
  if (editor.grip == SegmentEditor::Grip::kNone) return {};
  Finish(run, editor, changed);
  return {};
}

void ApplyRowTool(PageRun& run) {
  const ToolChoice choice = RunToolDialog(run, ToolDialog::kRow, "5.0.1", false, true);
  if (!choice.chosen) return;
  ApplyTableRowAction(RamOf(run).table, State(run).current, static_cast<RowAction>(choice.action),
                      EditOf(run).envelopeSegment, EditOf(run).fillPositive);
  CommitEdit(run, kEnvelopeScreen);
  RenderEnvelopePreview(State(run), RamOf(run).table, RamOf(run).playbackStretch);
  run.message = kMsgDone;
}

void Act(PageRun& run, int action, const PageEvent&) {
  PartialEnvelopes& state = State(run);
  VortaWorkspace& ram = RamOf(run);
  switch (action) {
    case kTools:
      ApplyRowTool(run);
      return;
    case kRedo:
      RedoEdit(run, kEnvelopeScreen);
      return;
    case kUndo:
      UndoEdit(run, kEnvelopeScreen);
      return;
    case kPlayEnvelope: {
      const size_t length = RenderEnvelopePreview(state, ram.table, ram.playbackStretch);
      const std::span<const float> played(state.preview.data(), length);
      PlaySplitHeld(played, played, static_cast<int64_t>(length), false, ButtonCode(kPlayEnvelopeColumn, 1),
                    kSourceSingleEnvelope);
      return;
    }
    case kPlayTable:
      PlayRamWavetableHeld(ram.ram, ram.playbackStretch, ButtonCode(kPlayTableColumn, 1));
      return;
    case kNoAction:
      return;
    default:
      break;
  }
  const auto button = static_cast<EnvelopeButton>(action);
  ApplyEnvelopeButton(state, ram.table, button);
  switch (button) {
    case EnvelopeButton::Random:
    case EnvelopeButton::RandomPolarity:
    case EnvelopeButton::Smooth:
    case EnvelopeButton::RotateLeft:
    case EnvelopeButton::RotateRight:
      Changed(run);
      return;
    default:
      RenderEnvelopePreview(state, ram.table, ram.playbackStretch);
      DrawEnvelope(run);
      return;
  }
}

}  // namespace

const Page kPartialEnvelopesPage = {.title = "PARTIAL ENVELOPES",
                                    .number = "5.0.0",
                                    .buttons = kButtons,
                                    .draw = Draw,
                                    .act = Act,
                                    .held = HeldKey,
                                    .mouse = Pointer};
