#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <string>
#include <vector>

#include "core/random.h"
#include "vorta_fixture.h"
#include "wavetable/xform_workspace.h"

namespace xform_fixture {

// A stereo sine of `cycles` periods per slice in frames 0 .. frames - 1.
inline void WriteSine(std::span<float> stereo, int64_t frames, double cycles, float left, float right) {
  for (int64_t i = 0; i < frames; ++i) {
    const double v = std::sin(2.0 * std::numbers::pi * cycles * static_cast<double>(i) / kXformSliceLength);
    stereo[2 * static_cast<size_t>(i)] = static_cast<float>(left * v);
    stereo[2 * static_cast<size_t>(i) + 1] = static_cast<float>(right * v);
  }
}

inline void WriteNoise(std::span<float> stereo, int64_t frames, uint32_t seed, float amplitude) {
  SeedRandom(seed);
  for (size_t i = 0; i < 2 * static_cast<size_t>(frames); ++i)
    stereo[i] = amplitude * (static_cast<float>(RandomNext()) / 16383.5f - 1.0f);
}

inline bool AllFinite(std::span<const float> v) {
  return std::ranges::all_of(v, [](float x) { return std::isfinite(x); });
}
inline bool AllZero(std::span<const float> v) { return std::ranges::all_of(v, [](float x) { return x == 0.0f; }); }

// Largest difference relative to the larger peak of the two.
inline double RelativeDifference(std::span<const float> a, std::span<const float> b) {
  double largest = 0.0;
  double difference = 0.0;
  for (size_t i = 0; i < a.size(); ++i) {
    largest = std::max({largest, std::fabs(static_cast<double>(a[i])), std::fabs(static_cast<double>(b[i]))});
    difference = std::max(difference, std::fabs(static_cast<double>(a[i]) - b[i]));
  }
  return largest > 0.0 ? difference / largest : difference;
}

// A workspace entered with 1 GiB (eight undo entries) and the given lanes; left at the end.
struct Session {
  XformWorkspace workspace;
  explicit Session(int lanes = 2) { EnterXform(workspace, 1ull << 30, lanes); }
  ~Session() { LeaveXform(workspace); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  XformTable& table() { return workspace.table; }
  MessageCode Reconstruct(int64_t frames, const ProgressHooks& hook = {}) {
    return LoadXformSource(workspace, frames, "SOURCE", hook);
  }
};

}  // namespace xform_fixture
