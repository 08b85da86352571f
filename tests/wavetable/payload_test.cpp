#include "wavetable/payload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "vorta_fixture.h"

namespace {

// The fields around the table both families share: the family id at 68, the
// stretch at 4300 and "LOG_" at 4304; the chunk header before 68 is the WAV writer's.
void ExpectFrame(const std::vector<uint8_t>& block, const std::string& id, uint32_t stretch, PayloadFamily family) {
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data() + 68), 8), id);
  EXPECT_EQ(ReadU32LE(block.data() + 4300), stretch);
  EXPECT_EQ(std::memcmp(block.data() + 4304, "LOG_", 4), 0);
  EXPECT_EQ(block[0], 0xEE);
  EXPECT_EQ(block[67], 0xEE);
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
