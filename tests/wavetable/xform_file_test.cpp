#include "wavetable/xform_file.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_reader.h"
#include "files/wave_writer.h"
#include "support/temp_folder.h"
#include "xform_fixture.h"

using namespace xform_fixture;

namespace {

class XformFile : public ::testing::Test {
 protected:
  void SetUp() override { app.installDir = folder.path; }
  std::string Path(const std::string& name) { return CategoryFilePath(app, kCategoryXformWav, name); }

  TempFolder folder;
  AppGlobals app;
};

}  // namespace

TEST_F(XformFile, WrittenTablesReadBackAsTheSameTable) {
  Session source;
  XformTable& table = source.table();
  WriteNoise(table.noise, 3 * 131072, 17, 0.5f);
  WriteSine(table.noise, 131072, 3000, 0.6f, 0.1f);
  ASSERT_EQ(source.Reconstruct(3 * 131072), kMsgDone);
  table.speed = 128;
  ASSERT_EQ(WriteXformWave(app, "NOISE.WAV", table), kMsgDone);

  // The reader takes it for an XFORM table of three slices.
  FileInfo info;
  ASSERT_EQ(TestSoundFile(Path("NOISE.WAV"), &info, ReadRules{true}), kCategoryXformWav);
  EXPECT_EQ((std::array{info.family, info.count, info.channels}), (std::array<std::string, 3>{"XFORM", "3", "STEREO"}));
  const auto bytes = ReadAllBytes(Path("NOISE.WAV"));
  ASSERT_EQ(bytes.size(), 44u + 3 * 131072 * 8 + 4308);
  const uint8_t* smpl = bytes.data() + 44 + 3 * 131072 * 8;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(smpl), 4), "smpl");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(smpl + 68), 8), "XFORM___");
  EXPECT_TRUE(std::equal(table.bandProfile.begin(), table.bandProfile.end(), smpl + 76));
  EXPECT_EQ(ReadU32LE(smpl + 56), 131071u);  // loop end
  EXPECT_EQ(ReadU32LE(smpl + 4300), 0u);     // reserved

  // Interleaved stereo floats after the 44-byte header, at the writer's level (2 x 0.494265).
  for (size_t i = 0; i < 3u * 131072 * 2; i += 9973)
    EXPECT_NEAR(ReadF32LE(bytes.data() + 44 + 4 * i), table.noise[i] * 0.98853f, 1e-6) << i;

  // Loaded back, the table is rebuilt from the file's noise: the same table.
  Session loaded;
  loaded.table().speed = 2;
  ASSERT_EQ(LoadXformWave(app, {kCategoryXformWav, "NOISE.WAV"}, loaded.workspace, {}), kMsgDone);
  const XformTable& back = loaded.table();
  EXPECT_EQ(back.ramName, "NOISE.WAV");
  EXPECT_EQ(back.speed, 32);  // the file carries no speed
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
}

TEST_F(XformFile, EmptyTablesAndBadFilesChangeNothing) {
  Session session;
  EXPECT_EQ(WriteXformWave(app, "EMPTY.WAV", session.table()), kMsgNoData);

  WriteNoise(session.table().noise, 131072, 4, 0.5f);
  ASSERT_EQ(session.Reconstruct(131072), kMsgDone);
  const std::vector<float> before = session.table().noise;

  // A sample is no XFORM table: the RAM table stays as it was.
  std::vector<float> left(131072, 0.25f), right(131072, -0.25f);
  WaveHeader header;
  SamplerBlock block;
  header.formatTag = kFormatFloat;
  header.bitsPerSample = 32;
  header.channels = 2;
  header.dataSize = 131072 * 8;
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_SLOOP);
  ASSERT_EQ(WriteWaveFile(app, "LOOP.WAV", kCategoryXformWav, header, block, left, right), 3);
  EXPECT_EQ(LoadXformWave(app, {kCategoryXformWav, "LOOP.WAV"}, session.workspace, {}), kMsgAccessDenied);
  EXPECT_EQ(LoadXformWave(app, {kCategoryXformWav, "MISSING.WAV"}, session.workspace, {}),
            kMsgAccessDenied);
  EXPECT_TRUE(before == session.table().noise);
  EXPECT_EQ(session.table().ramName, "SOURCE");
}
