#include "wavetable/payload.h"

#include <algorithm>
#include <cstring>

#include "core/byte_order.h"
#include "wavetable/ram_wavetable.h"

namespace {

bool IdAt(std::span<const uint8_t> block, size_t offset, const char* id) {
  const size_t length = std::strlen(id);
  return block.size() >= offset + length && std::memcmp(block.data() + offset, id, length) == 0;
}

void PutText(std::span<uint8_t> block, size_t offset, const char* text) {
  std::memcpy(block.data() + offset, text, std::strlen(text));
}

}  // namespace

void WriteTableCodes(std::span<uint8_t, kTableBytes> out, const PartialTable& table) {
  for (size_t i = 0; i < table.codes.size(); ++i) WriteI16LE(out.data() + 2 * i, table.codes[i]);
}

PartialTable ReadTableCodes(std::span<const uint8_t, kTableBytes> in) {
  PartialTable table;
  for (size_t i = 0; i < table.codes.size(); ++i) table.codes[i] = ClampCode(ReadI16LE(in.data() + 2 * i));
  return table;
}

PayloadFamily PayloadFamilyOf(std::span<const uint8_t> block) {
  if (IdAt(block, kFamilyIdOffset, kVortaFamilyId)) return PayloadFamily::Vorta;
  if (IdAt(block, kFamilyIdOffset, kXformFamilyId)) return PayloadFamily::Xform;
  return PayloadFamily::None;
}

bool WriteVortaPayload(std::span<uint8_t> block, const PartialTable& table, int32_t stretch) {
  if (block.size() < kSamplerBlockBytes) return false;
  PutText(block, kFamilyIdOffset, kVortaFamilyId);
  WriteTableCodes(block.subspan(kPayloadTableOffset).first<kTableBytes>(), table);
  WriteI32LE(block.data() + kPayloadStretchOffset, ClampStretch(stretch));
  PutText(block, kPayloadTagOffset, kLogarithmicTag);
  return true;
}

bool WriteXformPayload(std::span<uint8_t> block, const XformBandProfile& profile) {
  if (block.size() < kSamplerBlockBytes) return false;
  PutText(block, kFamilyIdOffset, kXformFamilyId);
  for (size_t i = 0; i < profile.size(); ++i)
    block[kPayloadTableOffset + i] = std::min<uint8_t>(profile[i], static_cast<uint8_t>(kMaxCode));
  WriteI32LE(block.data() + kPayloadStretchOffset, 0);
  PutText(block, kPayloadTagOffset, kLogarithmicTag);
  return true;
}

bool ReadVortaPayload(std::span<const uint8_t> block, PartialTable& table, int32_t& stretch) {
  if (block.size() < kSamplerBlockBytes || PayloadFamilyOf(block) == PayloadFamily::Xform) return false;
  table = ReadTableCodes(block.subspan(kPayloadTableOffset).first<kTableBytes>());
  const int32_t stored = ReadI32LE(block.data() + kPayloadStretchOffset);
  stretch = stored >= kMinStretch && stored <= kMaxStretch ? stored : kDefaultStretch;
  return true;
}

bool ReadXformPayload(std::span<const uint8_t> block, XformBandProfile& profile) {
  if (block.size() < kSamplerBlockBytes || PayloadFamilyOf(block) == PayloadFamily::Vorta) return false;
  for (size_t i = 0; i < profile.size(); ++i)
    profile[i] = std::min<uint8_t>(block[kPayloadTableOffset + i], static_cast<uint8_t>(kMaxCode));
  return true;
}
