// Each foreign table format's byte layout, built here and compared byte for
// byte with the writer's file, and what the readers refuse.

#include <cmath>
#include <limits>
#include <numeric>
#include <tuple>

#include "formats/blofeld_sysex.h"
#include "formats/dune2_wt.h"
#include "formats/efe_file.h"
#include "formats/foreign_table_common.h"
#include "formats/format_fixtures.h"
#include "formats/komplexer_wt.h"
#include "formats/serum_wav.h"
#include "formats/surge_wt.h"
#include "formats/wavegenerator_wts.h"
#include "wavetable/limit_peak.h"
#include "wavetable/ram_wavetable.h"

using namespace format_fixtures;

namespace {

using Blob = std::vector<uint8_t>;

void Append(Blob& bytes, const Blob& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }
uint16_t I16(double value) { return static_cast<uint16_t>(std::lround(std::clamp(value, -32768.0, 32767.0))); }

// The tail behind the waves: the 2,112 codes as 16-bit values row after row, then R.
Blob Tail(const PartialTable& table, uint32_t stretch) {
  Blob bytes;
  for (int16_t code : table.codes) AppendU16LE(bytes, static_cast<uint16_t>(code));
  AppendU32LE(bytes, stretch);
  return bytes;
}

// Surge: "vawt", wave length 1,024, n, no flags; n waves of floats; the tail.
Blob SurgeLayout(const PartialTable& table, int n, uint32_t stretch) {
  Blob bytes = {'v', 'a', 'w', 't', 0, 4, 0, 0, static_cast<uint8_t>(n), 0, 0, 0};
  const std::vector<float> waves = RenderWaves(table, 1024, 1);
  for (int i = 0; i < n * 1024; ++i) AppendF32LE(bytes, waves[static_cast<size_t>(i)]);
  Append(bytes, Tail(table, stretch));
  return bytes;
}

// WaveGenerator: 8 bytes with n at 2, n entries (0, wave), 128-sample waves at half scale; the tail.
Blob WtsLayout(const PartialTable& table, int n, uint32_t stretch) {
  Blob bytes(8, 0);
  bytes[2] = static_cast<uint8_t>(n);
  for (int w = 0; w < n; ++w) bytes.insert(bytes.end(), {0, static_cast<uint8_t>(w)});
  const std::vector<float> waves = RenderWaves(table, 128, 1);
  for (int i = 0; i < n * 128; ++i) AppendU16LE(bytes, I16(waves[static_cast<size_t>(i)] * 0.5 * 32767.0));
  Append(bytes, Tail(table, stretch));
  return bytes;
}

// Dune2: a 352-byte header (2, 8, 21, 24, n at 0, 13, 14, 16, 20, 1.0f at 28), 24 layers of
// n waves of 2,048 samples, layer i of the first partials[i] partials at full scale; the tail.
Blob Dune2Layout(const PartialTable& table, int n, uint32_t stretch) {
  Blob bytes(352, 0);
  for (const auto& [at, value] : {std::pair{0, 2}, {13, 8}, {14, 21}, {16, 24}, {30, 128}, {31, 63}}) bytes[at] = value;
  bytes[20] = static_cast<uint8_t>(n);
  for (int partials : {64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 53, 42, 33, 26, 21, 16, 13, 10, 8, 6, 5, 4}) {
    PartialTable limited = table;
    for (int row = partials; row < kPartialCount; ++row)
      for (int slice = 0; slice < kSliceCount; ++slice) limited.at(row, slice) = 0;
    std::vector<float> waves = RenderWaves(limited, 2048, 1);
    waves.resize(static_cast<size_t>(n) * 2048);
    const double peak = PeakOf(waves);
    for (float v : waves) AppendU16LE(bytes, peak > 0 ? I16(static_cast<float>(v / peak) * 32767.0) : 0);
  }
  Append(bytes, Tail(table, stretch));
  return bytes;
}

// Blofeld: 64 messages: F0 3E 13 device 12 slot wave 0, R in sample 0, samples 1..127 of
// waves with one blend between neighbours, 14-character name, 0 0, checksum of 7..407, F7.
Blob BlofeldLayout(const PartialTable& table, uint8_t stretch, uint8_t device, uint8_t slot, const std::string& name) {
  const std::vector<float> waves = RenderWaves(table, 128, 2);
  Blob bytes;
  for (int w = 0; w < 64; ++w) {
    Blob m = {0xF0, 0x3E, 0x13, device, 0x12, slot, static_cast<uint8_t>(w), 0, 0, 0, stretch};
    for (size_t k = 1; k < 128; ++k) {
      const auto sample = EncodeBlofeldSample(waves[static_cast<size_t>(w) * 128 + k]);
      m.insert(m.end(), sample.begin(), sample.end());
    }
    m.insert(m.end(), name.begin(), name.end());
    m.insert(m.end(), {0, 0});
    m.push_back(static_cast<uint8_t>(std::accumulate(m.begin() + 7, m.end(), 0u) & 127));
    m.push_back(0xF7);
    Append(bytes, m);
  }
  return bytes;
}

// EFE: header and instrument (checked by their golden mark), 128 of the 129
// waves rendered with three blends between neighbours as 16-bit big-endian,
// the wave trailer, the codes as signed bytes slice after slice, R, zeros.
Blob EfeLayout(const Blob& written, const PartialTable& table, uint8_t stretch) {
  Blob bytes(written.begin(), written.begin() + 1680);
  const std::vector<float> waves = RenderWaves(table, 256, 4);
  for (size_t i = 0; i < 128 * 256; ++i) {
    const uint16_t v = I16(waves[i] * 32767.0);
    bytes.insert(bytes.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
  }
  Append(bytes, {23, 16, 0, 0, 8, 64});
  bytes.resize(67584, 0);
  for (int s = 0; s < kSliceCount; ++s)
    for (int p = 0; p < kPartialCount; ++p) bytes.push_back(static_cast<uint8_t>(table.at(p, s)));
  bytes.push_back(stretch);
  bytes.resize(70144, 0);
  return bytes;
}

// Serum: RIFF chunks checked by their golden mark but for the waves, floats at the
// program's WAV level (mono: twice 0.494265 of full scale).
Blob SerumLayout(const Blob& written, const PartialTable& table, int n) {
  Blob bytes(written.begin(), written.begin() + 136);
  const std::vector<float> waves = RenderWaves(table, 2048, 1);
  for (int i = 0; i < n * 2048; ++i)
    AppendF32LE(bytes, static_cast<float>(2.0 * waves[static_cast<size_t>(i)] * 0.494265));
  Append(bytes, Blob(written.end() - 4308, written.end()));
  return bytes;
}

// Every writer's file against its layout: the waves of the slices in use
// (one for a silent table, never NaN), the codes and R behind them.
TEST_F(FormatLibrary, ExactLayouts) {
  const PartialTable known = KnownTable(5), five = FiveSliceTable(), silent;
  PartialTable high;  // partial 11 lies above the band limit of Dune2 layers 19..23
  high.at(10, 0) = 127;
  ASSERT_EQ(WriteBlofeldTable(app, known, 7, "CHECK.SYX", BlofeldParameters{42, 111}, true), kMsgDone);
  const Blob efe = BuildEfeFile(known, 19, "SEVENAB.EFE"), serum = BuildSerumFile(five, 7);
  const struct {
    const char* name;
    Blob written, expected;
  } cases[] = {
      {"blofeld", Bytes(kCategoryBlofeld, "CHECK.SYX"), BlofeldLayout(known, 7, 42, 111, "CHECK         ")},
      {"surge 5", BuildSurgeFile(five, 7), SurgeLayout(five, 5, 7)},
      {"surge 33", BuildSurgeFile(known, 16), SurgeLayout(known, 33, 16)},
      {"surge silent", BuildSurgeFile(silent, 16), SurgeLayout(silent, 1, 16)},
      {"wts 5", BuildWtsFile(five, 7), WtsLayout(five, 5, 7)},
      {"wts silent", BuildWtsFile(silent, 16), WtsLayout(silent, 1, 16)},
      {"dune2 33", BuildDune2File(known, 12), Dune2Layout(known, 33, 12)},
      {"dune2 high", BuildDune2File(high, 16), Dune2Layout(high, 1, 16)},
      {"dune2 silent", BuildDune2File(silent, 16), Dune2Layout(silent, 1, 16)},
      {"efe", efe, EfeLayout(efe, known, 19)},
      {"serum", serum, SerumLayout(serum, five, 5)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectSameBytes(c.written, c.expected);
  }
  EXPECT_EQ(Golden(efe, 0, 1680), 15601697648292652997ull);  // header and instrument of "SEVENAB"
  EXPECT_EQ(Golden(serum, 0, 136) ^ Golden(serum, serum.size() - 4308, serum.size()), 7418731743674686259ull);

  // EFE names: 12 characters, blanks for what an instrument cannot show; R held within 1..32.
  const Blob longName = BuildEfeFile(known, 1, "ABCDEFGHIJKLMNOP.EFE"), oddName = BuildEfeFile(known, 1, "a\xE9z");
  EXPECT_EQ(std::string(longName.begin() + 18, longName.begin() + 30), "ABCDEFGHIJKL");
  EXPECT_EQ(std::string(oddName.begin() + 18, oddName.begin() + 30), "a z         ");
  EXPECT_EQ(oddName[1402 + 2], ' ');
  EXPECT_EQ(BuildEfeFile(known, 0, "R")[69696], 1);
}

TEST_F(FormatLibrary, KomplexerLayoutIsSliceMajorWithRInThePeak) {
  const PartialTable table = KnownTable();
  const std::vector<float> values = Floats(BuildKomplexerFile(table, 16));
  ASSERT_EQ(values.size(), 2112u);
  // Value [slice s][partial p] at 64 s + p, in proportion to the amplitudes.
  for (int slice = 0; slice < kSliceCount; ++slice)
    for (int row = 0; row < kPartialCount; ++row)
      ASSERT_NEAR(values[static_cast<size_t>(64 * slice + row)], DecodeCode(table.at(row, slice)) * (4080.0 / 4096 / 4096),
                  1e-6) << row << " " << slice;
  // The peak is 4,096 - R of 4,096, R outside 1..32 held within; a table
  // whose largest code is 126 adds one 256th to 4,096 x peak.
  PartialTable quiet = table;
  quiet.at(0, 0) = -126;
  const std::tuple<const PartialTable*, int32_t, float> peaks[] = {
      {&table, 16, 4080.0f}, {&table, 1, 4095.0f}, {&table, 32, 4064.0f}, {&table, 99, 4064.0f},
      {&quiet, 16, 4080.0f + 1.0f / 256}};
  for (const auto& [t, stretch, peak] : peaks) {
    const std::vector<float> file = Floats(BuildKomplexerFile(*t, stretch));
    EXPECT_EQ(std::fabs(std::ranges::max(file, {}, [](float v) { return std::fabs(v); })), peak / 4096.0f) << stretch;
  }
  // A silent table writes zeros, never NaN, the one at R - 1 negative.
  const std::vector<float> silent = Floats(BuildKomplexerFile(PartialTable{}, 5));
  for (size_t i = 0; i < silent.size(); ++i) ASSERT_EQ(std::pair(silent[i], std::signbit(silent[i])), std::pair(0.0f, i == 4)) << i;
}

TEST_F(FormatLibrary, KomplexerLevelFractionsAndSilence) {
  // Files without the level fraction (written before it was used, or by
  // others with a peak below 1.0) bring their loudest partial to 127, every
  // code raised by the same step; so do files whose fraction names a level
  // their values do not lie on.
  std::vector<float> old(2112, 0.0f);
  old[0] = 4092.0f / 4096.0f;  // code 100, R = 4
  old[64 * 7 + 5] = static_cast<float>(-DecodeCode(60) / DecodeCode(100) * old[0]);
  std::vector<float> stray = old;  // its fraction names code 100, its values lie elsewhere
  stray[0] = (4092.0f + 27.0f / 256) / 4096.0f;
  stray[64 * 7 + 5] *= 1.01f;
  for (const auto& values : {old, stray}) {
    Put(kCategoryKomplexer, "Q.WT", FloatBytes(values));
    const auto [loaded, stretch] = Load(kCategoryKomplexer, "Q.WT");
    EXPECT_EQ(std::tuple(loaded.at(0, 0), loaded.at(5, 7), stretch), std::tuple(127, -87, 4));
  }
  // Zeros: silence without R loads with the default; a silent table written
  // by the program keeps its R and shows it as encoded.
  Put(kCategoryKomplexer, "Z.WT", Blob(8448, 0));
  EXPECT_EQ(Load(kCategoryKomplexer, "Z.WT"), std::pair(PartialTable{}, kDefaultStretch));
  ASSERT_EQ(WriteKomplexerTable(app, PartialTable{}, 4, "S.WT"), kMsgDone);
  EXPECT_EQ(Test(kCategoryKomplexer, "S.WT").info.remark, "SPEED DATA <ENCODED>");
  EXPECT_EQ(Load(kCategoryKomplexer, "S.WT"), std::pair(PartialTable{}, 4));

  // Amplitudes up to 4,096 without R: marked VORTA only by a name the
  // program could have given.
  std::vector<float> foreign(2112, 0.0f);
  foreign[0] = 4096.0f;
  foreign[64 * 3 + 2] = -100.0f;
  foreign[64 * 32 + 62] = 0.5f;  // below amplitude 1: silent
  const Blob bytes = FloatBytes(foreign);
  const Result r = TestBytes(kCategoryKomplexer, "FOREIGN.WT", bytes);
  EXPECT_EQ(std::tuple(r.category, r.info.family, r.info.remark, r.info.count), std::tuple(kCategoryKomplexer, "VORTA", "", "33"));
  EXPECT_EQ(TestBytes(kCategoryKomplexer, "foreign.wt", bytes).info.family, "");
  EXPECT_EQ(TestBytes(kCategoryKomplexer, "FOREIG~1.WT", bytes).info.family, "");
  const auto [loaded, stretch] = Load(kCategoryKomplexer, "FOREIGN.WT");
  EXPECT_EQ(std::tuple(loaded.at(0, 0), loaded.at(2, 3), loaded.at(62, 32), stretch),  // 35.157 x log10 100 = 70.3
            std::tuple(127, -70, 0, kDefaultStretch));
}

// Copies of a good file with one change.
Blob Cut(Blob bytes, size_t size, uint8_t fill = 0) {
  bytes.resize(size, fill);
  return bytes;
}
// The value little-endian in width bytes at the offset.
Blob With(Blob bytes, size_t at, uint32_t value, int width = 1) {
  for (int i = 0; i < width; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
  return bytes;
}
Blob WithFloat(std::vector<float> values, size_t at, float value) {
  values[at] = value;
  return FloatBytes(values);
}

// A Surge file as other programs write it: header and waves, no tail.
Blob PlainSurge(uint16_t count, uint32_t length = 1024, size_t extraFloats = 0) {
  Blob bytes = {'v', 'a', 'w', 't'};
  AppendU32LE(bytes, length);
  AppendU16LE(bytes, count);
  AppendU16LE(bytes, 0);
  for (uint32_t i = 0; i < count * length; ++i) AppendF32LE(bytes, 0.5f);
  for (size_t i = 0; i < extraFloats; ++i) AppendF32LE(bytes, 0.25f);
  return bytes;
}

// What each reader shows of damaged, foreign and boundary files: the remark,
// and category 0 for everything but "SYNTHESIS DATA".
TEST_F(FormatLibrary, EveryRejection) {
  std::vector<float> komplexer(2112, 0.0f);
  komplexer[0] = 4096.0f;
  const Blob surge = BuildSurgeFile(FiveSliceTable(), 16), wts = BuildWtsFile(FiveSliceTable(), 16),
              dune2 = BuildDune2File(FiveSliceTable(), 16), efe = BuildEfeFile(KnownTable(), 16, "GOOD");
  const size_t surgeTail = 12 + 5 * 4096, dune2Layers = 352 + 5 * 98304;
  const std::string kRange = "DATA RANGE ERROR <KOMPLEXER WT>", kKSmall = "FILE IS TOO SMALL <KOMPLEXER WT>",
                    sNo = "NO VORTA WAVETABLE FILE <SURGE WT>", sRange = "RANGE ERROR IN VORTA SYNTHESIS DATA <SURGE WT>",
                    wNo = "NO VORTA WAVETABLE FILE", range = "RANGE ERROR IN VORTA SYNTHESIS DATA",
                    dNo = "NO VORTA WAVETABLE FILE <DUNE2 WT>", eNo = "NOT AN EFE INSTRUMENT FILE",
                    eVorta = "ENSONIQ EFE, BUT NO VORTA WAVETABLE FILE", ok = "SYNTHESIS DATA";
  struct Case {
    int category;
    Blob bytes;
    std::string remark;
  };
  std::vector<Case> cases = {
      {kCategoryKomplexer, Cut(FloatBytes(komplexer), 8447), kKSmall},
      {kCategoryKomplexer, Blob(351, 0), "FILE IS TOO SMALL, NO WAVETABLE DATA"},
      {kCategoryKomplexer, Blob(352, 0), kKSmall},
      // Surge files of other programs carry no tail, or stranger's data behind the waves.
      {kCategorySurge, PlainSurge(3), sNo},
      {kCategorySurge, PlainSurge(3, 1024, 5000), sRange},
      {kCategorySurge, Cut(surge, surge.size() - 1), sNo},
      {kCategorySurge, PlainSurge(2, 2048), kRange},  // another wave length: read as Komplexer
      // Codes beyond +-127 and R outside 1..32 in the tail; 127 itself is fine.
      {kCategorySurge, With(surge, surgeTail + 100, 128, 2), sRange},
      {kCategorySurge, With(surge, surgeTail + 100, 0xFF80, 2), sRange},
      {kCategorySurge, With(surge, surgeTail + 100, 127, 2), ok},
      {kCategorySurge, With(surge, surgeTail + 4224, 0, 4), sRange},
      {kCategorySurge, With(surge, surgeTail + 4224, 33, 4), sRange},
      {kCategoryWaveGenerator, {0, 0, 5, 0, 0, 0, 0}, "FILE IS TOO SMALL"},
      {kCategoryWaveGenerator, Cut(wts, wts.size() - 1), wNo},
      {kCategoryWaveGenerator, With(wts, 8 + 258 * 5 + 4224, 40, 4), range},
      {kCategoryDune2, Cut(dune2, dune2Layers), dNo},  // no table behind the layers
      {kCategoryDune2, Cut(dune2, 352), dNo},
      {kCategoryDune2, Cut(Cut(dune2, dune2Layers), dune2.size(), 0x7F), "RANGE ERROR IN VORTA SYNTHESIS DATA <DUNE2 WT>"},
      {kCategoryDune2, With(dune2, 14, 22), kRange},  // a fixed header byte changed: no Dune2 file
      {kCategoryEfe, efe, ok},
      {kCategoryEfe, Cut(efe, 63), "EFE HEADER TOO SMALL"},
      {kCategoryEfe, With(efe, 2, 'W'), eVorta},  // an Ensoniq instrument without the VORTA marker
      {kCategoryEfe, With(efe, 16, ';'), eVorta},
      {kCategoryEfe, Cut(efe, 69696), eVorta},  // the marker but the table cut short
      {kCategoryEfe, Cut(efe, 69697), ok},
      {kCategoryEfe, With(efe, 67584 + 100, 0x80), range},
      {kCategoryEfe, With(efe, 67584 + 100, 0x81), ok},  // -127
      {kCategoryEfe, With(efe, 69696, 0), range},
      {kCategoryEfe, With(efe, 69696, 33), range},
      {kCategoryEfe, With(efe, 69696, 32), ok},
  };
  for (float v : {4096.5f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
    cases.push_back({kCategoryKomplexer, WithFloat(komplexer, 2000, v), kRange});
  // A count the file cannot hold is refused before any seek.
  for (uint32_t n : {0, 34, 65535}) cases.push_back({kCategorySurge, With(surge, 8, n, 2), sNo});
  // A header byte other than the count, a count outside 1..33.
  for (size_t at : {0, 1, 3, 7}) cases.push_back({kCategoryWaveGenerator, With(wts, at, 1), wNo});
  for (uint32_t n : {0, 34, 255}) cases.push_back({kCategoryWaveGenerator, With(wts, 2, n), wNo});
  for (uint32_t n : {0, 34}) cases.push_back({kCategoryDune2, With(dune2, 20, n), dNo});
  for (const auto& [at, value] : {std::pair{0, 10}, {1, 13}, {47, 99}, {49, 99}, {51, 99}})
    cases.push_back({kCategoryEfe, With(efe, static_cast<size_t>(at), static_cast<uint32_t>(value)), eNo});
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    const char* name = c.category == kCategoryWaveGenerator ? "T.WTS" : c.category == kCategoryEfe ? "T.EFE" : "T.WT";
    const Result r = TestBytes(c.category, name, c.bytes);
    EXPECT_EQ(std::pair(r.category, r.info.remark), std::pair(c.remark == ok ? c.category : 0, c.remark)) << "case " << i;
  }
}

}  // namespace
