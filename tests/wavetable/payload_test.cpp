#include "wavetable/payload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/byte_order.h"

TEST(Payload, VortaFieldsLieAtTheirOffsets) {
  PartialTable table;
  table.at(0, 0) = 127;
  table.at(0, 1) = -1;
  table.at(63, 32) = 42;
  std::vector<uint8_t> block(kSamplerBlockBytes, 0xEE);
  ASSERT_TRUE(WriteVortaPayload(block, table, 7));
  EXPECT_EQ(std::memcmp(block.data() + 68, "VORTA___", 8), 0);
  EXPECT_EQ(block[76], 127);
  EXPECT_EQ(block[77], 0);
  EXPECT_EQ(block[78], 0xFF);  // -1, little-endian
  EXPECT_EQ(block[79], 0xFF);
  EXPECT_EQ(ReadI16LE(block.data() + 76 + 2 * (63 * 33 + 32)), 42);
  EXPECT_EQ(ReadU32LE(block.data() + 4300), 7u);
  EXPECT_EQ(std::memcmp(block.data() + 4304, "LOG_", 4), 0);
  EXPECT_EQ(block[0], 0xEE);   // the chunk header is the WAV writer's
  EXPECT_EQ(block[67], 0xEE);
  EXPECT_EQ(PayloadFamilyOf(block), PayloadFamily::Vorta);

  PartialTable back;
  int32_t stretch = 0;
  ASSERT_TRUE(ReadVortaPayload(block, back, stretch));
  EXPECT_EQ(back, table);
  EXPECT_EQ(stretch, 7);
}

TEST(Payload, DamagedValuesAreClampedAndShortBlocksRefused) {
  std::vector<uint8_t> block(kSamplerBlockBytes, 0);
  WriteI16LE(block.data() + 76, 131);     // a code beyond full scale
  WriteI16LE(block.data() + 78, -32768);
  WriteI32LE(block.data() + 4300, 0);      // no valid stretch
  PartialTable table;
  int32_t stretch = 0;
  ASSERT_TRUE(ReadVortaPayload(block, table, stretch));  // a foreign format's block carries no id
  EXPECT_EQ(table.at(0, 0), 127);
  EXPECT_EQ(table.at(0, 1), -127);
  EXPECT_EQ(stretch, 16);
  WriteI32LE(block.data() + 4300, 33);
  ReadVortaPayload(block, table, stretch);
  EXPECT_EQ(stretch, 16);

  std::vector<uint8_t> shortBlock(4307, 0);
  EXPECT_FALSE(ReadVortaPayload(shortBlock, table, stretch));
  EXPECT_FALSE(WriteVortaPayload(shortBlock, table, 16));
  EXPECT_TRUE(std::all_of(shortBlock.begin(), shortBlock.end(), [](uint8_t b) { return b == 0; }));
}

TEST(Payload, XformProfileRoundTripAndFamilies) {
  XformBandProfile profile{};
  for (size_t i = 0; i < profile.size(); ++i) profile[i] = static_cast<uint8_t>(i % 128);
  std::vector<uint8_t> block(kSamplerBlockBytes, 0xEE);
  ASSERT_TRUE(WriteXformPayload(block, profile));
  EXPECT_EQ(std::memcmp(block.data() + 68, "XFORM___", 8), 0);
  EXPECT_EQ(block[76 + 129], 1);
  EXPECT_EQ(ReadU32LE(block.data() + 4300), 0u);
  EXPECT_EQ(std::memcmp(block.data() + 4304, "LOG_", 4), 0);
  EXPECT_EQ(PayloadFamilyOf(block), PayloadFamily::Xform);

  block[76] = 200;  // out of range in a damaged file
  XformBandProfile back{};
  ASSERT_TRUE(ReadXformPayload(block, back));
  EXPECT_EQ(back[0], 127);
  EXPECT_EQ(back[4223], profile[4223]);

  PartialTable table;
  int32_t stretch = 0;
  EXPECT_FALSE(ReadVortaPayload(block, table, stretch));  // the other family
  std::vector<uint8_t> empty(kSamplerBlockBytes, 0);
  EXPECT_EQ(PayloadFamilyOf(empty), PayloadFamily::None);
}
