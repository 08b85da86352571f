#include "ui/draw.h"
#include "ui/info_panels.h"
#include "ui/module_graphs.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "ui/segment_graph.h"
#include "wavetable/amplitude_profile.h"

namespace {

enum Action { kSmooth, kZero, kCeil, kNormal, kRestore, kPlayInput, kPlayOutput, kPlayOutputSlice };

constexpr int kPlayInputColumn = 7;
constexpr int kPlayOutputColumn = 8;
constexpr int kPlaySliceColumn = 9;

constexpr PageButton kButtons[] = {
    {0, 0, "SMOOTH", kSmooth},   {1, 0, "ZERO", kZero},         {2, 0, "CEIL", kCeil},
    {3, 0, "NORMAL", kNormal},   {4, 0, "RESTORE", kRestore},   {10, 0, "fAPPLY", kApplyAction},
    {11, 0, "fCANCEL", kCancelAction}, {kPlayInputColumn, 1, "pIN_WT", kPlayInput},
    {kPlayOutputColumn, 1, "pOUT_WT", kPlayOutput}, {kPlaySliceColumn, 1, "pOUT_SLC", kPlayOutputSlice},
};

constexpr int kGraphCentre = 290;
constexpr int kOutputCentre = 580;
constexpr int kOutputHalfHeight = 50;
constexpr ScaleMark kLevelMarks[] = {{127, "100%"}, {0, "50%"}, {-127, "0%"}};

ToolPageState& Tool(const PageRun& run) { return EditOf(run).tool; }

SegmentEditor Editor(PageRun& run) {
  SegmentEditor editor;
  editor.rows = Tool(run).profile.profile;
  editor.centre = kGraphCentre;
  editor.current = Tool(run).slice;
  editor.scale = SegmentScale::kLinearUnsigned;
  editor.guides = kLevelMarks;
  return editor;
}

void DrawOutput(PageRun& run) {
  ToolPageState& tool = Tool(run);
  tool.output = ScaledProfileOutput(tool.profile);
  DrawTableWaveRow(tool.output, kOutputCentre, kOutputHalfHeight, {});
  MarkWaveRowSlice(tool.slice, kOutputCentre, kOutputHalfHeight);
}

void DrawProfile(PageRun& run) {
  const ToolPageState& tool = Tool(run);
  DrawWholeSegmentGraph(tool.profile.profile, 0, kGraphCentre, 0, 0, kLevelMarks);
  DrawSegmentMarkers(tool.slice, kGraphCentre);
  ShowCurrentSegment(tool.slice);
  ShowSegmentValue(SegmentScale::kLinearUnsigned, tool.profile.profile[static_cast<size_t>(tool.slice)]);
  DrawOutput(run);
}

void Draw(PageRun& run) {
  DrawText(SegmentX(0), kGraphCentre - kSegmentGraphHalf - 36, "AMPLITUDE ENVELOPE", 'L');
  DrawScaleLabels(kGraphCentre, kLevelMarks);
  DrawText(kWaveRowLeft, kOutputCentre - kOutputHalfHeight - 36, "SCALED WAVETABLE OUTPUT", 'L');
  ShowRamName(run);
  DrawProfile(run);
}

void Edited(PageRun& run, const SegmentEditor& editor, bool changed) {
  Tool(run).slice = static_cast<int16_t>(editor.current);
  if (changed) DrawOutput(run);
  else MarkWaveRowSlice(Tool(run).slice, kOutputCentre, kOutputHalfHeight);
}

PageEvent HeldKey(PageRun& run, const PageEvent& event) {
  SegmentEditor editor = Editor(run);
  Edited(run, editor, EditSegmentsByKey(editor, event.key));
  return {};
}

PageEvent Pointer(PageRun& run, const PageEvent& event) {
  SegmentEditor editor = Editor(run);
  Edited(run, editor, EditSegmentsByPointer(editor, event.x, event.y));
  return {};
}

void Act(PageRun& run, int action, const PageEvent&) {
  ToolPageState& tool = Tool(run);
  const int32_t stretch = RamOf(run).playbackStretch;
  switch (action) {
    case kApplyAction: RamOf(run).table = tool.output; return;
    case kPlayInput: PlayTableHeldAt(tool.profile.input, stretch, kPlayInputColumn); return;
    case kPlayOutput: PlayTableHeldAt(tool.output, stretch, kPlayOutputColumn); return;
    case kPlayOutputSlice: PlaySliceHeldAt(tool.output, tool.slice, kPlaySliceColumn); return;
    case kNoAction: return;
    default:
      run.message = ApplyProfileButton(tool.profile, static_cast<ProfileButton>(action));
      DrawProfile(run);
      return;
  }
}

constexpr Page kProfileScalingPage = {.title = "AMPLITUDE PROFILE SCALING",
                                      .number = "6.1.0",
                                      .buttons = kButtons,
                                      .draw = Draw,
                                      .act = Act,
                                      .held = HeldKey,
                                      .mouse = Pointer};

}  // namespace

int RunProfileScaling(PageRun& run) {
  ToolPageState& tool = Tool(run);
  tool.profile = StartProfileScaling(RamOf(run).table);
  tool.slice = 0;
  return RunOptionPage(run, kProfileScalingPage);
}
