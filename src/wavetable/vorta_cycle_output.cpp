#include "wavetable/vorta_cycle_output.h"

#include <bit>

#include "core/checked_alloc.h"
#include "core/program_state.h"
#include "files/wave_writer.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/vorta_synthesis.h"

bool IsReachableCycleSamples(int samples) {
  return samples >= kMinCycleSamples && samples <= kMaxCycleSamples &&
         std::has_single_bit(static_cast<unsigned>(samples));
}

bool PrepareVortaCycle(const PartialTable& table, const VortaCycleOptions& options, VortaWaveImage& image) {
  const int samples = options.samples;
  if (!IsReachableCycleSamples(samples) || options.slice < 0 || options.slice >= kSliceCount) return false;

  CheckedAlloc(image.samples, static_cast<size_t>(samples));
  const double pitchFactor = static_cast<double>(kUnitySliceLength) / samples;
  if (RenderSlice(table, options.slice, image.samples, pitchFactor) != samples) return false;
  if (options.inverted) {
    for (float& sample : image.samples) sample = -sample;
  }

  image.header = WaveHeader{};
  image.block = SamplerBlock{};
  image.header.channels = 1;
  SetSampleFormat(image.header, options.bitsMode);
  image.header.dataSize = static_cast<uint32_t>(samples) * (image.header.bitsPerSample / 8u);
  PrepareWaveHeader(image.header, image.block, nullptr, nullptr, STATE_VORTA);
  SetSamplerU32(image.block, sampler_offset::kSamplerDataSize, kPlainSamplerDataSize);
  SetSamplerU32(image.block, sampler_offset::kLoopEnd, static_cast<uint32_t>(samples - 1));
  SetSamplerU32(image.block, sampler_offset::kUnityNote, VortaUnityNote(static_cast<uint32_t>(samples)));
  PrepareWaveHeader(image.header, image.block, nullptr, nullptr, STATE_VORTA);
  return true;
}
