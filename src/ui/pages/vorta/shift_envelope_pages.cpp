#include "ui/draw.h"
#include "ui/graph_markers.h"
#include "ui/info_panels.h"
#include "ui/module_graphs.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "ui/segment_graph.h"
#include "wavetable/filter_shape.h"
#include "wavetable/formant_shift.h"
#include "wavetable/limit_mode.h"
#include "wavetable/shift_envelope.h"
#include "wavetable/table_editing.h"

// The two shift envelope pages: the filter shape's "FILTER SHIFT ENVELOPE"
// (the envelope goes back to the filter page on "fAPPLY") and the "FORMANT
// SHIFTER" (its output replaces the RAM table on "fAPPLY").

namespace {

enum Action {
  kRandom, kRandomPolarity, kSmooth, kTools, kLimit, kIntensity, kAlgorithm, kPolarityLock, kPlayInput, kPlayOutput,
};

constexpr int kPlayInputColumn = 7;
constexpr int kPlayOutputColumn = 8;

constexpr PageButton kFilterButtons[] = {
    {0, 0, "RAND", kRandom},      {1, 0, "RND_POL", kRandomPolarity}, {2, 0, "SMOOTH", kSmooth},
    {3, 0, "fTOOLS<>", kTools},   {4, 0, "LIMIT", kLimit},            {5, 0, "INTENSITY", kIntensity},
    {10, 0, "fAPPLY", kApplyAction}, {11, 0, "fCANCEL", kCancelAction},
    {kPlayInputColumn, 1, "pIN_WT", kPlayInput}, {kPlayOutputColumn, 1, "pOUT_WT", kPlayOutput},
};
constexpr PageButton kFormantButtons[] = {
    {0, 0, "RAND", kRandom},      {1, 0, "RND_POL", kRandomPolarity}, {2, 0, "SMOOTH", kSmooth},
    {3, 0, "fTOOLS<>", kTools},   {4, 0, "LIMIT", kLimit},            {5, 0, "INTENSITY", kIntensity},
    {6, 0, "ALGO", kAlgorithm},   {7, 0, "POL_LOCK", kPolarityLock},
    {10, 0, "fAPPLY", kApplyAction}, {11, 0, "fCANCEL", kCancelAction},
    {kPlayInputColumn, 1, "pIN_WT", kPlayInput}, {kPlayOutputColumn, 1, "pOUT_WT", kPlayOutput},
};

constexpr int kOutputCentre = 200;
constexpr int kOutputHalfHeight = 45;
constexpr int kGraphCentre = kHighGraphBracket.centre;

ToolPageState& Tool(const PageRun& run) { return EditOf(run).tool; }

SegmentEditor Editor(PageRun& run) {
  ToolPageState& tool = Tool(run);
  SegmentEditor editor;
  editor.rows = tool.envelope.values;
  editor.centre = kGraphCentre;
  const CodeRange range = LimitRange(tool.envelope.limitMode);
  editor.maximum = range.high;
  editor.minimum = range.low;
  editor.current = tool.slice;
  editor.scale = SegmentScale::kLinearSigned;
  editor.guides = kPeakScaleMarks;
  return editor;
}

void ShowSettings(const PageRun& run) {
  const ToolPageState& tool = Tool(run);
  ShowLimitRange(3, 0, tool.envelope.limitMode);
  if (tool.formantPage) {
    DrawStatusValue(3, 1, "ENV INTENSITY <OCTAVES>:", "%d", static_cast<int32_t>(tool.formant.octaves), 1);
    DrawStatusField(1, 0, "ALGORITHM:",
                    tool.formant.algorithm == FormantAlgorithm::Continuous ? "CONTINUOUS" : "DISCONTINUOUS", 13);
    DrawStatusField(1, 1, "POLARITY LOCK:", tool.formant.polarityLock ? "ON" : "OFF", 3);
  } else {
    DrawStatusValue(3, 1, "ENV INTENSITY <BANDS>:", "%d", static_cast<int32_t>(tool.intensity), 2);
  }
  DrawLimitBracket(tool.envelope.limitMode, kHighGraphBracket);
}

void DrawOutput(PageRun& run) {
  ToolPageState& tool = Tool(run);
  const PartialTable& ram = RamOf(run).table;
  if (tool.formantPage) {
    tool.output = ShiftFormants(ram, tool.envelope.values, tool.formant.octaves, tool.formant.algorithm,
                                tool.formant.polarityLock);
  } else {
    const FilterShapeEditor& filter = tool.filter;
    tool.output = ApplyFilterShape(ram, filter.shape, tool.envelope.values, tool.intensity, filter.blurFactor,
                                   filter.polarityLock);
  }
  DrawTableWaveRow(tool.output, kOutputCentre, kOutputHalfHeight, {});
}

void DrawEnvelope(PageRun& run) {
  const ToolPageState& tool = Tool(run);
  DrawWholeSegmentGraph(tool.envelope.values, 0, kGraphCentre, 0, 0, kPeakScaleMarks);
  DrawSegmentMarkers(tool.slice, kGraphCentre);
  ShowCurrentSegment(tool.slice);
  ShowSegmentValue(SegmentScale::kLinearSigned, tool.envelope.values[static_cast<size_t>(tool.slice)]);
  DrawOutput(run);
}

void Draw(PageRun& run) {
  const bool formant = Tool(run).formantPage;
  DrawText(kWaveRowLeft, kOutputCentre - kOutputHalfHeight - 36, "OUT <OPTIMIZED>", 'L');
  DrawText(SegmentX(0), kGraphCentre - kSegmentGraphHalf - 36,
           formant ? "FORMANT SHIFT ENVELOPE" : "FILTER SHIFT ENVELOPE", 'L');
  DrawScaleLabels(kGraphCentre, kPeakScaleMarks);
  ShowRamName(run);
  ShowSettings(run);
  DrawEnvelope(run);
}

void Edited(PageRun& run, const SegmentEditor& editor, bool changed) {
  Tool(run).slice = static_cast<int16_t>(editor.current);
  if (changed) DrawOutput(run);
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
    case kApplyAction:
      if (tool.formantPage) RamOf(run).table = tool.output;
      return;
    case kPlayInput: PlayTableHeldAt(RamOf(run).table, stretch, kPlayInputColumn); return;
    case kPlayOutput: PlayTableHeldAt(tool.output, stretch, kPlayOutputColumn); return;
    case kRandom: RandomizeEnvelope(tool.envelope); break;
    case kRandomPolarity: RandomEnvelopePolarity(tool.envelope); break;
    case kSmooth: SmoothEnvelope(tool.envelope); break;
    case kLimit: CycleEnvelopeLimit(tool.envelope); break;
    case kIntensity:
      if (tool.formantPage) tool.formant.octaves = NextFormantOctaves(tool.formant.octaves);
      else tool.intensity = NextFilterIntensity(tool.intensity);
      break;
    case kAlgorithm: tool.formant.algorithm = OtherFormantAlgorithm(tool.formant.algorithm); break;
    case kPolarityLock: tool.formant.polarityLock = !tool.formant.polarityLock; break;
    case kTools: {
      const ToolChoice choice = RunToolDialog(run, ToolDialog::kRow, tool.formantPage ? "6.4.1" : "6.3.4", false, false);
      if (choice.chosen) {
        ApplyEnvelopeRowAction(tool.envelope.values, static_cast<RowAction>(choice.action), tool.slice,
                               EditOf(run).fillPositive);
      }
      return;
    }
    default: return;
  }
  ShowSettings(run);
  DrawEnvelope(run);
}

constexpr Page kShiftEnvelopePage = {.title = "FILTER SHIFT ENVELOPE",
                                     .number = "6.3.2",
                                     .buttons = kFilterButtons,
                                     .draw = Draw,
                                     .act = Act,
                                     .held = HeldKey,
                                     .mouse = Pointer};
constexpr Page kFormantShifterPage = {.title = "FORMANT SHIFTER",
                                      .number = "6.4.0",
                                      .buttons = kFormantButtons,
                                      .draw = Draw,
                                      .act = Act,
                                      .held = HeldKey,
                                      .mouse = Pointer};

}  // namespace

int RunShiftEnvelopePage(PageRun& run) {
  Tool(run).formantPage = false;
  Tool(run).slice = 0;
  return RunOptionPage(run, kShiftEnvelopePage);
}

int RunFormantShifter(PageRun& run) {
  ToolPageState& tool = Tool(run);
  tool.formant = StartFormantShifter(RamOf(run).table);
  tool.envelope = tool.formant.shift;
  tool.formantPage = true;
  tool.slice = 0;
  return RunOptionPage(run, kFormantShifterPage);
}
