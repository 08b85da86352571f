#include "formats/wavegenerator_wts.h"

#include <algorithm>
#include <array>

#include "core/byte_order.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "formats/foreign_table_common.h"

namespace {

constexpr size_t kWaveCountOffset = 2;

}  // namespace

std::vector<uint8_t> BuildWtsFile(const PartialTable& table, int32_t stretch) {
  const int count = ActiveWaveCount(table);
  const std::vector<float> waves = RenderWaves(table, kWtsWaveLength, 1);
  std::vector<uint8_t> bytes(kWtsHeaderBytes, 0);
  bytes[kWaveCountOffset] = static_cast<uint8_t>(count);
  for (int wave = 0; wave < count; ++wave) {
    bytes.push_back(0);
    bytes.push_back(static_cast<uint8_t>(wave));
  }
  for (size_t i = 0; i < static_cast<size_t>(count) * kWtsWaveLength; ++i)
    AppendU16LE(bytes, static_cast<uint16_t>(SampleToI16(static_cast<float>(waves[i] * kWtsLevel))));
  AppendPayloadTail(bytes, table, stretch);
  return bytes;
}

int16_t ReadWtsFile(std::FILE* file, FileInfo* info, SamplerBlock* block) {
  if (block) *block = SamplerBlock{};
  std::array<uint8_t, kWtsHeaderBytes> header{};
  if (!ReadExactly(file, header)) return RejectFile(info, "FILE IS TOO SMALL");
  const int count = header[kWaveCountOffset];
  const bool zeros = header[0] == 0 && header[1] == 0 &&
                     std::all_of(header.begin() + 3, header.end(), [](uint8_t b) { return b == 0; });
  if (!zeros || count < 1 || count > kSliceCount) return RejectFile(info, "NO VORTA WAVETABLE FILE");
  std::array<uint8_t, kPayloadTailBytes> tail{};
  const uint64_t tailOffset = kWtsHeaderBytes + static_cast<uint64_t>(count) * (kWtsWaveEntryBytes + kWtsWaveBytes);
  if (!ReadAt(file, tailOffset, tail)) return RejectFile(info, "NO VORTA WAVETABLE FILE");
  if (!PayloadTailInRange(tail)) return RejectFile(info, "RANGE ERROR IN VORTA SYNTHESIS DATA");
  if (info) {
    SetInfoText(info->count, std::to_string(count), kCountCapacity);
    SetInfoText(info->length, std::to_string(kWtsWaveLength), kLengthCapacity);
    SetInfoText(info->family, "VORTA", kFamilyCapacity);
    SetInfoText(info->remark, "SYNTHESIS DATA", kRemarkCapacity);
  } else if (block) {
    FillForeignSamplerBlock(*block, tail);
  }
  return kCategoryWaveGenerator;
}

int WriteWtsTable(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                  bool newFile) {
  return WriteCategoryFile(app, kCategoryWaveGenerator, fileName, BuildWtsFile(table, stretch), newFile);
}
