// The byte layouts of the foreign wavetable files the program writes and
// reads: Komplexer, Surge, WaveGenerator, Dune2, Serum and Ensoniq EFE. The
// headers and waves that format_check.py reads independently (see
// VortaImport.AnIndependentReaderAgrees) are not checked again here.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <tuple>

#include "core/message_codes.h"
#include "files/wave_writer.h"
#include "formats/dune2_wt.h"
#include "formats/efe_file.h"
#include "formats/foreign_table_common.h"
#include "formats/format_fixtures.h"
#include "formats/komplexer_wt.h"
#include "formats/serum_wav.h"
#include "formats/surge_wt.h"
#include "formats/vorta_import.h"
#include "formats/wavegenerator_wts.h"
#include "wavetable/limit_peak.h"
#include "wavetable/ram_wavetable.h"

using namespace format_fixtures;

namespace {

float PeakOfFile(const std::vector<uint8_t>& bytes) {
  float peak = 0;
  for (float v : Floats(bytes)) peak = std::max(peak, std::fabs(v));
  return peak;
}

using KomplexerFiles = FormatLibrary;

TEST_F(KomplexerFiles, LayoutIsSliceMajorWithRInThePeak) {
  const PartialTable table = KnownTable();
  const std::vector<uint8_t> bytes = BuildKomplexerFile(table, 16);
  ASSERT_EQ(bytes.size(), 8448u);
  const std::vector<float> values = Floats(bytes);
  // Value [slice s][partial p] at 64 s + p, in proportion to the amplitudes.
  const double scale = (4080.0 / 4096.0) / 4096.0;
  for (int slice = 0; slice < kSliceCount; ++slice) {
    for (int row = 0; row < kPartialCount; ++row) {
      ASSERT_NEAR(values[static_cast<size_t>(64 * slice + row)], DecodeCode(table.at(row, slice)) * scale, 1e-6)
          << row << " " << slice;
    }
  }
  // The peak is 4,096 - R of 4,096, R outside 1..32 held within; a table
  // whose largest code is 126 adds one 256th to 4,096 x peak.
  PartialTable quiet = table;
  quiet.at(0, 0) = -126;
  const std::tuple<const PartialTable*, int32_t, float> peaks[] = {
      {&table, 16, 4080.0f}, {&table, 1, 4095.0f}, {&table, 32, 4064.0f}, {&table, 99, 4064.0f},
      {&quiet, 16, 4080.0f + 1.0f / 256}};
  for (const auto& [t, stretch, peak] : peaks)
    EXPECT_EQ(PeakOfFile(BuildKomplexerFile(*t, stretch)), peak / 4096.0f) << stretch;
  // A silent table writes zeros, never NaN, the one at R - 1 negative.
  const std::vector<float> silent = Floats(BuildKomplexerFile(PartialTable{}, 5));
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
    EXPECT_EQ(std::tuple(loaded.at(0, 0), loaded.at(5, 7), stretch), std::tuple(127, -87, 4));
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
  const Result r = TestBytes(kCategoryKomplexer, "FOREIGN.WT", bytes);
  EXPECT_EQ(std::tuple(r.category, r.info.family, r.info.remark, r.info.count),
            std::tuple(kCategoryKomplexer, "VORTA", "", "33"));
  EXPECT_EQ(TestBytes(kCategoryKomplexer, "foreign.wt", bytes).info.family, "");
  EXPECT_EQ(TestBytes(kCategoryKomplexer, "FOREIG~1.WT", bytes).info.family, "");
  PartialTable loaded;
  int32_t stretch = 0;
  ASSERT_EQ(LoadVortaFile(app, LibraryEntry{kCategoryKomplexer, "FOREIGN.WT"}, loaded, stretch), kMsgDone);
  // 35.157 x log10 100 = 70.3
  EXPECT_EQ(std::tuple(loaded.at(0, 0), loaded.at(2, 3), loaded.at(62, 32), stretch),
            std::tuple(127, -70, 0, kDefaultStretch));

  const std::string range = "DATA RANGE ERROR <KOMPLEXER WT>";
  std::vector<std::vector<float>> broken(3, foreign);
  broken[0][100] = 4096.5f;
  broken[1][2000] = std::numeric_limits<float>::quiet_NaN();
  broken[2][2000] = std::numeric_limits<float>::infinity();
  const std::pair<std::vector<uint8_t>, std::string> rejected[] = {
      {FloatBytes(broken[0]), range},
      {FloatBytes(broken[1]), range},
      {FloatBytes(broken[2]), range},
      {std::vector<uint8_t>(bytes.begin(), bytes.end() - 1), "FILE IS TOO SMALL <KOMPLEXER WT>"},
      {std::vector<uint8_t>(351, 0), "FILE IS TOO SMALL, NO WAVETABLE DATA"},
      {std::vector<uint8_t>(352, 0), "FILE IS TOO SMALL <KOMPLEXER WT>"},
  };
  for (const auto& [file, remark] : rejected) {
    const Result bad = TestBytes(kCategoryKomplexer, "BAD.WT", file);
    EXPECT_EQ(std::pair(bad.category, bad.info.remark), std::pair(0, remark)) << file.size();
  }
}

// Surge, WaveGenerator, Dune2 and Serum files carry as many waves as the
// table has slices in use (one for a silent table) and the 2,112 codes and R
// behind them.
TEST_F(FormatLibrary, WaveCountsAndPayloadTails) {
  const struct {
    const char* name;
    std::vector<uint8_t> (*build)(const PartialTable&, int32_t);
    size_t head, perWave, tailAt, after;  // tailAt: from the end of the waves to the codes
  } formats[] = {
      {"surge", BuildSurgeFile, 12, 4096, 0, 4228},
      {"wts", BuildWtsFile, 8, 258, 0, 4228},
      {"dune2", BuildDune2File, 352, 98304, 0, 4228},
      {"serum", BuildSerumFile, 136, 8192, 76, 4308},
  };
  for (const auto& f : formats) {
    SCOPED_TRACE(f.name);
    const std::vector<uint8_t> five = f.build(FiveSliceTable(), 7);
    ASSERT_EQ(five.size(), f.head + 5 * f.perWave + f.after);
    ExpectPayloadTail(five, f.head + 5 * f.perWave + f.tailAt, FiveSliceTable(), 7);
    EXPECT_EQ(f.build(KnownTable(), 16).size(), f.head + 33 * f.perWave + f.after);
    const std::vector<uint8_t> silent = f.build(PartialTable{}, 16);
    ASSERT_EQ(silent.size(), f.head + f.perWave + f.after);
    // Silence, never NaN.
    EXPECT_TRUE(std::all_of(silent.begin() + static_cast<long>(f.head),
                            silent.begin() + static_cast<long>(f.head + f.perWave), [](uint8_t b) { return b == 0; }));
  }
}

using SurgeFiles = FormatLibrary;

// A Surge file as other programs write it: header and waves, no tail.
std::vector<uint8_t> PlainSurge(uint16_t count, uint32_t length = 1024) {
  std::vector<uint8_t> bytes = {'v', 'a', 'w', 't'};
  AppendU32LE(bytes, length);
  AppendU16LE(bytes, count);
  AppendU16LE(bytes, 0);
  for (uint32_t i = 0; i < count * length; ++i) AppendF32LE(bytes, 0.5f);
  return bytes;
}

TEST_F(SurgeFiles, ForeignAndDamagedFiles) {
  const std::string noTable = "NO VORTA WAVETABLE FILE <SURGE WT>";
  const std::string range = "RANGE ERROR IN VORTA SYNTHESIS DATA <SURGE WT>";
  // With more bytes behind the waves the stranger's data fails the ranges.
  std::vector<uint8_t> padded = PlainSurge(3);
  for (int i = 0; i < 5000; ++i) AppendF32LE(padded, 0.25f);
  std::vector<uint8_t> cut = BuildSurgeFile(FiveSliceTable(), 16);
  cut.pop_back();
  std::vector<std::pair<std::vector<uint8_t>, std::string>> cases = {
      {PlainSurge(3), noTable},  // written by another program: no payload tail
      {padded, range},
      {cut, noTable},
      // Another wave length is no Surge file of this kind: read as Komplexer.
      {PlainSurge(2, 2048), "DATA RANGE ERROR <KOMPLEXER WT>"},
  };
  // A count the file cannot hold is refused before any seek.
  for (uint16_t count : {0, 34, 65535}) {
    cases.push_back({BuildSurgeFile(KnownTable(), 16), noTable});
    WriteU16LE(cases.back().first.data() + 8, count);
  }
  // Codes beyond +-127 and R outside 1..32 in the tail; 127 itself is fine.
  const size_t tail = 12 + 5 * 4096;
  for (const auto& [at, value, word, remark] : {std::tuple<size_t, uint32_t, bool, std::string>{100, 128, true, range},
                                                {100, 0xFF80, true, range}, {100, 127, true, "SYNTHESIS DATA"},
                                                {4224, 0, false, range}, {4224, 33, false, range}}) {
    cases.push_back({BuildSurgeFile(FiveSliceTable(), 16), remark});
    if (word) WriteU16LE(cases.back().first.data() + tail + at, static_cast<uint16_t>(value));
    else WriteU32LE(cases.back().first.data() + tail + at, value);
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    const Result r = TestBytes(kCategorySurge, "T.WT", cases[i].first);
    EXPECT_EQ(r.info.remark, cases[i].second) << "case " << i;
    EXPECT_EQ(r.category, cases[i].second == "SYNTHESIS DATA" ? kCategorySurge : 0) << "case " << i;
  }
}

TEST_F(FormatLibrary, WtsRejections) {
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

using Dune2Files = FormatLibrary;

std::vector<int16_t> Layer(const std::vector<uint8_t>& bytes, int layer, int count) {
  std::vector<int16_t> samples(static_cast<size_t>(count) * 2048);
  const size_t start = 352 + static_cast<size_t>(layer) * count * 4096;
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = ReadI16LE(bytes.data() + start + 2 * i);
  return samples;
}

TEST_F(Dune2Files, EachLayerIsTheBandLimitedRenderAtFullScale) {
  // Every partial silent but rows 0..3 of slices 0..2 and row 20 of slice 1.
  PartialTable table;
  for (int slice = 0; slice < 3; ++slice)
    for (int row = 0; row < 4; ++row) table.at(row, slice) = static_cast<int16_t>(100 - 10 * row - slice);
  table.at(20, 1) = -110;
  const std::vector<uint8_t> bytes = BuildDune2File(table, 12);
  for (int layer = 0; layer < 24; ++layer) {
    std::vector<float> waves = RenderWaves(BandLimitedTable(table, kDune2LayerPartials[layer]), 2048, 1);
    waves.resize(3 * 2048);
    const double peak = PeakOf(waves);
    const std::vector<int16_t> stored = Layer(bytes, layer, 3);
    for (size_t i = 0; i < stored.size(); i += 7) {
      ASSERT_EQ(stored[i], static_cast<int16_t>(std::lround(static_cast<float>(waves[i] / peak) * 32767.0)))
          << layer << " " << i;
    }
  }
  // Row 20 lives in the layers of 21 and more partials only.
  EXPECT_NE(Layer(bytes, 16, 3), Layer(bytes, 17, 3));  // 21 against 16 partials
  EXPECT_EQ(Layer(bytes, 17, 3), Layer(bytes, 18, 3));  // 16 and 13 partials: rows 0..3 only, same scale

  // Partial 11 lies above the band limit of layers 19..23: they stay silent.
  PartialTable high;
  high.at(10, 0) = 127;
  const std::vector<uint8_t> highBytes = BuildDune2File(high, 16);
  for (int layer = 0; layer < 24; ++layer) {
    const std::vector<int16_t> samples = Layer(highBytes, layer, 1);
    int16_t peak = 0;
    for (int16_t s : samples) peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(s)));
    EXPECT_EQ(peak, layer >= 19 ? 0 : 32767) << layer;
  }
}

TEST_F(Dune2Files, Rejections) {
  const std::vector<uint8_t> good = BuildDune2File(FiveSliceTable(), 16);
  const std::string noTable = "NO VORTA WAVETABLE FILE <DUNE2 WT>";
  std::vector<uint8_t> layers(good.begin(), good.begin() + 352 + 5 * 98304);  // no table behind the layers
  std::vector<uint8_t> foreign = layers;
  foreign.resize(good.size(), 0x7F);  // foreign bytes where the table would be
  std::vector<uint8_t> none = good, many = good, other = good;
  none[20] = 0;
  many[20] = 34;
  other[14] = 22;  // a header that differs in a fixed byte is no Dune2 file
  const std::pair<std::vector<uint8_t>, std::string> cases[] = {
      {layers, noTable},
      {std::vector<uint8_t>(good.begin(), good.begin() + 352), noTable},
      {none, noTable},
      {many, noTable},
      {foreign, "RANGE ERROR IN VORTA SYNTHESIS DATA <DUNE2 WT>"},
      {other, "DATA RANGE ERROR <KOMPLEXER WT>"},
  };
  for (const auto& [bytes, remark] : cases) EXPECT_EQ(TestBytes(kCategoryDune2, "D.WT", bytes).info.remark, remark);
}

// The waves at the program's usual WAV level (2 x 0.494265 of full scale).
TEST_F(FormatLibrary, SoxReadsTheSerumAudioAsRendered) {
  if (!ToolAvailable("sox")) GTEST_SKIP() << "sox is installed by scripts/setup.sh";
  ASSERT_EQ(WriteSerumTable(app, FiveSliceTable(), 16, "FIVE.WAV"), kMsgDone);
  const std::string raw = folder / "five.f32";
  ASSERT_EQ(std::system(("sox -q '" + Path(kCategorySerum, "FIVE.WAV") + "' -t f32 '" + raw + "'").c_str()), 0);
  const std::vector<float> read = ReadF32File(raw);
  const std::vector<float> waves = RenderWaves(FiveSliceTable(), 2048, 1);
  ASSERT_EQ(read.size(), 5u * 2048);
  for (size_t i = 0; i < read.size(); ++i) ASSERT_NEAR(read[i], waves[i] * 2 * kWriteLevel, 1e-6) << i;
}

using EfeFiles = FormatLibrary;

// The instrument block as written down for the format, byte by byte.
std::map<size_t, uint8_t> InstrumentTemplate() {
  std::map<size_t, uint8_t> t = {
      {512, 96},   {514, 1},    {516, 202},  {517, 64},   {518, 255},  {519, 208},  {548, 1},    {550, 1},
      {553, 131},  {556, 7},    {558, 1},    {560, 2},    {562, 3},    {564, 255},  {572, 255},  {573, 255},
      {574, 21},   {576, 108},  {614, 41},   {650, 55},   {1162, 16},  {1168, 14},  {1172, 6},   {1173, 64},
      {1174, 1},   {1176, 1},   {1210, 127}, {1392, 18},  {1394, 1},   {1396, 8},   {1397, 128}, {1399, 243},
      {1401, 148}, {1436, 10},  {1438, 100}, {1440, 127}, {1442, 64},  {1444, 90},  {1446, 100}, {1448, 52},
      {1450, 80},  {1452, 85},  {1454, 40},  {1456, 64},  {1458, 80},  {1460, 30},  {1464, 128}, {1476, 64},
      {1478, 127}, {1480, 10},  {1482, 64},  {1484, 127}, {1486, 64},  {1488, 60},  {1490, 100}, {1492, 52},
      {1494, 55},  {1496, 85},  {1498, 40},  {1500, 50},  {1502, 80},  {1504, 30},  {1508, 129}, {1520, 64},
      {1522, 127}, {1526, 64},  {1528, 127}, {1530, 64},  {1532, 64},  {1534, 127}, {1536, 52},  {1538, 64},
      {1540, 127}, {1542, 40},  {1544, 64},  {1546, 127}, {1548, 20},  {1552, 129}, {1562, 77},  {1566, 8},
      {1570, 13},  {1572, 3},   {1574, 97},  {1578, 3},   {1580, 127}, {1582, 127}, {1584, 10},  {1586, 10},
      {1592, 13},  {1594, 13},  {1600, 127}, {1602, 13},  {1606, 127}, {1608, 127}, {1610, 127}, {1612, 3},
      {1618, 40},  {1622, 40},  {1623, 127}, {1624, 10},  {1625, 13},  {1628, 20},  {1630, 2},   {1640, 1},
      {1658, 2},   {1664, 1},   {1666, 21},  {1668, 108}, {1670, 13},  {1674, 6}};
  for (size_t offset = 1216; offset <= 1390; offset += 2) t[offset] = 1;
  return t;
}

// The waves and their trailer are format_check.py's; here the header and
// instrument block, the codes behind the waves and the names.
TEST_F(EfeFiles, ExactLayout) {
  const PartialTable table = KnownTable();
  const std::vector<uint8_t> bytes = BuildEfeFile(table, 19, "SEVENAB.EFE");
  ASSERT_EQ(bytes.size(), 70144u);
  std::vector<uint8_t> expected(1680, 0);
  const std::string header = "\r\nVORTA EPS File: SEVENAB         Instrument   \r\n\x1a\x03";
  std::copy(header.begin(), header.end(), expected.begin());
  expected[53] = 131;
  expected[55] = 131;
  expected[57] = 15;
  for (const auto& [offset, value] : InstrumentTemplate()) expected[offset] = value;
  for (size_t field : {522, 1178, 1402}) {
    const std::string name = "SEVENAB     ";
    for (size_t i = 0; i < 12; ++i) expected[field + 2 * i] = static_cast<uint8_t>(name[i]);
  }
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 1680), expected);

  // The codes as signed bytes, slice-major, then R, then zeros.
  for (int s = 0; s < kSliceCount; ++s)
    for (int p = 0; p < kPartialCount; ++p) ASSERT_EQ(static_cast<int8_t>(bytes[67584 + 64 * s + p]), table.at(p, s));
  EXPECT_EQ(bytes[69696], 19);
  EXPECT_TRUE(std::all_of(bytes.begin() + 69697, bytes.end(), [](uint8_t b) { return b == 0; }));

  // Long and odd names: 12 characters, blanks for what an instrument cannot show.
  const std::vector<uint8_t> longName = BuildEfeFile(table, 1, "ABCDEFGHIJKLMNOP.EFE");
  EXPECT_EQ(std::string(longName.begin() + 18, longName.begin() + 30), "ABCDEFGHIJKL");
  const std::vector<uint8_t> oddName = BuildEfeFile(table, 1, "a\xE9z");
  EXPECT_EQ(std::string(oddName.begin() + 18, oddName.begin() + 30), "a z         ");
  EXPECT_EQ(oddName[1402 + 2], ' ');
  EXPECT_EQ(BuildEfeFile(table, 0, "R")[69696], 1);  // R held within 1..32
}

TEST_F(EfeFiles, EveryRejection) {
  const std::vector<uint8_t> good = BuildEfeFile(KnownTable(), 16, "GOOD");
  const std::string noEfe = "NOT AN EFE INSTRUMENT FILE", noVorta = "ENSONIQ EFE, BUT NO VORTA WAVETABLE FILE",
                    range = "RANGE ERROR IN VORTA SYNTHESIS DATA";
  const struct {
    size_t size;  // the file cut to this many bytes
    size_t offset;
    uint8_t value;
    std::string remark;  // "" for an accepted file
  } cases[] = {
      {good.size(), 0, 13, ""},       {63, 0, 13, "EFE HEADER TOO SMALL"},
      {good.size(), 0, 10, noEfe},    {good.size(), 1, 13, noEfe},
      {good.size(), 47, 99, noEfe},   {good.size(), 49, 99, noEfe},
      {good.size(), 51, 99, noEfe},
      {good.size(), 2, 'W', noVorta},  // an Ensoniq instrument without the VORTA marker
      {good.size(), 16, ';', noVorta},
      {69696, 0, 13, noVorta},        {69697, 0, 13, ""},  // the marker but the table cut short
      {good.size(), 67584 + 100, 0x80, range}, {good.size(), 67584 + 100, 0x81, ""},  // -127
      {good.size(), 69696, 0, range}, {good.size(), 69696, 33, range},
      {good.size(), 69696, 32, ""},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes(good.begin(), good.begin() + static_cast<long>(c.size));
    bytes[c.offset] = c.value;
    const Result r = TestBytes(kCategoryEfe, "D.EFE", bytes);
    EXPECT_EQ(r.category, c.remark.empty() ? kCategoryEfe : 0) << c.offset;
    EXPECT_EQ(r.info.remark, c.remark.empty() ? "SYNTHESIS DATA" : c.remark) << c.size << " " << c.offset;
  }
}

}  // namespace
