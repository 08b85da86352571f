#include "files/sample_loader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/byte_order.h"
#include "core/message_codes.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_fixtures.h"
#include "support/temp_folder.h"

using namespace wave_fixtures;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<uint8_t> FloatBytes(const std::vector<float>& values) {
  std::vector<uint8_t> bytes;
  for (float v : values) AppendF32LE(bytes, v);
  return bytes;
}

// An XFORM table: a ramp with one NaN, band profile bytes 0..127 and the speed.
std::vector<uint8_t> XformFile(uint16_t channels, uint32_t frames, uint32_t speed) {
  std::vector<float> audio(static_cast<size_t>(frames) * channels);
  for (size_t i = 0; i < audio.size(); ++i) audio[i] = static_cast<float>(i % 1000) / 1000.0f;
  audio[5] = kNaN;
  Smpl s = TableSmpl("XFORM___", 131071);
  s.unityNote = 36;
  s.payload.resize(4228);
  for (size_t i = 0; i < 4224; ++i) s.payload[i] = static_cast<uint8_t>(i % 128);
  for (int b = 0; b < 4; ++b) s.payload[4224 + b] = static_cast<uint8_t>(speed >> (8 * b));
  return BuildWave({.formatTag = kFormatFloat, .channels = channels, .bits = 32, .chunksAfterData = SmplChunk(s),
                    .audio = FloatBytes(audio)});
}

class SampleLoader : public ::testing::Test {
 protected:
  void SetUp() override { app.installDir = folder.path; }

  bool Load(const std::string& name, int category, std::vector<float>& left, std::vector<float>& right) {
    std::FILE* file = std::fopen((folder / name).c_str(), "rb");
    if (!file) return false;
    const bool loaded = LoadSampleStream(file, name, category, left, right, d, ReadRules{true});
    std::fclose(file);
    return loaded;
  }
  // sox's own reading of a file as 32-bit float, interleaved.
  std::vector<float> SoxDecode(const std::string& name) {
    const std::string command = "sox -q '" + folder / name + "' -t f32 '" + folder / "decoded.f32" + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    const std::vector<uint8_t> bytes = ReadAllBytes(folder / "decoded.f32");
    std::vector<float> values(bytes.size() / 4);
    for (size_t i = 0; i < values.size(); ++i) values[i] = ReadF32LE(bytes.data() + 4 * i);
    return values;
  }

  TempFolder folder;
  AppGlobals app;
  SampleDescriptor d;
};

TEST_F(SampleLoader, ConvertsEveryFormatAsSoxDoes) {
  const std::tuple<const char*, const char*, int> cases[] = {
      {"P8.wav", "-b 8", 1},
      {"P16.wav", "-b 16", 2},
      {"P32.wav", "-t wavpcm -b 32", 2},
      {"F32.wav", "-e floating-point -b 32", 1},
  };
  for (const auto& [name, format, channels] : cases) {
    ASSERT_TRUE(SoxSine(folder / name, 6000, format, channels)) << "sox comes with setup.sh";
    const std::vector<float> expected = SoxDecode(name);
    std::vector<float> left(8000, 9.0f), right(8000, 9.0f);
    ASSERT_TRUE(Load(name, kCategorySample, left, right)) << name;
    EXPECT_EQ(std::tuple(d.frames, d.channels), std::tuple(6000u, channels));
    ASSERT_EQ(expected.size(), 6000u * channels);
    for (size_t i = 0; i < 6000; ++i) {
      ASSERT_NEAR(left[i], expected[i * channels], 1e-6) << name << " frame " << i;
      ASSERT_NEAR(right[i], expected[i * channels + channels - 1], 1e-6) << name << " frame " << i;
    }
    EXPECT_EQ(left[6000], 9.0f) << "nothing written past the audio";
  }
}

TEST_F(SampleLoader, FloatPeakIsScaledAndNonFiniteValuesLoadAsZero) {
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> audio(5000, 0.5f);
  std::copy_n(std::begin({2.0f, -1.0f, kNaN, inf, -inf}), 5, audio.begin());
  WriteAllBytes(folder / "LOUD.WAV", BuildWave({.formatTag = kFormatFloat, .bits = 32, .audio = FloatBytes(audio)}));
  std::vector<float> left(5000), right(5000);
  ASSERT_TRUE(Load("LOUD.WAV", kCategorySample, left, right));
  EXPECT_EQ(std::vector<float>(left.begin(), left.begin() + 6), (std::vector<float>{1.0f, -0.5f, 0, 0, 0, 0.25f}));
  EXPECT_EQ(right[100], 0.25f);

  // A single cycle keeps its level.
  std::vector<float> cycle(2048, 1.5f);
  cycle[7] = kNaN;
  WriteAllBytes(folder / "CYCLE.WAV", BuildWave({.formatTag = kFormatFloat, .bits = 32,
                                                 .chunksAfterData = SmplChunk({.end = 2047}),
                                                 .audio = FloatBytes(cycle)}));
  ASSERT_TRUE(Load("CYCLE.WAV", kCategorySingleCycle, left, right));
  EXPECT_FLOAT_EQ(left[0], 1.5f);
  EXPECT_EQ(left[7], 0.0f);
  EXPECT_EQ(std::pair(d.loopEnd, d.loopCount), std::pair(2047u, 1u));
}

TEST_F(SampleLoader, ShortFilesSmallBuffersAndWrongCategories) {
  std::vector<uint8_t> bytes = BuildWave({.bits = 8, .frames = 6000});
  bytes.resize(bytes.size() - 1000);  // the data chunk claims 1,000 bytes more than there are
  WriteAllBytes(folder / "CUT.WAV", bytes);
  std::vector<float> left(6000, 9.0f), right(6000, 9.0f);
  ASSERT_TRUE(Load("CUT.WAV", kCategorySample, left, right));
  EXPECT_EQ(d.frames, 6000u);
  EXPECT_FLOAT_EQ(left[1], (7.0f - 128.0f) / 128.0f);
  EXPECT_EQ(std::vector<float>(left.begin() + 5000, left.end()), std::vector<float>(1000, 0.0f));

  // Buffers smaller than the file take only what fits.
  std::vector<float> small(100, 9.0f), smallRight(120, 9.0f);
  ASSERT_TRUE(Load("CUT.WAV", kCategorySample, small, smallRight));
  EXPECT_EQ(d.frames, 100u);
  EXPECT_EQ(smallRight[100], 9.0f);

  // Expecting a single cycle from a sample loads nothing.
  EXPECT_FALSE(Load("CUT.WAV", kCategorySingleCycle, left, right));
  EXPECT_EQ(d.frames, 0u);
  EXPECT_FALSE(Load("CUT.WAV", kCategoryXformWav, left, right));
}

TEST_F(SampleLoader, DescriptorCarriesLoopNoteFamilyPayloadAndScanCount) {
  const Smpl s{.unityNote = 48, .end = 511, .familyId = "SLOOP___", .samplerDataSize = 12, .samplerDataBytes = 12,
               .payload = {7, 8, 9}};
  WriteAllBytes(folder / "SCAN.WAV", BuildWave({.frames = 5120, .chunksAfterData = SmplChunk(s)}));
  std::vector<float> left(6000), right(6000);
  ASSERT_TRUE(Load("SCAN.WAV", kCategorySample, left, right));
  EXPECT_EQ(std::to_string(d.unityNote) + " " + std::to_string(d.loopStart) + ".." + std::to_string(d.loopEnd) + " " +
                std::to_string(d.loopType) + " " + d.family + " " + std::to_string(d.scanLoopCount),
            "48 0..511 0 SLOOP 10");
  EXPECT_EQ(std::vector<uint8_t>(d.payload.begin(), d.payload.begin() + 4), (std::vector<uint8_t>{7, 8, 9, 0}));
}

TEST_F(SampleLoader, XformTablesSpreadMonoAndKeepTheBandProfile) {
  WriteAllBytes(CategoryFilePath(app, kCategoryXformWav, "MONO.WAV"), XformFile(1, 131072, 0));
  WriteAllBytes(CategoryFilePath(app, kCategoryXformWav, "STEREO.WAV"), XformFile(2, 131072, 64));
  // A buffer of one slice takes one slice of a longer file.
  WriteAllBytes(CategoryFilePath(app, kCategoryXformWav, "TWO.WAV"), XformFile(1, 262144, 7));

  std::vector<float> noise(2 * 131072 + 2, 9.0f);
  XformFileData table;
  table.samples = std::span<float>(noise).first(2 * 131072);
  ASSERT_EQ(LoadXformFile(app, {kCategoryXformWav, "MONO.WAV"}, table, d), kMsgDone);
  EXPECT_EQ(std::tuple(table.frames, table.speed, table.unityNote, table.bandProfile[129]),
            std::tuple(131072u, 32, 36u, 1));  // speed 0 is out of range: the default
  EXPECT_EQ(std::vector<float>(noise.begin() + 2, noise.begin() + 4), std::vector<float>(2, 0.001f));
  EXPECT_EQ(std::vector<float>(noise.begin() + 10, noise.begin() + 12), std::vector<float>(2, 0.0f));  // NaN
  EXPECT_EQ(noise[2 * 131072], 9.0f);

  ASSERT_EQ(LoadXformFile(app, {kCategoryXformWav, "STEREO.WAV"}, table, d), kMsgDone);
  EXPECT_EQ(table.speed, 64);
  EXPECT_EQ(std::pair(noise[2], noise[3]), std::pair(0.002f, 0.003f));
  ASSERT_EQ(LoadXformFile(app, {kCategoryXformWav, "TWO.WAV"}, table, d), kMsgDone);
  EXPECT_EQ(std::tuple(table.frames, table.speed), std::tuple(131072u, 7));
  EXPECT_EQ(noise[2 * 131072], 9.0f);
  EXPECT_EQ(LoadXformFile(app, {kCategoryXformWav, "NONE.WAV"}, table, d), kMsgAccessDenied);
}

TEST_F(SampleLoader, DispatchLoadsSamplesAndXformTablesOnly) {
  WriteAllBytes(CategoryFilePath(app, kCategorySample, "S.WAV"), BuildWave({.frames = 5000}));
  WriteAllBytes(CategoryFilePath(app, kCategoryXformWav, "X.WAV"), XformFile(2, 131072, 0));
  std::vector<float> left(5000), right(5000), noise(2 * 131072);
  XformFileData xform;
  xform.samples = noise;
  LoadTargets targets{left, right, &xform, &d};
  EXPECT_EQ(LoadLibraryFile(app, {kCategorySample, "S.WAV"}, targets), kMsgDone);
  EXPECT_EQ(d.frames, 5000u);
  EXPECT_EQ(LoadLibraryFile(app, {kCategoryXformWav, "X.WAV"}, targets), kMsgDone);
  EXPECT_EQ(xform.frames, 131072u);
  EXPECT_EQ(LoadLibraryFile(app, {kCategoryVortaWav, "X.WAV"}, targets), kMsgNone);
  // The entry says sample, but the file in that folder is not one.
  std::filesystem::copy_file(CategoryFilePath(app, kCategoryXformWav, "X.WAV"),
                             CategoryFilePath(app, kCategorySample, "X.WAV"));
  EXPECT_EQ(LoadLibraryFile(app, {kCategorySample, "X.WAV"}, targets), kMsgAccessDenied);
}

}  // namespace
