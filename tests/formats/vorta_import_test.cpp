#include "formats/vorta_import.h"
#include "wavetable/ram_wavetable.h"

#include <functional>

#include "formats/blofeld_sysex.h"
#include "formats/dune2_wt.h"
#include "formats/efe_file.h"
#include "formats/foreign_table_common.h"
#include "formats/format_fixtures.h"
#include "formats/komplexer_wt.h"
#include "files/read_only_folder.h"
#include "formats/serum_wav.h"
#include "formats/surge_wt.h"
#include "files/wave_writer.h"
#include "formats/wavegenerator_wts.h"
#include "wavetable/payload.h"
#include "wavetable/vorta_synthesis.h"

using namespace format_fixtures;

namespace {

class VortaImport : public FormatLibrary {
 protected:
  // The program's own WAV table (category 3) of 33 waves of 256 samples.
  int WriteVortaWav(const std::string& name, const PartialTable& table, int32_t stretch) {
    WaveHeader header{.formatTag = kFormatPcm, .channels = 1, .bitsPerSample = 16, .dataSize = 33 * 256 * 2};
    SamplerBlock block;
    PrepareWaveHeader(header, block, nullptr, nullptr, STATE_VORTA);
    SetSamplerU32(block, sampler_offset::kSamplerDataSize, kSynthesisSamplerDataSize);
    SetSamplerU32(block, sampler_offset::kLoopEnd, 255);
    SetSamplerU32(block, sampler_offset::kUnityNote, VortaUnityNote(256));
    WriteVortaPayload(block.bytes, table, stretch);
    SetSamplerU32(block, sampler_offset::kSpeed, static_cast<uint32_t>(stretch));
    PrepareWaveHeader(header, block, nullptr, nullptr, STATE_VORTA);
    std::vector<float> waves(33 * 256);
    RenderTable(table, waves, 1, 1.0);
    return WriteWaveFile(app, name, kCategoryVortaWav, header, block, waves, waves);
  }

  using Writer = std::function<int(const std::string&, const PartialTable&, int32_t)>;
  struct Format {
    int category;
    const char* name;
    Writer write;
    const char* card;      // what the reader shows of KnownTable
    const char* fiveCard;  // and of FiveSliceTable
  };
  std::vector<Format> Formats() {
    return {
        {kCategoryVortaWav, "T.WAV", [&](auto& n, auto& t, int32_t r) { return WriteVortaWav(n, t, r); },
         "VORTA|33|256|SYNTHESIS DATA", "VORTA|33|256|SYNTHESIS DATA"},
        {kCategoryKomplexer, "T.WT", [&](auto& n, auto& t, int32_t r) { return WriteKomplexerTable(app, t, r, n); },
         "VORTA|33||SPEED DATA <ENCODED>", "VORTA|33||SPEED DATA <ENCODED>"},
        {kCategoryBlofeld, "T.SYX",
         [&](auto& n, auto& t, int32_t r) { return WriteBlofeldTable(app, t, r, n, BlofeldParameters{}, false); },
         "VORTA|64|128|SPEED DATA <ENCODED>", "VORTA|64|128|SPEED DATA <ENCODED>"},
        {kCategoryEfe, "T.EFE",
         [&](auto& n, auto& t, int32_t r) { return WriteEfeTable(app, t, static_cast<uint8_t>(r), n); },
         "VORTA|128|256|SYNTHESIS DATA", "VORTA|128|256|SYNTHESIS DATA"},
        {kCategorySurge, "T.WT", [&](auto& n, auto& t, int32_t r) { return WriteSurgeTable(app, t, r, n); },
         "VORTA|33|1024|SYNTHESIS DATA", "VORTA|5|1024|SYNTHESIS DATA"},
        {kCategoryWaveGenerator, "T.WTS", [&](auto& n, auto& t, int32_t r) { return WriteWtsTable(app, t, r, n); },
         "VORTA|33|128|SYNTHESIS DATA", "VORTA|5|128|SYNTHESIS DATA"},
        {kCategoryDune2, "T.WT", [&](auto& n, auto& t, int32_t r) { return WriteDune2Table(app, t, r, n); },
         "VORTA|33|2048|SYNTHESIS DATA", "VORTA|5|2048|SYNTHESIS DATA"},
        {kCategorySerum, "T.WAV", [&](auto& n, auto& t, int32_t r) { return WriteSerumTable(app, t, r, n); },
         "VORTA|33|2048|SYNTHESIS DATA", "VORTA|5|2048|SYNTHESIS DATA"},
    };
  }
  static std::string Card(const Result& r) {
    return r.info.family + "|" + r.info.count + "|" + r.info.length + "|" + r.info.remark;
  }
};

// Table n of the seeded series: every fifth silent, every fifth of the rest
// negative only; the others random in sign. The largest code (1..127) is
// always present; density and the last filled slice vary.
PartialTable RandomTable(int n) {
  PartialTable table;
  if (n % 5 == 0) return table;
  const int top = 1 + RandomBelow(kMaxCode);
  const int lastSlice = RandomBelow(kSliceCount);
  const int density = 1 + RandomBelow(100);  // percent of filled codes
  const bool negativeOnly = n % 5 == 1;
  for (int row = 0; row < kPartialCount; ++row) {
    for (int slice = 0; slice <= lastSlice; ++slice) {
      if (RandomBelow(100) >= density) continue;
      const int code = RandomBelow(2 * top + 1) - top;
      table.at(row, slice) = static_cast<int16_t>(negativeOnly ? -std::abs(code) : code);
    }
  }
  const int16_t largest = static_cast<int16_t>(negativeOnly ? -top : top);
  table.at(RandomBelow(kPartialCount), RandomBelow(lastSlice + 1)) = largest;
  return table;
}

// Each writer's file is found by content in its own category, shows its
// waves, and loads back the codes and R it was written from: KnownTable, and
// seeded random tables of every largest code, of one sign, sparse and silent.
TEST_F(VortaImport, EveryFormatWritesClassifiesAndLoadsBack) {
  const PartialTable table = KnownTable(21);
  int32_t stretch = 1;
  for (const Format& f : Formats()) {
    SCOPED_TRACE(f.category);
    stretch = (stretch + 4) % 32 + 1;  // 6, 11, .. 31, 4: never the same twice
    ASSERT_EQ(f.write(f.name, table, stretch), kMsgDone);
    const Result r = Test(f.category, f.name);
    ASSERT_EQ(r.category, f.category) << r.info.remark;
    EXPECT_EQ(Card(r), f.card);
    EXPECT_EQ(TestSoundFile(Path(f.category, f.name), nullptr, ReadRules{true}), f.category);  // no info asked for
    EXPECT_EQ(Load(f.category, f.name), std::pair(table, stretch));
    // The reader fills the block in load mode: zeros but for table and R.
    std::FILE* file = std::fopen(Path(f.category, f.name).c_str(), "rb");
    ASSERT_NE(file, nullptr);
    SamplerBlock block;
    EXPECT_EQ(ReadSoundFile(file, f.name, nullptr, nullptr, &block, ReadRules{true}), f.category);
    std::fclose(file);
    if (f.category != kCategoryVortaWav && f.category != kCategorySerum) {
      EXPECT_TRUE(std::all_of(block.bytes.begin(), block.bytes.begin() + 76, [](uint8_t b) { return b == 0; }));
      EXPECT_TRUE(std::all_of(block.bytes.begin() + 4304, block.bytes.end(), [](uint8_t b) { return b == 0; }));
      EXPECT_EQ(ReadU32LE(block.bytes.data() + 4300), static_cast<uint32_t>(stretch));
    }
    const std::string five = std::string("F") + f.name;
    ASSERT_EQ(f.write(five, FiveSliceTable(), 16), kMsgDone);
    EXPECT_EQ(Card(Test(f.category, five)), f.fiveCard);
    // A failed write keeps the old file and leaves nothing behind.
    const std::vector<uint8_t> old = Bytes(f.category, f.name);
    EXPECT_EQ(f.write("../ESCAPE", table, 16), kMsgAccessDenied);
    EXPECT_EQ(f.write("", table, 16), kMsgAccessDenied);
    if (ReadOnlyFolder guard(CategoryFolderPath(app, f.category)); guard.active) {
      EXPECT_EQ(f.write(f.name, PartialTable{}, 16), kMsgAccessDenied);
      EXPECT_EQ(Bytes(f.category, f.name), old);
      const std::filesystem::directory_iterator files(CategoryFolderPath(app, f.category));
      EXPECT_EQ(std::distance(files, std::filesystem::directory_iterator()), 2);
    }

    // A dump holds only the rendered waves, which not every random table
    // comes back from exactly.
    if (f.category == kCategoryBlofeld) continue;
    SeedRandom(2512);
    int failures = 0;
    for (int n = 0; n < 100; ++n) {
      const PartialTable random = RandomTable(n);
      const int32_t randomStretch = kMinStretch + RandomBelow(kMaxStretch);
      ASSERT_EQ(f.write(f.name, random, randomStretch), kMsgDone);
      if (Load(f.category, f.name) == std::pair(random, randomStretch)) continue;
      if (failures++ == 0) ADD_FAILURE() << "table " << n << " R " << randomStretch;
    }
    EXPECT_EQ(failures, 0);
  }
}

TEST_F(VortaImport, WrongCategoriesRangesAndDefaults) {
  ASSERT_EQ(WriteSurgeTable(app, KnownTable(), 8, "S.WT"), kMsgDone);
  PartialTable table = KnownTable(1);
  const PartialTable before = table;
  int32_t stretch = 3;
  // A Surge file is no Komplexer or Dune2 table; nothing is changed.
  for (const LibraryEntry& entry : {LibraryEntry{kCategoryKomplexer, "S.WT"}, LibraryEntry{kCategorySurge, "MISSING.WT"},
                                    LibraryEntry{kCategorySample, "S.WT"}, LibraryEntry{kCategorySurge, "../S.WT"}}) {
    EXPECT_EQ(LoadVortaFile(app, entry, table, stretch), kMsgAccessDenied) << entry.name;
  }
  EXPECT_EQ(std::pair(table, stretch), std::pair(before, 3));
  for (int category = 0; category < 16; ++category)
    EXPECT_EQ(IsVortaTableCategory(category), category >= 3 && category <= 10) << category;

  // Codes of the program's own WAV tables are clamped; R outside 1..32 is 16.
  PartialTable wild;
  std::tie(wild.at(0, 0), wild.at(1, 1)) = std::tuple(300, -200);
  ASSERT_EQ(WriteVortaWav("W.WAV", wild, 40), kMsgDone);
  ASSERT_EQ(LoadVortaFile(app, LibraryEntry{kCategoryVortaWav, "W.WAV"}, table, stretch), kMsgDone);
  EXPECT_EQ(std::tuple(table.at(0, 0), table.at(1, 1), stretch), std::tuple(127, -127, kDefaultStretch));
}

}  // namespace
