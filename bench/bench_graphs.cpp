// Drawing costs of the graphs and of one browser page on the headless
// display. Pushes only mark rectangles, so these measure the rasteriser and
// the views' own work; a page switch or slider drag should stay well under
// a frame (graphs under 4 ms, a browser page under 50 ms).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/app_globals.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "platform/headless/headless_platform.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/level_map.h"
#include "core/kept_for_run.h"
#include "modules/loop_rendering.h"
#include "ui/graph_markers.h"
#include "ui/pages/shared/sound_pages.h"
#include "ui/pages/shared/browser_page.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/vorta/table_viewer_page.h"
#include "ui/table_graphs.h"
#include "headless_display.h"

namespace {

constexpr int kFolderFiles = 16000;

PartialTable BusyTable() {
  PartialTable table;
  for (int s = 0; s < kSliceCount; ++s) {
    for (int p = 0; p < kPartialCount; ++p) table.at(p, s) = static_cast<int16_t>((p * 7 + s * 3) % 255 - 127);
  }
  return table;
}

// A saw whose upper partials fade in across the slices: smooth waves, as
// most tables are.
PartialTable SawMorphTable() {
  PartialTable table;
  for (int s = 0; s < kSliceCount; ++s) {
    for (int p = 0; p < kPartialCount; ++p) {
      const double fade = p < 8 ? 1.0 : static_cast<double>(s) / kLastSlice;
      table.at(p, s) = EncodeAmplitude(kFullScaleAmplitude * fade / (p + 1));
    }
  }
  return table;
}

// Arguments: view (0 A, 1 B), table (0 saw morph, 1 a table of loud random
// partials whose waves are noise: the most pixels a view can take).
void BM_DrawTableWaves(benchmark::State& state) {
  OpenHeadlessDisplay();
  const std::vector<float> waves = RenderViewerWaves(state.range(1) == 0 ? SawMorphTable() : BusyTable());
  const WaveView view = state.range(0) == 0 ? WaveView::kOblique : WaveView::kFlat;
  for (auto _ : state) {
    DrawTableWaves(waves, 1, kWaveViewGain, view);
    Headless().pushes.clear();
  }
}
BENCHMARK(BM_DrawTableWaves)->Args({0, 0})->Args({1, 0})->Args({0, 1})->Args({1, 1})->Unit(benchmark::kMillisecond);

void BM_DrawPartialWaterfall(benchmark::State& state) {
  OpenHeadlessDisplay();
  const PartialTable table = BusyTable();
  const PartialView view = static_cast<PartialView>(state.range(0));
  for (auto _ : state) {
    DrawPartialWaterfall(table, kPartialViewGain, view);
    Headless().pushes.clear();
  }
}
BENCHMARK(BM_DrawPartialWaterfall)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_DrawLevelMap(benchmark::State& state) {
  OpenHeadlessDisplay();
  XformBandProfile profile{};
  for (size_t i = 0; i < profile.size(); ++i) profile[i] = static_cast<uint8_t>((i * 37) % 128);
  const LevelMapLayout layout = state.range(0) == 0 ? LevelMapLayout::kColumns : LevelMapLayout::kRows;
  for (auto _ : state) {
    if (layout == LevelMapLayout::kColumns) DrawLevelMap(profile, layout, 20, 640, 4, 4);
    else DrawLevelMap(profile, layout, 100, 110, 6, 16);
    Headless().pushes.clear();
  }
}
BENCHMARK(BM_DrawLevelMap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A library whose recycle-bin folder holds 16,000 small files; removed at
// the end of the program.
struct BigFolder {
  std::filesystem::path root;
  BigFolder() {
    root = std::filesystem::temp_directory_path() / ("sonicloom-bench-" + std::to_string(::getpid()));
    gApp.installDir = root.string();
    const std::string folder = CategoryFolderPath(gApp, kCategoryUnrecognized);
    std::filesystem::create_directories(folder);
    for (int i = 0; i < kFolderFiles; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "N%07d.TXT", i);
      std::ofstream(folder + "/" + name) << "note " << i;
    }
  }
  ~BigFolder() {
    std::error_code error;
    std::filesystem::remove_all(root, error);
  }
};

void SharedFolder() { static BigFolder folder; }

void BM_BrowserPage(benchmark::State& state) {
  OpenHeadlessDisplay();
  SharedFolder();
  BrowserList list;
  list.category = kCategoryUnrecognized;
  list.page = 500;
  BrowserRows rows;
  for (auto _ : state) {
    DrawBrowserPage(list, rows);
    Headless().pushes.clear();
  }
  state.counters["files"] = list.fileCount;
}
BENCHMARK(BM_BrowserPage)->Unit(benchmark::kMillisecond);

// One press of a view button of the table viewer: the view drawn from the
// RAM table, the waves rendered first for the wave views (under 8 ms each).
// Arguments: view 0..5 ("WAVE_A", "WAVE_B", "SPEC", "MSPEC", "PROF",
// "MPROF"), table (0 saw morph, 1 loud random partials: the worst case).
void BM_TableViewerSwitch(benchmark::State& state) {
  OpenHeadlessDisplay();
  std::unique_ptr<ModuleSession> session = EnterModule(STATE_VORTA);
  session->vorta->ram.table = state.range(1) == 0 ? SawMorphTable() : BusyTable();
  PageRun run;
  run.session = session.get();
  gKept.viewerView = static_cast<int>(state.range(0));
  for (auto _ : state) {
    DrawTableView(run);
    Headless().pushes.clear();
  }
  LeaveModule(*session);
}
BENCHMARK(BM_TableViewerSwitch)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})->Unit(benchmark::kMillisecond);

// One step of a drag of the loop start on the loop rendering page: the
// offset bar, the rotated preview and its graph, for a 90-second stereo
// loop (a frame is 16 ms).
static void BM_LoopStartDrag(benchmark::State& state) {
  OpenHeadlessDisplay();
  LoopSynthesis loop;
  const size_t frames = 90 * 44100;
  loop.length = static_cast<int32_t>(frames);
  loop.inputPeak = 0.5;
  loop.outputLeft.resize(frames);
  loop.outputRight.resize(frames);
  for (size_t i = 0; i < frames; ++i) {
    loop.outputLeft[i] = static_cast<float>(std::sin(i * 0.01));
    loop.outputRight[i] = static_cast<float>(std::cos(i * 0.013));
  }
  LoopRenderOptions options;
  options.level = state.range(0) ? LoopLevelMode::ToSource : LoopLevelMode::FullRange;
  std::vector<float> left, right;
  for (auto _ : state) {
    options.startOffset = (options.startOffset + 1) % (kLoopStartOffsetMax + 1);
    DrawLoopOffsetBar(options.startOffset);
    RenderLoopPreview(loop, options, left, right);
    DrawSignalPanel(5, 382, 1019, 688, "OUTPUT PREVIEW <LEVEL ALIGNED>", left, right);
  }
}
BENCHMARK(BM_LoopStartDrag)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
