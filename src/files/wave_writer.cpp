#include "files/wave_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/atomic_file.h"
#include "core/byte_order.h"
#include "core/checked_alloc.h"
#include "core/message_codes.h"
#include "files/library_paths.h"

namespace {

constexpr uint32_t kFormatChunkSize = 16;
constexpr uint32_t kSamplerHeaderBytes = 60;  // "smpl" fields and one loop record
constexpr uint64_t kRiffOverhead = 28;        // "WAVE", "fmt " and "data" headers, "smpl" header
constexpr uint64_t kChunkHeaderBytes = 8;
constexpr uint32_t kNanosecondsPerSecond = 1000000000u;

void InitialiseSampler(WaveHeader& header, SamplerBlock& block, ProgramState module) {
  SetSamplerText(block, sampler_offset::kTag, "smpl");
  switch (module) {
    case STATE_VORTA:
      header.channels = 1;
      SetSamplerU32(block, sampler_offset::kLoopCount, 1);
      SetSamplerU32(block, sampler_offset::kPitchFraction, kVortaPitchFraction);
      SetSamplerText(block, sampler_offset::kFamilyId, kVortaFamilyId);
      SetSamplerText(block, sampler_offset::kLogTag, kLogTagText);
      break;
    case STATE_XFORM:
      header.formatTag = kFormatFloat;
      header.bitsPerSample = 32;
      SetSamplerU32(block, sampler_offset::kLoopCount, 1);
      SetSamplerU32(block, sampler_offset::kSamplerDataSize, kSynthesisSamplerDataSize);
      SetSamplerU32(block, sampler_offset::kLoopEnd, kXformLoopEnd);
      SetSamplerText(block, sampler_offset::kFamilyId, kXformFamilyId);
      SetSamplerText(block, sampler_offset::kLogTag, kLogTagText);
      break;
    case STATE_SLOOP: {
      const uint32_t frameBytes = FrameBytes(header);
      const uint32_t frames = frameBytes == 0 ? 0 : header.dataSize / frameBytes;
      SetSamplerU32(block, sampler_offset::kLoopCount, 1);
      SetSamplerU32(block, sampler_offset::kSamplerDataSize, kPlainSamplerDataSize);
      SetSamplerU32(block, sampler_offset::kLoopEnd, frames == 0 ? 0 : frames - 1);
      SetSamplerText(block, sampler_offset::kFamilyId, kSloopFamilyId);
      break;
    }
    case STATE_XMRPH:
      SetSamplerU32(block, sampler_offset::kSamplerDataSize, kPlainSamplerDataSize);
      SetSamplerU32(block, sampler_offset::kUnityNote, kXmrphUnityNote);
      SetSamplerText(block, sampler_offset::kFamilyId, kXmrphFamilyId);
      break;
    default:
      break;
  }
}

void InitialiseHeader(WaveHeader& header, SamplerBlock& block, ExtraChunk* junk, ExtraChunk* clm,
                      ProgramState module) {
  header.riffTag = kRiffTag;
  header.waveTag = kWaveTag;
  header.fmtTag = kFmtTag;
  header.dataTag = kDataTag;
  header.sampleRate = kProgramSampleRate;
  header.fmtSize = kFormatChunkSize;
  if (junk) {
    junk->tag = kJunkTag;
    junk->size = kJunkChunkSize;
    junk->payload.assign(kJunkChunkSize, 0);
  }
  if (clm) {
    clm->tag = kClmTag;
    clm->size = kClmChunkSize;
    clm->payload.assign(kClmChunkSize, ' ');
    std::memcpy(clm->payload.data(), kClmText, std::strlen(kClmText));
  }
  InitialiseSampler(header, block, module);
}

// The sampler data a block can hold, and the chunk size that goes with it.
uint32_t SamplerDataSizeThatFits(const SamplerBlock& block) {
  return std::min(SamplerU32(block, sampler_offset::kSamplerDataSize), kSamplerChunkMaxData - kSamplerHeaderBytes);
}

double LevelFactor(const WaveHeader& header) {
  double g = header.channels * kWriteLevel;
  if (header.formatTag == kFormatPcm) g *= std::ldexp(1.0, header.bitsPerSample - 1) - 1.0;
  return g;
}

// Rounded halves away from zero and held within the integer range.
int64_t ToInteger(double value, double lowest, double highest) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int64_t>(std::round(std::clamp(value, lowest, highest)));
}

void PutValue(const WaveHeader& header, double value, uint8_t* p) {
  if (header.formatTag == kFormatFloat) {
    const float f = static_cast<float>(value);
    WriteF32LE(p, std::isfinite(f) ? f : 0.0f);
    return;
  }
  switch (header.bitsPerSample) {
    case 8:
      p[0] = static_cast<uint8_t>(ToInteger(value, -128.0, 127.0) + 128);
      break;
    case 16:
      WriteI16LE(p, static_cast<int16_t>(ToInteger(value, -32768.0, 32767.0)));
      break;
    default:
      WriteI32LE(p, static_cast<int32_t>(ToInteger(value, -2147483648.0, 2147483647.0)));
      break;
  }
}

bool IsWritableFormat(const WaveHeader& header) {
  if (header.channels != 1 && header.channels != 2) return false;
  if (header.formatTag == kFormatFloat) return header.bitsPerSample == 32;
  if (header.formatTag != kFormatPcm) return false;
  return header.bitsPerSample == 8 || header.bitsPerSample == 16 || header.bitsPerSample == 32;
}

}  // namespace

void PrepareWaveHeader(WaveHeader& header, SamplerBlock& block, ExtraChunk* junk, ExtraChunk* clm,
                       ProgramState module) {
  if (header.riffTag[0] == 0) InitialiseHeader(header, block, junk, clm, module);

  const uint32_t sampleBytes = header.bitsPerSample / 8;
  header.bytesPerSecond = header.channels * kProgramSampleRate * sampleBytes;
  header.blockAlign = static_cast<uint16_t>(sampleBytes * header.channels);
  if (header.sampleRate != 0) {
    SetSamplerU32(block, sampler_offset::kSamplePeriod, kNanosecondsPerSecond / header.sampleRate);
  }
  const uint32_t samplerData = SamplerDataSizeThatFits(block);
  SetSamplerU32(block, sampler_offset::kSamplerDataSize, samplerData);
  SetSamplerU32(block, sampler_offset::kChunkSize, samplerData + kSamplerHeaderBytes);

  uint64_t riffSize = static_cast<uint64_t>(header.fmtSize) + header.dataSize + kRiffOverhead +
                      SamplerChunkSize(block);
  if (junk) riffSize += kChunkHeaderBytes + kJunkChunkSize;
  if (clm) riffSize += kChunkHeaderBytes + kClmChunkSize;
  header.riffSize = static_cast<uint32_t>(std::min<uint64_t>(riffSize, std::numeric_limits<uint32_t>::max()));
}

uint32_t VortaUnityNote(uint32_t waveLength) {
  switch (waveLength) {
    case 128: return 77;
    case 256: return 65;
    case 512: return 53;
    case 1024: return 41;
    case 2048: return 29;
    case 4096: return 17;
    default: return 65;
  }
}

std::vector<uint8_t> EncodeWaveData(const WaveHeader& header, std::span<const float> left,
                                    std::span<const float> right) {
  std::vector<uint8_t> data;
  if (!IsWritableFormat(header)) return data;
  const uint32_t sampleBytes = header.bitsPerSample / 8;
  const uint64_t values = static_cast<uint64_t>(header.dataSize) / sampleBytes;
  const uint64_t frames = values / header.channels;
  if (frames > left.size() || frames > right.size()) return data;

  CheckedAlloc(data, header.dataSize);
  const double g = LevelFactor(header);
  uint8_t* p = data.data();
  for (uint64_t i = 0; i < frames; ++i) {
    if (header.channels == 1) {
      PutValue(header, (static_cast<double>(left[i]) + right[i]) * g, p);
      p += sampleBytes;
    } else {
      PutValue(header, left[i] * g, p);
      PutValue(header, right[i] * g, p + sampleBytes);
      p += 2 * sampleBytes;
    }
  }
  return data;
}

std::vector<uint8_t> EncodeExtraChunk(const ExtraChunk& chunk) {
  std::vector<uint8_t> bytes;
  AppendBytes(bytes, chunk.tag.data(), chunk.tag.size());
  AppendU32LE(bytes, chunk.size);
  std::vector<uint8_t> payload = chunk.payload;
  payload.resize(chunk.size, 0);
  AppendBytes(bytes, payload.data(), payload.size());
  return bytes;
}

std::span<const uint8_t> SamplerChunkBytes(const SamplerBlock& block) {
  const uint64_t size = std::min<uint64_t>(SamplerChunkSize(block), kSamplerChunkMaxData) + kChunkHeaderBytes;
  return std::span<const uint8_t>(block.bytes.data(), static_cast<size_t>(size));
}

int WriteWaveFile(AppGlobals& app, const std::string& fileName, int category, const WaveHeader& header,
                  const SamplerBlock& block, std::span<const float> left, std::span<const float> right) {
  if (!IsPlainFileName(fileName)) return kMsgAccessDenied;
  const std::vector<uint8_t> data = EncodeWaveData(header, left, right);
  if (data.size() != header.dataSize) return kMsgAccessDenied;
  const auto headerBytes = EncodeWaveHeader(header);
  const std::span<const uint8_t> sampler = SamplerChunkBytes(block);
  const std::string path = CategoryFilePath(app, category, fileName);
  const bool written = WriteFileAtomically(path, [&](std::FILE* stream) {
    bool ok = std::fwrite(headerBytes.data(), 1, headerBytes.size(), stream) == headerBytes.size();
    ok = ok && (data.empty() || std::fwrite(data.data(), 1, data.size(), stream) == data.size());
    ok = ok && std::fwrite(sampler.data(), 1, sampler.size(), stream) == sampler.size();
    return ok;
  });
  return written ? kMsgDone : kMsgAccessDenied;
}

std::vector<uint8_t> EncodeWaveFile(const WaveHeader& header, const SamplerBlock& block, std::span<const float> left,
                                    std::span<const float> right) {
  std::vector<uint8_t> bytes;
  const std::vector<uint8_t> data = EncodeWaveData(header, left, right);
  if (data.size() != header.dataSize) return bytes;
  const auto headerBytes = EncodeWaveHeader(header);
  const std::span<const uint8_t> sampler = SamplerChunkBytes(block);
  CheckedAlloc(bytes, headerBytes.size() + data.size() + sampler.size());
  auto out = std::copy(headerBytes.begin(), headerBytes.end(), bytes.begin());
  out = std::copy(data.begin(), data.end(), out);
  std::copy(sampler.begin(), sampler.end(), out);
  return bytes;
}

