#include "formats/efe_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "core/byte_order.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "formats/foreign_table_common.h"
#include "wavetable/ram_wavetable.h"

namespace {

constexpr uint8_t kCarriageReturn = 13;
constexpr uint8_t kLineFeed = 10;
constexpr const char* kHeaderTitle = "VORTA EPS File:";  // behind 13, 10
constexpr size_t kHeaderTitleOffset = 2;
constexpr const char* kInstrumentWord = "Instrument";
constexpr size_t kInstrumentWordOffset = 34;
constexpr size_t kHeaderEndOffset = 47;
constexpr std::array<uint8_t, 5> kHeaderEnd = {13, 10, 26, 3, 0};
constexpr size_t kStretchAndCodesBytes = kTableCodeCount + 1;  // 2,113
constexpr int8_t kForbiddenCode = -128;

// The instrument parameters every exported file carries (offsets in the
// file; every other byte of the block is 0).
constexpr std::pair<uint16_t, uint8_t> kInstrumentTemplate[] = {
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
    {1658, 2},   {1664, 1},   {1666, 21},  {1668, 108}, {1670, 13},  {1674, 6},
};
constexpr uint16_t kFlagRunFirst = 1216;  // every even offset of 1216..1390 holds 1
constexpr uint16_t kFlagRunLast = 1390;
constexpr std::array<uint8_t, 6> kWaveTrailerBytes = {23, 16, 0, 0, 8, 64};

void PutText(std::vector<uint8_t>& bytes, size_t offset, const std::string& text) {
  std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

void PutHeader(std::vector<uint8_t>& bytes, const std::string& name) {
  bytes[0] = kCarriageReturn;
  bytes[1] = kLineFeed;
  PutText(bytes, kHeaderTitleOffset, kHeaderTitle);
  bytes[17] = ' ';
  PutText(bytes, efe_offset::kHeaderName, name);
  PutText(bytes, 30, "    ");
  PutText(bytes, kInstrumentWordOffset, kInstrumentWord);
  PutText(bytes, 44, "   ");
  std::copy(kHeaderEnd.begin(), kHeaderEnd.end() - 1, bytes.begin() + kHeaderEndOffset);
  bytes[53] = 131;
  bytes[55] = 131;
  bytes[57] = 15;
}

void PutInstrument(std::vector<uint8_t>& bytes, const std::string& name) {
  for (const auto& [offset, value] : kInstrumentTemplate) bytes[offset] = value;
  for (uint16_t offset = kFlagRunFirst; offset <= kFlagRunLast; offset += 2) bytes[offset] = 1;
  for (size_t field : efe_offset::kNameFields)
    for (size_t i = 0; i < kEfeNameChars; ++i) bytes[field + 2 * i] = static_cast<uint8_t>(name[i]);
}

void PutWaves(std::vector<uint8_t>& bytes, const PartialTable& table) {
  const std::vector<float> waves = RenderWaves(table, kEfeWaveLength, kEfeInterpolation);
  const size_t samples = static_cast<size_t>(kEfeWaveCount) * kEfeWaveLength;
  for (size_t i = 0; i < samples; ++i)
    WriteU16BE(bytes.data() + efe_offset::kWaves + 2 * i, static_cast<uint16_t>(SampleToI16(waves[i])));
  std::copy(kWaveTrailerBytes.begin(), kWaveTrailerBytes.end(), bytes.begin() + efe_offset::kWaveTrailer);
}

size_t CodeIndex(int row, int slice) { return static_cast<size_t>(slice) * kPartialCount + static_cast<size_t>(row); }

}  // namespace

std::vector<uint8_t> BuildEfeFile(const PartialTable& table, uint8_t stretch, const std::string& fileName) {
  std::vector<uint8_t> bytes(kEfeFileBytes, 0);
  const std::string name = InstrumentName(fileName, kEfeNameChars);
  PutHeader(bytes, name);
  PutInstrument(bytes, name);
  PutWaves(bytes, table);
  for (int row = 0; row < kPartialCount; ++row)
    for (int slice = 0; slice < kSliceCount; ++slice)
      bytes[efe_offset::kCodes + CodeIndex(row, slice)] = static_cast<uint8_t>(ClampCode(table.at(row, slice)));
  bytes[efe_offset::kStretch] = static_cast<uint8_t>(ClampStretch(stretch));
  return bytes;
}

int16_t ReadEfeFile(std::FILE* file, FileInfo* info, SamplerBlock* block) {
  if (block) *block = SamplerBlock{};
  std::array<uint8_t, kEfeHeaderBytes> header{};
  if (!ReadExactly(file, header)) return RejectFile(info, "EFE HEADER TOO SMALL");
  if (header[0] != kCarriageReturn || header[1] != kLineFeed ||
      !std::equal(kHeaderEnd.begin(), kHeaderEnd.end(), header.begin() + kHeaderEndOffset)) {
    return RejectFile(info, "NOT AN EFE INSTRUMENT FILE");
  }
  std::array<uint8_t, kStretchAndCodesBytes> payload{};
  if (std::memcmp(header.data() + kHeaderTitleOffset, kHeaderTitle, std::strlen(kHeaderTitle)) != 0 ||
      !ReadAt(file, efe_offset::kCodes, payload)) {
    return RejectFile(info, "ENSONIQ EFE, BUT NO VORTA WAVETABLE FILE");
  }
  const int32_t stretch = payload[kTableCodeCount];
  const bool codesInRange = std::none_of(payload.begin(), payload.begin() + kTableCodeCount,
                                         [](uint8_t b) { return static_cast<int8_t>(b) == kForbiddenCode; });
  if (!codesInRange || stretch < kMinStretch || stretch > kMaxStretch) {
    return RejectFile(info, "RANGE ERROR IN VORTA SYNTHESIS DATA");
  }
  if (info) {
    SetInfoText(info->family, "VORTA", kFamilyCapacity);
    SetInfoText(info->count, "128", kCountCapacity);
    SetInfoText(info->length, "256", kLengthCapacity);
    SetInfoText(info->remark, "SYNTHESIS DATA", kRemarkCapacity);
  } else if (block) {
    PartialTable table;
    for (int row = 0; row < kPartialCount; ++row)
      for (int slice = 0; slice < kSliceCount; ++slice)
        table.at(row, slice) = static_cast<int8_t>(payload[CodeIndex(row, slice)]);
    FillForeignSamplerBlock(*block, table, stretch);
  }
  return kCategoryEfe;
}

int WriteEfeTable(AppGlobals& app, const PartialTable& table, uint8_t stretch, const std::string& fileName,
                  bool newFile) {
  return WriteCategoryFile(app, kCategoryEfe, fileName, BuildEfeFile(table, stretch, fileName), newFile);
}
