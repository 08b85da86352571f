// The analysis and resynthesis engines at the sizes the pages meet.
//
// BM_AnalyzeSample: a 10-second mono sample from "fANALYZE" to a playable
// table: frame spectra, slices, harmonics, table, preview and fundamental.
// BM_AnalysisRetune / BM_AnalysisContrast: one tuning or contrast step on
// that analysis (harmonics, table and preview only), the page's reaction to
// a key press.
// BM_ComputeLoop/<L>/<D = S>/<widening>/<method>: loop synthesis of a
// stereo input of L samples with the bidirectional mix; method 0 picks
// automatically, 1 sums voice by voice, 2 by transform correlation.
// BM_Resynthesize/<threads>: cross synthesis of two 10-second stereo files
// at N = 1,024, O = 16.
//
// BM_MixCrossOutput: one envelope edit on the cross synthesis page, the
// per-sample envelope and the remix of the output for a 10-second stereo
// pair (a frame is 16 ms).
//
// Times are wall-clock; the CPU column is the whole process's CPU time, so
// work spread over several threads shows in it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <thread>
#include <vector>

#include "core/app_globals.h"
#include "core/random.h"
#include "dsp/dft_tables.h"
#include "dsp/fft_tables.h"
#include "modules/cross_synthesis.h"
#include "modules/loop_synthesis.h"
#include "modules/resynthesis.h"
#include "modules/spectral_analysis.h"
#include "wavetable/vorta_synthesis.h"

namespace {

constexpr int32_t kTenSeconds = 441000;
constexpr int32_t kNinetySeconds = 3969000;

void UseAllProcessors() {
  const unsigned count = std::thread::hardware_concurrency();
  gApp.processorCount = static_cast<uint16_t>(count > 0 ? count : 1);
  SetFftProcessorCount(gApp.processorCount);
}

// A recording-like test signal: a few drifting partials with a decay and
// some noise, so that every stage has real work.
std::vector<float> TestSignal(int32_t length, uint32_t seed, double pitch) {
  std::vector<float> out(static_cast<size_t>(length));
  uint32_t state = seed;
  for (int32_t i = 0; i < length; ++i) {
    const double t = i / 44100.0;
    double v = 0.0;
    for (int h = 1; h <= 6; ++h) v += std::sin(2 * M_PI * pitch * h * (1.0 + 0.002 * std::sin(t)) * t) / h;
    state = state * 1664525u + 1013904223u;
    const double noise = (static_cast<double>(state >> 8) / (1 << 24) - 0.5) * 0.05;
    out[static_cast<size_t>(i)] = static_cast<float>((0.4 * v + noise) * std::exp(-t * 0.1));
  }
  return out;
}

}  // namespace

static void BM_AnalyzeSample(benchmark::State& state) {
  AllocateDftTables(kVortaDftLength);
  const std::vector<float> sample = TestSignal(kTenSeconds, 1, 220.0);
  SpectralAnalysis analysis;
  for (auto _ : state) {
    benchmark::DoNotOptimize(StartSpectralAnalysis(analysis, sample, {}));
    benchmark::ClobberMemory();
  }
  state.counters["frames"] = analysis.frameCount;
}
BENCHMARK(BM_AnalyzeSample)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

static void BM_AnalysisRetune(benchmark::State& state) {
  AllocateDftTables(kVortaDftLength);
  const std::vector<float> sample = TestSignal(kTenSeconds, 1, 220.0);
  SpectralAnalysis analysis;
  StartSpectralAnalysis(analysis, sample, {});
  int step = 0;
  for (auto _ : state) {
    SetAnalysisCents(analysis, (step++ % 2) ? 700 : 705);
    benchmark::ClobberMemory();
  }
  state.counters["stretch"] = analysis.stretch;
}
BENCHMARK(BM_AnalysisRetune)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

static void BM_AnalysisContrast(benchmark::State& state) {
  AllocateDftTables(kVortaDftLength);
  const std::vector<float> sample = TestSignal(kTenSeconds, 1, 220.0);
  SpectralAnalysis analysis;
  StartSpectralAnalysis(analysis, sample, {});
  int step = 0;
  for (auto _ : state) {
    PressSpectralButton(analysis, (step++ % 2) ? SpectralButton::LowerContrast : SpectralButton::RaiseContrast);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_AnalysisContrast)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

static void BM_ComputeLoop(benchmark::State& state) {
  UseAllProcessors();
  const auto length = static_cast<int32_t>(state.range(0));
  const std::vector<float> left = TestSignal(length, 2, 110.0);
  const std::vector<float> right = TestSignal(length, 3, 165.0);
  LoopSynthesis loop;
  LoadLoopInput(loop, left, right, length, 2, 0, 0);
  loop.density = static_cast<int32_t>(state.range(1));
  loop.smear = loop.density;
  loop.widening = state.range(2) != 0;
  loop.bidirectional = true;
  loop.sumMethod = static_cast<VoiceSumMethod>(state.range(3));
  for (auto _ : state) {
    SeedRandom(1);
    benchmark::DoNotOptimize(ComputeLoop(loop, {}));
    benchmark::ClobberMemory();
  }
  state.counters["voices"] = loop.smear << (loop.widened ? 1 : 0);
}
BENCHMARK(BM_ComputeLoop)
    ->Args({44100, 512, 0, 0})
    ->Args({44100, 512, 1, 0})
    ->Args({44100, 512, 0, 1})
    ->Args({44100, 512, 0, 2})
    ->Args({44100, 32, 0, 1})
    ->Args({44100, 32, 0, 2})
    ->Args({kNinetySeconds, 16384, 1, 0})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Two 10-second stereo recordings in the cross synthesis, 1,024-point frames
// at overlap 16 (the sources are copied in).
static void LoadTenSecondPair(CrossSynthesis& cross) {
  AllocateFftTables(8192);
  const std::vector<float> aLeft = TestSignal(kTenSeconds, 4, 220.0), aRight = TestSignal(kTenSeconds, 5, 221.0);
  const std::vector<float> bLeft = TestSignal(kTenSeconds, 6, 330.0), bRight = TestSignal(kTenSeconds, 7, 331.0);
  LoadCrossSources(cross, {aLeft, aRight, kTenSeconds, 2, {}, "A"}, {bLeft, bRight, kTenSeconds, 2, {}, "B"});
  cross.settings.frameSize = 1024;
  cross.settings.overlap = 16;
}

static void BM_Resynthesize(benchmark::State& state) {
  UseAllProcessors();
  CrossSynthesis cross;
  LoadTenSecondPair(cross);
  const auto threads = static_cast<int>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(Resynthesize(cross, {}, threads));
    benchmark::ClobberMemory();
  }
  state.counters["frames"] = static_cast<double>((kTenSeconds + 1024 + 63) / 64);
}
BENCHMARK(BM_Resynthesize)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

static void BM_MixCrossOutput(benchmark::State& state) {
  CrossSynthesis cross;
  LoadTenSecondPair(cross);
  Resynthesize(cross, {}, 1);
  int16_t node = 0;
  for (auto _ : state) {
    node = static_cast<int16_t>(node == 127 ? -127 : node + 1);
    cross.envelope[16] = node;
    RemixCrossOutput(cross);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MixCrossOutput)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
