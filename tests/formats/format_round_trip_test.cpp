// Every table format that carries the VORTA table reads back the codes and R
// it was written from: seeded random tables of every largest code, of one
// sign, sparse, and silent.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/message_codes.h"
#include "formats/dune2_wt.h"
#include "formats/efe_file.h"
#include "formats/format_fixtures.h"
#include "formats/komplexer_wt.h"
#include "formats/serum_wav.h"
#include "formats/surge_wt.h"
#include "formats/vorta_import.h"
#include "files/wave_writer.h"
#include "formats/wavegenerator_wts.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/vorta_wave_output.h"

using namespace format_fixtures;

namespace {

using Builder = std::vector<uint8_t> (*)(const PartialTable&, int32_t);

struct Format {
  const char* fileName;
  int category;
  Builder build;
};

const Format kFormats[] = {
    {"T.WAV", kCategoryVortaWav,
     [](const PartialTable& t, int32_t r) {
       VortaWaveImage image;
       const VortaWaveOptions options{kMinWaveSamples, 1, WaveBase::kNormal, kBitsMode16};
       if (!PrepareVortaWave(t, r, options, image)) return std::vector<uint8_t>{};
       return EncodeWaveFile(image.header, image.block, image.samples, image.samples);
     }},
    {"T.WT", kCategoryKomplexer, BuildKomplexerFile},
    {"T.EFE", kCategoryEfe,
     [](const PartialTable& t, int32_t r) { return BuildEfeFile(t, static_cast<uint8_t>(r), "T.EFE"); }},
    {"T.WT", kCategorySurge, BuildSurgeFile},
    {"T.WTS", kCategoryWaveGenerator, BuildWtsFile},
    {"T.WT", kCategoryDune2, BuildDune2File},
    {"T.WAV", kCategorySerum, BuildSerumFile},
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
  table.at(RandomBelow(kPartialCount), RandomBelow(lastSlice + 1)) = static_cast<int16_t>(negativeOnly ? -top : top);
  return table;
}

class FormatRoundTrip : public FormatLibrary {};

TEST_F(FormatRoundTrip, EveryFormatReadsBackCodesAndR) {
  constexpr int kTables = 300;
  SeedRandom(2512);
  int failures[std::size(kFormats)] = {};
  for (int n = 0; n < kTables; ++n) {
    const PartialTable table = RandomTable(n);
    const int32_t stretch = kMinStretch + RandomBelow(kMaxStretch);
    for (size_t f = 0; f < std::size(kFormats); ++f) {
      const Format& format = kFormats[f];
      Put(format.category, format.fileName, format.build(table, stretch));
      PartialTable loaded;
      int32_t loadedStretch = 0;
      const int status = LoadVortaFile(app, LibraryEntry{format.category, format.fileName}, loaded, loadedStretch);
      if (status == kMsgDone && loaded == table && loadedStretch == stretch) continue;
      if (failures[f]++ == 0) ADD_FAILURE() << "category " << format.category << " table " << n << " R " << stretch;
    }
  }
  for (size_t f = 0; f < std::size(kFormats); ++f) EXPECT_EQ(failures[f], 0) << kFormats[f].category;
}

}  // namespace
