#include "formats/dune2_wt.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/message_codes.h"
#include "formats/foreign_table_common.h"
#include "formats/format_fixtures.h"
#include "formats/vorta_import.h"
#include "wavetable/limit_peak.h"

using namespace format_fixtures;

namespace {

class Dune2Files : public FormatLibrary {};

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
  for (int i = 0; i < kTableCodeCount; ++i)
    ASSERT_EQ(ReadI16LE(bytes.data() + tail + 2 * i), table.codes[static_cast<size_t>(i)]);
  EXPECT_EQ(ReadU32LE(bytes.data() + tail + 4224), 12u);
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

}  // namespace
