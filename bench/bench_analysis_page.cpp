// "SAMPLE ANALYSIS OPTIONS II" answering a key: one tuning step (Arg 0) or
// one contrast step (Arg 1) on a 10-second sample, with everything the page
// redraws for it (readouts, output spectrum, level map, tuning keyboard) on
// the headless display. One frame is 16 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/app_globals.h"
#include "dsp/dft_tables.h"
#include "modules/spectral_analysis.h"
#include "platform/headless/headless_platform.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/pages/vorta/analysis_run.h"
#include "wavetable/vorta_synthesis.h"
#include "headless_display.h"

namespace {

constexpr int32_t kTenSeconds = 441000;

// A decaying tone of six partials with a little noise.
std::vector<float> TestSignal() {
  std::vector<float> out(static_cast<size_t>(kTenSeconds));
  uint32_t state = 1;
  for (int32_t i = 0; i < kTenSeconds; ++i) {
    const double t = i / 44100.0;
    double v = 0.0;
    for (int h = 1; h <= 6; ++h) v += std::sin(2 * M_PI * 220.0 * h * t) / h;
    state = state * 1664525u + 1013904223u;
    const double noise = (static_cast<double>(state >> 8) / (1 << 24) - 0.5) * 0.05;
    out[static_cast<size_t>(i)] = static_cast<float>((0.4 * v + noise) * std::exp(-t * 0.1));
  }
  return out;
}

}  // namespace

static void BM_AnalysisPageRetune(benchmark::State& state) {
  OpenHeadlessDisplay();
  AllocateDftTables(kVortaDftLength);
  const std::vector<float> sample = TestSignal();
  SpectralAnalysis analysis;
  StartSpectralAnalysis(analysis, sample, {});
  const bool contrast = state.range(0) == 1;
  int step = 0;
  for (auto _ : state) {
    const bool up = step++ % 2 == 0;
    if (contrast) {
      PressSpectralButton(analysis, up ? SpectralButton::RaiseContrast : SpectralButton::LowerContrast);
    } else {
      SetAnalysisCents(analysis, up ? 705 : 700);
    }
    RedrawSpectralOutput(analysis);
    Headless().pushes.clear();
  }
  state.counters["stretch"] = analysis.stretch;
  StopDisplay();
}
BENCHMARK(BM_AnalysisPageRetune)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
