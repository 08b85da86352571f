#include "formats/surge_wt.h"

#include <array>
#include <cstring>
#include <string>

#include "core/byte_order.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "formats/foreign_table_common.h"
#include "wavetable/ram_wavetable.h"

namespace {

constexpr const char* kSurgeTag = "vawt";
constexpr size_t kTagBytes = 4;
constexpr size_t kWaveCountOffset = 8;
constexpr uint16_t kNoFlags = 0;
constexpr size_t kWaveBytes = kSurgeWaveLength * 4;

}  // namespace

std::vector<uint8_t> BuildSurgeFile(const PartialTable& table, int32_t stretch) {
  const int count = ActiveWaveCount(table);
  const std::vector<float> waves = RenderWaves(table, kSurgeWaveLength, 1);
  std::vector<uint8_t> bytes;
  bytes.reserve(kSurgeHeaderBytes + count * kWaveBytes + kPayloadTailBytes);
  AppendBytes(bytes, kSurgeTag, kTagBytes);
  AppendU32LE(bytes, kSurgeWaveLength);
  AppendU16LE(bytes, static_cast<uint16_t>(count));
  AppendU16LE(bytes, kNoFlags);
  for (size_t i = 0; i < static_cast<size_t>(count) * kSurgeWaveLength; ++i) AppendF32LE(bytes, waves[i]);
  AppendPayloadTail(bytes, table, stretch);
  return bytes;
}

bool IsSurgeHead(std::span<const uint8_t> head) {
  return head.size() >= kSurgeHeaderBytes && std::memcmp(head.data(), kSurgeTag, kTagBytes) == 0 &&
         ReadU32LE(head.data() + kTagBytes) == kSurgeWaveLength;
}

int16_t ReadSurgeFile(std::FILE* file, std::span<const uint8_t> head, FileInfo* info, SamplerBlock* block) {
  if (block) *block = SamplerBlock{};
  const int count = ReadU16LE(head.data() + kWaveCountOffset);
  std::array<uint8_t, kPayloadTailBytes> tail{};
  if (count < 1 || count > kSliceCount || !ReadAt(file, kSurgeHeaderBytes + count * kWaveBytes, tail)) {
    return RejectFile(info, "NO VORTA WAVETABLE FILE <SURGE WT>");
  }
  if (!PayloadTailInRange(tail)) return RejectFile(info, "RANGE ERROR IN VORTA SYNTHESIS DATA <SURGE WT>");
  if (info) {
    SetInfoText(info->family, "VORTA", kFamilyCapacity);
    SetInfoText(info->count, std::to_string(count), kCountCapacity);
    SetInfoText(info->length, std::to_string(kSurgeWaveLength), kLengthCapacity);
    SetInfoText(info->remark, "SYNTHESIS DATA", kRemarkCapacity);
  } else if (block) {
    FillForeignSamplerBlock(*block, tail);
  }
  return kCategorySurge;
}

int WriteSurgeTable(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                    bool newFile) {
  return WriteCategoryFile(app, kCategorySurge, fileName, BuildSurgeFile(table, stretch), newFile);
}
