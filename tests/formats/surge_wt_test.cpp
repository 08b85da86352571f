#include "formats/surge_wt.h"

#include <gtest/gtest.h>

#include "core/message_codes.h"
#include "formats/foreign_table_common.h"
#include "formats/format_fixtures.h"
#include "formats/vorta_import.h"

using namespace format_fixtures;

namespace {

class SurgeFiles : public FormatLibrary {};

// A Surge file as other programs write it: header and waves, no tail.
std::vector<uint8_t> PlainSurge(uint16_t count, uint32_t length = 1024) {
  std::vector<uint8_t> bytes = {'v', 'a', 'w', 't'};
  AppendU32LE(bytes, length);
  AppendU16LE(bytes, count);
  AppendU16LE(bytes, 0);
  for (uint32_t i = 0; i < count * length; ++i) AppendF32LE(bytes, 0.5f);
  return bytes;
}

TEST_F(SurgeFiles, LayoutWithActiveWavesAndTail) {
  const PartialTable table = FiveSliceTable();
  const std::vector<uint8_t> bytes = BuildSurgeFile(table, 7);
  ASSERT_EQ(bytes.size(), 12u + 5 * 4096 + 4228);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "vawt");
  EXPECT_EQ(ReadU32LE(bytes.data() + 4), 1024u);
  EXPECT_EQ(ReadU16LE(bytes.data() + 8), 5);
  EXPECT_EQ(ReadU16LE(bytes.data() + 10), 0);
  const std::vector<float> waves = RenderWaves(table, 1024, 1);
  for (size_t i = 0; i < 5 * 1024; ++i) ASSERT_EQ(ReadF32LE(bytes.data() + 12 + 4 * i), waves[i]) << i;
  const size_t tail = 12 + 5 * 4096;
  for (int i = 0; i < kTableCodeCount; ++i)
    ASSERT_EQ(ReadI16LE(bytes.data() + tail + 2 * i), table.codes[static_cast<size_t>(i)]);
  EXPECT_EQ(ReadU32LE(bytes.data() + tail + 4224), 7u);

  EXPECT_EQ(BuildSurgeFile(KnownTable(), 16).size(), 12u + 33 * 4096 + 4228);
  EXPECT_EQ(BuildSurgeFile(PartialTable{}, 16).size(), 12u + 4096 + 4228);  // a silent table: one wave
  const std::vector<uint8_t> silent = BuildSurgeFile(PartialTable{}, 16);
  for (size_t i = 0; i < 1024; ++i) ASSERT_EQ(ReadF32LE(silent.data() + 12 + 4 * i), 0.0f);
}

TEST_F(SurgeFiles, ForeignAndDamagedFiles) {
  // Written by another program: no payload tail behind the waves.
  Result r = TestBytes(kCategorySurge, "PLAIN.WT", PlainSurge(3));
  EXPECT_EQ(r.category, 0);
  EXPECT_EQ(r.info.remark, "NO VORTA WAVETABLE FILE <SURGE WT>");
  // With more bytes behind the waves the stranger's data fails the ranges.
  std::vector<uint8_t> padded = PlainSurge(3);
  for (int i = 0; i < 5000; ++i) AppendF32LE(padded, 0.25f);
  EXPECT_EQ(TestBytes(kCategorySurge, "PAD.WT", padded).info.remark, "RANGE ERROR IN VORTA SYNTHESIS DATA <SURGE WT>");
  // A count the file cannot hold is refused before any seek.
  for (uint16_t count : {0, 34, 65535}) {
    std::vector<uint8_t> bytes = BuildSurgeFile(KnownTable(), 16);
    WriteU16LE(bytes.data() + 8, count);
    EXPECT_EQ(TestBytes(kCategorySurge, "N.WT", bytes).info.remark, "NO VORTA WAVETABLE FILE <SURGE WT>") << count;
  }
  auto withTail = [&](size_t at, uint32_t value, bool word) {
    std::vector<uint8_t> bytes = BuildSurgeFile(FiveSliceTable(), 16);
    const size_t tail = 12 + 5 * 4096;
    if (word) WriteU16LE(bytes.data() + tail + at, static_cast<uint16_t>(value));
    else WriteU32LE(bytes.data() + tail + at, value);
    return TestBytes(kCategorySurge, "T.WT", bytes).info.remark;
  };
  EXPECT_EQ(withTail(100, 128, true), "RANGE ERROR IN VORTA SYNTHESIS DATA <SURGE WT>");
  EXPECT_EQ(withTail(100, static_cast<uint16_t>(-128), true), "RANGE ERROR IN VORTA SYNTHESIS DATA <SURGE WT>");
  EXPECT_EQ(withTail(100, 127, true), "SYNTHESIS DATA");
  EXPECT_EQ(withTail(4224, 0, false), "RANGE ERROR IN VORTA SYNTHESIS DATA <SURGE WT>");
  EXPECT_EQ(withTail(4224, 33, false), "RANGE ERROR IN VORTA SYNTHESIS DATA <SURGE WT>");
  std::vector<uint8_t> cut = BuildSurgeFile(FiveSliceTable(), 16);
  cut.pop_back();
  EXPECT_EQ(TestBytes(kCategorySurge, "CUT.WT", cut).info.remark, "NO VORTA WAVETABLE FILE <SURGE WT>");
  // Another wave length is no Surge file of this kind: read as Komplexer.
  EXPECT_EQ(TestBytes(kCategorySurge, "W2048.WT", PlainSurge(2, 2048)).info.remark, "DATA RANGE ERROR <KOMPLEXER WT>");
}

}  // namespace
