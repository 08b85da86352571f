#include "dsp/mixed_radix_dft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "dsp/dft_reference.h"

namespace {

// Double arithmetic inside, float in and out: a few float roundings of RMS error relative to the signal.
constexpr double kRelativeErrorBound = 3e-7;

// Run with the portable passes and, where the processor has AVX2, the vector ones.
class MixedRadixDftTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam() && VectorDftPassRunner() == nullptr) GTEST_SKIP() << "no AVX2 on this processor";
    SelectDftPassRunner(GetParam() ? VectorDftPassRunner() : PortableDftPassRunner());
    AllocateDftTables(4096);
  }
  void TearDown() override {
    ReleaseDftTables();
    SelectDftPassRunner(nullptr);
  }

  // The transform of x, interleaved; in place when asked (the arrays may alias).
  static std::vector<float> Transform(const std::vector<std::complex<double>>& x, bool inPlace = false) {
    const auto n = static_cast<int32_t>(x.size());
    const std::vector<float> in = Interleave(x);
    std::vector<float> re(n), im(n), outRe(n), outIm(n), out(2 * n);
    for (int32_t j = 0; j < n; ++j) re[j] = in[2 * j], im[j] = in[2 * j + 1];
    float* toRe = inPlace ? re.data() : outRe.data();
    float* toIm = inPlace ? im.data() : outIm.data();
    MixedRadixDft(n, re.data(), im.data(), toRe, toIm);
    for (int32_t k = 0; k < n; ++k) out[2 * k] = toRe[k], out[2 * k + 1] = toIm[k];
    return out;
  }
};

TEST_P(MixedRadixDftTest, MatchesPlainDftForManyLengthsAlsoInPlace) {
  std::vector<int32_t> lengths;
  for (int32_t n = 1; n <= 64; ++n) lengths.push_back(n);
  // Powers of two, decimal, prime, composite and square lengths; 6000 is beyond 4096: the tables must grow.
  for (int32_t n : {100, 128, 250, 256, 360, 512, 1000, 1001, 1009, 1024, 2000, 4096, 121, 169, 98, 6000})
    lengths.push_back(n);
  for (int32_t n : lengths) {
    const auto x = NoiseSignal(n, 1000 + n);
    const auto got = Transform(x);
    EXPECT_LT(RelativeRmsError(got, ReferenceDft(x, -1)), kRelativeErrorBound) << "n=" << n;
    EXPECT_EQ(Transform(x, true), got) << "n=" << n;
  }
}

// exp(+2 pi i jk/n): one sine cycle lands on +i n/2 in bin 1; spectrum and back gives the wave times n.
// Even lengths go through the half-length transform; 6000 grows tables allocated for 4096 although
// its half fits. The wave of any spectrum, conjugate-symmetric or not, is the real part of its transform.
TEST_P(MixedRadixDftTest, RealSpectrumAndBackToTheWave) {
  for (int32_t n : {1, 2, 4, 7, 97, 128, 256, 1000, 6000}) {
    auto x = NoiseSignal(n, 500 + n);
    std::vector<float> wave(n), re(n), im(n), out(2 * n), back(n);
    for (int32_t j = 0; j < n; ++j) x[j] = wave[j] = static_cast<float>(x[j].real());
    RealSpectrum(n, wave.data(), re.data(), im.data());
    for (int32_t k = 0; k < n; ++k) out[2 * k] = re[k], out[2 * k + 1] = im[k];
    EXPECT_LT(RelativeRmsError(out, ReferenceDft(x, +1)), kRelativeErrorBound) << "n=" << n;
    SpectrumToWave(n, re.data(), im.data(), back.data());
    for (int32_t j = 0; j < n; ++j) EXPECT_NEAR(back[j] / n, wave[j], 1e-5) << "n=" << n;

    const auto spectrum = NoiseSignal(n, 900 + n);
    auto want = ReferenceDft(spectrum, -1);
    for (int32_t k = 0; k < n; ++k) re[k] = static_cast<float>(spectrum[k].real()), im[k] = static_cast<float>(spectrum[k].imag());
    SpectrumToWave(n, re.data(), im.data(), back.data());
    for (int32_t j = 0; j < n; ++j) out[2 * j] = back[j], out[2 * j + 1] = 0.0f, want[j].imag(0.0);
    EXPECT_LT(RelativeRmsError(out, want), kRelativeErrorBound) << "n=" << n;
  }
  // A partial re = A cos(phi), im = A sin(phi) at bin k gives A cos(2 pi jk/n - phi).
  const int32_t n = 256;
  std::vector<float> re(n, 0.0f), im(n, 0.0f), y(n);
  const double amplitude = 0.8, phi = 0.6;
  re[5] = static_cast<float>(amplitude * std::cos(phi));
  im[5] = static_cast<float>(amplitude * std::sin(phi));
  SpectrumToWave(n, re.data(), im.data(), y.data());
  for (int32_t j = 0; j < n; ++j)
    EXPECT_NEAR(y[j], amplitude * std::cos(2.0 * std::numbers::pi * j * 5 / n - phi), 1e-6) << j;
}

INSTANTIATE_TEST_SUITE_P(Runners, MixedRadixDftTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Vector" : "Portable"); });

TEST(DftFactors, FollowTheFactorisationRules) {
  using F = std::vector<int32_t>;
  const std::pair<int32_t, F> cases[] = {
      {16, {4, 4}},  // 8 x 2 becomes 4 x 4
      {12, {3, 4}},  // found 4, 3; applied reversed
      {7, {7}}, {1, {1}}, {2, {2}},
      {128, {4, 4, 8}},  // 8 8 2: the latest 8 and the 2 become 4 4
      {256, {4, 8, 8}}, {1024, {4, 4, 8, 8}}, {4096, {8, 8, 8, 8}}, {1000, {10, 10, 10}},
      {18, {2, 3, 3}},  // a trailing 2 without an 8 stays
      {98, {7, 7, 2}},  // primes beyond 5 by trial division
      {2 * 4099, {4099, 2}},
  };
  for (const auto& [n, factors] : cases) EXPECT_EQ(DftFactors(n), factors) << n;
}

TEST(DftTables, FollowTheLengthAndAreReleased) {
  AllocateDftTables(4096);
  std::vector<float> re(12, 1.0f), im(12, 0.0f);
  MixedRadixDft(12, re.data(), im.data(), re.data(), im.data());
  EXPECT_EQ(std::pair(gDftTables.cachedLength, gDftTables.factorCount), std::pair(12, 2));
  EXPECT_FLOAT_EQ(re[0], 12.0f);
  ReleaseDftTables();
  EXPECT_TRUE(gDftTables.cachedLength == 0 && gDftTables.rowARe.empty() && gDftTables.trigCos.empty());
}

}  // namespace
