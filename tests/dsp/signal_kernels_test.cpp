#include "dsp/signal_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace {

TEST(HannWindow, IsThePeriodicForm) {
  std::vector<double> w(1024);
  HannWindow(w.data(), 1024);
  EXPECT_EQ(w[0], 0.0);
  EXPECT_DOUBLE_EQ(w[512], 1.0);
  EXPECT_DOUBLE_EQ(w[256], 0.5);
  EXPECT_DOUBLE_EQ(w[1023], (1.0 - std::cos(2.0 * std::numbers::pi * 1023 / 1024)) * 0.5);
  EXPECT_GT(w[1023], 0.0);  // the last value is just above zero, not zero
  for (int k = 1; k < 512; ++k) EXPECT_NEAR(w[k], w[1024 - k], 1e-15) << k;
  // Periodic windows at half overlap sum to exactly 1.
  for (int k = 0; k < 512; ++k) EXPECT_NEAR(w[k] + w[k + 512], 1.0, 1e-15);
}

TEST(LoopTripler, CopiesThreeTimesWithOptionalFades) {
  const int length = 300;
  std::vector<float> source(length);
  for (int i = 0; i < length; ++i) source[i] = 1.0f + i * 0.01f;
  std::vector<float> plain(3 * length, -9.0f), faded(3 * length, -9.0f);

  // A count of 1 means "no fade": three exact copies.
  TripleLoopSegment(source.data(), plain.data(), 1, length);
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < length; ++i) ASSERT_EQ(plain[c * length + i], source[i]);

  TripleLoopSegment(source.data(), faded.data(), 5, length);
  std::vector<double> w(128);
  HannWindow(w.data(), 128);
  for (int c = 0; c < 3; ++c) {
    const float* copy = faded.data() + c * length;
    EXPECT_EQ(copy[0], 0.0f);
    EXPECT_EQ(copy[length - 1], 0.0f);
    for (int k = 0; k < kLoopFadeLength; ++k) {
      EXPECT_FLOAT_EQ(copy[k], static_cast<float>(source[k] * w[k]));
      EXPECT_FLOAT_EQ(copy[length - 1 - k], static_cast<float>(source[length - 1 - k] * w[k]));
    }
    for (int i = kLoopFadeLength; i < length - kLoopFadeLength; ++i) EXPECT_EQ(copy[i], source[i]);
  }
  EXPECT_NEAR(faded[63], source[63] * w[63], 1e-6);
  EXPECT_LT(w[63], 1.0);
}

TEST(LoopTripler, SegmentShorterThanTheFadeStaysInside) {
  // Fading 64 samples at each end of a 40-sample segment would reach in
  // front of it; each end is faded over the segment's own length instead.
  const int length = 40;
  std::vector<float> source(length, 1.0f);
  std::vector<float> buffer(3 * length + 8, -7.0f);
  TripleLoopSegment(source.data(), buffer.data() + 4, 2, length);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(buffer[i], -7.0f);
  for (int i = 4 + 3 * length; i < 8 + 3 * length; ++i) EXPECT_EQ(buffer[i], -7.0f);
  EXPECT_EQ(buffer[4], 0.0f);
  std::vector<double> w(128);
  HannWindow(w.data(), 128);
  EXPECT_FLOAT_EQ(buffer[4 + 10], static_cast<float>(w[10] * w[29]));
  EXPECT_EQ(buffer[4 + length], buffer[4]);
}

TEST(RemoveMean, LeavesZeroSumsAloneAndCentresTheRest) {
  std::vector<float> zeros(100, 0.0f);
  RemoveMean(zeros.data(), 100);
  for (float v : zeros) EXPECT_EQ(v, 0.0f);

  std::vector<float> centred = {0.5f, -0.25f, -0.25f, 1.0f, -1.0f};
  const auto before = centred;
  RemoveMean(centred.data(), 5);
  EXPECT_EQ(centred, before);

  std::vector<float> offset = {1.5f, 2.5f, 3.5f, 4.5f};
  RemoveMean(offset.data(), 4);
  EXPECT_EQ(offset, (std::vector<float>{-1.5f, -0.5f, 0.5f, 1.5f}));

  // A NaN sum is not "exactly zero": the mean is removed and the NaN spreads.
  std::vector<float> withNan = {1.0f, std::numeric_limits<float>::quiet_NaN(), 2.0f};
  RemoveMean(withNan.data(), 3);
  for (float v : withNan) EXPECT_TRUE(std::isnan(v));

  RemoveMean(nullptr, 0);  // an empty array is left alone
}

}  // namespace
