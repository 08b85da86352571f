#include "formats/serum_wav.h"

#include <span>

#include "files/folder_table.h"
#include "formats/foreign_table_common.h"
#include "files/wave_writer.h"
#include "wavetable/payload.h"

namespace {

constexpr size_t kRiffHeaderBytes = 12;            // "RIFF", size, "WAVE"
constexpr size_t kFormatChunkEnd = 36;             // "fmt " chunk ends where "data" begins


void Append(std::vector<uint8_t>& out, std::span<const uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

}  // namespace

std::vector<uint8_t> BuildSerumFile(const PartialTable& table, int32_t stretch) {
  const int count = ActiveWaveCount(table);
  const std::vector<float> waves = RenderWaves(table, kSerumWaveLength, 1);

  WaveHeader header;
  SamplerBlock block;
  ExtraChunk junk;
  ExtraChunk clm;
  header.formatTag = kFormatFloat;
  header.bitsPerSample = 32;
  header.channels = 1;
  header.dataSize = static_cast<uint32_t>(count) * kSerumWaveLength * 4;
  PrepareWaveHeader(header, block, &junk, &clm, STATE_VORTA);
  SetSamplerU32(block, sampler_offset::kSamplerDataSize, kSynthesisSamplerDataSize);
  SetSamplerU32(block, sampler_offset::kLoopEnd, kSerumWaveLength - 1);
  SetSamplerU32(block, sampler_offset::kUnityNote, kSerumUnityNote);
  WriteVortaPayload(block.bytes, table, stretch);
  PrepareWaveHeader(header, block, &junk, &clm, STATE_VORTA);

  const std::span<const float> written(waves.data(), static_cast<size_t>(count) * kSerumWaveLength);
  const std::vector<uint8_t> data = EncodeWaveData(header, written, written);
  const auto head = EncodeWaveHeader(header);
  std::vector<uint8_t> bytes;
  Append(bytes, std::span<const uint8_t>(head.data(), kRiffHeaderBytes));
  Append(bytes, EncodeExtraChunk(junk));
  Append(bytes, std::span<const uint8_t>(head.data() + kRiffHeaderBytes, kFormatChunkEnd - kRiffHeaderBytes));
  Append(bytes, EncodeExtraChunk(clm));
  Append(bytes, std::span<const uint8_t>(head.data() + kFormatChunkEnd, head.size() - kFormatChunkEnd));
  Append(bytes, data);
  Append(bytes, SamplerChunkBytes(block));
  return bytes;
}

int WriteSerumTable(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                    bool newFile) {
  return WriteCategoryFile(app, kCategorySerum, fileName, BuildSerumFile(table, stretch), newFile);
}
