// Drawing costs on the headless display: a whole page of many batches and
// a 333-step progress run. Pushes only mark rectangles, so these measure the
// rasteriser and the widget logic alone.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "core/app_globals.h"
#include "platform/headless/headless_platform.h"
#include "ui/button_bar.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "ui/progress.h"
#include "ui/screen_saver.h"
#include "headless_display.h"

namespace {

// A full page: header, 16 status fields, 129 small batches (one per table
// wave row), 24 buttons.
void DrawBusyPage() {
  DrawScreenFrame();
  DrawPageHeader("TABLE VIEWER", "2.0.0", true);
  char value[16];
  for (int field = 0; field < 16; ++field) {
    std::snprintf(value, sizeof value, "%d", field * 7);
    DrawStatusField(field % 4, field / 4, "FIELD:", value, 6);
  }
  for (int wave = 0; wave < 129; ++wave) {
    HoldRepaint();
    PenMoveTo(0, 590 - 2 * wave);
    for (int k = 0; k < 256; k += 4) PenLineTo(4 * k / 4, 590 - 2 * wave - (k % 16));
    FlushRegion(0, 100, 1023, 690);
  }
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 12; ++column) SetButton(column, row, "fBUTTON");
  }
}

void BM_DrawBusyPage(benchmark::State& state) {
  OpenHeadlessDisplay();
  for (auto _ : state) {
    DrawBusyPage();
    Headless().pushes.clear();
  }
}
BENCHMARK(BM_DrawBusyPage)->Unit(benchmark::kMillisecond);

void BM_ProgressRun333(benchmark::State& state) {
  OpenHeadlessDisplay();
  for (auto _ : state) {
    for (int step = 0; step <= 333; ++step) ShowProgress("CALCULATION PROGRESS: ", step, 333);
    ShowProgress(nullptr, 0, 0);
    Headless().pushes.clear();
  }
}
BENCHMARK(BM_ProgressRun333)->Unit(benchmark::kMillisecond);

void BM_SaveAndRestoreScreen(benchmark::State& state) {
  OpenHeadlessDisplay();
  DrawBusyPage();
  std::vector<Colour> pixels(kCanvasPixels);
  for (auto _ : state) {
    SaveScreen(pixels, false);
    RestoreScreen(pixels);
    Headless().pushes.clear();
  }
}
BENCHMARK(BM_SaveAndRestoreScreen)->Unit(benchmark::kMillisecond);

}  // namespace
