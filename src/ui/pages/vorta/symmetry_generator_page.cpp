#include "ui/draw.h"
#include "ui/module_graphs.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "wavetable/symmetry_modulation.h"

namespace {

// Actions 0..7: parameter (action / 2) one step down (even) or up (odd).
enum Action { kReset = 8, kPlayOutput };

constexpr int kPlayOutputColumn = 8;
constexpr int kGeneratedStretch = 16;

constexpr PageButton kButtons[] = {
    {0, 0, "-WIDTH", 0},  {1, 0, "+WIDTH", 1},  {2, 0, "-DAMP", 2},   {3, 0, "+DAMP", 3},
    {4, 0, "-SPREAD", 4}, {5, 0, "+SPREAD", 5}, {6, 0, "-SHIFT", 6},  {7, 0, "+SHIFT", 7},
    {8, 0, "RESET", kReset}, {10, 0, "fAPPLY", kApplyAction}, {11, 0, "fCANCEL", kCancelAction},
    {kPlayOutputColumn, 1, "pOUT_WT", kPlayOutput},
};

constexpr int kGraphLeft = 50;
constexpr int kGraphWidth = 924;
constexpr int kGraphCentre = 400;
constexpr int kGraphHalfHeight = 150;

ToolPageState& Tool(const PageRun& run) { return EditOf(run).tool; }

void DrawOutput(PageRun& run) {
  ToolPageState& tool = Tool(run);
  const SymmetryParameters& p = tool.symmetry;
  DrawStatusValue(0, 1, "MODULATION WIDTH:", "%1.2f", p.Width(), 4);
  DrawStatusValue(1, 0, "DAMPING:", "%1.2f", p.Damping(), 4);
  DrawStatusValue(1, 1, "PARTIAL SPREAD:", "%d", static_cast<int32_t>(p.spread), 2);
  DrawStatusValue(2, 0, "PARTIAL SHIFT:", "%d", static_cast<int32_t>(p.shift), 3);
  tool.output = GenerateSymmetryTable(p);
  DrawSymmetryGraph(tool.output, kGraphLeft, kGraphCentre, kGraphWidth, kGraphHalfHeight);
}

void Draw(PageRun& run) {
  DrawText(kGraphLeft, kGraphCentre - kGraphHalfHeight - 36, "GENERATED WAVETABLE <SLICES 00-32>", 'L');
  ShowRamName(run);
  DrawOutput(run);
}

void Act(PageRun& run, int action, const PageEvent&) {
  ToolPageState& tool = Tool(run);
  switch (action) {
    case kApplyAction:
      ReplaceWithGeneratedTable(RamOf(run), tool.output);
      return;
    case kPlayOutput:
      PlayTableHeldAt(tool.output, kGeneratedStretch, kPlayOutputColumn);
      return;
    case kReset:
      tool.symmetry = DefaultSymmetryParameters();
      break;
    case kNoAction:
      return;
    default:
      run.message = StepSymmetryParameter(tool.symmetry, static_cast<SymmetryParameter>(action / 2),
                                          action % 2 == 0 ? -1 : 1);
      if (run.message != kMsgNone) return;
      break;
  }
  DrawOutput(run);
}

constexpr Page kSymmetryPage = {.title = "SYMMETRY MODULATION GENERATOR",
                                .number = "6.5.0",
                                .buttons = kButtons,
                                .draw = Draw,
                                .act = Act};

}  // namespace

int RunSymmetryGenerator(PageRun& run) {
  Tool(run).symmetry = DefaultSymmetryParameters();
  return RunOptionPage(run, kSymmetryPage);
}
