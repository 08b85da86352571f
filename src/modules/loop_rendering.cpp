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
  const std::vector<float>& rightSource = loop.outputRight.size() >= length ? loop.outputRight : loop.outputLeft;
  // Turning the loop does not change its peak, so "TO SOURCE" measures the
  // gain on the output as it is and applies it while copying: dragging the
  // loop start reads the loop twice instead of four times.
  double gain = 1.0;
  if (options.level == LoopLevelMode::ToSource) {
    const double peak = PairPeak(loop.outputLeft, rightSource);
    if (peak > 0.0 && std::isfinite(peak)) gain = loop.inputPeak / peak;
  }
  const auto start = static_cast<std::ptrdiff_t>(shift);
  const auto end = static_cast<std::ptrdiff_t>(length);
  auto rotate = [&](const std::vector<float>& from, std::vector<float>& to) {
    to.resize(length);
    if (gain == 1.0) {
      std::copy(from.begin() + start, from.begin() + end, to.begin());
      std::copy(from.begin(), from.begin() + start, to.begin() + (end - start));
      return;
    }
    const auto scaled = [gain](float sample) { return static_cast<float>(sample * gain); };
    std::transform(from.begin() + start, from.begin() + end, to.begin(), scaled);
    std::transform(from.begin(), from.begin() + start, to.begin() + (end - start), scaled);
  };
  rotate(loop.outputLeft, left);
  rotate(rightSource, right);
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
