#include "formats/blofeld_sysex.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/message_codes.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "formats/foreign_table_common.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/vorta_synthesis.h"

namespace {

constexpr uint8_t kSysexStart = 240;
constexpr uint8_t kSysexEnd = 247;
constexpr uint8_t kWaldorfId = 62;
constexpr uint8_t kBlofeldId = 19;
constexpr uint8_t kWavetableDump = 18;
constexpr uint8_t kUncheckedSum = 127;  // a checksum byte of 127 is not tested
constexpr uint8_t kDataBits = 127;
constexpr size_t kChecksumFirst = blofeld_offset::kFormat;  // bytes 7..407
constexpr int32_t kSampleRange = 1 << 20;                    // 21-bit two's complement
constexpr int32_t kSignBit = 1 << 20;
constexpr int kCentreSample = kBlofeldWaveLength / 2;         // 64: zero in a point-symmetric wave
constexpr int kStructureTolerance = 2;
constexpr double kImportScale = 1.0 / 1048576.0;
constexpr size_t kMaxRewriteBytes = 16u << 20;  // a dump with an unusually long tail still fits

const uint8_t* Message(BlofeldDump dump, int wave) { return dump.data() + static_cast<size_t>(wave) * kBlofeldMessageBytes; }

uint8_t Checksum(const uint8_t* message) {
  unsigned sum = 0;
  for (size_t i = kChecksumFirst; i < blofeld_offset::kChecksum; ++i) sum += message[i];
  return static_cast<uint8_t>(sum & kDataBits);
}

// Decoded samples of all 64 waves.
using DecodedWaves = std::array<std::array<int32_t, kBlofeldWaveLength>, kBlofeldWaveCount>;

DecodedWaves DecodeWaves(BlofeldDump dump, BlofeldCoding coding) {
  DecodedWaves waves{};
  for (int w = 0; w < kBlofeldWaveCount; ++w) {
    const uint8_t* samples = Message(dump, w) + blofeld_offset::kSamples;
    for (int k = 0; k < kBlofeldWaveLength; ++k) waves[w][k] = DecodeBlofeldSample(samples + 3 * k, coding);
  }
  return waves;
}

int32_t RoundedMean(int32_t a, int32_t b) { return static_cast<int32_t>(Nearest((static_cast<double>(a) + b) / 2.0)); }

bool WaveIsPointSymmetric(const std::array<int32_t, kBlofeldWaveLength>& wave) {
  if (wave[0] < 0 || wave[0] > kMaxStretch || wave[kCentreSample] != 0) return false;
  for (int k = 1; k < kCentreSample; ++k)
    if (std::abs(wave[k] + wave[kBlofeldWaveLength - k]) > kStructureTolerance) return false;
  return true;
}

void PutDumpProperties(BlofeldDump dump, FileInfo& info) {
  const uint8_t* first = Message(dump, 0);
  char number[8];
  SetInfoText(info.family, "VORTA", kFamilyCapacity);
  SetInfoText(info.count, "64", kCountCapacity);
  SetInfoText(info.length, "128", kLengthCapacity);
  std::snprintf(number, sizeof number, "%.3d", first[blofeld_offset::kSlot]);
  SetInfoText(info.slot, number, kSlotCapacity);
  std::snprintf(number, sizeof number, "%.3d", first[blofeld_offset::kDeviceId]);
  SetInfoText(info.device, number, kDeviceCapacity);
  const int stretch = first[blofeld_offset::kStretch];
  if (stretch >= kMinStretch && stretch <= kMaxStretch) SetInfoText(info.remark, "SPEED DATA <ENCODED>", kRemarkCapacity);
}

// The whole file when it holds at least one dump's bytes; a file that is
// rewritten in place must also be a valid dump, or its bytes 3 and 5 of
// every 410 would be something else.
std::optional<std::vector<uint8_t>> ReadDumpFile(AppGlobals& app, const std::string& fileName, bool mustBeValid) {
  std::optional<std::vector<uint8_t>> bytes = ReadCategoryFile(app, kCategoryBlofeld, fileName, kMaxRewriteBytes);
  if (!bytes || bytes->size() < kBlofeldDumpBytes) return std::nullopt;
  if (mustBeValid && ValidateBlofeldDump(BlofeldDump(bytes->data(), kBlofeldDumpBytes)) != nullptr) return std::nullopt;
  return bytes;
}

void RememberParameters(AppGlobals& app, BlofeldParameters parameters) {
  app.settings.blofeldDeviceId = static_cast<uint32_t>(parameters.deviceId);
  app.settings.blofeldSlot = static_cast<uint32_t>(parameters.slot);
}

}  // namespace

std::array<uint8_t, 3> EncodeBlofeldSample(double x) {
  const double scaled = x * kBlofeldSampleScale;
  const int32_t v = std::isfinite(scaled)
                        ? static_cast<int32_t>(Nearest(std::clamp(scaled, -static_cast<double>(kSampleRange),
                                                                   static_cast<double>(kSampleRange - 1))))
                        : 0;
  const uint32_t bits = static_cast<uint32_t>(v) & (2u * kSampleRange - 1);
  return {static_cast<uint8_t>((bits >> 14) & kDataBits), static_cast<uint8_t>((bits >> 7) & kDataBits),
          static_cast<uint8_t>(bits & kDataBits)};
}

int32_t DecodeBlofeldSample(const uint8_t* bytes, BlofeldCoding coding) {
  const int32_t high = bytes[0] & kDataBits;
  const int32_t lower = ((bytes[1] & kDataBits) << 7) | (bytes[2] & kDataBits);
  if (coding == BlofeldCoding::kSignMagnitude) {
    if (high < 64) return (high << 14) | lower;
    return -((((127 - high) & 63) << 14) | lower);
  }
  const int32_t value = (high << 14) | lower;
  return (value & kSignBit) ? value - 2 * kSampleRange : value;
}

void BuildBlofeldDump(std::span<uint8_t, kBlofeldDumpBytes> out, std::span<const float> waves,
                      std::string_view name, int32_t stretch, int deviceId, int slot) {
  const BlofeldParameters parameters = SanitizeBlofeldParameters(deviceId, slot);
  const std::string shownName = InstrumentName(std::string(name), kBlofeldNameChars);
  for (int w = 0; w < kBlofeldWaveCount; ++w) {
    uint8_t* message = out.data() + static_cast<size_t>(w) * kBlofeldMessageBytes;
    std::fill_n(message, kBlofeldMessageBytes, 0);
    message[blofeld_offset::kStatus] = kSysexStart;
    message[blofeld_offset::kMaker] = kWaldorfId;
    message[blofeld_offset::kModel] = kBlofeldId;
    message[blofeld_offset::kDeviceId] = static_cast<uint8_t>(parameters.deviceId);
    message[blofeld_offset::kCommand] = kWavetableDump;
    message[blofeld_offset::kSlot] = static_cast<uint8_t>(parameters.slot);
    message[blofeld_offset::kWaveNumber] = static_cast<uint8_t>(w);
    message[blofeld_offset::kStretch] = static_cast<uint8_t>(stretch & kDataBits);
    for (int k = 1; k < kBlofeldWaveLength; ++k) {
      const size_t index = static_cast<size_t>(w) * kBlofeldWaveLength + static_cast<size_t>(k);
      const std::array<uint8_t, 3> code = EncodeBlofeldSample(index < waves.size() ? waves[index] : 0.0f);
      std::copy(code.begin(), code.end(), message + blofeld_offset::kSamples + 3 * k);
    }
    std::copy(shownName.begin(), shownName.end(), message + blofeld_offset::kName);
    message[blofeld_offset::kChecksum] = Checksum(message);
    message[blofeld_offset::kEnd] = kSysexEnd;
  }
}

const char* ValidateBlofeldDump(BlofeldDump dump) {
  for (int m = 0; m < kBlofeldWaveCount; ++m) {
    const uint8_t* message = Message(dump, m);
    if (message[blofeld_offset::kStatus] != kSysexStart || message[blofeld_offset::kEnd] != kSysexEnd) {
      return "SYSEX STATUS BYTE ERROR";
    }
    const uint8_t checksum = message[blofeld_offset::kChecksum];
    if (checksum != kUncheckedSum && checksum != Checksum(message)) return "CHECKSUM ERROR";
    if (message[blofeld_offset::kMaker] != kWaldorfId) return "NO WALDORF SYSEX FILE";
    if (message[blofeld_offset::kModel] != kBlofeldId) return "NO BLOFELD SYSEX FILE";
    if (message[blofeld_offset::kDeviceId] > kBlofeldMaxDeviceId) return "DEVICE ID ERROR";
    if (message[blofeld_offset::kCommand] != kWavetableDump) return "NO WAVETABLE FILE";
    const int slot = message[blofeld_offset::kSlot];
    if (slot < kBlofeldMinSlot || slot > kBlofeldMaxSlot) return "SLOT POSITION ERROR";
    if (message[blofeld_offset::kWaveNumber] != m) return "WAVE POSITION ERROR";
    if (message[blofeld_offset::kFormat] != 0) return "WRONG FORMAT";
  }
  return nullptr;
}

bool HasVortaStructure(BlofeldDump dump, BlofeldCoding coding) {
  const DecodedWaves s = DecodeWaves(dump, coding);
  for (const auto& wave : s)
    if (!WaveIsPointSymmetric(wave)) return false;
  for (int w = 0; w + 1 < kBlofeldWaveCount; ++w)
    if (s[w][0] != s[w + 1][0]) return false;
  // Wave 63 lies midway towards a slice the dump does not hold.
  for (int w = 1; w + 1 < kBlofeldWaveCount - 1; w += 2) {
    for (int k = 1; k < kCentreSample; ++k)
      if (std::abs(s[w][k] - RoundedMean(s[w - 1][k], s[w + 1][k])) > kStructureTolerance) return false;
  }
  return true;
}

std::optional<BlofeldCoding> VortaCodingOf(BlofeldDump dump) {
  for (BlofeldCoding coding : {BlofeldCoding::kTwosComplement, BlofeldCoding::kSignMagnitude})
    if (HasVortaStructure(dump, coding)) return coding;
  return std::nullopt;
}

int16_t ReadBlofeldDump(std::FILE* file, FileInfo* info, SamplerBlock* block) {
  if (block) *block = SamplerBlock{};
  std::vector<uint8_t> bytes(kBlofeldDumpBytes);
  if (!ReadExactly(file, bytes)) return RejectFile(info, "FILE IS TOO SMALL");
  const BlofeldDump dump(bytes.data(), kBlofeldDumpBytes);
  if (const char* failure = ValidateBlofeldDump(dump)) return RejectFile(info, failure);
  const std::optional<BlofeldCoding> coding = VortaCodingOf(dump);
  if (!coding) return RejectFile(info, "BLOFELD SYSEX, BUT NO VORTA WAVETABLE FILE");
  if (info) {
    PutDumpProperties(dump, *info);
  } else if (block) {
    // The stored R goes into the block as it is, as with the other formats;
    // the import replaces one outside 1..32.
    PartialTable table;
    int32_t ignored = kDefaultStretch;
    ImportBlofeldDump(dump, *coding, table, ignored);
    FillForeignSamplerBlock(*block, table, StoredBlofeldStretch(dump));
  }
  return kCategoryBlofeld;
}

std::vector<float> BlofeldImportCycles(BlofeldDump dump, BlofeldCoding coding) {
  const DecodedWaves s = DecodeWaves(dump, coding);
  std::vector<float> cycles(static_cast<size_t>(kSliceCount) * kBlofeldWaveLength, 0.0f);
  auto cycle = [&](int slice) { return cycles.data() + static_cast<size_t>(slice) * kBlofeldWaveLength; };
  for (int slice = 0; slice < kLastSlice; ++slice) {
    for (int k = 1; k < kCentreSample; ++k) cycle(slice)[k] = static_cast<float>(s[2 * slice][k] * kImportScale);
  }
  // Wave 63 lies midway between slices 31 and 32.
  const int lastWave = kBlofeldWaveCount - 1;
  for (int k = 1; k < kCentreSample; ++k) {
    cycle(kLastSlice)[k] = static_cast<float>(2.0 * s[lastWave][k] * kImportScale - cycle(kLastSlice - 1)[k]);
  }
  for (int slice = 0; slice < kSliceCount; ++slice) {
    for (int k = 1; k < kCentreSample; ++k) cycle(slice)[kBlofeldWaveLength - k] = -cycle(slice)[k];
  }
  return cycles;
}

void ImportBlofeldDump(BlofeldDump dump, BlofeldCoding coding, PartialTable& table, int32_t& stretch) {
  table = AnalyzeCycles(BlofeldImportCycles(dump, coding));
  const int32_t stored = StoredBlofeldStretch(dump);
  stretch = stored >= kMinStretch && stored <= kMaxStretch ? stored : kDefaultStretch;
}

int32_t StoredBlofeldStretch(BlofeldDump dump) { return Message(dump, 0)[blofeld_offset::kStretch]; }

int SanitizeBlofeldDeviceId(int64_t deviceId) {
  return deviceId >= 0 && deviceId <= kBlofeldMaxDeviceId ? static_cast<int>(deviceId) : 0;
}

int SanitizeBlofeldSlot(int64_t slot) {
  return slot >= kBlofeldMinSlot && slot <= kBlofeldMaxSlot ? static_cast<int>(slot) : kBlofeldMinSlot;
}

BlofeldParameters SanitizeBlofeldParameters(int64_t deviceId, int64_t slot) {
  return {SanitizeBlofeldDeviceId(deviceId), SanitizeBlofeldSlot(slot)};
}

BlofeldParameters DumpParameters(BlofeldDump dump) {
  const uint8_t* first = Message(dump, 0);
  return SanitizeBlofeldParameters(first[blofeld_offset::kDeviceId], first[blofeld_offset::kSlot]);
}

void SetDumpParameters(std::span<uint8_t, kBlofeldDumpBytes> dump, BlofeldParameters parameters) {
  const BlofeldParameters safe = SanitizeBlofeldParameters(parameters.deviceId, parameters.slot);
  for (int w = 0; w < kBlofeldWaveCount; ++w) {
    uint8_t* message = dump.data() + static_cast<size_t>(w) * kBlofeldMessageBytes;
    message[blofeld_offset::kDeviceId] = static_cast<uint8_t>(safe.deviceId);
    message[blofeld_offset::kSlot] = static_cast<uint8_t>(safe.slot);
  }
}

int OfferedBlofeldParameters(AppGlobals& app, const std::string& fileName, bool newFile,
                             BlofeldParameters& parameters) {
  parameters = SanitizeBlofeldParameters(app.settings.blofeldDeviceId, app.settings.blofeldSlot);
  if (newFile) return kMsgDone;
  const std::optional<std::vector<uint8_t>> bytes = ReadDumpFile(app, fileName, false);
  if (!bytes) return kMsgAccessDenied;
  parameters = DumpParameters(BlofeldDump(bytes->data(), kBlofeldDumpBytes));
  return kMsgDone;
}

int WriteBlofeldTable(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                      BlofeldParameters parameters, bool newFile) {
  const BlofeldParameters safe = SanitizeBlofeldParameters(parameters.deviceId, parameters.slot);
  const std::vector<float> waves = RenderWaves(table, kBlofeldWaveLength, 2);
  std::vector<uint8_t> dump(kBlofeldDumpBytes);
  BuildBlofeldDump(std::span<uint8_t, kBlofeldDumpBytes>(dump.data(), kBlofeldDumpBytes), waves, fileName,
                   ClampStretch(stretch), safe.deviceId, safe.slot);
  const int status = WriteCategoryFile(app, kCategoryBlofeld, fileName, dump, newFile);
  if (status == kMsgDone) RememberParameters(app, safe);
  return status;
}

int ReadBlofeldFileParameters(AppGlobals& app, const std::string& fileName, BlofeldParameters& parameters) {
  if (fileName.empty()) return kMsgNoFileSelected;
  const std::optional<std::vector<uint8_t>> bytes = ReadDumpFile(app, fileName, true);
  if (!bytes) return kMsgAccessDenied;
  parameters = DumpParameters(BlofeldDump(bytes->data(), kBlofeldDumpBytes));
  return kMsgDone;
}

int RewriteBlofeldFileParameters(AppGlobals& app, const std::string& fileName, BlofeldParameters parameters) {
  if (fileName.empty()) return kMsgNoFileSelected;
  std::optional<std::vector<uint8_t>> bytes = ReadDumpFile(app, fileName, true);
  if (!bytes) return kMsgAccessDenied;
  const BlofeldParameters safe = SanitizeBlofeldParameters(parameters.deviceId, parameters.slot);
  SetDumpParameters(std::span<uint8_t, kBlofeldDumpBytes>(bytes->data(), kBlofeldDumpBytes), safe);
  const int status = WriteCategoryFile(app, kCategoryBlofeld, fileName, *bytes);
  if (status == kMsgDone) RememberParameters(app, safe);
  return status;
}
