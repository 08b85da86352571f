#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The three records the reader hands out: the text facts of a file for the
// browser, the canonical 44-byte WAV header, and the image of the "smpl"
// chunk that carries the synthesis payload of the program's own tables.

// ---------------------------------------------------------------------------
// FileInfo: every field is text, every field starts empty. The capacities
// count the terminator, as the browser's fixed columns do.
inline constexpr size_t kRemarkCapacity = 128;
inline constexpr size_t kLoopCapacity = 32;
inline constexpr size_t kFamilyCapacity = 8;
inline constexpr size_t kChannelsCapacity = 16;
inline constexpr size_t kFormatCapacity = 16;
inline constexpr size_t kCountCapacity = 16;
inline constexpr size_t kLengthCapacity = 32;
inline constexpr size_t kSlotCapacity = 4;
inline constexpr size_t kDeviceCapacity = 4;

struct FileInfo {
  std::string remark;    // rejection message or a note such as "SYNTHESIS DATA"
  std::string loop;      // "YES" plus an optional loop kind
  std::string family;    // "VORTA" or "XFORM"
  std::string channels;  // "MONO" or "STEREO"
  std::string format;    // "16 PCM", "32 FLOAT"
  std::string count;     // waves of a wavetable
  std::string length;    // wave length, frames of a cycle, or "%.2f SEC"
  std::string slot;      // Blofeld slot "%.3d"
  std::string device;    // Blofeld device id "%.3d"
};

// Stores at most capacity - 1 characters of text into the field.
void SetInfoText(std::string& field, std::string_view text, size_t capacity);

// ---------------------------------------------------------------------------
// WaveHeader: the canonical 44-byte header in field form. A tag that the
// scanner did not find stays all zero.
inline constexpr size_t kWaveHeaderBytes = 44;
inline constexpr uint16_t kFormatPcm = 1;
inline constexpr uint16_t kFormatFloat = 3;
inline constexpr uint32_t kProgramSampleRate = 44100;

using ChunkTag = std::array<char, 4>;

struct WaveHeader {
  ChunkTag riffTag{};
  uint32_t riffSize = 0;
  ChunkTag waveTag{};
  ChunkTag fmtTag{};
  uint32_t fmtSize = 0;
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint32_t bytesPerSecond = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  ChunkTag dataTag{};
  uint32_t dataSize = 0;
};

inline constexpr ChunkTag kRiffTag = {'R', 'I', 'F', 'F'};
inline constexpr ChunkTag kWaveTag = {'W', 'A', 'V', 'E'};
inline constexpr ChunkTag kFmtTag = {'f', 'm', 't', ' '};
inline constexpr ChunkTag kDataTag = {'d', 'a', 't', 'a'};
inline constexpr ChunkTag kSmplTag = {'s', 'm', 'p', 'l'};
inline constexpr ChunkTag kJunkTag = {'J', 'U', 'N', 'K'};
inline constexpr ChunkTag kClmTag = {'c', 'l', 'm', ' '};

std::array<uint8_t, kWaveHeaderBytes> EncodeWaveHeader(const WaveHeader& header);
WaveHeader DecodeWaveHeader(const uint8_t* bytes);

// Bytes of one frame as the sample format needs them (bits / 8 x channels),
// which the loaders use rather than the file's own block-align field.
inline uint32_t FrameBytes(const WaveHeader& header) {
  return static_cast<uint32_t>(header.bitsPerSample / 8) * header.channels;
}

// ---------------------------------------------------------------------------
// SamplerBlock: the 8-byte chunk header of "smpl" and up to 4,300 bytes of
// chunk data, kept as the byte image so that the payload sits at fixed
// block offsets for every consumer.
inline constexpr size_t kSamplerBlockBytes = 4308;
inline constexpr uint32_t kSamplerChunkMaxData = 4300;
inline constexpr uint32_t kSynthesisSamplerDataSize = 4240;  // VORTA and XFORM tables
inline constexpr size_t kSynthesisPayloadBytes = 4224;
inline constexpr size_t kFamilyIdBytes = 8;
inline constexpr size_t kFamilyNameChars = 5;

struct SamplerBlock {
  std::array<uint8_t, kSamplerBlockBytes> bytes{};
};

// Block offsets (offset 0 is the chunk id).
namespace sampler_offset {
inline constexpr size_t kTag = 0;
inline constexpr size_t kChunkSize = 4;
inline constexpr size_t kManufacturer = 8;
inline constexpr size_t kProduct = 12;
inline constexpr size_t kSamplePeriod = 16;
inline constexpr size_t kUnityNote = 20;
inline constexpr size_t kPitchFraction = 24;
inline constexpr size_t kSmpteFormat = 28;
inline constexpr size_t kSmpteOffset = 32;
inline constexpr size_t kLoopCount = 36;
inline constexpr size_t kSamplerDataSize = 40;
inline constexpr size_t kLoopCueId = 44;
inline constexpr size_t kLoopType = 48;
inline constexpr size_t kLoopStart = 52;
inline constexpr size_t kLoopEnd = 56;
inline constexpr size_t kLoopFraction = 60;
inline constexpr size_t kLoopPlayCount = 64;
inline constexpr size_t kFamilyId = 68;  // first sampler-specific byte with one loop
inline constexpr size_t kPayload = 76;
inline constexpr size_t kSpeed = 4300;   // VORTA playbackStretch R
inline constexpr size_t kLogTag = 4304;
}  // namespace sampler_offset

inline constexpr const char* kVortaFamilyId = "VORTA___";
inline constexpr const char* kXformFamilyId = "XFORM___";
inline constexpr const char* kSloopFamilyId = "SLOOP___";
inline constexpr const char* kXmrphFamilyId = "XMRPH___";
inline constexpr const char* kLogTagText = "LOG_";

uint32_t SamplerU32(const SamplerBlock& block, size_t offset);
void SetSamplerU32(SamplerBlock& block, size_t offset, uint32_t value);
void SetSamplerText(SamplerBlock& block, size_t offset, std::string_view text);

// True when the 8 bytes at the family-id offset are exactly this id.
bool HasFamilyId(const SamplerBlock& block, const char* id);

// True when the scanner found a "smpl" chunk.
bool HasSamplerChunk(const SamplerBlock& block);

// "smpl" chunk size as stored in the block (tag and size not counted).
inline uint32_t SamplerChunkSize(const SamplerBlock& block) {
  return SamplerU32(block, sampler_offset::kChunkSize);
}
