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

const ReadRules kRules{true};

std::vector<uint8_t> FloatBytes(const std::vector<float>& values) {
  std::vector<uint8_t> bytes;
  for (float v : values) AppendF32LE(bytes, v);
  return bytes;
}

// sox's own reading of a file as 32-bit float, interleaved.
std::vector<float> SoxDecode(const TempFolder& folder, const std::string& path) {
  const std::string raw = folder / "decoded.f32";
  const std::string command = "sox -q '" + path + "' -t f32 '" + raw + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  const std::vector<uint8_t> bytes = ReadAllBytes(raw);
  std::vector<float> values(bytes.size() / 4);
  for (size_t i = 0; i < values.size(); ++i) values[i] = ReadF32LE(bytes.data() + 4 * i);
  return values;
}

bool LoadPath(const std::string& path, int category, std::vector<float>& left, std::vector<float>& right,
              SampleDescriptor& descriptor) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  const size_t slash = path.rfind('/');
  const bool loaded = LoadSampleStream(file, path.substr(slash + 1), category, left, right, descriptor, kRules);
  std::fclose(file);
  return loaded;
}

TEST(SampleLoader, ConvertsEveryFormatAsSoxDoes) {
  ASSERT_TRUE(SoxAvailable());
  TempFolder folder;
  struct Case {
    const char* name;
    const char* format;
    int channels;
  };
  const Case cases[] = {
      {"P8.wav", "-b 8", 1},
      {"P16.wav", "-b 16", 2},
      {"P32.wav", "-t wavpcm -b 32", 2},
      {"F32.wav", "-e floating-point -b 32", 1},
  };
  for (const Case& c : cases) {
    const std::string path = folder / c.name;
    ASSERT_TRUE(SoxSine(path, 6000, c.format, c.channels));
    const std::vector<float> expected = SoxDecode(folder, path);
    std::vector<float> left(8000, 9.0f), right(8000, 9.0f);
    SampleDescriptor d;
    ASSERT_TRUE(LoadPath(path, kCategorySample, left, right, d)) << c.name;
    EXPECT_EQ(d.frames, 6000u);
    EXPECT_EQ(d.channels, c.channels);
    ASSERT_EQ(expected.size(), 6000u * c.channels);
    for (size_t i = 0; i < 6000; ++i) {
      const float l = expected[i * c.channels];
      const float r = c.channels == 2 ? expected[i * 2 + 1] : l;
      ASSERT_NEAR(left[i], l, 1e-6) << c.name << " frame " << i;
      ASSERT_NEAR(right[i], r, 1e-6) << c.name << " frame " << i;
    }
    EXPECT_EQ(left[6000], 9.0f) << "nothing written past the audio";
  }
}

TEST(SampleLoader, FloatPeakIsScaledAndNonFiniteValuesLoadAsZero) {
  TempFolder folder;
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<float> audio(5000, 0.5f);
  audio[0] = 2.0f;
  audio[1] = -1.0f;
  audio[2] = nan;
  audio[3] = inf;
  audio[4] = -inf;
  HandWave w;
  w.formatTag = kFormatFloat;
  w.bits = 32;
  w.audio = FloatBytes(audio);
  WriteAllBytes(folder / "LOUD.WAV", BuildWave(w));
  std::vector<float> left(5000), right(5000);
  SampleDescriptor d;
  ASSERT_TRUE(LoadPath(folder / "LOUD.WAV", kCategorySample, left, right, d));
  EXPECT_EQ(std::vector<float>(left.begin(), left.begin() + 6), (std::vector<float>{1.0f, -0.5f, 0, 0, 0, 0.25f}));
  EXPECT_EQ(right[100], 0.25f);

  // A single cycle keeps its level.
  std::vector<float> cycle(2048, 1.5f);
  cycle[7] = nan;
  HandWave c;
  c.formatTag = kFormatFloat;
  c.bits = 32;
  c.audio = FloatBytes(cycle);
  Smpl loop;
  loop.end = 2047;
  c.chunksAfterData = SmplChunk(loop);
  WriteAllBytes(folder / "CYCLE.WAV", BuildWave(c));
  ASSERT_TRUE(LoadPath(folder / "CYCLE.WAV", kCategorySingleCycle, left, right, d));
  EXPECT_FLOAT_EQ(left[0], 1.5f);
  EXPECT_EQ(left[7], 0.0f);
  EXPECT_EQ(d.loopEnd, 2047u);
  EXPECT_EQ(d.loopCount, 1u);
}

TEST(SampleLoader, ShortFilesSmallBuffersAndWrongCategories) {
  TempFolder folder;
  HandWave w;
  w.bits = 8;
  w.frames = 6000;
  std::vector<uint8_t> bytes = BuildWave(w);
  bytes.resize(bytes.size() - 1000);  // the data chunk claims 1,000 bytes more than there are
  WriteAllBytes(folder / "CUT.WAV", bytes);
  std::vector<float> left(6000, 9.0f), right(6000, 9.0f);
  SampleDescriptor d;
  ASSERT_TRUE(LoadPath(folder / "CUT.WAV", kCategorySample, left, right, d));
  EXPECT_EQ(d.frames, 6000u);
  EXPECT_FLOAT_EQ(left[1], (7.0f - 128.0f) / 128.0f);
  for (size_t i = 5000; i < 6000; ++i) ASSERT_EQ(left[i], 0.0f) << i;

  // Buffers smaller than the file take only what fits.
  std::vector<float> small(100, 9.0f), smallRight(120, 9.0f);
  ASSERT_TRUE(LoadPath(folder / "CUT.WAV", kCategorySample, small, smallRight, d));
  EXPECT_EQ(d.frames, 100u);
  EXPECT_EQ(smallRight[100], 9.0f);

  // Expecting a single cycle from a sample loads nothing.
  EXPECT_FALSE(LoadPath(folder / "CUT.WAV", kCategorySingleCycle, left, right, d));
  EXPECT_EQ(d.frames, 0u);
  EXPECT_FALSE(LoadPath(folder / "CUT.WAV", kCategoryXformWav, left, right, d));
}

TEST(SampleLoader, DescriptorCarriesLoopNoteFamilyPayloadAndScanCount) {
  TempFolder folder;
  HandWave w;
  w.frames = 5120;
  Smpl s;
  s.unityNote = 48;
  s.end = 511;
  s.familyId = "SLOOP___";
  s.samplerDataSize = 12;
  s.samplerDataBytes = 12;
  s.payload = {7, 8, 9};
  w.chunksAfterData = SmplChunk(s);
  WriteAllBytes(folder / "SCAN.WAV", BuildWave(w));
  std::vector<float> left(6000), right(6000);
  SampleDescriptor d;
  ASSERT_TRUE(LoadPath(folder / "SCAN.WAV", kCategorySample, left, right, d));
  EXPECT_EQ(std::to_string(d.unityNote) + " " + std::to_string(d.loopStart) + ".." + std::to_string(d.loopEnd) + " " +
                std::to_string(d.loopType) + " " + d.family + " " + std::to_string(d.scanLoopCount),
            "48 0..511 0 SLOOP 10");
  EXPECT_EQ(std::vector<uint8_t>(d.payload.begin(), d.payload.begin() + 4), (std::vector<uint8_t>{7, 8, 9, 0}));
}

std::vector<uint8_t> XformFile(uint16_t channels, uint32_t frames, uint32_t speed) {
  std::vector<float> audio(static_cast<size_t>(frames) * channels);
  for (size_t i = 0; i < audio.size(); ++i) audio[i] = static_cast<float>(i % 1000) / 1000.0f;
  audio[5] = std::numeric_limits<float>::quiet_NaN();
  HandWave w;
  w.formatTag = kFormatFloat;
  w.bits = 32;
  w.channels = channels;
  w.audio = FloatBytes(audio);
  Smpl s = TableSmpl("XFORM___", 131071);
  s.unityNote = 36;
  s.payload.resize(4228);
  for (size_t i = 0; i < 4224; ++i) s.payload[i] = static_cast<uint8_t>(i % 128);
  for (int b = 0; b < 4; ++b) s.payload[4224 + b] = static_cast<uint8_t>(speed >> (8 * b));
  w.chunksAfterData = SmplChunk(s);
  return BuildWave(w);
}

TEST(XformLoader, SpreadsMonoAndKeepsTheBandProfile) {
  TempFolder folder;
  AppGlobals app;
  app.installDir = folder.path;
  WriteAllBytes(CategoryFilePath(app, kCategoryXformWav, "MONO.WAV"), XformFile(1, 131072, 0));
  WriteAllBytes(CategoryFilePath(app, kCategoryXformWav, "STEREO.WAV"), XformFile(2, 131072, 64));

  std::vector<float> noise(2 * 131072 + 2, 9.0f);
  XformFileData table;
  table.samples = std::span<float>(noise).first(2 * 131072);
  SampleDescriptor d;
  ASSERT_EQ(LoadXformFile(app, {kCategoryXformWav, "MONO.WAV"}, table, d), kMsgDone);
  EXPECT_EQ(table.frames, 131072u);
  EXPECT_EQ(table.speed, 32);
  EXPECT_EQ(table.unityNote, 36u);
  EXPECT_EQ(table.bandProfile[129], 1);
  EXPECT_EQ(std::vector<float>(noise.begin() + 2, noise.begin() + 4), std::vector<float>(2, 0.001f));
  EXPECT_EQ(std::vector<float>(noise.begin() + 10, noise.begin() + 12), std::vector<float>(2, 0.0f));  // NaN
  EXPECT_EQ(noise[2 * 131072], 9.0f);

  ASSERT_EQ(LoadXformFile(app, {kCategoryXformWav, "STEREO.WAV"}, table, d), kMsgDone);
  EXPECT_EQ(table.speed, 64);
  EXPECT_FLOAT_EQ(noise[2], 0.002f);
  EXPECT_FLOAT_EQ(noise[3], 0.003f);
  EXPECT_EQ(noise[2 * 131072], 9.0f);

  // A buffer of one slice takes one slice of a longer file.
  WriteAllBytes(CategoryFilePath(app, kCategoryXformWav, "TWO.WAV"), XformFile(1, 262144, 7));
  ASSERT_EQ(LoadXformFile(app, {kCategoryXformWav, "TWO.WAV"}, table, d), kMsgDone);
  EXPECT_EQ(table.frames, 131072u);
  EXPECT_EQ(table.speed, 7);
  EXPECT_EQ(noise[2 * 131072], 9.0f);

  EXPECT_EQ(LoadXformFile(app, {kCategoryXformWav, "NONE.WAV"}, table, d), kMsgAccessDenied);
}

TEST(LoadDispatch, SamplesAndXformTablesLoadOthersDoNot) {
  TempFolder folder;
  AppGlobals app;
  app.installDir = folder.path;
  HandWave w;
  w.frames = 5000;
  WriteAllBytes(CategoryFilePath(app, kCategorySample, "S.WAV"), BuildWave(w));
  WriteAllBytes(CategoryFilePath(app, kCategoryXformWav, "X.WAV"), XformFile(2, 131072, 0));
  std::vector<float> left(5000), right(5000), noise(2 * 131072);
  XformFileData xform;
  xform.samples = noise;
  SampleDescriptor d;
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
