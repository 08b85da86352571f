#include "modules/cross_rendering.h"

#include "files/wave_writer.h"
#include "modules/stereo_pair.h"
#include "wavetable/vorta_wave_output.h"

void RenderCrossPreview(const CrossSynthesis& cross, CrossLevelMode level, std::vector<float>& left,
                        std::vector<float>& right) {
  left.clear();
  right.clear();
  if (!cross.HasOutput()) return;
  const auto length = static_cast<size_t>(cross.length);
  left.assign(cross.outLeft.begin(), cross.outLeft.begin() + static_cast<std::ptrdiff_t>(length));
  right = cross.outRight.size() >= length
              ? std::vector<float>(cross.outRight.begin(), cross.outRight.begin() + static_cast<std::ptrdiff_t>(length))
              : left;
  if (level == CrossLevelMode::FullRange) ScalePairToPeak(left, right, 1.0);
}

std::vector<uint8_t> BuildCrossWaveFile(const CrossSynthesis& cross, const CrossRenderOptions& options) {
  std::vector<float> left, right;
  RenderCrossPreview(cross, options.level, left, right);
  if (left.empty()) return {};
  WaveHeader header;
  SamplerBlock block;
  header.channels = static_cast<uint16_t>(options.channels >= 2 ? 2 : 1);
  SetSampleFormat(header, options.bitsMode);
  header.dataSize = static_cast<uint32_t>(left.size() * header.channels * (header.bitsPerSample / 8u));
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_XMRPH);
  return EncodeWaveFile(header, block, left, right);
}
