// Encoding and decoding the settings image: run at every launch and exit.
#include <benchmark/benchmark.h>

#include "core/settings.h"

static void BM_EncodeSettingsFile(benchmark::State& state) {
  SettingsBlock block;
  UserPathList paths;
  paths[2] = "/home/user/sounds/";
  for (auto _ : state) benchmark::DoNotOptimize(EncodeSettingsFile(block, paths));
}
BENCHMARK(BM_EncodeSettingsFile);

static void BM_DecodeSettingsFile(benchmark::State& state) {
  SettingsBlock block;
  UserPathList paths;
  const auto image = EncodeSettingsFile(block, paths);
  for (auto _ : state) {
    DecodeSettingsFile(image, block, paths);
    benchmark::DoNotOptimize(block);
  }
}
BENCHMARK(BM_DecodeSettingsFile);
