#include "formats/komplexer_wt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/message_codes.h"
#include "formats/format_fixtures.h"
#include "formats/vorta_import.h"
#include "wavetable/ram_wavetable.h"

using namespace format_fixtures;

namespace {

class KomplexerFiles : public FormatLibrary {};

std::vector<float> Values(const std::vector<uint8_t>& bytes) {
  std::vector<float> values(bytes.size() / 4);
  for (size_t i = 0; i < values.size(); ++i) values[i] = ReadF32LE(bytes.data() + 4 * i);
  return values;
}

std::vector<uint8_t> FloatBytes(const std::vector<float>& values) {
  std::vector<uint8_t> bytes;
  for (float v : values) AppendF32LE(bytes, v);
  return bytes;
}

TEST_F(KomplexerFiles, LayoutIsSliceMajorWithRInThePeak) {
  const PartialTable table = KnownTable();
  const std::vector<uint8_t> bytes = BuildKomplexerFile(table, 16);
  ASSERT_EQ(bytes.size(), 8448u);
  const std::vector<float> values = Values(bytes);
  float largest = 0.0f;
  for (float v : values) largest = std::max(largest, std::fabs(v));
  EXPECT_EQ(largest, 4080.0f / 4096.0f);
  // Value [slice s][partial p] at 64 s + p, in proportion to the amplitudes.
  const double scale = (4080.0 / 4096.0) / 4096.0;
  for (int slice = 0; slice < kSliceCount; ++slice) {
    for (int row = 0; row < kPartialCount; ++row) {
      ASSERT_NEAR(values[static_cast<size_t>(64 * slice + row)], DecodeCode(table.at(row, slice)) * scale, 1e-6)
          << row << " " << slice;
    }
  }
  // R = 1 and R = 32, and R outside 1..32 held within.
  auto peak = [](const std::vector<uint8_t>& b) {
    float p = 0;
    for (float v : Values(b)) p = std::max(p, std::fabs(v));
    return p;
  };
  EXPECT_EQ(peak(BuildKomplexerFile(table, 1)), 4095.0f / 4096.0f);
  EXPECT_EQ(peak(BuildKomplexerFile(table, 32)), 4064.0f / 4096.0f);
  EXPECT_EQ(peak(BuildKomplexerFile(table, 99)), 4064.0f / 4096.0f);
  // A table whose largest code is 126 adds one 256th to 4,096 x peak.
  PartialTable quiet = table;
  quiet.at(0, 0) = -126;
  EXPECT_EQ(peak(BuildKomplexerFile(quiet, 16)), (4080.0f + 1.0f / 256) / 4096.0f);
  // A silent table writes zeros, never NaN, the one at R - 1 negative.
  const std::vector<float> silent = Values(BuildKomplexerFile(PartialTable{}, 5));
  for (size_t i = 0; i < silent.size(); ++i) {
    ASSERT_EQ(silent[i], 0.0f);
    ASSERT_EQ(std::signbit(silent[i]), i == 4) << i;
  }
}

TEST_F(KomplexerFiles, LevelFractionsAndSilence) {
  PartialTable loaded;
  int32_t stretch = 0;
  // Files without the level fraction (written before it was used, or by
  // others with a peak below 1.0) bring their loudest partial to 127, every
  // code raised by the same step; so do files whose fraction names a level
  // their values do not lie on.
  std::vector<float> old(2112, 0.0f);
  old[0] = 4092.0f / 4096.0f;  // code 100, R = 4
  old[64 * 7 + 5] = static_cast<float>(-DecodeCode(60) / DecodeCode(100) * old[0]);
  std::vector<float> stray = old;
  stray[0] = (4092.0f + 27.0f / 256) / 4096.0f;  // names code 100
  stray[64 * 7 + 5] *= 1.01f;
  for (const auto& values : {old, stray}) {
    Put(kCategoryKomplexer, "Q.WT", FloatBytes(values));
    ASSERT_EQ(LoadVortaFile(app, LibraryEntry{kCategoryKomplexer, "Q.WT"}, loaded, stretch), kMsgDone);
    EXPECT_EQ(loaded.at(0, 0), 127);
    EXPECT_EQ(loaded.at(5, 7), -87);
    EXPECT_EQ(stretch, 4);
  }

  // Zeros: silence without R loads with the default; a silent table written
  // by the program keeps its R and shows it as encoded.
  Put(kCategoryKomplexer, "Z.WT", std::vector<uint8_t>(8448, 0));
  ASSERT_EQ(LoadVortaFile(app, LibraryEntry{kCategoryKomplexer, "Z.WT"}, loaded, stretch), kMsgDone);
  EXPECT_EQ(loaded, PartialTable{});
  EXPECT_EQ(stretch, kDefaultStretch);
  ASSERT_EQ(WriteKomplexerTable(app, PartialTable{}, 4, "S.WT"), kMsgDone);
  EXPECT_EQ(Test(kCategoryKomplexer, "S.WT").info.remark, "SPEED DATA <ENCODED>");
  ASSERT_EQ(LoadVortaFile(app, LibraryEntry{kCategoryKomplexer, "S.WT"}, loaded, stretch), kMsgDone);
  EXPECT_EQ(loaded, PartialTable{});
  EXPECT_EQ(stretch, 4);
}

TEST_F(KomplexerFiles, ForeignFilesAndRejections) {
  // Amplitudes up to 4,096 without R: category 4, marked VORTA only by a name
  // the program could have given.
  std::vector<float> foreign(2112, 0.0f);
  foreign[0] = 4096.0f;
  foreign[64 * 3 + 2] = -100.0f;
  foreign[64 * 32 + 62] = 0.5f;  // below amplitude 1: silent
  const std::vector<uint8_t> bytes = FloatBytes(foreign);
  Result r = TestBytes(kCategoryKomplexer, "FOREIGN.WT", bytes);
  EXPECT_EQ(r.category, kCategoryKomplexer);
  EXPECT_EQ(r.info.family, "VORTA");
  EXPECT_EQ(r.info.remark, "");
  EXPECT_EQ(r.info.count, "33");
  EXPECT_EQ(TestBytes(kCategoryKomplexer, "foreign.wt", bytes).info.family, "");
  EXPECT_EQ(TestBytes(kCategoryKomplexer, "FOREIG~1.WT", bytes).info.family, "");
  PartialTable loaded;
  int32_t stretch = 0;
  ASSERT_EQ(LoadVortaFile(app, LibraryEntry{kCategoryKomplexer, "FOREIGN.WT"}, loaded, stretch), kMsgDone);
  EXPECT_EQ(loaded.at(0, 0), 127);
  EXPECT_EQ(loaded.at(2, 3), -70);  // 35.157 x log10 100 = 70.3
  EXPECT_EQ(loaded.at(62, 32), 0);
  EXPECT_EQ(stretch, kDefaultStretch);

  std::vector<float> loud = foreign;
  loud[100] = 4096.5f;
  r = TestBytes(kCategoryKomplexer, "LOUD.WT", FloatBytes(loud));
  EXPECT_EQ(r.category, 0);
  EXPECT_EQ(r.info.remark, "DATA RANGE ERROR <KOMPLEXER WT>");
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    std::vector<float> broken = foreign;
    broken[2000] = bad;
    EXPECT_EQ(TestBytes(kCategoryKomplexer, "NAN.WT", FloatBytes(broken)).info.remark, "DATA RANGE ERROR <KOMPLEXER WT>");
  }
  EXPECT_EQ(TestBytes(kCategoryKomplexer, "SHORT.WT", std::vector<uint8_t>(bytes.begin(), bytes.end() - 1)).info.remark,
            "FILE IS TOO SMALL <KOMPLEXER WT>");
  EXPECT_EQ(TestBytes(kCategoryKomplexer, "TINY.WT", std::vector<uint8_t>(351, 0)).info.remark,
            "FILE IS TOO SMALL, NO WAVETABLE DATA");
  EXPECT_EQ(TestBytes(kCategoryKomplexer, "HEAD.WT", std::vector<uint8_t>(352, 0)).info.remark,
            "FILE IS TOO SMALL <KOMPLEXER WT>");
}

}  // namespace
