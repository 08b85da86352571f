// The partial table's codes and the sampler payload that carries them.
#include "wavetable/partial_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "vorta_fixture.h"
#include "wavetable/payload.h"

TEST(PartialTable, CodesOfTheBoundaryAmplitudes) {
  // {amplitude, code}: 35.157 codes per decade, never beyond full scale, NaN silent.
  const std::pair<double, int> codes[] = {{4096.0, 127}, {-4096.0, -127}, {0.99, 0},     {1.0, 0},
                                          {1.0677, 1},   {1.0e9, 127},    {-1.0e9, -127}, {std::nan(""), 0}};
  for (const auto& [amplitude, code] : codes) EXPECT_EQ(EncodeAmplitude(amplitude), code) << amplitude;
  EXPECT_EQ(DecodeCode(0), 0.0);
  EXPECT_NEAR(DecodeCode(127), 4096.0, 1e-6);
  EXPECT_NEAR(DecodeCode(1), 1.0677, 1e-4);
  for (int code = -127; code <= 127; ++code) EXPECT_EQ(EncodeAmplitude(DecodeCode(code)), code) << code;
}

TEST(PartialTable, EncodingCeilingScalesOnlyLouderMatrices) {
  AmplitudeMatrix loud;
  loud.at(0, 0) = 8192.0f;
  loud.at(1, 5) = -4096.0f;
  ExpectCodes(EncodeTable(loud, kDefaultCeiling), {{0, 0, 127}, {1, 5, -116}});  // halved

  AmplitudeMatrix quiet;
  quiet.at(3, 3) = 100.0f;
  EXPECT_EQ(EncodeTable(quiet, kDefaultCeiling).at(3, 3), 70);  // unchanged: log10(100) x 35.157
  EXPECT_EQ(EncodeTable(quiet, 0.0).at(3, 3), 127);             // ceiling 0 always raises
  EXPECT_TRUE(TableIsSilent(EncodeTable(AmplitudeMatrix{}, 0.0)));  // silence stays silence
}

TEST(PartialTable, LayoutClampAndSelection) {
  PartialTable table;
  table.at(2, 5) = 9;
  EXPECT_TRUE(table.codes[2 * 33 + 5] == 9 && table.Row(2)[5] == 9);
  EXPECT_TRUE(SliceIsFilled(table, 5) && !SliceIsFilled(table, 4));
  table.at(0, 0) = 300;
  table.at(0, 1) = -32768;
  ClampTableCodes(table);
  ExpectCodes(table, {{0, 0, 127}, {0, 1, -127}});

  // Slice 33 and row 64 select all; a negative selection nothing.
  EXPECT_EQ((std::array{SelectedSlices(7).first, SelectedSlices(7).end, SelectedSlices(33).first,
                        SelectedSlices(1000).end, SelectedRows(64).end, SelectedRows(-1).end}),
            (std::array{7, 8, 0, 33, 64, 0}));
  EXPECT_EQ(std::pair(Nearest(2.5), Nearest(-2.5)), std::pair(3.0, -3.0));
}

namespace {

// The fields around the table both families share: the family id at 68, the
// stretch at 4300 and "LOG_" at 4304; the chunk header before 68 is the WAV writer's.
void ExpectFrame(const std::vector<uint8_t>& block, const std::string& id, uint32_t stretch, PayloadFamily family) {
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data() + 68), 8), id);
  EXPECT_EQ(ReadU32LE(block.data() + 4300), stretch);
  EXPECT_EQ(std::memcmp(block.data() + 4304, "LOG_", 4), 0);
  EXPECT_TRUE(block[0] == 0xEE && block[67] == 0xEE);  // the chunk header is left alone
  EXPECT_EQ(PayloadFamilyOf(block), family);
}

}  // namespace

TEST(Payload, VortaFieldsLieAtTheirOffsets) {
  const PartialTable table = TableWith({{0, 0, 127}, {0, 1, -1}, {63, 32, 42}});
  std::vector<uint8_t> block(kSamplerBlockBytes, 0xEE);
  ASSERT_TRUE(WriteVortaPayload(block, table, 7));
  ExpectFrame(block, "VORTA___", 7, PayloadFamily::Vorta);
  EXPECT_EQ(std::vector<uint8_t>(block.begin() + 76, block.begin() + 80), (std::vector<uint8_t>{127, 0, 0xFF, 0xFF}));
  EXPECT_EQ(ReadI16LE(block.data() + 76 + 2 * (63 * 33 + 32)), 42);

  PartialTable back;
  int32_t stretch = 0;
  ASSERT_TRUE(ReadVortaPayload(block, back, stretch));
  EXPECT_EQ(back, table);
  EXPECT_EQ(stretch, 7);
}

TEST(Payload, DamagedValuesAreClampedAndShortBlocksRefused) {
  std::vector<uint8_t> block(kSamplerBlockBytes, 0);
  WriteI16LE(block.data() + 76, 131);  // a code beyond full scale
  WriteI16LE(block.data() + 78, -32768);
  PartialTable table;
  // A foreign format's block carries no id; stretches outside 1..32 read as 16.
  for (int32_t stored : {0, 33}) {
    WriteI32LE(block.data() + 4300, stored);
    int32_t stretch = 0;
    ASSERT_TRUE(ReadVortaPayload(block, table, stretch));
    EXPECT_EQ(stretch, 16) << stored;
  }
  EXPECT_EQ(table.at(0, 0), 127);
  EXPECT_EQ(table.at(0, 1), -127);

  std::vector<uint8_t> shortBlock(4307, 0);
  int32_t stretch = 0;
  EXPECT_FALSE(ReadVortaPayload(shortBlock, table, stretch));
  EXPECT_FALSE(WriteVortaPayload(shortBlock, table, 16));
  EXPECT_TRUE(std::all_of(shortBlock.begin(), shortBlock.end(), [](uint8_t b) { return b == 0; }));
}

TEST(Payload, XformProfileRoundTripAndFamilies) {
  XformBandProfile profile{};
  for (size_t i = 0; i < profile.size(); ++i) profile[i] = static_cast<uint8_t>(i % 128);
  std::vector<uint8_t> block(kSamplerBlockBytes, 0xEE);
  ASSERT_TRUE(WriteXformPayload(block, profile));
  ExpectFrame(block, "XFORM___", 0, PayloadFamily::Xform);
  EXPECT_EQ(block[76 + 129], 1);

  block[76] = 200;  // out of range in a damaged file
  XformBandProfile back{};
  ASSERT_TRUE(ReadXformPayload(block, back));
  EXPECT_EQ(back[0], 127);
  EXPECT_EQ(back[4223], profile[4223]);

  PartialTable table;
  int32_t stretch = 0;
  EXPECT_FALSE(ReadVortaPayload(block, table, stretch));  // the other family
  EXPECT_EQ(PayloadFamilyOf(std::vector<uint8_t>(kSamplerBlockBytes, 0)), PayloadFamily::None);
}
