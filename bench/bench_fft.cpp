// The transforms measured against FFTW (single precision unless named, FFTW_MEASURE plans
// made before timing, same thread count, same data layout).
//
// BM_ComplexFft/<points>/<threads> and BM_Fftw/<points>/<threads>: one
// iteration is a forward and a backward in-place transform of interleaved
// floats. Unnormalised round trips grow the data by the length each time, so
// the buffer is refilled (outside the timing) before it could overflow.
// Our thread count is the processor count the tables are built with; below
// 32,768 points the transform runs on one thread whatever the count.
//
// BM_MixedRadixDft/<points> and BM_FftwDft/<points>: one out-of-place
// forward transform of separate real and imaginary float arrays.
// BM_FftwDftDouble/<points>: the same in FFTW's double precision, the
// arithmetic our mixed-radix transform keeps between its float input and
// output (so the like-for-like yardstick; FFTW's float vectors hold twice
// the values).
//
// BM_RealSpectrum/<points>, BM_SpectrumToWave/<points>: the real-signal
// forms the analyses and the table synthesis call, against FFTW's
// real-to-complex float transform (BM_FftwRealDft), which writes only the
// lower half of the spectrum.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/app_globals.h"
#include "core/checked_alloc.h"
#include "dsp/complex_fft.h"
#include "dsp/fft_tables.h"
#include "dsp/mixed_radix_dft.h"

namespace {

template <class Real>
void FillSignal(Real* data, size_t count) {
  for (size_t i = 0; i < count; ++i) data[i] = static_cast<Real>(std::sin(0.37 * i) + 0.25 * std::cos(1.7 * i));
}

// Round trips that fit before the values could overflow a float.
int64_t RoundTripsBeforeRefill(int64_t points) {
  const int64_t trips = static_cast<int64_t>(30.0 / std::log10(static_cast<double>(points)));
  return trips < 1 ? 1 : trips;
}

void BM_ComplexFft(benchmark::State& state) {
  const auto points = static_cast<int32_t>(state.range(0));
  SetFftProcessorCount(static_cast<int>(state.range(1)));
  AllocateFftTables(points);
  std::vector<float> data;
  CheckedAlloc(data, 2 * static_cast<size_t>(points));
  FillSignal(data.data(), data.size());
  ComplexFft(points, data.data(), kFftForward);  // builds the tables
  const int64_t refill = RoundTripsBeforeRefill(points);
  int64_t trips = 0;
  for (auto _ : state) {
    if (++trips % refill == 0) {
      state.PauseTiming();
      FillSignal(data.data(), data.size());
      state.ResumeTiming();
    }
    ComplexFft(points, data.data(), kFftForward);
    ComplexFft(points, data.data(), kFftInverse);
    benchmark::ClobberMemory();
  }
  state.counters["threads_used"] = gFftTables.threadMode;
  ReleaseFftTables();
}

void BM_Fftw(benchmark::State& state) {
  const auto points = static_cast<int>(state.range(0));
  fftwf_plan_with_nthreads(static_cast<int>(state.range(1)));
  auto* data = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * points));
  fftwf_plan forward = fftwf_plan_dft_1d(points, data, data, FFTW_BACKWARD, FFTW_MEASURE);  // exp(+...)
  fftwf_plan backward = fftwf_plan_dft_1d(points, data, data, FFTW_FORWARD, FFTW_MEASURE);  // exp(-...)
  float* floats = reinterpret_cast<float*>(data);
  FillSignal(floats, 2 * static_cast<size_t>(points));
  const int64_t refill = RoundTripsBeforeRefill(points);
  int64_t trips = 0;
  for (auto _ : state) {
    if (++trips % refill == 0) {
      state.PauseTiming();
      FillSignal(floats, 2 * static_cast<size_t>(points));
      state.ResumeTiming();
    }
    fftwf_execute(forward);
    fftwf_execute(backward);
    benchmark::ClobberMemory();
  }
  fftwf_destroy_plan(forward);
  fftwf_destroy_plan(backward);
  fftwf_free(data);
}

void BM_MixedRadixDft(benchmark::State& state) {
  const auto points = static_cast<int32_t>(state.range(0));
  AllocateDftTables(points);
  std::vector<float> inRe, inIm, outRe, outIm;
  CheckedAlloc(inRe, points);
  CheckedAlloc(inIm, points);
  CheckedAlloc(outRe, points);
  CheckedAlloc(outIm, points);
  FillSignal(inRe.data(), points);
  FillSignal(inIm.data(), points);
  for (auto _ : state) {
    MixedRadixDft(points, inRe.data(), inIm.data(), outRe.data(), outIm.data());
    benchmark::ClobberMemory();
  }
  ReleaseDftTables();
}

// Arg 0: RealSpectrum, wave to spectrum; 1: SpectrumToWave, back.
void RealForm(benchmark::State& state, bool toWave) {
  const auto points = static_cast<int32_t>(state.range(0));
  AllocateDftTables(points);
  std::vector<float> wave(static_cast<size_t>(points)), re(wave.size()), im(wave.size());
  FillSignal(wave.data(), wave.size());
  RealSpectrum(points, wave.data(), re.data(), im.data());
  for (auto _ : state) {
    if (toWave) {
      SpectrumToWave(points, re.data(), im.data(), wave.data());
    } else {
      RealSpectrum(points, wave.data(), re.data(), im.data());
    }
    benchmark::ClobberMemory();
  }
  ReleaseDftTables();
}

void BM_RealSpectrum(benchmark::State& state) { RealForm(state, false); }
void BM_SpectrumToWave(benchmark::State& state) { RealForm(state, true); }

void BM_FftwRealDft(benchmark::State& state) {
  const auto points = static_cast<int>(state.range(0));
  fftwf_plan_with_nthreads(1);
  float* in = fftwf_alloc_real(points);
  fftwf_complex* out = fftwf_alloc_complex(points / 2 + 1);
  fftwf_plan plan = fftwf_plan_dft_r2c_1d(points, in, out, FFTW_MEASURE);
  FillSignal(in, points);
  for (auto _ : state) {
    fftwf_execute(plan);
    benchmark::ClobberMemory();
  }
  fftwf_destroy_plan(plan);
  fftwf_free(in);
  fftwf_free(out);
}

// FFTW's split-array transform in one precision, named by its prefix.
struct FftwSingle {
  using Real = float;
  static constexpr auto alloc = fftwf_alloc_real;
  static constexpr auto plan = fftwf_plan_guru_split_dft;
  static constexpr auto execute = fftwf_execute_split_dft;
  static constexpr auto destroy = fftwf_destroy_plan;
  static constexpr auto release = fftwf_free;
};
struct FftwDouble {
  using Real = double;
  static constexpr auto alloc = fftw_alloc_real;
  static constexpr auto plan = fftw_plan_guru_split_dft;
  static constexpr auto execute = fftw_execute_split_dft;
  static constexpr auto destroy = fftw_destroy_plan;
  static constexpr auto release = fftw_free;
};

template <class Fftw>
void FftwSplitDft(benchmark::State& state) {
  const auto points = static_cast<int>(state.range(0));
  fftwf_plan_with_nthreads(1);
  typename Fftw::Real* rows[4];  // in re, in im, out re, out im
  for (auto*& row : rows) row = Fftw::alloc(points);
  fftw_iodim dim = {points, 1, 1};
  // The split-array form; with the arrays in this order it is FFTW's
  // forward transform, exp(-...), like ours.
  auto plan = Fftw::plan(1, &dim, 0, nullptr, rows[0], rows[1], rows[2], rows[3], FFTW_MEASURE);
  FillSignal(rows[0], points);
  FillSignal(rows[1], points);
  for (auto _ : state) {
    Fftw::execute(plan, rows[0], rows[1], rows[2], rows[3]);
    benchmark::ClobberMemory();
  }
  Fftw::destroy(plan);
  for (auto* row : rows) Fftw::release(row);
}

void BM_FftwDft(benchmark::State& state) { FftwSplitDft<FftwSingle>(state); }
void BM_FftwDftDouble(benchmark::State& state) { FftwSplitDft<FftwDouble>(state); }

void ComplexSizes(benchmark::internal::Benchmark* b) {
  for (int points : {1024, 8192, 32768, 131072})
    for (int threads : {1, 2}) b->Args({points, threads});
  b->Unit(benchmark::kMicrosecond);
}

void DftSizes(benchmark::internal::Benchmark* b) {
  for (int points : {128, 256, 1024, 4096, 1000}) b->Arg(points);
  b->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(BM_ComplexFft)->Apply(ComplexSizes)->UseRealTime();
BENCHMARK(BM_Fftw)->Apply(ComplexSizes)->UseRealTime();
BENCHMARK(BM_MixedRadixDft)->Apply(DftSizes);
BENCHMARK(BM_FftwDft)->Apply(DftSizes);
BENCHMARK(BM_FftwDftDouble)->Apply(DftSizes);
BENCHMARK(BM_RealSpectrum)->Apply(DftSizes);
BENCHMARK(BM_SpectrumToWave)->Apply(DftSizes);
BENCHMARK(BM_FftwRealDft)->Apply(DftSizes);

int main(int argc, char** argv) {
  fftwf_init_threads();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fftwf_cleanup_threads();
  return 0;
}
