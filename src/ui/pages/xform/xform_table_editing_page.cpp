#include "ui/draw.h"
#include "ui/info_panels.h"
#include "ui/level_map.h"
#include "ui/page_frame.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/xform/xform_pages.h"
#include "ui/progress.h"

// "2.0.0" TABLE EDITING FUNCTIONS of the XFORM module: the table as its
// band profile ("SPECTRUM") or its noise ("WAVEFORM"), the scan speed, the
// two option pages that change the slices, and undo.

namespace {

enum Action { kScale, kOrder, kSlower, kFaster, kSpectrum, kWaveform, kPlayRam, kUndo };

constexpr PageButton kButtons[] = {
    {0, 0, "fSCALE<>", kScale},   {1, 0, "fORDER<>", kOrder},     {8, 0, "-SPEED", kSlower},
    {9, 0, "+SPEED", kFaster},    {10, 0, "SPECTRUM", kSpectrum}, {11, 0, "WAVEFORM", kWaveform},
    {9, 1, "pRAM_WT", kPlayRam},  {11, 1, "s UNDO ", kUndo},
};
constexpr int kViewChars = 8;
constexpr int kSliceChars = 2;

// Both views: one column per slice, its number below.
constexpr int kColumnsX = 50;
constexpr int kColumnStep = 28;
constexpr int kNumbersY = 664;
constexpr int kMapBottom = 640;
constexpr int kMapCellHeight = 4;
constexpr int kWaveCentre = 390;
constexpr int kWaveHalf = 250;

void ShowReadouts(const PageRun& run) {
  const XformWorkspace& ram = XformRam(run);
  ShowNameReadout(0, 0, "RAM:", ram.table.ramName);
  DrawStatusValue(0, 1, "USED SLICES:", "%ld", XformUsedSlices(ram.table), kSliceChars + 1);
  DrawStatusField(2, 0, "VIEWING:", run.session->xform->waveformView ? "WAVEFORM" : "SPECTRUM", kViewChars);
  ShowXformSpeed(ram.table.speed);
  ShowUndoCount(UndoUsedEntries(ram.undo), ram.undo.geometry.entryCount);
}

void DrawView(const PageRun& run) {
  const XformTable& table = XformRam(run).table;
  ClearMainArea();
  HoldRepaint();
  if (run.session->xform->waveformView) {
    DrawXformSlices(table, kColumnsX, kWaveCentre, kColumnStep, kColumnStep - 2, kWaveHalf);
  } else {
    DrawLevelMap(table.bandProfile, LevelMapLayout::kColumns, kColumnsX, kMapBottom, kColumnStep,
                 kMapCellHeight);
  }
  for (int s = 0; s < kSliceCount; s += 4) {
    DrawFormatted(kColumnsX + kColumnStep * s + kColumnStep / 2, kNumbersY, "%.2d", static_cast<int16_t>(s), 'M');
  }
  FlushRegion(0, kMainAreaTop, 1023, kMainAreaBottom);
}

void Draw(PageRun& run) {
  ShowReadouts(run);
  DrawView(run);
}

void OpenOption(PageRun& run, const Page& page) {
  if (XformUsedSlices(XformRam(run).table) == 0) {
    run.Show(kMsgNoData);
    return;
  }
  XformOptionPages pages;
  XformOptionPages* const before = run.session->xform->pages;
  run.session->xform->pages = &pages;
  const int result = RunXformOptionPage(page, run);
  run.session->xform->pages = before;
  run.Show(static_cast<uint8_t>(result));
}

void Act(PageRun& run, int action, const PageEvent&) {
  XformWorkspace& ram = XformRam(run);
  switch (action) {
    case kScale:
      OpenOption(run, kXformProfilePage);
      return;
    case kOrder:
      OpenOption(run, kXformOrderPage);
      return;
    case kSlower:
    case kFaster:
      run.message = action == kSlower ? SlowerXformPlayback(ram) : FasterXformPlayback(ram);
      ShowXformSpeed(ram.table.speed);
      return;
    case kSpectrum:
    case kWaveform: {
      bool& waveform = run.session->xform->waveformView;
      if (waveform == (action == kWaveform)) {
        run.Show(kMsgOnScreen);
        return;
      }
      waveform = action == kWaveform;
      ShowReadouts(run);
      DrawView(run);
      return;
    }
    case kPlayRam:
      PlayXformScanHeld(run, ram.table, ram.table.speed, kXformRamPlayCode);
      return;
    case kUndo: {
      uint8_t progress = kMsgNone;
      run.Show(UndoXformChange(ram, CalcProgressHooks(progress)));
      run.redrawAll = true;
      return;
    }
    default:
      return;
  }
}

}  // namespace

const Page kXformTableEditingPage = {
    .title = "TABLE EDITING FUNCTIONS", .number = "2.0.0", .buttons = kButtons, .draw = Draw, .act = Act};
