#include "audio/source_kinds.h"
#include "ui/draw.h"
#include "ui/hold_to_play.h"
#include "ui/info_panels.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/xform/xform_pages.h"

// "2.2.0" SLICE ORDER MATRIX of the XFORM module: output slice c (column)
// takes input slice order[c] (row); the order operations and clicks in the
// matrix change it, the reordered copy shows below and replaces the table on
// "fAPPLY".

namespace {

enum Action {
  kRotateBack1,
  kRotateBack8,
  kRotateForward8,
  kRotateForward1,
  kMirror,
  kReverse,
  kRandom,
  kStatic,
  kReset,
  kPlayIn,
  kPlayOut,
};

constexpr PageButton kButtons[] = {
    {0, 0, "<<1_ROT", kRotateBack1}, {1, 0, "<<8_ROT", kRotateBack8}, {2, 0, "ROT_8>>", kRotateForward8},
    {3, 0, "ROT_1>>", kRotateForward1}, {4, 0, "MIRROR", kMirror},    {5, 0, "REVERSE", kReverse},
    {6, 0, "RANDOM", kRandom},       {7, 0, "STATIC", kStatic},       {8, 0, "RESET", kReset},
    {10, 0, "fAPPLY", kApplyAction}, {11, 0, "fCANCEL", kCancelAction}, {7, 1, "pIN", kPlayIn},
    {8, 1, "pOUT", kPlayOut},
};
constexpr uint8_t kOrderButtonCode = 2;  // "fORDER<>" on "2.0.0"
constexpr uint8_t kPlayInCode = 20;
constexpr uint8_t kPlayOutCode = 21;

// The matrix: column c is output slice c, row r input slice r.
constexpr int kCellsLeft = 116;
constexpr int kCellsTop = 132;
constexpr int kCellWidth = 24;
constexpr int kCellHeight = 12;
constexpr int kCellsRight = kCellsLeft + kCellWidth * kSliceCount;
constexpr int kCellsBottom = kCellsTop + kCellHeight * kSliceCount;
constexpr int kOutputTop = 548;
constexpr int kOutputBottom = 684;
constexpr int kWaveCentre = 620;
constexpr int kWaveHalf = 52;
constexpr int kBoxLeft = 20;
constexpr int kBoxRight = 1004;

void DrawMatrix(const PageRun& run) {
  const XformOptionPages& pages = XformPages(run);
  HoldRepaint();
  FillBox(kCellsLeft - 60, kCellsTop - 16, kCellsRight + 2, kCellsBottom + 2);
  for (int c = 0; c < kSliceCount; ++c) {
    const int x = kCellsLeft + kCellWidth * c;
    const bool current = c == pages.currentSlice;
    SetInk(PaletteColour(current ? kText : kDim));
    for (int r = 0; r < kSliceCount; ++r) {
      const int y = kCellsTop + kCellHeight * r;
      if (pages.order[static_cast<size_t>(c)] == r) {
        SetPaper(PaletteColour(current ? kBright : kText));
        FillBox(x + 1, y + 1, x + kCellWidth - 1, y + kCellHeight - 1);
      } else {
        DrawFrame(x + 1, y + 1, x + kCellWidth - 2, y + kCellHeight - 2);
      }
    }
  }
  RestoreNormalColours();
  for (int s = 0; s < kSliceCount; s += 4) {
    DrawFormatted(kCellsLeft + kCellWidth * s + kCellWidth / 2, kCellsTop - 16, "%.2d", static_cast<int16_t>(s), 'M');
    DrawFormatted(kCellsLeft - 6, kCellsTop + kCellHeight * s - 2, "%.2d", static_cast<int16_t>(s), 'R');
  }
  FlushRegion(kCellsLeft - 60, kCellsTop - 16, kCellsRight + 2, kCellsBottom + 2);
  ShowDestination(pages.currentSlice, pages.order[static_cast<size_t>(pages.currentSlice)]);
}

void RefreshOutput(PageRun& run) {
  XformOptionPages& pages = XformPages(run);
  ReorderXform(XformRam(run).table, pages.order, pages.output);
  HoldRepaint();
  DrawXformSlices(pages.output, kCellsLeft, kWaveCentre, kCellWidth, kCellWidth - 2, kWaveHalf);
  FlushRegion(kBoxLeft, kOutputTop, kBoxRight, kOutputBottom);
}

void Draw(PageRun& run) {
  ShowNameReadout(0, 0, "RAM:", XformRam(run).table.ramName);
  DrawPanel(kBoxLeft, kCellsTop - 40, kBoxRight, kCellsBottom + 8, "SLICE ORDER <OUT: COLUMNS, IN: ROWS>");
  DrawMatrix(run);
  DrawPanel(kBoxLeft, kOutputTop, kBoxRight, kOutputBottom, "REORDERED WAVETABLE OUTPUT");
  RefreshOutput(run);
}

PageEvent OnMouse(PageRun& run, const PageEvent& event) {
  if (event.x < kCellsLeft || event.x >= kCellsRight || event.y < kCellsTop || event.y >= kCellsBottom) return {};
  XformOptionPages& pages = XformPages(run);
  pages.currentSlice = (event.x - kCellsLeft) / kCellWidth;
  SetOrderEntry(pages.order, pages.currentSlice, (event.y - kCellsTop) / kCellHeight);
  DrawMatrix(run);
  RefreshOutput(run);
  return {};
}

void Act(PageRun& run, int action, const PageEvent&) {
  XformOptionPages& pages = XformPages(run);
  XformWorkspace& ram = XformRam(run);
  switch (action) {
    case kApplyAction:
      ApplyXformOrder(ram, pages.order, pages.output, kOrderButtonCode);
      return;
    case kPlayIn:
      PlayXformScanHeld(run, ram.table, ram.table.speed, kPlayInCode);
      return;
    case kPlayOut:
      PlayXformScanHeld(run, pages.output, ram.table.speed, kPlayOutCode);
      return;
    default:
      if (action < kRotateBack1 || action > kReset) return;
      ApplyOrderOperation(pages.order, static_cast<OrderOperation>(action - kRotateBack1), pages.currentSlice);
      DrawMatrix(run);
      RefreshOutput(run);
      return;
  }
}

}  // namespace

const Page kXformOrderPage = {.title = "SLICE ORDER MATRIX",
                              .number = "2.2.0",
                              .buttons = kButtons,
                              .draw = Draw,
                              .act = Act,
                              .mouse = OnMouse};
