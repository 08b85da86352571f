#include "dsp/stereo_spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

#include "core/random.h"
#include "dsp/complex_fft.h"
#include "dsp/fft_tables.h"

namespace {

constexpr int32_t kPoints = 1024;
constexpr int32_t kHalf = kPoints / 2;

class StereoSpectrumTest : public ::testing::Test {
 protected:
  void SetUp() override { AllocateFftTables(kPoints); }
  void TearDown() override { ReleaseFftTables(); }
};

TEST_F(StereoSpectrumTest, UnpackSeparatesTwoRealSignals) {
  std::vector<float> z(2 * kPoints);
  for (int32_t j = 0; j < kPoints; ++j) {
    const double phase = 2.0 * std::numbers::pi * j / kPoints;
    z[2 * j] = static_cast<float>(std::cos(5 * phase));      // left
    z[2 * j + 1] = static_cast<float>(std::sin(9 * phase));  // right
  }
  ComplexFft(kPoints, z.data(), kFftForward);
  std::vector<float> left(2 * (kHalf + 1), 7.0f), right(2 * (kHalf + 1), 7.0f);
  UnpackStereoSpectrum(z.data(), left.data(), right.data(), kPoints);
  // A cosine of n points has n/2 in its bin; flag 0 uses exp(+...), so a sine lands on +i n/2; Nyquist cleared.
  for (int32_t m = 0; m <= kHalf; ++m) {
    EXPECT_NEAR(left[2 * m], m == 5 ? kPoints : 0.0, 2e-3) << m;
    EXPECT_NEAR(left[2 * m + 1], 0.0, 2e-3) << m;
    EXPECT_NEAR(right[2 * m], 0.0, 2e-3) << m;
    EXPECT_NEAR(right[2 * m + 1], m == 9 ? kPoints : 0.0, 2e-3) << m;
  }
  EXPECT_EQ(std::tuple(left[kPoints], right[kPoints + 1]), std::tuple(0.0f, 0.0f));
}

// Pack and unpack invert each other up to n; packing writes every entry, clears DC and may overwrite its input a.
TEST_F(StereoSpectrumTest, PackTransformUnpackRoundTrip) {
  SeedRandom(77);
  std::vector<float> a(2 * kPoints, 0.0f), b(2 * (kHalf + 1));
  for (int i = 0; i < 2 * (kHalf + 1); ++i) a[i] = RandomNext() / 16383.5f - 1.0f;
  for (auto& v : b) v = RandomNext() / 16383.5f - 1.0f;
  std::vector<float> z(2 * kPoints, 9.0f), a2(2 * (kHalf + 1)), b2(2 * (kHalf + 1));
  PackStereoSpectrum(z.data(), a.data(), b.data(), kPoints);
  EXPECT_EQ(std::tuple(z[0], z[1]), std::tuple(0.0f, 0.0f));
  const std::vector<float> original = a;
  PackStereoSpectrum(a.data(), a.data(), b.data(), kPoints);
  EXPECT_EQ(a, z);
  ComplexFft(kPoints, z.data(), kFftInverse);
  ComplexFft(kPoints, z.data(), kFftForward);  // back to the packed spectrum times n
  UnpackStereoSpectrum(z.data(), a2.data(), b2.data(), kPoints);
  for (int32_t i = 2; i < 2 * kHalf; ++i) {
    EXPECT_NEAR(a2[i], 2.0 * kPoints * original[i], 2e-3) << i;
    EXPECT_NEAR(b2[i], 2.0 * kPoints * b[i], 2e-3) << i;
  }
  EXPECT_EQ(std::tuple(a2[0], b2[2 * kHalf]), std::tuple(0.0f, 0.0f));
}

}  // namespace
