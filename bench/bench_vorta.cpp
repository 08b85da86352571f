// The VORTA engine after every key press: render the whole table, and the
// optimisation most edits end with.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/random.h"
#include "dsp/dft_tables.h"
#include "wavetable/partial_table.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/table_editing.h"
#include "wavetable/vorta_synthesis.h"

namespace {

// A busy table: every partial of every slice sounding, as after "RNDDATA".
PartialTable BusyTable() {
  AllocateDftTables(kVortaDftLength);
  SeedRandom(1);
  PartialTable table;
  RandomizeTable(table);
  return table;
}

}  // namespace

static void BM_RenderTable(benchmark::State& state) {
  const PartialTable table = BusyTable();
  std::vector<float> ram(kRamWavetableSamples);
  const auto stretch = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(RenderTable(table, ram, stretch, 1.0));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(RenderedLength(kUnitySliceLength, stretch)));
}
BENCHMARK(BM_RenderTable)->Arg(1)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

static void BM_OptimizeTable(benchmark::State& state) {
  PartialTable busy = BusyTable();
  FillCodes(busy, 7, kAllRows, kMaxCode);  // one slice far above full scale
  for (auto _ : state) {
    PartialTable table = busy;
    OptimizeTable(table, kOptimizeRaise);
    benchmark::DoNotOptimize(table);
  }
}
BENCHMARK(BM_OptimizeTable)->Unit(benchmark::kMicrosecond);

static void BM_SlicePeak(benchmark::State& state) {
  const PartialTable table = BusyTable();
  for (auto _ : state) benchmark::DoNotOptimize(SlicePeak(table, 16));
}
BENCHMARK(BM_SlicePeak)->Unit(benchmark::kMicrosecond);
