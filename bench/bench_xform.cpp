// The XFORM module's heavy steps: reconstructing a full table (66 transforms
// of 131,072 points), the sample analysis (frames, peak stages, layer gains)
// and one slider change (rebuild and 33 syntheses). The argument is the
// number of lanes the slices are spread over (1: one at a time, each
// transform split over the transform's own worker threads).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>
#include <thread>
#include <algorithm>
#include <chrono>
#include <vector>

#include "core/app_globals.h"
#include "core/random.h"
#include "dsp/fft_tables.h"
#include "modules/xform_analysis.h"
#include "wavetable/xform_editing.h"
#include "wavetable/xform_workspace.h"

namespace {

constexpr uint64_t kBenchMemory = 8ull << 30;  // an 8 GiB machine: the full ring of 32 entries

// The program learns the processor count at start; here the machine's own.
void UseThisMachine() {
  gApp.processorCount = static_cast<uint16_t>(std::max(1u, std::thread::hardware_concurrency()));
  SetFftProcessorCount(gApp.processorCount);
}

// Noise with two drifting partials, left and right different: a source that
// gives many peak stages.
void RichSource(std::vector<float>& left, std::vector<float>& right, size_t n) {
  left.resize(n);
  right.resize(n);
  SeedRandom(77);
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(n);
    const double a = std::sin(2.0 * std::numbers::pi * 440.0 * static_cast<double>(i) / 44100.0);
    const double b = std::sin(2.0 * std::numbers::pi * 3100.0 * static_cast<double>(i) / 44100.0);
    const double noise = RandomNext() / 16383.5 - 1.0;
    left[i] = static_cast<float>(0.5 * (1 - t) * a + 0.3 * t * b + 0.05 * noise);
    right[i] = static_cast<float>(0.4 * a + 0.2 * (1 - t) * b + 0.05 * noise);
  }
}

void InterleavedNoise(std::vector<float>& stereo) {
  stereo.resize(kXformNoiseFloats);
  SeedRandom(5);
  for (float& v : stereo) v = static_cast<float>(RandomNext() / 16383.5 - 1.0) * 0.5f;
}

// Largest resident set of the process so far (kB), from the kernel.
double PeakResidentMiB() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0.0;
  char line[256];
  double kib = 0.0;
  while (std::fgets(line, sizeof line, status) != nullptr)
    if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atof(line + 6);
  std::fclose(status);
  return kib / 1024.0;
}

void BM_ReconstructTable(benchmark::State& state) {
  UseThisMachine();
  XformWorkspace workspace;
  EnterXform(workspace, kBenchMemory, static_cast<int>(state.range(0)));
  std::vector<float> source;
  InterleavedNoise(source);
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(source.begin(), source.end(), workspace.table.noise.begin());
    state.ResumeTiming();
    ReconstructTable(workspace.table, kXformMaxFrames, workspace.engine, {});
    benchmark::DoNotOptimize(workspace.table.slicePeaks.data());
  }
  state.counters["transforms"] = 66;
  LeaveXform(workspace);
}
BENCHMARK(BM_ReconstructTable)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

struct AnalysedSession {
  XformWorkspace workspace;
  XformAnalysis record;
  std::vector<float> left;
  std::vector<float> right;

  explicit AnalysedSession(int lanes, size_t rangeLength) {
    UseThisMachine();
    EnterXform(workspace, kBenchMemory, lanes);
    RichSource(left, right, rangeLength);
  }
  ~AnalysedSession() {
    ReleaseXformAnalysis(record);
    LeaveXform(workspace);
  }
};

void BM_XformFrameAnalysis(benchmark::State& state) {
  AnalysedSession session(static_cast<int>(state.range(0)), 33 * 100000);
  for (auto _ : state) {
    XformFrameAnalysis(session.left, session.right, session.record, session.workspace.engine, {});
    benchmark::DoNotOptimize(session.record.stageCount);
  }
  state.counters["stages"] = session.record.stageCount;
}
BENCHMARK(BM_XformFrameAnalysis)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MeasureLayerGains(benchmark::State& state) {
  AnalysedSession session(static_cast<int>(state.range(0)), 33 * 100000);
  XformFrameAnalysis(session.left, session.right, session.record, session.workspace.engine, {});
  for (auto _ : state) {
    MeasureLayerGains(session.record, session.workspace.engine, {});
    benchmark::DoNotOptimize(session.record.layerGains.data());
  }
  state.counters["stages"] = session.record.stageCount;
  state.counters["transforms"] = session.record.stageCount * kXformFrameCount;
}
BENCHMARK(BM_MeasureLayerGains)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// One slider change: the rebuild from the stored stages, 33 syntheses, the
// normalisation.
void BM_RebuildFilterSpectra(benchmark::State& state) {
  AnalysedSession session(static_cast<int>(state.range(0)), 33 * 100000);
  RunXformAnalysis(session.left, session.right, session.record, session.workspace.table, session.workspace.engine,
                   {});
  double boost = 0.1;
  for (auto _ : state) {
    session.record.controls.peakBoost = boost;
    session.record.controls.smoothness = 0.5;
    boost = boost > 0.8 ? 0.1 : boost + 0.1;
    RebuildFilterSpectra(session.record, session.workspace.table, session.workspace.engine, {});
    benchmark::DoNotOptimize(session.workspace.table.slicePeaks.data());
  }
}
BENCHMARK(BM_RebuildFilterSpectra)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// A slider drag on "1.1.1": while a rebuild runs, `range(0)` newer values
// arrive, each a few progress reports into the rebuild that runs; only the
// last value is carried to the end. The page repaints at every progress
// report, so the longest pause between two reports is the longest time the
// window goes without a repaint.
void BM_SliderDragRebuild(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  AnalysedSession session(2, 33 * 100000);
  RunXformAnalysis(session.left, session.right, session.record, session.workspace.table, session.workspace.engine,
                   {});
  constexpr int64_t kReportsBeforeNewValue = 3;
  double longestMillis = 0.0;
  for (auto _ : state) {
    XformControlFeed feed{session.record.controls, true};
    int pending = static_cast<int>(state.range(0));
    Clock::time_point last = Clock::now();
    const ProgressHooks hooks{[&](const char*, int64_t done, int64_t) {
      const Clock::time_point now = Clock::now();
      longestMillis = std::max(longestMillis, std::chrono::duration<double, std::milli>(now - last).count());
      last = now;
      if (pending > 0 && done >= kReportsBeforeNewValue) {
        --pending;
        feed.latest.peakBoost = feed.latest.peakBoost > 0.8 ? 0.1 : feed.latest.peakBoost + 0.1;
        feed.changed = true;
      }
      return false;
    }};
    RebuildForLatestControls(session.record, feed, session.workspace.table, session.workspace.engine, hooks);
    benchmark::DoNotOptimize(session.workspace.table.slicePeaks.data());
  }
  state.counters["longest_repaint_gap_ms"] = longestMillis;
}
BENCHMARK(BM_SliderDragRebuild)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// The memory of a whole session: full table, engine, analysis record, a
// page's preview copy and an undo ring with `range(0)` written entries.
void BM_XformSessionMemory(benchmark::State& state) {
  const int changes = static_cast<int>(state.range(0));
  for (auto _ : state) {
    AnalysedSession session(2, 33 * 100000);
    RunXformAnalysis(session.left, session.right, session.record, session.workspace.table, session.workspace.engine,
                     {});
    AdoptXformTable(session.workspace, "BENCH");
    XformTable preview;
    for (int change = 0; change < changes; ++change) {
      XformProfileScaling scaling = StartXformProfileScaling(session.workspace.table);
      SetXformProfileLevel(scaling, change % kSliceCount, scaling.profile[static_cast<size_t>(change % kSliceCount)] - 30);
      ScaledXformOutput(session.workspace.table, scaling, preview);
      ApplyXformProfile(session.workspace, scaling, 11);
    }
    const double mib = 1024.0 * 1024.0;
    state.counters["session_MiB"] = static_cast<double>(XformSessionBytes(session.workspace)) / mib;
    state.counters["analysis_MiB"] = static_cast<double>(XformAnalysisBytes(session.record)) / mib;
    state.counters["preview_MiB"] = static_cast<double>(XformTableBytes(preview)) / mib;
    state.counters["undo_entries"] = UndoUsedEntries(session.workspace.undo);
    state.counters["undo_slots"] = session.workspace.undo.geometry.entryCount;
    state.counters["peak_RSS_MiB"] = PeakResidentMiB();
  }
}
BENCHMARK(BM_XformSessionMemory)->Arg(0)->Arg(4)->Arg(40)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
