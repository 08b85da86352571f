#include "formats/dune2_wt.h"

#include <algorithm>

#include "core/byte_order.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "formats/foreign_table_common.h"

namespace {

// Header bytes the format fixes; the float 1.0 at 28..31.
constexpr std::array<uint8_t, 4> kHeadStart = {2, 0, 0, 0};
constexpr size_t kHeadMiddleOffset = 8;
constexpr std::array<uint8_t, 11> kHeadMiddle = {0, 0, 0, 0, 0, 8, 21, 0, 24, 0, 0};
constexpr size_t kHeadEndOffset = 24;
constexpr std::array<uint8_t, 14> kHeadEnd = {0, 0, 0, 0, 0, 0, 128, 63, 0, 0, 0, 0, 0, 0};
constexpr size_t kLevelOffset = 28;
constexpr float kLevel = 1.0f;

bool BytesAt(std::span<const uint8_t> head, size_t offset, std::span<const uint8_t> expected) {
  return head.size() >= offset + expected.size() && std::equal(expected.begin(), expected.end(), head.begin() + offset);
}

std::vector<uint8_t> Header(int count) {
  std::vector<uint8_t> header(kDune2HeaderBytes, 0);
  std::copy(kHeadStart.begin(), kHeadStart.end(), header.begin());
  std::copy(kHeadMiddle.begin(), kHeadMiddle.end(), header.begin() + kHeadMiddleOffset);
  header[kDune2WaveCountOffset] = static_cast<uint8_t>(count);
  WriteF32LE(header.data() + kLevelOffset, kLevel);
  return header;
}

// One layer: the first count waves at 2,048 samples, as file bytes.
std::vector<uint8_t> LayerBytes(const PartialTable& table, int partials, int count) {
  std::vector<float> waves = RenderWaves(BandLimitedTable(table, partials), kDune2WaveLength, 1);
  const std::span<float> written(waves.data(), static_cast<size_t>(count) * kDune2WaveLength);
  ScaleToFullPeak(written);
  std::vector<uint8_t> bytes;
  bytes.reserve(written.size() * 2);
  for (float sample : written) AppendU16LE(bytes, static_cast<uint16_t>(SampleToI16(sample)));
  return bytes;
}

}  // namespace

PartialTable BandLimitedTable(const PartialTable& table, int partials) {
  PartialTable limited = table;
  for (int row = std::max(partials, 0); row < kPartialCount; ++row)
    std::fill(limited.Row(row).begin(), limited.Row(row).end(), int16_t{0});
  return limited;
}

std::vector<uint8_t> BuildDune2File(const PartialTable& table, int32_t stretch) {
  const int count = ActiveWaveCount(table);
  std::vector<uint8_t> bytes = Header(count);
  bytes.reserve(kDune2HeaderBytes + kDune2LayerCount * count * kDune2WaveBytes + kPayloadTailBytes);
  std::vector<uint8_t> layer;
  for (int i = 0; i < kDune2LayerCount; ++i) {
    if (i == 0 || kDune2LayerPartials[i] != kDune2LayerPartials[i - 1]) {
      layer = LayerBytes(table, kDune2LayerPartials[i], count);
    }
    bytes.insert(bytes.end(), layer.begin(), layer.end());
  }
  AppendPayloadTail(bytes, table, stretch);
  return bytes;
}

bool IsDune2Head(std::span<const uint8_t> head) {
  return BytesAt(head, 0, kHeadStart) && BytesAt(head, kHeadMiddleOffset, kHeadMiddle) &&
         BytesAt(head, kHeadEndOffset, kHeadEnd) && head.size() > kDune2WaveCountOffset;
}

int16_t ReadDune2File(std::FILE* file, std::span<const uint8_t> head, FileInfo* info, SamplerBlock* block) {
  if (block) *block = SamplerBlock{};
  const int count = head[kDune2WaveCountOffset];
  std::array<uint8_t, kPayloadTailBytes> tail{};
  const uint64_t tailOffset = kDune2HeaderBytes + static_cast<uint64_t>(count) * kDune2LayerCount * kDune2WaveBytes;
  if (count < 1 || count > kSliceCount || !ReadAt(file, tailOffset, tail)) {
    return RejectFile(info, "NO VORTA WAVETABLE FILE <DUNE2 WT>");
  }
  if (!PayloadTailInRange(tail)) return RejectFile(info, "RANGE ERROR IN VORTA SYNTHESIS DATA <DUNE2 WT>");
  if (info) {
    SetInfoText(info->family, "VORTA", kFamilyCapacity);
    SetInfoText(info->count, std::to_string(count), kCountCapacity);
    SetInfoText(info->length, std::to_string(kDune2WaveLength), kLengthCapacity);
    SetInfoText(info->remark, "SYNTHESIS DATA", kRemarkCapacity);
  } else if (block) {
    FillForeignSamplerBlock(*block, tail);
  }
  return kCategoryDune2;
}

int WriteDune2Table(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                    bool newFile) {
  return WriteCategoryFile(app, kCategoryDune2, fileName, BuildDune2File(table, stretch), newFile);
}
