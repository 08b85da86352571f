#include <string>

#include "ui/draw.h"
#include "ui/info_panels.h"
#include "ui/level_map.h"
#include "ui/page_frame.h"
#include "ui/pages/vorta/vorta_editing.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "wavetable/slice_order.h"

namespace {

enum Action { kPlayInput = 100, kPlayOutput };

constexpr int kPlayInputColumn = 7;
constexpr int kPlayOutputColumn = 8;

constexpr int Op(OrderOperation operation) { return static_cast<int>(operation); }

constexpr PageButton kButtons[] = {
    {0, 0, "<<1_ROT", Op(OrderOperation::RotateBack1)},    {1, 0, "<<8_ROT", Op(OrderOperation::RotateBack8)},
    {2, 0, "ROT_8>>", Op(OrderOperation::RotateForward8)}, {3, 0, "ROT_1>>", Op(OrderOperation::RotateForward1)},
    {4, 0, "MIRROR", Op(OrderOperation::Mirror)},          {5, 0, "REVERSE", Op(OrderOperation::Reverse)},
    {6, 0, "RANDOM", Op(OrderOperation::Random)},          {7, 0, "STATIC", Op(OrderOperation::Static)},
    {8, 0, "RESET", Op(OrderOperation::Reset)},            {10, 0, "fAPPLY", kApplyAction},
    {11, 0, "fCANCEL", kCancelAction},                     {kPlayInputColumn, 1, "pIN", kPlayInput},
    {kPlayOutputColumn, 1, "pOUT", kPlayOutput},
};

// The matrix: output slices across, source slices down (00 at the top);
// the cell of each output slice's source is filled. The output table's
// partial levels stand to its right.
constexpr int kCell = 14;
constexpr int kMatrixLeft = 80;
constexpr int kMatrixTop = 140;
constexpr int kMatrixRight = kMatrixLeft + kSliceCount * kCell;
constexpr int kMatrixBottom = kMatrixTop + kSliceCount * kCell;
constexpr int kMapLeft = 600;
constexpr int kMapColumnWidth = 12;
constexpr int kMapCellHeight = 4;
constexpr int kMapBase = kMatrixTop + kPartialCount * kMapCellHeight;

ToolPageState& Tool(const PageRun& run) { return EditOf(run).tool; }

void DrawMatrix(PageRun& run) {
  ToolPageState& tool = Tool(run);
  HoldRepaint();
  FillBox(kMatrixLeft, kMatrixTop, kMatrixRight + 1, kMatrixBottom + 1);
  SetInk(PaletteColour(kFaint));
  for (int i = 0; i <= kSliceCount; ++i) {
    DrawLine(kMatrixLeft + i * kCell, kMatrixTop, kMatrixLeft + i * kCell, kMatrixBottom);
    DrawLine(kMatrixLeft, kMatrixTop + i * kCell, kMatrixRight, kMatrixTop + i * kCell);
  }
  for (int c = 0; c < kSliceCount; ++c) {
    SetPaper(PaletteColour(c == tool.slice ? kAccent : kText));
    const int x = kMatrixLeft + c * kCell;
    const int y = kMatrixTop + tool.order[static_cast<size_t>(c)] * kCell;
    FillBox(x + 2, y + 2, x + kCell - 1, y + kCell - 1);
  }
  FlushRegion(kMatrixLeft, kMatrixTop, kMatrixRight + 1, kMatrixBottom + 1);
  RestoreNormalColours();
  tool.output = ReorderSlices(tool.input, tool.order);
  DrawLevelMap(tool.output, LevelMapLayout::kColumns, kMapLeft, kMapBase, kMapColumnWidth, kMapCellHeight);
  DrawStatusValue(2, 0, "OUTPUT SLICE <X>:", "%.2d", static_cast<int32_t>(tool.slice), 2);
  DrawStatusValue(2, 1, "SOURCE SLICE <Y>:", "%.2d", static_cast<int32_t>(tool.order[static_cast<size_t>(tool.slice)]), 2);
}

void Draw(PageRun& run) {
  DrawText(kMatrixLeft, kMatrixTop - 30, "OUTPUT SLICES 00-32 >>", 'L');
  DrawVerticalText(kMatrixLeft - 24, kMatrixTop, "SOURCE");
  DrawText(kMapLeft, kMatrixTop - 30, "OUT <OPTIMIZED>", 'L');
  ShowRamName(run);
  DrawMatrix(run);
}

PageEvent Pointer(PageRun& run, const PageEvent& event) {
  if (event.x < kMatrixLeft || event.x >= kMatrixRight || event.y < kMatrixTop || event.y >= kMatrixBottom) return {};
  ToolPageState& tool = Tool(run);
  FollowPointer(event.x, event.y, [&](int x, int y) {
    if (x < kMatrixLeft || x >= kMatrixRight || y < kMatrixTop || y >= kMatrixBottom) return;
    tool.slice = static_cast<int16_t>((x - kMatrixLeft) / kCell);
    SetOrderEntry(tool.order, tool.slice, (y - kMatrixTop) / kCell);
  });
  DrawMatrix(run);
  return {};
}

void Act(PageRun& run, int action, const PageEvent&) {
  ToolPageState& tool = Tool(run);
  const int32_t stretch = RamOf(run).playbackStretch;
  switch (action) {
    case kApplyAction: RamOf(run).table = tool.output; return;
    case kPlayInput: PlayTableHeldAt(tool.input, stretch, kPlayInputColumn); return;
    case kPlayOutput: PlayTableHeldAt(tool.output, stretch, kPlayOutputColumn); return;
    case kNoAction: return;
    default:
      ApplyOrderOperation(tool.order, static_cast<OrderOperation>(action), tool.slice);
      DrawMatrix(run);
      return;
  }
}

constexpr Page kSliceOrderPage = {.title = "SLICE ORDER MATRIX",
                                  .number = "6.2.0",
                                  .buttons = kButtons,
                                  .draw = Draw,
                                  .act = Act,
                                  .mouse = Pointer};

}  // namespace

int RunSliceOrderMatrix(PageRun& run) {
  ToolPageState& tool = Tool(run);
  tool.input = RamOf(run).table;
  tool.order = IdentityOrder();
  tool.slice = 0;
  return RunOptionPage(run, kSliceOrderPage);
}
