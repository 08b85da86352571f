// XFORM reconstruction, and the files its tables are written to and loaded from.
#include "wavetable/xform_synthesis.h"

#include <cstring>

#include "core/byte_order.h"
#include "core/phase_table.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_reader.h"
#include "files/wave_writer.h"
#include "support/temp_folder.h"
#include "wavetable/xform_bin_passes.h"
#include "wavetable/xform_file.h"
#include "xform_fixture.h"

using namespace xform_fixture;

namespace {

using Calls = std::vector<std::pair<int64_t, int64_t>>;

// Records each progress call; stops once stopAfter calls were made.
ProgressHooks Recorder(Calls& calls, size_t stopAfter = SIZE_MAX) {
  return {[&calls, stopAfter](const char* label, int64_t done, int64_t total) {
    EXPECT_STREQ(label, "RECONSTRUCTION PROGRESS: ");
    calls.emplace_back(done, total);
    return calls.size() >= stopAfter;
  }};
}

double WrapPhase(double phi) { return std::remainder(phi, 2 * std::numbers::pi); }

// A two-lane session and its table.
class XformSynthesisTest : public ::testing::Test {
 protected:
  Session session;
  XformTable& table = session.table();
};

class XformFile : public ::testing::Test {
 protected:
  void SetUp() override { app.installDir = folder.path; }
  std::string Path(const std::string& name) { return CategoryFilePath(app, kCategoryXformWav, name); }

  TempFolder folder;
  AppGlobals app;
};

}  // namespace

TEST_F(XformSynthesisTest, SliceCountsFollowTheSourceLength) {
  WriteNoise(table.noise, 131071, 7, 0.5f);
  EXPECT_EQ(session.Reconstruct(131071), kMsgDone);  // one frame short of a slice
  EXPECT_EQ(XformUsedSlices(table), 0);
  EXPECT_TRUE(AllZero(table.noise) && AllZero(table.spectrum));

  Calls calls;
  WriteNoise(table.noise, 131072, 7, 0.5f);
  EXPECT_EQ(session.Reconstruct(131072, Recorder(calls)), kMsgDone);
  EXPECT_EQ(XformUsedSlices(table), 1);
  EXPECT_FLOAT_EQ(table.slicePeaks[0], 1.0f);
  EXPECT_EQ(calls, (Calls{{0, 1}, {1, 1}}));

  WriteNoise(table.noise, kXformMaxFrames, 11, 0.8f);
  EXPECT_EQ(session.Reconstruct(kXformMaxFrames + 5000), kMsgDone);
  EXPECT_EQ(XformUsedSlices(table), 33);
  for (float peak : table.slicePeaks) EXPECT_GT(peak, 0.5f);
  EXPECT_FLOAT_EQ(*std::max_element(table.slicePeaks.begin(), table.slicePeaks.end()), 1.0f);
}

TEST_F(XformSynthesisTest, ReconstructingTwiceOrOnOneLaneGivesTheSameTable) {
  WriteNoise(table.noise, 3 * 131072, 99, 0.3f);
  WriteSine(table.noise, 2 * 131072, 800, 0.4f, 0.2f);
  const std::vector<float> source = table.noise;
  ASSERT_EQ(session.Reconstruct(3 * 131072), kMsgDone);
  const std::vector<float> first = table.noise, firstSpectrum = table.spectrum;
  std::copy(source.begin(), source.end(), table.noise.begin());
  ASSERT_EQ(session.Reconstruct(3 * 131072), kMsgDone);
  EXPECT_TRUE(first == table.noise && firstSpectrum == table.spectrum);

  Session single(1);
  std::copy(source.begin(), source.end(), single.table().noise.begin());
  ASSERT_EQ(single.Reconstruct(3 * 131072), kMsgDone);
  EXPECT_LT(RelativeDifference(first, single.table().noise), 1e-6);
}

TEST_F(XformSynthesisTest, SilentLowAndBrokenSourcesStayFinite) {
  // 40.04 Hz, below the 50 Hz cut: silent slices.
  WriteSine(table.noise, 2 * 131072, 119, 0.9f, 0.9f);
  ASSERT_EQ(session.Reconstruct(2 * 131072), kMsgDone);
  EXPECT_EQ(std::pair(table.slicePeaks[0], table.slicePeaks[1]), std::pair(0.0f, 0.0f));
  EXPECT_TRUE(AllZero(table.noise) && AllFinite(table.spectrum));
  EXPECT_EQ(table.bandProfile, XformBandProfile{});

  std::fill(table.noise.begin(), table.noise.end(), 0.0f);
  ASSERT_EQ(session.Reconstruct(4 * 131072), kMsgDone);
  EXPECT_TRUE(AllZero(table.noise) && AllZero(table.spectrum));

  WriteNoise(table.noise, 2 * 131072, 3, 40.0f);  // far louder than full scale, and not all numbers
  table.noise[5] = std::nanf("");
  table.noise[70000] = INFINITY;
  table.noise[300000] = -INFINITY;
  ASSERT_EQ(session.Reconstruct(2 * 131072), kMsgDone);
  EXPECT_TRUE(AllFinite(table.noise) && AllFinite(table.spectrum));
  EXPECT_FLOAT_EQ(std::max(table.slicePeaks[0], table.slicePeaks[1]), 1.0f);

  // A loud slice beside a quiet one keeps the levels of a source brought
  // down to 1.0 as a whole, though each slice is made safe on its own.
  WriteNoise(table.noise, 3 * 131072, 5, 0.5f);
  std::transform(table.noise.begin(), table.noise.begin() + kXformSliceNoiseFloats, table.noise.begin(),
                 [](float v) { return v * 80.0f; });
  std::vector<float> broughtDown(table.noise.begin(), table.noise.begin() + 3 * kXformSliceNoiseFloats);
  const float loudest = PeakOf(broughtDown);
  for (float& v : broughtDown) v /= loudest;
  ASSERT_EQ(session.Reconstruct(3 * 131072), kMsgDone);
  const std::vector<float> loud = table.noise;
  const auto loudPeaks = table.slicePeaks;
  std::copy(broughtDown.begin(), broughtDown.end(), table.noise.begin());
  ASSERT_EQ(session.Reconstruct(3 * 131072), kMsgDone);
  EXPECT_LT(RelativeDifference(loud, table.noise), 1e-5);
  for (int s : {0, 1, 2}) EXPECT_NEAR(loudPeaks[s], table.slicePeaks[s], 1e-6) << s;
  EXPECT_LT(table.slicePeaks[1], 0.05f);
}

TEST(XformBinPasses, VectorisedPassesMatchThePlainLoopsBitForBit) {
  auto same = [](std::span<const float> a, std::span<const float> b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size_bytes()) == 0);
  };
  // A transformed section with every 97th bin pair far under the residue
  // floor, and random rotors.
  constexpr size_t n = kXformSliceLength;
  std::vector<float> z(kXformSliceNoiseFloats), rotors(kXformHalfSpectrumFloats);
  WriteNoise(z, n, 21, 1000.0f);
  WriteNoise(rotors, n / 2, 22, 1.0f);
  for (size_t m = 1; m < n / 2; m += 97)
    for (size_t i : {2 * m, 2 * m + 1, 2 * (n - m), 2 * (n - m) + 1}) z[i] = 1e-9f;
  std::vector<float> zPlain = z, spectrum(kXformSliceSpectrumFloats), spectrumPlain(kXformSliceSpectrumFloats);
  const float strongest = RepackAsRotatedMagnitudes(z.data(), spectrum, rotors.data());
  EXPECT_EQ(strongest, RepackAsRotatedMagnitudesPortable(zPlain.data(), spectrumPlain, rotors.data()));
  EXPECT_TRUE(same(z, zPlain) && same(spectrum, spectrumPlain));
  // A bin exactly at the floor stays.
  const float floor = spectrum[2 * 1000 + 1];
  DropResidue(spectrum, rotors.data(), z.data(), floor);
  DropResiduePortable(spectrumPlain, rotors.data(), zPlain.data(), floor);
  EXPECT_TRUE(same(z, zPlain) && same(spectrum, spectrumPlain));
  EXPECT_EQ(spectrum[2 * 1000 + 1], floor);
  EXPECT_EQ(spectrum[2 * (1 + 97 * 11)], 0.0f);
  PackRotatedSpectrum(spectrum, rotors.data(), z.data());
  PackRotatedSpectrumPortable(spectrum, rotors.data(), zPlain.data());
  EXPECT_TRUE(same(z, zPlain));

  // Peaks of sections of every length around the vector widths, with values
  // that are not finite at the start, in the middle and in the tail.
  const float specials[] = {std::nanf(""), INFINITY, -INFINITY, -0.0f, -3.5f};
  for (size_t length : {0, 1, 7, 8, 9, 15, 16, 17, 4099}) {
    for (size_t at : {size_t{0}, length / 2, length - 1}) {
      for (float special : specials) {
        std::vector<float> values(z.begin(), z.begin() + static_cast<std::ptrdiff_t>(length));
        if (length > 0) values[at] = special;
        std::vector<float> plain = values;
        EXPECT_EQ(PeakOfSection(values), PeakOfSectionPortable(plain)) << length << " " << at << " " << special;
        EXPECT_EQ(ZeroUnfiniteValues(values), ZeroUnfiniteValuesPortable(plain)) << length << " " << at;
        EXPECT_TRUE(same(values, plain) && std::all_of(values.begin(), values.end(), [](float v) {
          return std::isfinite(v);
        }));
      }
    }
  }
}

TEST_F(XformSynthesisTest, SynthesisKeepsMagnitudesAndTheFixedPhases) {
  // {bin, left, right in; left, right after synthesis and analysis}: nothing below the low cut.
  const struct { int bin; float left, right, leftOut, rightOut; } bins[] = {
      {100, 50.0f, 0.0f, 0.0f, 0.0f}, {kXformLowCutBin - 1, 1.0f, 0.0f, 0.0f, 0.0f},
      {kXformLowCutBin, 1.0f, 0.0f, 1.0f, 0.0f}, {777, 0.0f, 0.0f, 0.0f, 0.0f},
      {1000, 3.0f, 0.0f, 3.0f, 0.0f}, {4000, 0.0f, 5.0f, 0.0f, 5.0f},
      {20000, 2.0f, 2.0f, 2.0f, 2.0f}, {kXformBinCount - 1, 1.0f, 1.0f, 1.0f, 1.0f}};
  auto spectrum = SpectrumSlice(table, 0);
  for (const auto& b : bins) {
    spectrum[2 * static_cast<size_t>(b.bin)] = b.left;
    spectrum[2 * static_cast<size_t>(b.bin) + 1] = b.right;
  }
  XformLane& lane = session.workspace.engine.lanes.front();
  EXPECT_EQ(session.workspace.engine.rotors[2 * static_cast<size_t>(kXformBinCount)], 0.0f);
  const float peak = SynthesizeNoise(spectrum, session.workspace.engine, NoiseSlice(table, 0), lane);
  EXPECT_EQ(spectrum[2 * 100], 0.0f);
  EXPECT_FLOAT_EQ(peak, PeakOf(NoiseSlice(table, 0)));

  std::vector<float> analysed(kXformSliceSpectrumFloats), phases(kXformSliceSpectrumFloats);
  AnalyzeSliceWithPhases(NoiseSlice(table, 0), analysed, phases, lane);
  const double round = 2.0 * kXformSliceLength;
  for (const auto& b : bins) {
    EXPECT_NEAR(analysed[2 * static_cast<size_t>(b.bin)] / round, b.leftOut, 1e-4) << b.bin;
    EXPECT_NEAR(analysed[2 * static_cast<size_t>(b.bin) + 1] / round, b.rightOut, 1e-4) << b.bin;
  }
  for (int bin : {kXformLowCutBin, 1000, 20000})
    EXPECT_NEAR(WrapPhase(phases[2 * static_cast<size_t>(bin)] - kPhaseTableResource[bin]), 0.0, 1e-3) << bin;
  EXPECT_NEAR(WrapPhase(phases[2 * 4000 + 1] - kPhaseTableResource[4000]), 0.0, 1e-3);
  EXPECT_NEAR(WrapPhase(phases[2 * 20000] - phases[2 * 20000 + 1]), 0.0, 1e-3);
}

TEST(XformSynthesis, CancellingLeavesAnEmptyTable) {
  Session session(1);
  XformTable& table = session.table();
  WriteNoise(table.noise, 5 * 131072, 5, 0.5f);
  Calls calls;
  EXPECT_EQ(session.Reconstruct(5 * 131072, Recorder(calls, 2)), kMsgAborted);
  EXPECT_EQ(calls.size(), 2u);
  EXPECT_TRUE(AllZero(table.noise) && XformUsedSlices(table) == 0 && table.ramName.empty());
}

TEST_F(XformFile, WrittenTablesReadBackAndEmptyTablesAndBadFilesChangeNothing) {
  Session source;
  XformTable& table = source.table();
  WriteNoise(table.noise, 3 * 131072, 17, 0.5f);
  WriteSine(table.noise, 131072, 3000, 0.6f, 0.1f);
  ASSERT_EQ(source.Reconstruct(3 * 131072), kMsgDone);
  table.speed = 128;
  ASSERT_EQ(WriteXformWave(app, "NOISE.WAV", table), kMsgDone);

  // How the library reads the file is checked through the command line (tests/cli).
  const auto bytes = ReadAllBytes(Path("NOISE.WAV"));
  ASSERT_EQ(bytes.size(), 44u + 3 * 131072 * 8 + 4308);
  const uint8_t* smpl = bytes.data() + 44 + 3 * 131072 * 8;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(smpl), 4), "smpl");
  EXPECT_TRUE(std::equal(table.bandProfile.begin(), table.bandProfile.end(), smpl + 76));
  EXPECT_EQ(ReadU32LE(smpl + 56), 131071u);  // loop end
  EXPECT_EQ(ReadU32LE(smpl + 4300), 0u);     // reserved

  // Interleaved floats at the writer's level (2 x 0.494265).
  for (size_t i = 0; i < 3u * 131072 * 2; i += 9973)
    EXPECT_NEAR(ReadF32LE(bytes.data() + 44 + 4 * i), table.noise[i] * 0.98853f, 1e-6) << i;

  Session loaded;
  loaded.table().speed = 2;
  ASSERT_EQ(LoadXformWave(app, {kCategoryXformWav, "NOISE.WAV"}, loaded.workspace, {}), kMsgDone);
  const XformTable& back = loaded.table();
  EXPECT_EQ(std::pair(back.ramName, back.speed), std::pair(std::string("NOISE.WAV"), 32));  // the file carries no speed
  EXPECT_EQ(XformUsedSlices(back), 3);
  for (int s = 0; s < kSliceCount; ++s) EXPECT_NEAR(back.slicePeaks[s], table.slicePeaks[s], 1e-5) << s;
  EXPECT_LT(RelativeDifference(back.noise, table.noise), 1e-4);
  for (int s = 0; s < 3; ++s)
    EXPECT_LT(RelativeDifference(SpectrumSlice(back, s), SpectrumSlice(table, s)), 1e-4) << s;
  int codeDifferences = 0;
  for (size_t i = 0; i < back.bandProfile.size(); ++i) {
    EXPECT_LE(std::abs(back.bandProfile[i] - table.bandProfile[i]), 1) << i;
    codeDifferences += back.bandProfile[i] != table.bandProfile[i];
  }
  EXPECT_LT(codeDifferences, 5);

  Session session;
  EXPECT_EQ(WriteXformWave(app, "EMPTY.WAV", session.table()), kMsgNoData);

  WriteNoise(session.table().noise, 131072, 4, 0.5f);
  ASSERT_EQ(session.Reconstruct(131072), kMsgDone);
  const std::vector<float> before = session.table().noise;

  // A sample is no XFORM table: the table stays as it was.
  std::vector<float> left(131072, 0.25f), right(131072, -0.25f);
  WaveHeader header{.formatTag = kFormatFloat, .channels = 2, .bitsPerSample = 32, .dataSize = 131072 * 8};
  SamplerBlock block;
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_SLOOP);
  ASSERT_EQ(WriteWaveFile(app, "LOOP.WAV", kCategoryXformWav, header, block, left, right), 3);
  EXPECT_EQ(LoadXformWave(app, {kCategoryXformWav, "LOOP.WAV"}, session.workspace, {}), kMsgAccessDenied);
  EXPECT_EQ(LoadXformWave(app, {kCategoryXformWav, "MISSING.WAV"}, session.workspace, {}), kMsgAccessDenied);
  EXPECT_TRUE(before == session.table().noise);
  EXPECT_EQ(session.table().ramName, "SOURCE");
}
