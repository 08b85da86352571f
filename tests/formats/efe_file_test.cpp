#include "formats/efe_file.h"

#include <gtest/gtest.h>

#include <cmath>

#include <map>

#include "core/message_codes.h"
#include "formats/foreign_table_common.h"
#include "formats/format_fixtures.h"
#include "formats/vorta_import.h"

using namespace format_fixtures;

namespace {

class EfeFiles : public FormatLibrary {};

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
