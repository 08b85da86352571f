#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "files/sound_file_records.h"
#include "wavetable/partial_table.h"

// The synthesis payload that VORTA and XFORM wavetables carry in the
// sampler-specific area of their "smpl" chunk. Offsets are from the first
// byte of the chunk id ("smpl"), i.e. offsets into the 4,308-byte sampler
// block; all integers little-endian. The block size and the family ids are
// the reader's (files/sound_file_records.h).
inline constexpr uint32_t kSmplChunkSize = 4300;     // sampler data size + 60
inline constexpr uint32_t kSamplerDataSize = 4240;   // the only size the current format uses
inline constexpr size_t kSmplChunkSizeOffset = 4;
inline constexpr size_t kSamplerDataSizeOffset = 40;
inline constexpr size_t kFamilyIdOffset = 68;
inline constexpr size_t kPayloadTableOffset = 76;    // 4,224 bytes
inline constexpr size_t kPayloadStretchOffset = 4300;
inline constexpr size_t kPayloadTagOffset = 4304;
inline constexpr const char* kLogarithmicTag = "LOG_";

// The XFORM band profile: 33 slices of 128 band codes 0..127, slice after slice.
inline constexpr int kXformBandCount = 128;
inline constexpr size_t kXformBandProfileBytes = kSliceCount * kXformBandCount;  // 4,224
using XformBandProfile = std::array<uint8_t, kXformBandProfileBytes>;

enum class PayloadFamily { None, Vorta, Xform };

// The coded table as 4,224 bytes, row after row, 16-bit little-endian.
void WriteTableCodes(std::span<uint8_t, kTableBytes> out, const PartialTable& table);
// Reading clamps every code into -127..127.
PartialTable ReadTableCodes(std::span<const uint8_t, kTableBytes> in);

PayloadFamily PayloadFamilyOf(std::span<const uint8_t> block);

// Write the family id, the 4,224-byte table or profile, the 32-bit value at
// 4300 (R for VORTA, 0 for XFORM) and "LOG_" into a sampler block of at least
// 4,308 bytes. The chunk header fields before the id are the WAV writer's.
// Returns false, writing nothing, when the block is too short.
bool WriteVortaPayload(std::span<uint8_t> block, const PartialTable& table, int32_t stretch);
bool WriteXformPayload(std::span<uint8_t> block, const XformBandProfile& profile);

// Read the payload back; false when the block is too short or carries the
// other family. A stored R outside 1..32 (a damaged or foreign file) gives
// the default 16 so that rendering stays within its buffer.
bool ReadVortaPayload(std::span<const uint8_t> block, PartialTable& table, int32_t& stretch);
bool ReadXformPayload(std::span<const uint8_t> block, XformBandProfile& profile);
