#include "modules/loop_rendering.h"

#include <algorithm>
#include <cmath>

#include "files/wave_writer.h"
#include "modules/stereo_pair.h"
#include "wavetable/vorta_wave_output.h"

void RenderLoopPreview(const LoopSynthesis& loop, const LoopRenderOptions& options, std::vector<float>& left,
                       std::vector<float>& right) {
  left.clear();
  right.clear();
  if (!loop.HasOutput()) return;
  const size_t length = loop.outputLeft.size();
  const int32_t offset = std::clamp<int32_t>(options.startOffset, 0, kLoopStartOffsetMax);
  const auto shift = static_cast<size_t>(
      std::llround(static_cast<double>(offset) * static_cast<double>(length) / kLoopStartOffsetMax)) % length;
  // Two block copies per channel (the buffers keep their capacity), so that
  // dragging the loop start stays within a frame on long loops.
  auto rotate = [&](const std::vector<float>& from, std::vector<float>& to) {
    to.assign(from.begin() + static_cast<std::ptrdiff_t>(shift), from.begin() + static_cast<std::ptrdiff_t>(length));
    to.insert(to.end(), from.begin(), from.begin() + static_cast<std::ptrdiff_t>(shift));
  };
  rotate(loop.outputLeft, left);
  rotate(loop.outputRight.size() >= length ? loop.outputRight : loop.outputLeft, right);
  if (options.level == LoopLevelMode::ToSource) ScalePairToPeak(left, right, loop.inputPeak);
}

std::vector<uint8_t> BuildLoopWaveFile(const LoopSynthesis& loop, const LoopRenderOptions& options,
                                       uint32_t unityNote, uint32_t pitchFraction) {
  std::vector<float> left, right;
  RenderLoopPreview(loop, options, left, right);
  if (left.empty()) return {};
  WaveHeader header;
  SamplerBlock block;
  header.channels = loop.channels >= 2 || loop.widened ? 2 : 1;
  SetSampleFormat(header, options.bitsMode);
  header.dataSize = static_cast<uint32_t>(left.size() * header.channels * (header.bitsPerSample / 8u));
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_SLOOP);
  SetSamplerU32(block, sampler_offset::kUnityNote, unityNote == 0 ? kDefaultUnityNote : unityNote);
  SetSamplerU32(block, sampler_offset::kPitchFraction, pitchFraction);
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_SLOOP);
  return EncodeWaveFile(header, block, left, right);
}
