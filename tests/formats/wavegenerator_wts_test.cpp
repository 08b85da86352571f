#include "formats/wavegenerator_wts.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/message_codes.h"
#include "formats/foreign_table_common.h"
#include "formats/format_fixtures.h"
#include "formats/vorta_import.h"

using namespace format_fixtures;

namespace {

class WtsFiles : public FormatLibrary {};

TEST_F(WtsFiles, LayoutWithActiveWavesAndTail) {
  const PartialTable table = FiveSliceTable();
  const std::vector<uint8_t> bytes = BuildWtsFile(table, 30);
  ASSERT_EQ(bytes.size(), 8u + 258 * 5 + 4228);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 18),
            (std::vector<uint8_t>{0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4}));
  // Each wave: its 128 samples at half level, 16-bit little-endian.
  const std::vector<float> waves = RenderWaves(table, 128, 1);
  for (size_t i = 0; i < 5 * 128; ++i) {
    ASSERT_EQ(ReadI16LE(bytes.data() + 18 + 2 * i), static_cast<int16_t>(std::lround(waves[i] * 0.5 * 32767.0))) << i;
  }
  const size_t tail = 8 + 258 * 5;
  for (int i = 0; i < kTableCodeCount; ++i)
    ASSERT_EQ(ReadI16LE(bytes.data() + tail + 2 * i), table.codes[static_cast<size_t>(i)]);
  EXPECT_EQ(ReadU32LE(bytes.data() + tail + 4224), 30u);
  EXPECT_EQ(BuildWtsFile(KnownTable(), 16).size(), 8u + 258 * 33 + 4228);
  EXPECT_EQ(BuildWtsFile(PartialTable{}, 16).size(), 8u + 258 + 4228);
}

TEST_F(WtsFiles, ReadBackIndependentReaderAndRejections) {
  const PartialTable table = KnownTable(9);
  ASSERT_EQ(WriteWtsTable(app, table, 1, "ABC.WTS"), kMsgDone);
  Result r = Test(kCategoryWaveGenerator, "ABC.WTS");
  ASSERT_EQ(r.category, kCategoryWaveGenerator) << r.info.remark;
  EXPECT_EQ(r.info.count, "33");
  EXPECT_EQ(r.info.length, "128");
  EXPECT_EQ(r.info.family, "VORTA");
  EXPECT_EQ(r.info.remark, "SYNTHESIS DATA");
  PartialTable loaded;
  int32_t stretch = 0;
  ASSERT_EQ(LoadVortaFile(app, LibraryEntry{kCategoryWaveGenerator, "ABC.WTS"}, loaded, stretch), kMsgDone);
  EXPECT_EQ(loaded, table);
  EXPECT_EQ(stretch, 1);

  const std::vector<uint8_t> good = BuildWtsFile(FiveSliceTable(), 16);
  EXPECT_EQ(TestBytes(kCategoryWaveGenerator, "S.WTS", {0, 0, 5, 0, 0, 0, 0}).info.remark, "FILE IS TOO SMALL");
  for (size_t offset : {0, 1, 3, 7}) {
    std::vector<uint8_t> bytes = good;
    bytes[offset] = 1;
    EXPECT_EQ(TestBytes(kCategoryWaveGenerator, "H.WTS", bytes).info.remark, "NO VORTA WAVETABLE FILE") << offset;
  }
  for (uint8_t count : {0, 34, 255}) {
    std::vector<uint8_t> bytes = good;
    bytes[2] = count;
    EXPECT_EQ(TestBytes(kCategoryWaveGenerator, "C.WTS", bytes).info.remark, "NO VORTA WAVETABLE FILE");
  }
  EXPECT_EQ(TestBytes(kCategoryWaveGenerator, "T.WTS", std::vector<uint8_t>(good.begin(), good.end() - 1)).info.remark,
            "NO VORTA WAVETABLE FILE");
  std::vector<uint8_t> range = good;
  WriteU32LE(range.data() + 8 + 258 * 5 + 4224, 40);
  EXPECT_EQ(TestBytes(kCategoryWaveGenerator, "R.WTS", range).info.remark, "RANGE ERROR IN VORTA SYNTHESIS DATA");

  if (!ToolAvailable("python3")) GTEST_SKIP() << "python3 is not installed";
  ASSERT_EQ(WriteWtsTable(app, FiveSliceTable(), 16, "FIVE.WTS"), kMsgDone);
  const std::string wavesPath = folder / "waves.f32";
  WriteF32File(wavesPath, RenderWaves(FiveSliceTable(), 128, 1));
  EXPECT_EQ(RunFormatCheck("wts '" + Path(kCategoryWaveGenerator, "FIVE.WTS") + "' '" + wavesPath + "' 5"), 0);
}

}  // namespace
