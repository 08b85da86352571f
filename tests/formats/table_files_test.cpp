// The byte layouts of the foreign wavetable files the program writes and
// reads: Komplexer, Surge, WaveGenerator, Dune2, Serum and Ensoniq EFE.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

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

using KomplexerFiles = FormatLibrary;

TEST_F(KomplexerFiles, LayoutIsSliceMajorWithRInThePeak) {
  const PartialTable table = KnownTable();
  const std::vector<uint8_t> bytes = BuildKomplexerFile(table, 16);
  ASSERT_EQ(bytes.size(), 8448u);
  const std::vector<float> values = Floats(bytes);
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
    for (float v : Floats(b)) p = std::max(p, std::fabs(v));
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
  ExpectPayloadTail(bytes, tail, table, 7);

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

using WtsFiles = FormatLibrary;

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
  ExpectPayloadTail(bytes, tail, table, 30);
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

using Dune2Files = FormatLibrary;

// Every partial silent but rows 0..3 of slices 0..2 and row 20 of slice 1.
PartialTable ThreeSliceTable() {
  PartialTable table;
  for (int slice = 0; slice < 3; ++slice)
    for (int row = 0; row < 4; ++row) table.at(row, slice) = static_cast<int16_t>(100 - 10 * row - slice);
  table.at(20, 1) = -110;
  return table;
}

std::vector<int16_t> Layer(const std::vector<uint8_t>& bytes, int layer, int count) {
  std::vector<int16_t> samples(static_cast<size_t>(count) * 2048);
  const size_t start = 352 + static_cast<size_t>(layer) * count * 4096;
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = ReadI16LE(bytes.data() + start + 2 * i);
  return samples;
}

TEST_F(Dune2Files, HeaderLayersAndTail) {
  const PartialTable table = ThreeSliceTable();
  const std::vector<uint8_t> bytes = BuildDune2File(table, 12);
  ASSERT_EQ(bytes.size(), 352u + 294912 + 4228);
  std::vector<uint8_t> header(352, 0);
  header[0] = 2;
  header[13] = 8;
  header[14] = 21;
  header[16] = 24;
  header[20] = 3;
  header[30] = 128;
  header[31] = 63;
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 352), header);

  // Layers 0..11 hold all partials and are copies; each distinct layer is
  // the band-limited render scaled to full scale.
  for (int layer = 1; layer < 12; ++layer) ASSERT_EQ(Layer(bytes, layer, 3), Layer(bytes, 0, 3)) << layer;
  for (int layer = 0; layer < 24; ++layer) {
    std::vector<float> waves = RenderWaves(BandLimitedTable(table, kDune2LayerPartials[layer]), 2048, 1);
    waves.resize(3 * 2048);
    const double peak = PeakOf(waves);
    const std::vector<int16_t> stored = Layer(bytes, layer, 3);
    for (size_t i = 0; i < stored.size(); i += 7)
      ASSERT_EQ(stored[i], static_cast<int16_t>(std::lround(static_cast<float>(waves[i] / peak) * 32767.0))) << layer << " " << i;
  }
  // Row 20 lives in the layers of 21 and more partials only.
  EXPECT_NE(Layer(bytes, 16, 3), Layer(bytes, 17, 3));  // 21 against 16 partials
  EXPECT_EQ(Layer(bytes, 17, 3), Layer(bytes, 18, 3));  // 16 and 13 partials: rows 0..3 only, same scale
  const size_t tail = 352 + 294912;
  ExpectPayloadTail(bytes, tail, table, 12);
}

TEST_F(Dune2Files, SilentLayersStaySilent) {
  PartialTable high;
  high.at(10, 0) = 127;  // partial 11: above the band limit of layers 19..23
  const std::vector<uint8_t> bytes = BuildDune2File(high, 16);
  ASSERT_EQ(bytes.size(), 352u + 98304 + 4228);
  for (int layer = 0; layer < 24; ++layer) {
    const std::vector<int16_t> samples = Layer(bytes, layer, 1);
    int16_t peak = 0;
    for (int16_t s : samples) peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(s)));
    EXPECT_EQ(peak, layer >= 19 ? 0 : 32767) << layer;
  }
  const std::vector<uint8_t> silent = BuildDune2File(PartialTable{}, 16);
  ASSERT_EQ(silent.size(), 352u + 98304 + 4228);
  EXPECT_TRUE(std::all_of(silent.begin() + 352, silent.begin() + 352 + 98304, [](uint8_t b) { return b == 0; }));
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

using SerumFiles = FormatLibrary;

TEST_F(SerumFiles, ChunkOrderSizesAndPayload) {
  const PartialTable table = FiveSliceTable();
  const std::vector<uint8_t> bytes = BuildSerumFile(table, 6);
  const size_t data = 5 * 8192;
  ASSERT_EQ(bytes.size(), 12u + 36 + 24 + 56 + 8 + data + 4308);
  EXPECT_EQ(ReadU32LE(bytes.data() + 4), 16u + data + 120 + 4300);
  EXPECT_EQ(ReadU32LE(bytes.data() + 4), bytes.size() - 8);
  // RIFF, WAVE, JUNK of 28 zeros, fmt (IEEE float, mono, 44,100 Hz, 176,400 bytes/s, align 4, 32 bits), clm, data.
  std::vector<uint8_t> head = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'J', 'U', 'N', 'K', 28, 0, 0, 0};
  head.resize(48, 0);
  head.insert(head.end(), {'f', 'm', 't', ' ', 16, 0, 0, 0, 3, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 0x02, 0, 4, 0, 32, 0,
                           'c', 'l', 'm', ' ', 48, 0, 0, 0});
  const std::string clm = "<!>2048 10000000 wavetable (Sonic-Loom)         data";
  head.insert(head.end(), clm.begin(), clm.end());
  AppendU32LE(head, data);
  std::copy_n(bytes.begin() + 4, 4, head.begin() + 4);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 136), head);
  // The waves at the program's usual WAV level (2 x 0.494265 of full scale).
  const std::vector<float> waves = RenderWaves(table, 2048, 1);
  for (size_t i = 0; i < 5 * 2048; ++i)
    ASSERT_EQ(ReadF32LE(bytes.data() + 136 + 4 * i), static_cast<float>((double{waves[i]} + waves[i]) * kWriteLevel));
  const size_t smpl = 136 + data;
  auto tagAt = [&](size_t at) { return std::string(bytes.begin() + at, bytes.begin() + at + 4); };
  EXPECT_EQ(tagAt(smpl), "smpl");
  // size, unity note, pitch fraction, loops, sampler data size, loop start and end
  for (const auto& [at, value] : {std::pair<size_t, uint32_t>{4, 4300}, {20, 29}, {24, kVortaPitchFraction}, {36, 1},
                                  {40, 4240}, {52, 0}, {56, 2047}})
    EXPECT_EQ(ReadU32LE(bytes.data() + smpl + at), value) << at;
  EXPECT_EQ(tagAt(smpl + 68) + tagAt(smpl + 72), "VORTA___");
  ExpectPayloadTail(bytes, smpl + 76, table, 6);
  EXPECT_EQ(tagAt(smpl + 4304), "LOG_");

  // A silent table: one silent wave, no NaN.
  const std::vector<uint8_t> silent = BuildSerumFile(PartialTable{}, 16);
  ASSERT_EQ(ReadU32LE(silent.data() + 132), 8192u);
  for (size_t i = 0; i < 2048; ++i) ASSERT_EQ(ReadF32LE(silent.data() + 136 + 4 * i), 0.0f);
}

TEST_F(SerumFiles, SoxReadsTheAudioAsRendered) {
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

TEST_F(EfeFiles, ExactLayout) {
  const PartialTable table = KnownTable();
  const std::vector<uint8_t> bytes = BuildEfeFile(table, 19, "SEVENAB.EFE");
  ASSERT_EQ(bytes.size(), 70144u);

  // Header: the seven letters and five blanks; then the instrument block.
  std::vector<uint8_t> expected(1680, 0);
  const std::string header = "\r\nVORTA EPS File: SEVENAB         Instrument   \r\n\x1a\x03";
  ASSERT_EQ(header.size(), 51u);
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

  // 128 waves of 256 samples, big-endian, from the 4-fold interpolated render.
  const std::vector<float> waves = RenderWaves(table, 256, 4);
  ASSERT_EQ(waves.size(), 129u * 256u);
  for (size_t i = 0; i < 128 * 256; ++i) {
    const int16_t value = static_cast<int16_t>((bytes[1680 + 2 * i] << 8) | bytes[1681 + 2 * i]);
    ASSERT_EQ(value, static_cast<int16_t>(std::lround(waves[i] * 32767.0))) << i;
  }
  std::vector<uint8_t> trailer(368, 0);
  std::copy_n(std::vector<uint8_t>{23, 16, 0, 0, 8, 64}.begin(), 6, trailer.begin());
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 67216, bytes.begin() + 67584), trailer);

  // The codes as signed bytes, slice-major, then R, then zeros.
  for (int s = 0; s < kSliceCount; ++s)
    for (int p = 0; p < kPartialCount; ++p)
      ASSERT_EQ(static_cast<int8_t>(bytes[67584 + 64 * s + p]), table.at(p, s));
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
