#include "files/sound_file_records.h"

#include <algorithm>
#include <cstring>

#include "core/byte_order.h"

void SetInfoText(std::string& field, std::string_view text, size_t capacity) {
  const size_t chars = capacity == 0 ? 0 : capacity - 1;
  field.assign(text.substr(0, chars));
}

namespace {

void PutTag(uint8_t* p, const ChunkTag& tag) { std::memcpy(p, tag.data(), tag.size()); }

ChunkTag GetTag(const uint8_t* p) {
  ChunkTag tag;
  std::memcpy(tag.data(), p, tag.size());
  return tag;
}

}  // namespace

std::array<uint8_t, kWaveHeaderBytes> EncodeWaveHeader(const WaveHeader& header) {
  std::array<uint8_t, kWaveHeaderBytes> bytes{};
  uint8_t* p = bytes.data();
  PutTag(p + 0, header.riffTag);
  WriteU32LE(p + 4, header.riffSize);
  PutTag(p + 8, header.waveTag);
  PutTag(p + 12, header.fmtTag);
  WriteU32LE(p + 16, header.fmtSize);
  WriteU16LE(p + 20, header.formatTag);
  WriteU16LE(p + 22, header.channels);
  WriteU32LE(p + 24, header.sampleRate);
  WriteU32LE(p + 28, header.bytesPerSecond);
  WriteU16LE(p + 32, header.blockAlign);
  WriteU16LE(p + 34, header.bitsPerSample);
  PutTag(p + 36, header.dataTag);
  WriteU32LE(p + 40, header.dataSize);
  return bytes;
}

WaveHeader DecodeWaveHeader(const uint8_t* p) {
  WaveHeader header;
  header.riffTag = GetTag(p + 0);
  header.riffSize = ReadU32LE(p + 4);
  header.waveTag = GetTag(p + 8);
  header.fmtTag = GetTag(p + 12);
  header.fmtSize = ReadU32LE(p + 16);
  header.formatTag = ReadU16LE(p + 20);
  header.channels = ReadU16LE(p + 22);
  header.sampleRate = ReadU32LE(p + 24);
  header.bytesPerSecond = ReadU32LE(p + 28);
  header.blockAlign = ReadU16LE(p + 32);
  header.bitsPerSample = ReadU16LE(p + 34);
  header.dataTag = GetTag(p + 36);
  header.dataSize = ReadU32LE(p + 40);
  return header;
}

uint32_t SamplerU32(const SamplerBlock& block, size_t offset) {
  if (offset + 4 > block.bytes.size()) return 0;
  return ReadU32LE(block.bytes.data() + offset);
}

void SetSamplerU32(SamplerBlock& block, size_t offset, uint32_t value) {
  if (offset + 4 > block.bytes.size()) return;
  WriteU32LE(block.bytes.data() + offset, value);
}

void SetSamplerText(SamplerBlock& block, size_t offset, std::string_view text) {
  if (offset >= block.bytes.size()) return;
  const size_t count = std::min(text.size(), block.bytes.size() - offset);
  std::memcpy(block.bytes.data() + offset, text.data(), count);
}

bool HasFamilyId(const SamplerBlock& block, const char* id) {
  return std::memcmp(block.bytes.data() + sampler_offset::kFamilyId, id, kFamilyIdBytes) == 0;
}

bool HasSamplerChunk(const SamplerBlock& block) {
  return std::memcmp(block.bytes.data() + sampler_offset::kTag, kSmplTag.data(), kSmplTag.size()) == 0;
}
