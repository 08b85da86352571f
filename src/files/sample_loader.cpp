#include "files/sample_loader.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/byte_order.h"
#include "core/message_codes.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_reader.h"

namespace {

constexpr size_t kFramesPerRead = 16384;

float DecodeValue(const WaveHeader& header, const uint8_t* p) {
  if (header.formatTag == kFormatFloat) {
    const float value = ReadF32LE(p);
    return std::isfinite(value) ? value : 0.0f;
  }
  switch (header.bitsPerSample) {
    case 8: return (static_cast<float>(p[0]) - 128.0f) / 128.0f;
    case 16: return static_cast<float>(ReadI16LE(p)) / 32768.0f;
    default: return static_cast<float>(static_cast<double>(ReadI32LE(p)) / 2147483648.0);
  }
}

// Reads frames of audio from the current position block by block and hands
// each frame's bytes to the sink; whatever the file lacks reads as silence
// (for 8-bit PCM the silence byte is 128).
template <typename Sink>
void ReadFrames(std::FILE* file, const WaveHeader& header, uint64_t frames, Sink sink) {
  const uint32_t frameBytes = FrameBytes(header);
  const uint8_t silence = header.formatTag == kFormatPcm && header.bitsPerSample == 8 ? 128 : 0;
  std::vector<uint8_t> buffer(kFramesPerRead * frameBytes);
  bool fileEnded = false;
  for (uint64_t done = 0; done < frames;) {
    const size_t count = static_cast<size_t>(std::min<uint64_t>(kFramesPerRead, frames - done));
    const size_t wanted = count * frameBytes;
    size_t got = fileEnded ? 0 : std::fread(buffer.data(), 1, wanted, file);
    if (got < wanted) {
      fileEnded = true;
      std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(got), buffer.begin() + static_cast<std::ptrdiff_t>(wanted),
                silence);
    }
    for (size_t i = 0; i < count; ++i) sink(done + i, buffer.data() + i * frameBytes);
    done += count;
  }
}

void FillDescriptor(const WaveHeader& header, const SamplerBlock& block, uint64_t frames, SampleDescriptor& d) {
  d.frames = frames;
  d.channels = header.channels;
  d.loopStart = SamplerU32(block, sampler_offset::kLoopStart);
  d.loopEnd = SamplerU32(block, sampler_offset::kLoopEnd);
  d.unityNote = SamplerU32(block, sampler_offset::kUnityNote);
  d.pitchFraction = SamplerU32(block, sampler_offset::kPitchFraction);
  d.loopCount = SamplerU32(block, sampler_offset::kLoopCount);
  d.loopType = SamplerU32(block, sampler_offset::kLoopType);
  d.family.clear();
  for (size_t i = 0; i < kFamilyNameChars; ++i) {
    const uint8_t c = block.bytes[sampler_offset::kFamilyId + i];
    if (c == 0) break;
    d.family.push_back(static_cast<char>(c));
  }
  std::copy_n(block.bytes.begin() + sampler_offset::kPayload, kSynthesisPayloadBytes, d.payload.begin());
  d.scanLoopCount = ScanLoopCount(header, block, WaveFrames(header));
}

void ScaleToUnitPeak(std::span<float> left, std::span<float> right, uint64_t frames) {
  float peak = 0.0f;
  for (uint64_t i = 0; i < frames; ++i) peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
  if (peak <= 1.0f) return;
  const float gain = 1.0f / peak;
  for (uint64_t i = 0; i < frames; ++i) {
    left[i] *= gain;
    right[i] *= gain;
  }
}

// Opens an entry of a category folder, runs the stream loader and closes it.
template <typename Loader>
int LoadFromFolder(AppGlobals& app, const LibraryEntry& entry, Loader loader) {
  if (entry.name.empty()) return kMsgAccessDenied;
  const std::string path = CategoryFilePath(app, entry.category, entry.name);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return kMsgAccessDenied;
  const bool loaded = loader(file);
  std::fclose(file);
  return loaded ? kMsgDone : kMsgAccessDenied;
}

}  // namespace

bool LoadSampleStream(std::FILE* file, const std::string& fileName, int expectedCategory, std::span<float> left,
                      std::span<float> right, SampleDescriptor& descriptor, const ReadRules& rules) {
  descriptor = SampleDescriptor{};
  if (expectedCategory != kCategorySample && expectedCategory != kCategorySingleCycle) return false;
  WaveHeader header;
  SamplerBlock block;
  if (ReadSoundFile(file, fileName, nullptr, &header, &block, rules) != expectedCategory) return false;

  const uint64_t fileFrames = header.dataSize / FrameBytes(header);
  const uint64_t frames = std::min<uint64_t>({fileFrames, left.size(), right.size()});
  FillDescriptor(header, block, frames, descriptor);
  const uint32_t sampleBytes = header.bitsPerSample / 8;
  const bool stereo = header.channels == 2;
  ReadFrames(file, header, frames, [&](uint64_t i, const uint8_t* p) {
    left[i] = DecodeValue(header, p);
    right[i] = stereo ? DecodeValue(header, p + sampleBytes) : left[i];
  });
  if (header.formatTag == kFormatFloat && expectedCategory != kCategorySingleCycle) {
    ScaleToUnitPeak(left, right, frames);
  }
  return true;
}

int LoadSampleFile(AppGlobals& app, const LibraryEntry& entry, std::span<float> left, std::span<float> right,
                   SampleDescriptor& descriptor) {
  descriptor = SampleDescriptor{};
  const ReadRules rules = ReadRulesOf(app);
  return LoadFromFolder(app, entry, [&](std::FILE* file) {
    return LoadSampleStream(file, entry.name, entry.category, left, right, descriptor, rules);
  });
}

bool LoadXformStream(std::FILE* file, const std::string& fileName, XformFileData& table, SampleDescriptor& descriptor,
                     const ReadRules& rules) {
  descriptor = SampleDescriptor{};
  table.frames = 0;
  WaveHeader header;
  SamplerBlock block;
  if (ReadSoundFile(file, fileName, nullptr, &header, &block, rules) != kCategoryXformWav) return false;

  std::copy_n(block.bytes.begin() + sampler_offset::kPayload, kSynthesisPayloadBytes, table.bandProfile.begin());
  const int32_t speed = static_cast<int32_t>(SamplerU32(block, sampler_offset::kSpeed));
  table.speed = speed >= 1 && speed <= kMaxXformSpeed ? speed : kDefaultXformSpeed;
  table.unityNote = SamplerU32(block, sampler_offset::kUnityNote);
  table.pitchFraction = SamplerU32(block, sampler_offset::kPitchFraction);

  const uint64_t fileFrames = header.dataSize / FrameBytes(header);
  const uint64_t frames = std::min<uint64_t>(fileFrames, table.samples.size() / 2);
  FillDescriptor(header, block, frames, descriptor);
  const bool stereo = header.channels == 2;
  ReadFrames(file, header, frames, [&](uint64_t i, const uint8_t* p) {
    const float left = DecodeValue(header, p);
    table.samples[2 * i] = left;
    table.samples[2 * i + 1] = stereo ? DecodeValue(header, p + 4) : left;
  });
  table.frames = frames;
  return true;
}

int LoadXformFile(AppGlobals& app, const LibraryEntry& entry, XformFileData& table, SampleDescriptor& descriptor) {
  descriptor = SampleDescriptor{};
  const ReadRules rules = ReadRulesOf(app);
  return LoadFromFolder(app, entry, [&](std::FILE* file) {
    return LoadXformStream(file, entry.name, table, descriptor, rules);
  });
}

int LoadLibraryFile(AppGlobals& app, const LibraryEntry& entry, LoadTargets& targets) {
  SampleDescriptor scratch;
  SampleDescriptor& descriptor = targets.descriptor ? *targets.descriptor : scratch;
  switch (entry.category) {
    case kCategorySample:
      return LoadSampleFile(app, entry, targets.left, targets.right, descriptor);
    case kCategoryXformWav:
      if (!targets.xform) return kMsgAccessDenied;
      return LoadXformFile(app, entry, *targets.xform, descriptor);
    default:
      return kMsgNone;
  }
}
