#include <algorithm>

#include "ui/draw.h"
#include "ui/graph_markers.h"
#include "ui/info_panels.h"
#include "ui/level_map.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "wavetable/filter_shape.h"
#include "wavetable/limit_mode.h"
#include "wavetable/table_editing.h"

namespace {

enum Action { kRandom, kRandomPolarity, kBlur, kPolarityLock, kTools, kLimit, kImport, kEnvelope, kPlayInput, kPlayOutput };

constexpr int kPlayInputColumn = 7;
constexpr int kPlayOutputColumn = 8;

constexpr PageButton kButtons[] = {
    {0, 0, "RAND", kRandom},         {1, 0, "RND_POL", kRandomPolarity}, {2, 0, "F_BLUR", kBlur},
    {3, 0, "POL_LOCK", kPolarityLock}, {4, 0, "fTOOLS<>", kTools},       {5, 0, "LIMIT", kLimit},
    {6, 0, "fIMPORT<>", kImport},    {7, 0, "fENV<>", kEnvelope},     {10, 0, "fAPPLY", kApplyAction},    {11, 0, "fCANCEL", kCancelAction},
    {kPlayInputColumn, 1, "pIN_WT", kPlayInput}, {kPlayOutputColumn, 1, "pOUT_WT", kPlayOutput},
};

// The filtered table above; below, its partial levels on the left and the
// filter curve as 64 bars on the right.
constexpr int kOutputCentre = 250;
constexpr int kOutputHalfHeight = 60;
constexpr int kMapLeft = 42;
constexpr int kMapBase = 646;
constexpr int kMapColumnWidth = 12;
constexpr int kMapCellHeight = 3;
constexpr int kCaptionY = 430;
constexpr int kBarsLeft = 470;
constexpr int kBarsRight = 925;
constexpr int kFirstBarLeft = 471;
constexpr int kBarStep = 7;
constexpr int kBarsCentre = 556;
constexpr double kBarPixelsPerCode = 0.66;
constexpr BracketPlace kBarsBracket{940, 965, kBarsCentre};

FilterShapeEditor& Filter(const PageRun& run) { return EditOf(run).tool.filter; }

void ShowSettings(const PageRun& run) {
  const FilterShapeEditor& filter = Filter(run);
  DrawStatusValue(1, 0, "FILTER BLURRING FACTOR:", "%d", static_cast<int32_t>(filter.blurFactor), 1);
  DrawStatusField(1, 1, "POLARITY LOCK:", filter.polarityLock ? "ON" : "OFF", 3);
  ShowLimitRange(3, 0, filter.limitMode);
  DrawStatusValue(3, 1, "ENV INTENSITY <BANDS>:", "%d", static_cast<int32_t>(filter.intensity), 2);
  DrawLimitBracket(filter.limitMode, kBarsBracket);
}

void DrawOutput(PageRun& run) {
  ToolPageState& tool = EditOf(run).tool;
  const FilterShapeEditor& filter = tool.filter;
  tool.output = ApplyFilterShape(RamOf(run).table, filter.shape, filter.shift.values, filter.intensity,
                                 filter.blurFactor, filter.polarityLock);
  DrawTableWaveRow(tool.output, kOutputCentre, kOutputHalfHeight, {});
  DrawLevelMap(tool.output, LevelMapLayout::kColumns, kMapLeft, kMapBase, kMapColumnWidth, kMapCellHeight);
}

void DrawCurve(PageRun& run, int row) {
  const PartialTable& shape = Filter(run).shape;
  DrawSliceBars(shape, kFilterCurveSlice, true);
  ShowPartialValue(row + 1, shape.at(row, kFilterCurveSlice));
}

void Draw(PageRun& run) {
  DrawText(kWaveRowLeft, kOutputCentre - kOutputHalfHeight - 36, "OUT <OPTIMIZED>", 'L');
  DrawText(kMapLeft, kCaptionY, "OUTPUT PARTIAL LEVELS", 'L');
  DrawText(kBarsLeft, kCaptionY, "FILTER SHAPE <PARTIALS 01-64>", 'L');
  ShowRamName(run);
  ShowSettings(run);
  DrawCurve(run, 0);
  DrawOutput(run);
}

PageEvent Pointer(PageRun& run, const PageEvent& event) {
  if (event.x < kBarsLeft || event.x > kBarsRight || event.y < kBarsCentre - kMaxCode ||
      event.y > kBarsCentre + kMaxCode) {
    return {};
  }
  FilterShapeEditor& filter = Filter(run);
  int row = 0;
  FollowPointer(event.x, event.y, [&](int x, int y) {
    row = std::clamp((x - kFirstBarLeft) / kBarStep, 0, kPartialCount - 1);
    SetFilterCurveCode(filter, row, static_cast<int>(Nearest((kBarsCentre - y) / kBarPixelsPerCode)));
    DrawCurve(run, row);
  });
  DrawOutput(run);
  return {};
}

void Act(PageRun& run, int action, const PageEvent&) {
  FilterShapeEditor& filter = Filter(run);
  ToolPageState& tool = EditOf(run).tool;
  const int32_t stretch = RamOf(run).playbackStretch;
  switch (action) {
    case kApplyAction: RamOf(run).table = tool.output; return;
    case kPlayInput: PlayTableHeldAt(RamOf(run).table, stretch, kPlayInputColumn); return;
    case kPlayOutput: PlayTableHeldAt(tool.output, stretch, kPlayOutputColumn); return;
    case kRandom: RandomizeFilterCurve(filter); break;
    case kRandomPolarity: RandomFilterCurvePolarity(filter); break;
    case kBlur: filter.blurFactor = NextBlurFactor(filter.blurFactor); break;
    case kPolarityLock: filter.polarityLock = !filter.polarityLock; break;
    case kLimit: filter.limitMode = NextLimitMode(filter.limitMode); break;
    case kTools: {
      const ToolChoice choice = RunToolDialog(run, ToolDialog::kSlice, "6.3.3", false);
      if (choice.chosen) {
        ApplySliceAction(filter.shape, kFilterCurveSlice, static_cast<SliceAction>(choice.action),
                         EditOf(run).fillPositive);
      }
      return;
    }
    case kImport:
      run.message = static_cast<uint8_t>(RunFilterShapeImport(run));
      run.redrawAll = true;
      return;
    case kEnvelope:
      tool.formantPage = false;
      tool.envelope = filter.shift;
      tool.intensity = filter.intensity;
      run.message = static_cast<uint8_t>(RunShiftEnvelopePage(run));
      if (run.message == kMsgDone) {
        filter.shift = tool.envelope;
        filter.intensity = tool.intensity;
      }
      run.redrawAll = true;
      return;
    default: return;
  }
  ShowSettings(run);
  DrawCurve(run, 0);
  DrawOutput(run);
}

constexpr Page kFilterShapePage = {.title = "FILTER SHAPE EDITOR",
                                   .number = "6.3.0",
                                   .buttons = kButtons,
                                   .draw = Draw,
                                   .act = Act,
                                   .mouse = Pointer};

}  // namespace

int RunFilterShapeEditor(PageRun& run) {
  Filter(run) = StartFilterShapeEditor(RamOf(run).table);
  return RunOptionPage(run, kFilterShapePage);
}
