#include "files/sample_loader.h"

#include <limits>
#include <memory>

#include "core/byte_order.h"
#include "files/library_fixture.h"

using namespace wave_fixtures;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<uint8_t> FloatWave(const std::vector<float>& values, uint16_t channels = 1,
                               std::vector<uint8_t> chunksAfterData = {}) {
  std::vector<uint8_t> bytes;
  for (float v : values) AppendF32LE(bytes, v);
  return BuildWave({.formatTag = kFormatFloat, .channels = channels, .bits = 32, .chunksAfterData = chunksAfterData,
                    .audio = bytes});
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
  return FloatWave(audio, channels, SmplChunk(s));
}

class SampleLoader : public LibraryFixture {
 protected:
  bool Load(const std::string& name, int category, std::span<float> left, std::span<float> right) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen((folder / name).c_str(), "rb"), std::fclose);
    return file && LoadSampleStream(file.get(), name, category, left, right, d, ReadRules{true});
  }
  SampleDescriptor d;
};

// Every format as sox writes it loads as sox itself decodes it.
TEST_F(SampleLoader, ConvertsEveryFormatAsSoxDoes) {
  const std::tuple<const char*, const char*, int> cases[] = {
      {"P8.wav", "-b 8", 1}, {"P16.wav", "-b 16", 2}, {"P32.wav", "-t wavpcm -b 32", 2},
      {"F32.wav", "-e floating-point -b 32", 1}};
  for (const auto& [name, format, channels] : cases) {
    ASSERT_TRUE(SoxSine(folder / name, 6000, format, channels)) << "sox comes with setup.sh";
    const std::string command = "sox -q '" + folder / name + "' -t f32 '" + folder / "decoded.f32" + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::vector<uint8_t> decoded = ReadAllBytes(folder / "decoded.f32");
    ASSERT_EQ(decoded.size(), 4 * 6000u * channels);
    std::vector<float> left(8000, 9.0f), right(8000, 9.0f);
    ASSERT_TRUE(Load(name, kCategorySample, left, right)) << name;
    EXPECT_EQ(std::tuple(d.frames, d.channels), std::tuple(6000u, channels));
    for (size_t i = 0; i < 6000; ++i) {
      ASSERT_NEAR(left[i], ReadF32LE(&decoded[4 * i * channels]), 1e-6) << name << " frame " << i;
      ASSERT_NEAR(right[i], ReadF32LE(&decoded[4 * (i * channels + channels - 1)]), 1e-6) << name << " frame " << i;
    }
    EXPECT_EQ(left[6000], 9.0f) << "nothing written past the audio";
  }
}

// A float sample is scaled to its peak, a single cycle keeps its level; non-finite values load as zero.
TEST_F(SampleLoader, FloatPeakIsScaledAndNonFiniteValuesLoadAsZero) {
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> audio(5000, 0.5f), cycle(2048, 1.5f), left(5000), right(5000);
  std::copy_n(std::begin({2.0f, -1.0f, kNaN, inf, -inf}), 5, audio.begin());
  cycle[7] = kNaN;
  WriteAllBytes(folder / "LOUD.WAV", FloatWave(audio));
  WriteAllBytes(folder / "CYCLE.WAV", FloatWave(cycle, 1, SmplChunk({.end = 2047})));
  ASSERT_TRUE(Load("LOUD.WAV", kCategorySample, left, right));
  EXPECT_EQ(std::vector<float>(left.begin(), left.begin() + 6), (std::vector<float>{1.0f, -0.5f, 0, 0, 0, 0.25f}));
  EXPECT_EQ(right[100], 0.25f);
  ASSERT_TRUE(Load("CYCLE.WAV", kCategorySingleCycle, left, right));
  EXPECT_EQ(std::tuple(left[0], left[7], d.loopEnd, d.loopCount), std::tuple(1.5f, 0.0f, 2047u, 1u));
}

TEST_F(SampleLoader, ShortFilesSmallBuffersWrongCategoriesAndTheDescriptor) {
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
  EXPECT_EQ(std::pair(d.frames, smallRight[100]), std::pair(uint64_t{100}, 9.0f));
  EXPECT_FALSE(Load("CUT.WAV", kCategorySingleCycle, left, right));
  EXPECT_EQ(d.frames, 0u);
  EXPECT_FALSE(Load("CUT.WAV", kCategoryXformWav, left, right));

  const Smpl s{.unityNote = 48, .end = 511, .familyId = "SLOOP___", .samplerDataSize = 12, .samplerDataBytes = 12,
               .payload = {7, 8, 9}};
  WriteAllBytes(folder / "SCAN.WAV", BuildWave({.frames = 5120, .chunksAfterData = SmplChunk(s)}));
  ASSERT_TRUE(Load("SCAN.WAV", kCategorySample, left, right));
  EXPECT_EQ(std::tuple(d.unityNote, d.loopStart, d.loopEnd, d.loopType, d.family, d.scanLoopCount),
            std::tuple(48u, 0u, 511u, 0u, "SLOOP", 10u));
  EXPECT_EQ(std::vector<uint8_t>(d.payload.begin(), d.payload.begin() + 4), (std::vector<uint8_t>{7, 8, 9, 0}));
}

// XFORM tables load unconverted, mono spread to both channels, with band profile and speed (out of
// range: the default); a buffer of one slice takes one slice of a longer file.
TEST_F(SampleLoader, XformTablesAndTheLoadDispatch) {
  Put(kCategoryXformWav, "MONO.WAV", XformFile(1, 131072, 0));
  Put(kCategoryXformWav, "STEREO.WAV", XformFile(2, 131072, 64));
  Put(kCategoryXformWav, "TWO.WAV", XformFile(1, 262144, 7));
  std::vector<float> noise(2 * 131072 + 2, 9.0f);
  XformFileData table;
  table.samples = std::span<float>(noise).first(2 * 131072);
  const auto load = [&](const char* name) {
    EXPECT_EQ(LoadXformFile(app, {kCategoryXformWav, name}, table, d), kMsgDone) << name;
    EXPECT_EQ(noise[2 * 131072], 9.0f) << name;
    return std::tuple(table.frames, table.speed, table.unityNote, table.bandProfile[129], noise[2], noise[3]);
  };
  EXPECT_EQ(load("MONO.WAV"), std::tuple(131072u, 32, 36u, 1, 0.001f, 0.001f));
  EXPECT_EQ(std::vector<float>(noise.begin() + 10, noise.begin() + 12), std::vector<float>(2, 0.0f));  // NaN
  EXPECT_EQ(load("STEREO.WAV"), std::tuple(131072u, 64, 36u, 1, 0.002f, 0.003f));
  EXPECT_EQ(load("TWO.WAV"), std::tuple(131072u, 7, 36u, 1, 0.001f, 0.001f));
  EXPECT_EQ(LoadXformFile(app, {kCategoryXformWav, "NONE.WAV"}, table, d), kMsgAccessDenied);

  // The load dispatch: samples and XFORM tables only, each by what the file really is.
  Put(kCategorySample, "S.WAV", BuildWave({.frames = 5000}));
  Put(kCategorySample, "X.WAV", XformFile(2, 131072, 0));
  std::vector<float> left(5000), right(5000);
  LoadTargets targets{left, right, &table, &d};
  EXPECT_EQ(LoadLibraryFile(app, {kCategorySample, "S.WAV"}, targets), kMsgDone);
  EXPECT_EQ(d.frames, 5000u);
  table.frames = 0;
  EXPECT_EQ(LoadLibraryFile(app, {kCategoryXformWav, "MONO.WAV"}, targets), kMsgDone);
  EXPECT_EQ(table.frames, 131072u);
  EXPECT_EQ(LoadLibraryFile(app, {kCategoryVortaWav, "MONO.WAV"}, targets), kMsgNone);
  EXPECT_EQ(LoadLibraryFile(app, {kCategorySample, "X.WAV"}, targets), kMsgAccessDenied);
}

}  // namespace
