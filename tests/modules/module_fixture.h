#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <cstdint>
#include <numeric>
#include <numbers>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/random.h"
#include "dsp/fft_tables.h"
#include "dsp/mixed_radix_dft.h"
#include "core/progress_hooks.h"

// The transform tables the modules allocate on entry, a seeded generator, one processor.
class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AllocateDftTables(4096);
    AllocateFftTables(8192);
    SeedRandom(1);
    SetFftProcessorCount(1);
  }
};

// Records every progress call; cancels at call cancelAtCall (0-based; negative never).
struct ScriptedProgress {
  struct Call {
    std::string label;
    int64_t done, total;
  };
  std::vector<Call> calls;
  int cancelAtCall;
  explicit ScriptedProgress(int cancelAt = -1) : cancelAtCall(cancelAt) {}

  ProgressHooks Hooks() {
    return {[this](const char* label, int64_t done, int64_t total) {
      calls.push_back({label, done, total});
      return static_cast<int>(calls.size()) - 1 == cancelAtCall;
    }};
  }
};

inline std::vector<float> Sine(size_t count, double cyclesPerSample, double amplitude = 1.0, double phase = 0.0) {
  std::vector<float> out(count);
  for (size_t i = 0; i < count; ++i)
    out[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * cyclesPerSample * static_cast<double>(i) + phase));
  return out;
}

inline std::vector<float> Noise(size_t count, uint32_t seed, float amplitude = 1.0f) {
  uint32_t state = seed;
  std::vector<float> out(count);
  for (float& v : out) {
    state = state * 1664525u + 1013904223u;
    v = amplitude * (static_cast<float>(state >> 8) / static_cast<float>(1u << 24) * 2.0f - 1.0f);
  }
  return out;
}

// Not a number if any sample is one, so std::isfinite of it says all are finite.
inline double MaxAbsOf(std::span<const float> v) {
  double peak = 0.0;
  for (float x : v)
    if (!(std::fabs(x) <= peak)) peak = std::fabs(static_cast<double>(x));
  return peak;
}
