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
// How far a value may lie from a code level and still count as written by
// the program: float storage moves a level by about a millionth of a code.
constexpr double kCodeLevelTolerance = 0.001;

size_t FileIndex(int row, int slice) { return static_cast<size_t>(slice) * kValueIndexStride + static_cast<size_t>(row); }

// Foreign files are marked as VORTA tables only by a name the program itself
// could have given: no lower-case letter and no "~".
bool LooksLikeOwnName(const std::string& fileName) {
  return std::none_of(fileName.begin(), fileName.end(),
                      [](char c) { return std::islower(static_cast<unsigned char>(c)) || c == '~'; });
}

// The program's level mark for a table whose largest code is top: the
// fraction of 4,096 M, a whole number of 256ths below 0.5.
double LevelFraction(int top) { return top > 0 ? (kMaxCode - top) / kKomplexerFractionSteps : 0.0; }

// The largest code that the fraction of 4,096 M names, or 127 when it names
// none (files written before the fraction was used, files of other programs).
int MarkedLargestCode(double largest) {
  const double level = largest * kKomplexerLevelSteps;
  const double steps = (level - Nearest(level)) * kKomplexerFractionSteps;
  if (steps != Nearest(steps) || steps < 1.0 || steps > kMaxCode - 1) return kMaxCode;
  return kMaxCode - static_cast<int>(steps);
}

// True when every non-zero value, times the gain, lies on the level of a
// code of at least 1, as in every file the program writes.
bool ValuesAreCodeLevels(std::span<const double> values, double gain) {
  for (double value : values) {
    if (value == 0.0) continue;
    const double code = std::log10(std::fabs(value) * gain) * kCodesPerDecade;
    if (!(code >= 1.0 - kCodeLevelTolerance) || std::fabs(code - Nearest(code)) > kCodeLevelTolerance) return false;
  }
  return true;
}

// The gain that brings the largest magnitude back to its code's amplitude:
// full scale unless the fraction names a lower code and the values agree.
double ReadBackGain(std::span<const double> values, double largest) {
  const int top = MarkedLargestCode(largest);
  const double marked = DecodeCode(top) / largest;
  if (top < kMaxCode && ValuesAreCodeLevels(values, marked)) return marked;
  return kFullScaleAmplitude / largest;
}

// Index of the negative zero that carries R in a silent table.
size_t SilentStretchIndex(int32_t stretch) { return static_cast<size_t>(ClampStretch(stretch) - kMinStretch); }

// R of a silent table: its only negative zero lies within the first 32
// values; 0 (none) for any other block of zeros.
int32_t SilentStretch(std::span<const double> values) {
  int32_t stretch = kNoStoredStretch;
  for (size_t i = 0; i < values.size(); ++i) {
    if (!std::signbit(values[i])) continue;
    if (stretch != kNoStoredStretch || i > SilentStretchIndex(kMaxStretch)) return kNoStoredStretch;
    stretch = static_cast<int32_t>(i) + kMinStretch;
  }
  return stretch;
}

}  // namespace

std::vector<uint8_t> BuildKomplexerFile(const PartialTable& table, int32_t stretch) {
  std::array<double, kKomplexerValueCount> values{};
  double largest = 0.0;
  int top = 0;
  for (int row = 0; row < kPartialCount; ++row) {
    for (int slice = 0; slice < kSliceCount; ++slice) {
      const double amplitude = DecodeCode(table.at(row, slice));
      values[FileIndex(row, slice)] = amplitude;
      largest = std::max(largest, std::fabs(amplitude));
      top = std::max(top, std::abs(static_cast<int>(ClampCode(table.at(row, slice)))));
    }
  }
  // ((4,096 - R) x 256 + 127 - top) / 2^20: a float holds it exactly.
  const double peak = (kKomplexerLevelSteps - ClampStretch(stretch) + LevelFraction(top)) / kKomplexerLevelSteps;
  std::vector<uint8_t> bytes;
  bytes.reserve(kKomplexerFileBytes);
  for (double value : values) AppendF32LE(bytes, largest > 0.0 ? static_cast<float>(value / largest * peak) : 0.0f);
  if (largest == 0.0) WriteF32LE(bytes.data() + 4 * SilentStretchIndex(stretch), -0.0f);
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
  const int32_t silentStretch = largest == 0.0 ? SilentStretch(values) : kNoStoredStretch;
  const bool stretchEncoded = (largest > 0.0 && largest < 1.0) || silentStretch != kNoStoredStretch;

  if (info) {
    SetInfoText(info->count, "33", kCountCapacity);
    if (stretchEncoded) {
      SetInfoText(info->family, "VORTA", kFamilyCapacity);
      SetInfoText(info->remark, "SPEED DATA <ENCODED>", kRemarkCapacity);
    } else if (LooksLikeOwnName(fileName)) {
      SetInfoText(info->family, "VORTA", kFamilyCapacity);
    }
  } else if (block) {
    int32_t stretch = silentStretch;
    double gain = 1.0;
    if (stretchEncoded && largest > 0.0) {
      gain = ReadBackGain(values, largest);
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
