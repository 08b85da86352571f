// Playback rendering must stay well ahead of the card: the first 131,072
// frames are rendered before a sound starts (the start-up delay), the rest
// while it plays (at least 44,100 frames per second), and a whole play call
// on the headless card shows the cost from button to device start.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/play_calls.h"
#include "audio/playback_devices.h"
#include "audio/playback_render.h"
#include "audio/playback_state.h"
#include "audio/playback_teardown.h"
#include "core/app_globals.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "platform/headless/headless_platform.h"
#include "ui/pages/shared/file_listening.h"

namespace {

std::vector<float> NoiseTables(int count) {
  std::vector<float> tables(static_cast<size_t>(count) * kTableFloats);
  uint32_t state = 1;
  for (float& sample : tables) {
    state = state * 1664525u + 1013904223u;
    sample = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
  }
  return tables;
}

}  // namespace

// The first part of a scan: 131,072 frames crossfading two tables.
static void BM_ScanFirstPart(benchmark::State& state) {
  const std::vector<float> tables = NoiseTables(33);
  std::vector<float> out(2 * static_cast<size_t>(kFirstPartFrames));
  for (auto _ : state) {
    ScanCursor cursor;
    RenderScan(tables, 33, static_cast<int32_t>(state.range(0)), cursor, out);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kFirstPartFrames);
}
BENCHMARK(BM_ScanFirstPart)->Arg(1)->Arg(1024)->Unit(benchmark::kMicrosecond);

static void BM_InterleaveFirstPart(benchmark::State& state) {
  std::vector<float> left(kFirstPartFrames, 0.25f);
  std::vector<float> right(kFirstPartFrames, -0.25f);
  std::vector<float> out(2 * static_cast<size_t>(kFirstPartFrames));
  for (auto _ : state) {
    InterleaveFrames(left, right, 0, out);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kFirstPartFrames);
}
BENCHMARK(BM_InterleaveFirstPart)->Unit(benchmark::kMicrosecond);

// A whole scan through 33 XFORM slices at speed 1 (4,194,304 frames, 95 s
// of sound) on the headless card: open, render in two parts, stop.
static void BM_PlayScanWhole(benchmark::State& state) {
  ResetHeadless();
  TestPlaybackDevices();
  const std::vector<float> tables = NoiseTables(33);
  for (auto _ : state) {
    PlayScan(tables, 1, 33);
    StopPlayback();
  }
  state.SetItemsProcessed(state.iterations() * ScanFrames(33, 1));
  ReleasePlayback();
}
BENCHMARK(BM_PlayScanWhole)->Unit(benchmark::kMillisecond);

// Prelistening to a 10-second sample of the library: the file read into the
// listening buffers and the sound started on the headless card.
static void BM_PrelistenSample(benchmark::State& state) {
  ResetHeadless();
  TestPlaybackDevices();
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("sonicloom-prelisten-" + std::to_string(::getpid()));
  gApp.installDir = root.string();
  const std::string path = CategoryFilePath(gApp, kCategorySample, "TEN.WAV");
  const std::string command = "sox -q -n -r 44100 -c 2 -b 16 '" + path + "' synth 10 sine 440 vol 0.5";
  if (std::system(command.c_str()) != 0) {
    state.SkipWithError("sox is missing");
    return;
  }
  std::vector<float> left;
  std::vector<float> right;
  for (auto _ : state) {
    PrelistenSource source;
    if (!LoadForListening(kCategorySample, "TEN.WAV", {left, right}, source)) state.SkipWithError("not loaded");
    PlaySplit(source.left, source.right, source.frames, false);
    StopPlayback();
  }
  ReleasePlayback();
  std::error_code error;
  std::filesystem::remove_all(root, error);
}
BENCHMARK(BM_PrelistenSample)->Unit(benchmark::kMillisecond);
