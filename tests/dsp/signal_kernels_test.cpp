#include "dsp/signal_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr int kFade = 64;  // samples faded at each end of a loop copy

std::vector<double> Hann(int n) {
  std::vector<double> w(n);
  HannWindow(w.data(), n);
  return w;
}

TEST(HannWindow, IsThePeriodicForm) {
  const std::vector<double> w = Hann(1024);
  EXPECT_EQ(w[0], 0.0);
  EXPECT_DOUBLE_EQ(w[512], 1.0);
  EXPECT_GT(w[1023], 0.0);  // the last value is just above zero, not zero
  // Symmetric about the middle; periodic windows at half overlap sum to exactly 1.
  for (int k = 1; k < 512; ++k) {
    EXPECT_NEAR(w[k], w[1024 - k], 1e-15) << k;
    EXPECT_NEAR(w[k] + w[k + 512], 1.0, 1e-15) << k;
  }
}

// Count 1: three exact copies. A segment shorter than the fade has both fades overlap; nothing written outside.
TEST(LoopTripler, CopiesThreeTimesWithOptionalFadesInsideTheSegment) {
  const std::vector<double> w = Hann(2 * kFade);
  for (const auto& [length, fadeCount] : {std::pair{300, 1}, std::pair{300, 5}, std::pair{40, 2}}) {
    std::vector<float> source(length), buffer(3 * length + 8, -7.0f);
    for (int i = 0; i < length; ++i) source[i] = 1.0f + i * 0.01f;
    TripleLoopSegment(source.data(), buffer.data() + 4, fadeCount, length);
    for (int i : {0, 3, 4 + 3 * length, 7 + 3 * length}) EXPECT_EQ(buffer[i], -7.0f) << length << " at " << i;
    for (int i = 0; i < 3 * length; ++i) {
      const int at = i % length, fromEnd = length - 1 - at;
      const double gain = fadeCount == 1 ? 1.0 : (at < kFade ? w[at] : 1.0) * (fromEnd < kFade ? w[fromEnd] : 1.0);
      ASSERT_FLOAT_EQ(buffer[4 + i], static_cast<float>(source[at] * gain)) << length << "/" << fadeCount << " at " << i;
    }
  }
}

TEST(RemoveMean, LeavesZeroSumsAloneAndCentresTheRest) {
  const std::pair<std::vector<float>, std::vector<float>> cases[] = {
      {std::vector<float>(100, 0.0f), std::vector<float>(100, 0.0f)},
      {{0.5f, -0.25f, -0.25f, 1.0f, -1.0f}, {0.5f, -0.25f, -0.25f, 1.0f, -1.0f}},
      {{1.5f, 2.5f, 3.5f, 4.5f}, {-1.5f, -0.5f, 0.5f, 1.5f}},
  };
  for (auto [data, want] : cases) {
    RemoveMean(data.data(), static_cast<int32_t>(data.size()));
    EXPECT_EQ(data, want);
  }
  // A NaN sum is not "exactly zero": the mean is removed and the NaN spreads.
  std::vector<float> withNan = {1.0f, std::numeric_limits<float>::quiet_NaN(), 2.0f};
  RemoveMean(withNan.data(), 3);
  for (float v : withNan) EXPECT_TRUE(std::isnan(v));
  RemoveMean(nullptr, 0);  // an empty array is left alone
}

}  // namespace
