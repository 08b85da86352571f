#include "files/wave_reader.h"

#include <sys/types.h>

#include <cstring>

#include "files/folder_table.h"
#include "files/riff_chunks.h"

namespace {

constexpr uint64_t kDataSizeMargin = 35;    // a RIFF size this close to the data size is broken
constexpr uint32_t kMinFormatChunkSize = 16;
constexpr uint64_t kMaxFrames = 33 * 131072;  // 4,325,376: a full XFORM table
constexpr uint64_t kMinFrames = 128;
constexpr uint32_t kMaxLoopType = 2;
constexpr const char* kUnknownTypeRemark = "UNKNOWN FILE TYPE OR EXTENSION";

bool TagIs(const ChunkTag& tag, const ChunkTag& expected) { return tag == expected; }

// The bit depth rule; also the answer for a header whose bits per sample
// are 0, before anything is divided by them.
const char* BitDepthRejection(const WaveHeader& header) {
  switch (header.formatTag) {
    case kFormatPcm:
      if (header.bitsPerSample == 8 || header.bitsPerSample == 16 || header.bitsPerSample == 32) return nullptr;
      return "WRONG PCM BIT DEPHT";
    case kFormatFloat:
      if (header.bitsPerSample == 32) return nullptr;
      return "WRONG IEEE FLOAT BIT DEPHT";
    default:
      return "UNSUPPORTED AUDIO FORMAT";
  }
}

// Keeps the single loop only when start <= end < frames; anything else is
// cleared in the block so that no consumer sees it. Returns the loop length.
uint64_t CheckLoop(SamplerBlock& block, uint64_t frames) {
  if (!HasSamplerChunk(block) || SamplerChunkSize(block) < 1) return 0;
  const uint32_t loops = SamplerU32(block, sampler_offset::kLoopCount);
  const uint32_t type = SamplerU32(block, sampler_offset::kLoopType);
  const uint64_t start = SamplerU32(block, sampler_offset::kLoopStart);
  const uint64_t end = SamplerU32(block, sampler_offset::kLoopEnd);
  if (loops == 1 && type <= kMaxLoopType && start <= end && end < frames) return end + 1 - start;
  SetSamplerU32(block, sampler_offset::kLoopCount, 0);
  SetSamplerU32(block, sampler_offset::kLoopType, 0);
  SetSamplerU32(block, sampler_offset::kLoopStart, 0);
  SetSamplerU32(block, sampler_offset::kLoopEnd, 0);
  return 0;
}

// Family name and synthesis note of the program's own files.
void NoteFamily(const SamplerBlock& block, uint32_t samplerDataSize, FileInfo& info) {
  const uint8_t* id = block.bytes.data() + sampler_offset::kFamilyId;
  if (std::memcmp(id + kFamilyNameChars, "___", 3) != 0) return;
  std::string family;
  for (size_t i = 0; i < kFamilyNameChars && id[i] != 0; ++i) family.push_back(static_cast<char>(id[i]));
  SetInfoText(info.family, family, kFamilyCapacity);
  if (samplerDataSize > 8) SetInfoText(info.remark, "SYNTHESIS DATA", kRemarkCapacity);
}

// The acceptance rules in their order, then the classification.
int16_t AcceptWave(const WaveHeader& header, SamplerBlock& block, const ReadRules& rules, FileInfo* info) {
  if (!TagIs(header.riffTag, kRiffTag)) return RejectFile(info, "RIFF TAG MISSING");
  if (!TagIs(header.waveTag, kWaveTag)) return RejectFile(info, "WAVE TAG MISSING");
  if (!TagIs(header.dataTag, kDataTag)) return RejectFile(info, "DATA CHUNK MISSING");
  if (!TagIs(header.fmtTag, kFmtTag)) return RejectFile(info, "FORMAT CHUNK MISSING");
  if (static_cast<uint64_t>(header.dataSize) + kDataSizeMargin >= header.riffSize ||
      header.fmtSize < kMinFormatChunkSize) {
    return RejectFile(info, "CHUNK SIZE ERROR");
  }
  if (header.sampleRate != kProgramSampleRate) return RejectFile(info, "WRONG SAMPLE RATE <MUST BE 44.1 KHZ>");
  if (header.channels != 1 && header.channels != 2) return RejectFile(info, "WRONG CHANNEL COUNT");
  if (header.bitsPerSample == 0) return RejectFile(info, BitDepthRejection(header));
  const uint64_t frames = WaveFrames(header);
  if (frames > kMaxFrames) return RejectFile(info, "FILE IS TOO LARGE");
  if (frames < kMinFrames) return RejectFile(info, "FILE IS TOO SMALL");
  if (const char* rejection = BitDepthRejection(header)) return RejectFile(info, rejection);

  const uint64_t loopLength = CheckLoop(block, frames);
  const uint32_t samplerDataSize = SamplerU32(block, sampler_offset::kSamplerDataSize);
  if (info) NoteFamily(block, samplerDataSize, *info);
  return ClassifyWave(WaveFacts{header, block, frames, samplerDataSize, loopLength}, rules, info);
}

int16_t ReadWaveBranch(std::FILE* file, FileInfo* info, WaveHeader* headerOut, SamplerBlock* blockOut,
                       const ReadRules& rules) {
  const bool loading = !info && (headerOut || blockOut);
  WaveHeader header;
  SamplerBlock block;
  const uint64_t dataPosition = ScanRiffChunks(file, header, block, loading);
  const int16_t category = AcceptWave(header, block, rules, info);
  if (!loading) return category;

  if (headerOut) *headerOut = WaveHeader{};
  if (blockOut) *blockOut = SamplerBlock{};
  switch (category) {
    case kCategorySample:
    case kCategorySingleCycle:
    case kCategoryXformWav:
      if (fseeko(file, static_cast<off_t>(dataPosition), SEEK_SET) != 0) return kCategoryUnrecognized;
      if (headerOut) *headerOut = header;
      if (blockOut) *blockOut = block;
      break;
    case kCategoryVortaWav:
    case kCategorySerum:
      if (blockOut) *blockOut = block;
      break;
    default:
      break;
  }
  return category;
}

ForeignReadBranches gForeignReadBranches;

int16_t ReadForeignBranch(ForeignReadBranch branch, std::FILE* file, const std::string& fileName, FileInfo* info,
                          SamplerBlock* block) {
  if (!branch) {
    if (block) *block = SamplerBlock{};
    return RejectFile(info, kUnknownTypeRemark);
  }
  return branch(file, fileName, info, block);
}

}  // namespace

void RegisterForeignReadBranches(const ForeignReadBranches& branches) { gForeignReadBranches = branches; }

uint64_t WaveFrames(const WaveHeader& header) {
  const uint64_t bitsPerFrame = static_cast<uint64_t>(header.bitsPerSample) * header.channels;
  if (bitsPerFrame == 0) return 0;
  return static_cast<uint64_t>(header.dataSize) * 8 / bitsPerFrame;
}

int16_t ReadSoundFile(std::FILE* file, const std::string& fileName, FileInfo* info, WaveHeader* header,
                      SamplerBlock* block, const ReadRules& rules) {
  if (!file) return RejectFile(info, "ACCESS DENIED");
  switch (CategoryByExtension(fileName)) {
    case kCategorySample:
      return ReadWaveBranch(file, info, header, block, rules);
    case kCategoryKomplexer:
      return ReadForeignBranch(gForeignReadBranches.wt, file, fileName, info, block);
    case kCategoryBlofeld:
      return ReadForeignBranch(gForeignReadBranches.blofeld, file, fileName, info, block);
    case kCategoryEfe:
      return ReadForeignBranch(gForeignReadBranches.efe, file, fileName, info, block);
    case kCategoryWaveGenerator:
      return ReadForeignBranch(gForeignReadBranches.waveGenerator, file, fileName, info, block);
    default:
      return RejectFile(info, kUnknownTypeRemark);
  }
}

int16_t TestSoundFile(const std::string& path, FileInfo* info, const ReadRules& rules) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return RejectFile(info, "ACCESS DENIED");
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const int16_t category = ReadSoundFile(file, name, info, nullptr, nullptr, rules);
  std::fclose(file);
  return category;
}
