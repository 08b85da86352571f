#include "dsp/mixed_radix_dft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "dsp/dft_reference.h"

namespace {

// Double arithmetic inside, float in and out: the RMS error relative to the
// signal level is bounded by a few float roundings.
constexpr double kRelativeErrorBound = 3e-7;

struct RunnerCase {
  bool vector;
  const char* name;
};

class MixedRadixDftTest : public ::testing::TestWithParam<RunnerCase> {
 protected:
  void SetUp() override {
    if (GetParam().vector && VectorDftPassRunner() == nullptr) GTEST_SKIP() << "no AVX2 on this processor";
    SelectDftPassRunner(GetParam().vector ? VectorDftPassRunner() : PortableDftPassRunner());
    AllocateDftTables(4096);
  }
  void TearDown() override {
    ReleaseDftTables();
    SelectDftPassRunner(nullptr);
  }

  static std::vector<float> Transform(const std::vector<std::complex<double>>& x) {
    const auto n = static_cast<int32_t>(x.size());
    std::vector<float> re(n), im(n), outRe(n), outIm(n), out(2 * n);
    for (int32_t j = 0; j < n; ++j) {
      re[j] = static_cast<float>(x[j].real());
      im[j] = static_cast<float>(x[j].imag());
    }
    MixedRadixDft(n, re.data(), im.data(), outRe.data(), outIm.data());
    for (int32_t k = 0; k < n; ++k) {
      out[2 * k] = outRe[k];
      out[2 * k + 1] = outIm[k];
    }
    return out;
  }
};

TEST_P(MixedRadixDftTest, MatchesPlainDftForManyLengths) {
  std::vector<int32_t> lengths;
  for (int32_t n = 1; n <= 64; ++n) lengths.push_back(n);
  // Powers of two, decimal lengths, odd primes and their products, squares of primes.
  for (int32_t n : {100, 128, 250, 256, 360, 512, 1000, 1001, 1009, 1024, 2000, 4096, 121, 169, 98, 6000})
    lengths.push_back(n);
  for (int32_t n : lengths) {
    const auto x = NoiseSignal(n, 1000 + n);
    EXPECT_LT(RelativeRmsError(Transform(x), ReferenceDft(x, -1)), kRelativeErrorBound) << "n=" << n;
  }
}

TEST_P(MixedRadixDftTest, LengthOneReturnsTheInputAndArraysMayAlias) {
  float re = 0.75f, im = -2.5f, outRe = 0.0f, outIm = 0.0f;
  MixedRadixDft(1, &re, &im, &outRe, &outIm);
  EXPECT_EQ(outRe, 0.75f);
  EXPECT_EQ(outIm, -2.5f);

  const auto x = NoiseSignal(360, 9);
  const auto want = Transform(x);
  std::vector<float> inPlaceRe(360), inPlaceIm(360);
  for (int j = 0; j < 360; ++j) {
    inPlaceRe[j] = static_cast<float>(x[j].real());
    inPlaceIm[j] = static_cast<float>(x[j].imag());
  }
  MixedRadixDft(360, inPlaceRe.data(), inPlaceIm.data(), inPlaceRe.data(), inPlaceIm.data());
  for (int k = 0; k < 360; ++k) {
    EXPECT_EQ(inPlaceRe[k], want[2 * k]);
    EXPECT_EQ(inPlaceIm[k], want[2 * k + 1]);
  }
}

// The spectrum of a real wave uses exp(+2 pi i jk/n): one sine cycle lands
// on +i n/2 in bin 1.
TEST_P(MixedRadixDftTest, RealSpectrumIsThePlainDftOfARealWave) {
  for (int32_t n : {7, 97, 128, 256, 1000}) {
    auto x = NoiseSignal(n, 500 + n);
    std::vector<float> wave(n), re(n), im(n), out(2 * n);
    for (int32_t j = 0; j < n; ++j) {
      x[j] = x[j].real();
      wave[j] = static_cast<float>(x[j].real());
    }
    RealSpectrum(n, wave.data(), re.data(), im.data());
    for (int32_t k = 0; k < n; ++k) out[2 * k] = re[k], out[2 * k + 1] = im[k];
    EXPECT_LT(RelativeRmsError(out, ReferenceDft(x, +1)), kRelativeErrorBound) << "n=" << n;
  }
}

TEST_P(MixedRadixDftTest, SpectrumToWaveBuildsPartialsAndInvertsRealSpectrum) {
  // A partial re = A cos(phi), im = A sin(phi) at bin k gives A cos(2 pi jk/n - phi).
  const int32_t n = 256;
  std::vector<float> re(n, 0.0f), im(n, 0.0f), y(n);
  const double amplitude = 0.8, phi = 0.6;
  re[5] = static_cast<float>(amplitude * std::cos(phi));
  im[5] = static_cast<float>(amplitude * std::sin(phi));
  SpectrumToWave(n, re.data(), im.data(), y.data());
  for (int32_t j = 0; j < n; ++j)
    EXPECT_NEAR(y[j], amplitude * std::cos(2.0 * std::numbers::pi * j * 5 / n - phi), 1e-6) << j;

  // Spectrum and back gives the wave times n, for any length.
  for (int32_t length : {256, 1000, 97}) {
    const auto noise = NoiseSignal(length, 21);
    std::vector<float> x(length), spectrumRe(length), spectrumIm(length), back(length);
    for (int32_t j = 0; j < length; ++j) x[j] = static_cast<float>(noise[j].real());
    RealSpectrum(length, x.data(), spectrumRe.data(), spectrumIm.data());
    SpectrumToWave(length, spectrumRe.data(), spectrumIm.data(), back.data());
    for (int32_t j = 0; j < length; ++j) EXPECT_NEAR(back[j] / length, x[j], 1e-5) << "n=" << length;
  }
}

INSTANTIATE_TEST_SUITE_P(Runners, MixedRadixDftTest,
                         ::testing::Values(RunnerCase{false, "Portable"}, RunnerCase{true, "Vector"}),
                         [](const auto& info) { return std::string(info.param.name); });

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

TEST(DftTables, HoldSofarAndRemainPerPassAndFollowTheLength) {
  AllocateDftTables(4096);
  std::vector<float> re(12, 1.0f), im(12, 0.0f);
  MixedRadixDft(12, re.data(), im.data(), re.data(), im.data());
  EXPECT_EQ(gDftTables.cachedLength, 12);
  ASSERT_EQ(gDftTables.factorCount, 2);
  for (int pass = 1; pass <= 2; ++pass) {
    EXPECT_EQ(std::vector<int32_t>({gDftTables.actual[pass], gDftTables.sofar[pass], gDftTables.remain[pass]}),
              pass == 1 ? std::vector<int32_t>({3, 1, 4}) : std::vector<int32_t>({4, 3, 1}));
  }
  EXPECT_FLOAT_EQ(re[0], 12.0f);

  // Longer than reserved: the rows grow instead of overflowing.
  const auto x = NoiseSignal(5000, 2);
  std::vector<float> xr(5000), xi(5000);
  for (int j = 0; j < 5000; ++j) {
    xr[j] = static_cast<float>(x[j].real());
    xi[j] = static_cast<float>(x[j].imag());
  }
  MixedRadixDft(5000, xr.data(), xi.data(), xr.data(), xi.data());
  EXPECT_GE(gDftTables.maxLength, 5000);
  const auto want = ReferenceBin(x, 17, -1);
  EXPECT_NEAR(xr[17], want.real(), 1e-3);
  EXPECT_NEAR(xi[17], want.imag(), 1e-3);

  ReleaseDftTables();
  EXPECT_EQ(gDftTables.cachedLength, 0);
  EXPECT_TRUE(gDftTables.rowARe.empty());
  EXPECT_TRUE(gDftTables.trigCos.empty());
}

}  // namespace
