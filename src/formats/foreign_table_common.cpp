#include "formats/foreign_table_common.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/atomic_file.h"
#include "core/byte_order.h"
#include "core/message_codes.h"
#include "files/library_paths.h"
#include "wavetable/limit_peak.h"
#include "wavetable/payload.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/vorta_synthesis.h"

namespace {

constexpr int kCodeLimit = 128;  // a stored code must stay below this magnitude
constexpr uint8_t kBlank = ' ';
constexpr uint8_t kFirstPrintable = 32;
constexpr uint8_t kLastPrintable = 126;

}  // namespace

void AppendPayloadTail(std::vector<uint8_t>& out, const PartialTable& table, int32_t stretch) {
  std::array<uint8_t, kTableBytes> codes{};
  WriteTableCodes(codes, table);
  AppendBytes(out, codes.data(), codes.size());
  AppendU32LE(out, static_cast<uint32_t>(ClampStretch(stretch)));
}

bool PayloadTailInRange(std::span<const uint8_t> tail) {
  if (tail.size() < kPayloadTailBytes) return false;
  for (size_t i = 0; i < static_cast<size_t>(kTableCodeCount); ++i) {
    const int code = ReadI16LE(tail.data() + 2 * i);
    if (code <= -kCodeLimit || code >= kCodeLimit) return false;
  }
  const int32_t stretch = ReadI32LE(tail.data() + kTableBytes);
  return stretch >= kMinStretch && stretch <= kMaxStretch;
}

void FillForeignSamplerBlock(SamplerBlock& block, const PartialTable& table, int32_t stretch) {
  block = SamplerBlock{};
  WriteTableCodes(std::span<uint8_t, kTableBytes>(block.bytes.data() + sampler_offset::kPayload, kTableBytes), table);
  SetSamplerU32(block, sampler_offset::kSpeed, static_cast<uint32_t>(stretch));
}

void FillForeignSamplerBlock(SamplerBlock& block, std::span<const uint8_t> tail) {
  block = SamplerBlock{};
  if (tail.size() < kPayloadTailBytes) return;
  std::copy_n(tail.begin(), kPayloadTailBytes, block.bytes.begin() + sampler_offset::kPayload);
}

int ActiveWaveCount(const PartialTable& table) {
  for (int slice = kLastSlice; slice > 0; --slice)
    if (SliceIsFilled(table, slice)) return slice + 1;
  return 1;
}

std::vector<float> RenderWaves(const PartialTable& table, int waveLength, int interpolation) {
  const int32_t stretch = std::clamp(interpolation, 1, static_cast<int>(kMaxStretch));
  std::vector<float> waves(RenderedLength(waveLength, stretch), 0.0f);
  RenderTable(table, waves, stretch, static_cast<double>(kUnitySliceLength) / waveLength);
  return waves;
}

void ScaleToFullPeak(std::span<float> samples) {
  const double peak = PeakOf(samples);
  if (!(peak > 0.0) || !std::isfinite(peak)) return;
  for (float& sample : samples) sample = static_cast<float>(sample / peak);
}

int16_t SampleToI16(float sample, double full) {
  const double value = sample * full;
  if (!std::isfinite(value)) return 0;
  return static_cast<int16_t>(Nearest(std::clamp(value, -32768.0, 32767.0)));
}

std::string InstrumentName(const std::string& fileName, size_t chars) {
  std::string name(chars, static_cast<char>(kBlank));
  for (size_t i = 0; i < chars && i < fileName.size(); ++i) {
    const auto c = static_cast<uint8_t>(fileName[i]);
    if (c == '.' || c == 0) break;
    name[i] = static_cast<char>(c >= kFirstPrintable && c <= kLastPrintable ? c : kBlank);
  }
  return name;
}

int WriteCategoryFile(AppGlobals& app, int category, const std::string& fileName, std::span<const uint8_t> bytes,
                      bool newFile) {
  if (!IsPlainFileName(fileName)) return kMsgAccessDenied;
  const std::string path = CategoryFilePath(app, category, fileName);
  auto writer = [bytes](std::FILE* stream) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
  };
  if (!newFile) return WriteFileAtomically(path, writer) ? kMsgDone : kMsgAccessDenied;
  if (WriteNewFileAtomically(path, writer)) return kMsgDone;
  struct stat facts;
  return lstat(path.c_str(), &facts) == 0 ? kMsgFileAlreadyExists : kMsgAccessDenied;
}

std::optional<std::vector<uint8_t>> ReadCategoryFile(AppGlobals& app, int category, const std::string& fileName,
                                                     size_t maxBytes) {
  if (!IsPlainFileName(fileName)) return std::nullopt;
  std::FILE* file = std::fopen(CategoryFilePath(app, category, fileName).c_str(), "rb");
  if (!file) return std::nullopt;
  std::optional<std::vector<uint8_t>> result;
  const std::optional<uint64_t> size = StreamSize(file);
  if (size && *size <= maxBytes) {
    std::vector<uint8_t> bytes(static_cast<size_t>(*size));
    if (ReadAt(file, 0, bytes)) result = std::move(bytes);
  }
  std::fclose(file);
  return result;
}

std::optional<uint64_t> StreamSize(std::FILE* file) {
  const off_t here = ftello(file);
  if (here < 0 || fseeko(file, 0, SEEK_END) != 0) return std::nullopt;
  const off_t end = ftello(file);
  if (fseeko(file, here, SEEK_SET) != 0 || end < 0) return std::nullopt;
  return static_cast<uint64_t>(end);
}

bool ReadExactly(std::FILE* file, std::span<uint8_t> out) {
  return out.empty() || std::fread(out.data(), 1, out.size(), file) == out.size();
}

bool ReadAt(std::FILE* file, uint64_t offset, std::span<uint8_t> out) {
  const std::optional<uint64_t> size = StreamSize(file);
  if (!size || offset > *size || out.size() > *size - offset) return false;
  if (offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) return false;
  if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
  return ReadExactly(file, out);
}
