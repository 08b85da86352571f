#include "files/file_classification.h"

#include <cstdio>
#include <string>

#include "files/folder_table.h"

namespace {

constexpr uint32_t kMaxSampleSamplerData = 8;  // below 9: sampler data of a plain sample
constexpr uint64_t kMinScanCycleFrames = 128;
constexpr uint64_t kMaxScanCycleFrames = 4096;
constexpr uint64_t kSerumExtraChunkBytes = 120;  // the 28 of the plain layout, "JUNK" and "clm "
constexpr uint32_t kLoopForward = 0;
constexpr uint32_t kLoopAlternate = 1;
constexpr uint32_t kLoopReverse = 2;

std::string Number(uint64_t value) { return std::to_string(value); }

void SetFormat(const WaveHeader& header, FileInfo& info) {
  const char* kind = header.formatTag == kFormatFloat ? "FLOAT" : "PCM";
  SetInfoText(info.format, std::to_string(header.bitsPerSample) + " " + kind, kFormatCapacity);
}

void SetChannels(const WaveHeader& header, FileInfo& info) {
  SetInfoText(info.channels, header.channels == 1 ? "MONO" : "STEREO", kChannelsCapacity);
}

// Wave count and wave length of a table; a table whose loop was cleared has
// no wave length, and its count stays empty rather than divided by zero.
void SetTableShape(const WaveFacts& facts, FileInfo& info) {
  if (facts.loopLength == 0) return;
  SetInfoText(info.count, Number(facts.frames / facts.loopLength), kCountCapacity);
  SetInfoText(info.length, Number(facts.loopLength), kLengthCapacity);
}

const char* SampleLoopKind(const WaveFacts& facts) {
  switch (SamplerU32(facts.block, sampler_offset::kLoopType)) {
    case kLoopAlternate: return "<ALTERNATE>";
    case kLoopReverse: return "<REVERSE>";
    default:
      return ScanLoopCount(facts.header, facts.block, facts.frames) >= 2 ? "<SCANLOOP>" : "<NORMAL>";
  }
}

int16_t ClassifySample(const WaveFacts& facts, FileInfo* info) {
  if (facts.frames > kMaxSampleFrames) return RejectFile(info, "FILE IS TOO LARGE");
  if (info) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f SEC",
                  static_cast<double>(facts.frames) / static_cast<double>(kProgramSampleRate));
    SetInfoText(info->length, seconds, kLengthCapacity);
    SetChannels(facts.header, *info);
    SetFormat(facts.header, *info);
    if (facts.loopLength > 0) SetInfoText(info->loop, std::string("YES ") + SampleLoopKind(facts), kLoopCapacity);
  }
  return kCategorySample;
}

int16_t ClassifySingleCycle(const WaveFacts& facts, const ReadRules& rules, FileInfo* info) {
  if (facts.header.channels != 1) return RejectFile(info, "ONLY MONO FILES CAN BE CLASSIFIED AS SINGLE CYCLE");
  if (rules.forceLoopForSingleCycle) {
    if (facts.loopLength == 0) return RejectFile(info, "LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION");
    if (facts.loopLength != facts.frames) {
      return RejectFile(info, "LOOP SIZE MUST BE EQUAL TO FILE SIZE FOR SINGLE CYCLE CLASSIFICATION");
    }
  }
  if (info) {
    SetInfoText(info->length, Number(facts.frames), kLengthCapacity);
    SetFormat(facts.header, *info);
    if (facts.loopLength == facts.frames) SetInfoText(info->loop, "YES", kLoopCapacity);
  }
  return kCategorySingleCycle;
}

bool IsXformTable(const WaveFacts& facts) {
  return facts.loopLength == kXformSliceFrames && facts.frames >= kXformSliceFrames &&
         facts.frames % kXformSliceFrames == 0;
}

// The Serum layout carries "JUNK" and "clm " besides the chunks of a plain
// table; its RIFF size tells it apart.
bool HasSerumLayout(const WaveFacts& facts) {
  const uint64_t expected = static_cast<uint64_t>(facts.header.fmtSize) + facts.header.dataSize +
                            kSerumExtraChunkBytes + SamplerChunkSize(facts.block);
  return facts.header.riffSize == expected;
}

}  // namespace

ReadRules ReadRulesOf(const AppGlobals& app) {
  ReadRules rules;
  rules.forceLoopForSingleCycle = app.settings.noForceLoop == 0;
  return rules;
}

int16_t RejectFile(FileInfo* info, const char* message) {
  if (info) SetInfoText(info->remark, message, kRemarkCapacity);
  return kCategoryUnrecognized;
}

uint64_t ScanLoopCount(const WaveHeader& header, const SamplerBlock& block, uint64_t frames) {
  if (header.channels != 1) return 0;
  if (SamplerU32(block, sampler_offset::kLoopCount) != 1) return 0;
  if (SamplerU32(block, sampler_offset::kLoopType) != kLoopForward) return 0;
  if (SamplerU32(block, sampler_offset::kLoopStart) != 0) return 0;
  const uint64_t length = static_cast<uint64_t>(SamplerU32(block, sampler_offset::kLoopEnd)) + 1;
  if (length < kMinScanCycleFrames || length > kMaxScanCycleFrames) return 0;
  return frames / length;
}

int16_t ClassifyWave(const WaveFacts& facts, const ReadRules& rules, FileInfo* info) {
  const uint32_t samplerData = facts.samplerDataSize;
  const bool vorta = HasFamilyId(facts.block, kVortaFamilyId);

  if (facts.frames <= kMaxSingleCycleFrames && (samplerData <= kMaxPlainSamplerData || !vorta)) {
    return ClassifySingleCycle(facts, rules, info);
  }
  if (facts.frames > kMaxSingleCycleFrames && samplerData <= kMaxSampleSamplerData) {
    return ClassifySample(facts, info);
  }
  if (facts.header.formatTag == kFormatFloat && samplerData == kSynthesisSamplerDataSize) {
    if (HasFamilyId(facts.block, kXformFamilyId)) {
      if (!IsXformTable(facts)) return RejectFile(info, "DAMAGED XFORM WAVETABLE PARAMETER");
      if (info) {
        SetInfoText(info->count, Number(facts.frames / kXformSliceFrames), kCountCapacity);
        SetInfoText(info->length, Number(kXformSliceFrames), kLengthCapacity);
        SetChannels(facts.header, *info);
      }
      return kCategoryXformWav;
    }
    if (vorta && facts.header.channels == 1 && HasSerumLayout(facts)) {
      if (info) SetTableShape(facts, *info);
      return kCategorySerum;
    }
  }
  if (samplerData > kSynthesisSamplerDataSize || samplerData < kMinSynthesisSamplerData) {
    return ClassifySample(facts, info);
  }
  if (vorta) {
    if (samplerData != kSynthesisSamplerDataSize) return RejectFile(info, "OUTDATED WAVETABLE FORMAT");
    if (info) {
      SetTableShape(facts, *info);
      SetFormat(facts.header, *info);
    }
    return kCategoryVortaWav;
  }
  return ClassifySample(facts, info);
}
