#include "formats/komplexer_wt.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/byte_order.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "formats/foreign_table_common.h"
#include "wavetable/ram_wavetable.h"

namespace {

constexpr size_t kValueIndexStride = kPartialCount;  // 64 partials per slice in the file

size_t FileIndex(int row, int slice) { return static_cast<size_t>(slice) * kValueIndexStride + static_cast<size_t>(row); }

// Foreign files are marked as VORTA tables only by a name the program itself
// could have given: no lower-case letter and no "~".
bool LooksLikeOwnName(const std::string& fileName) {
  return std::none_of(fileName.begin(), fileName.end(),
                      [](char c) { return std::islower(static_cast<unsigned char>(c)) || c == '~'; });
}

}  // namespace

std::vector<uint8_t> BuildKomplexerFile(const PartialTable& table, int32_t stretch) {
  std::array<double, kKomplexerValueCount> values{};
  double largest = 0.0;
  for (int row = 0; row < kPartialCount; ++row) {
    for (int slice = 0; slice < kSliceCount; ++slice) {
      const double amplitude = DecodeCode(table.at(row, slice));
      values[FileIndex(row, slice)] = amplitude;
      largest = std::max(largest, std::fabs(amplitude));
    }
  }
  const double peak = (kKomplexerLevelSteps - ClampStretch(stretch)) / kKomplexerLevelSteps;
  std::vector<uint8_t> bytes;
  bytes.reserve(kKomplexerFileBytes);
  for (double value : values) AppendF32LE(bytes, largest > 0.0 ? static_cast<float>(value / largest * peak) : 0.0f);
  return bytes;
}

int16_t ReadKomplexerFile(std::FILE* file, const std::string& fileName, std::span<const uint8_t> head,
                          FileInfo* info, SamplerBlock* block) {
  if (block) *block = SamplerBlock{};
  std::vector<uint8_t> bytes(kKomplexerFileBytes);
  const size_t fromHead = std::min(head.size(), bytes.size());
  std::copy_n(head.begin(), fromHead, bytes.begin());
  if (!ReadExactly(file, std::span<uint8_t>(bytes).subspan(fromHead))) {
    return RejectFile(info, "FILE IS TOO SMALL <KOMPLEXER WT>");
  }

  std::array<double, kKomplexerValueCount> values{};
  double largest = 0.0;
  for (size_t i = 0; i < values.size(); ++i) {
    values[i] = ReadF32LE(bytes.data() + 4 * i);
    if (!std::isfinite(values[i])) return RejectFile(info, "DATA RANGE ERROR <KOMPLEXER WT>");
    largest = std::max(largest, std::fabs(values[i]));
  }
  if (largest > kFullScaleAmplitude) return RejectFile(info, "DATA RANGE ERROR <KOMPLEXER WT>");
  const bool stretchEncoded = largest > 0.0 && largest < 1.0;

  if (info) {
    SetInfoText(info->count, "33", kCountCapacity);
    if (stretchEncoded) {
      SetInfoText(info->family, "VORTA", kFamilyCapacity);
      SetInfoText(info->remark, "SPEED DATA <ENCODED>", kRemarkCapacity);
    } else if (LooksLikeOwnName(fileName)) {
      SetInfoText(info->family, "VORTA", kFamilyCapacity);
    }
  } else if (block) {
    int32_t stretch = kNoStoredStretch;
    double gain = 1.0;
    if (stretchEncoded) {
      gain = kFullScaleAmplitude / largest;
      stretch = static_cast<int32_t>(kKomplexerLevelSteps - Nearest(largest * kKomplexerLevelSteps));
    }
    PartialTable table;
    for (int row = 0; row < kPartialCount; ++row)
      for (int slice = 0; slice < kSliceCount; ++slice)
        table.at(row, slice) = ClampCode(EncodeAmplitude(values[FileIndex(row, slice)] * gain));
    FillForeignSamplerBlock(*block, table, stretch);
  }
  return kCategoryKomplexer;
}

int WriteKomplexerTable(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                        bool newFile) {
  return WriteCategoryFile(app, kCategoryKomplexer, fileName, BuildKomplexerFile(table, stretch), newFile);
}
