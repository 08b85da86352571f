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

TEST_F(WtsFiles, Rejections) {
  const std::vector<uint8_t> good = BuildWtsFile(FiveSliceTable(), 16);
  EXPECT_EQ(TestBytes(kCategoryWaveGenerator, "S.WTS", {0, 0, 5, 0, 0, 0, 0}).info.remark, "FILE IS TOO SMALL");
  // A header byte other than the count, a count outside 1..33, a cut tail.
  for (const auto& [offset, value] : {std::pair<size_t, uint8_t>{0, 1}, {1, 1}, {3, 1}, {7, 1}, {2, 0}, {2, 34}, {2, 255}}) {
    std::vector<uint8_t> bytes = good;
    bytes[offset] = value;
    EXPECT_EQ(TestBytes(kCategoryWaveGenerator, "H.WTS", bytes).info.remark, "NO VORTA WAVETABLE FILE") << offset;
  }
  EXPECT_EQ(TestBytes(kCategoryWaveGenerator, "T.WTS", std::vector<uint8_t>(good.begin(), good.end() - 1)).info.remark,
            "NO VORTA WAVETABLE FILE");
  std::vector<uint8_t> range = good;
  WriteU32LE(range.data() + 8 + 258 * 5 + 4224, 40);
  EXPECT_EQ(TestBytes(kCategoryWaveGenerator, "R.WTS", range).info.remark, "RANGE ERROR IN VORTA SYNTHESIS DATA");
}

}  // namespace
