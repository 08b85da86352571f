#include "wavetable/vorta_wave_output.h"

#include <bit>

#include "core/checked_alloc.h"
#include "core/program_state.h"
#include "files/wave_writer.h"
#include "wavetable/payload.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/vorta_synthesis.h"

bool IsReachableSamplesPerSlice(int samples) {
  return samples >= kMinWaveSamples && samples <= kMaxWaveSamples && std::has_single_bit(static_cast<unsigned>(samples));
}

bool IsReachableWavesPerStep(int waves, WaveBase base) {
  const int lowest = base == WaveBase::kNormal ? 1 : 2;
  return waves >= lowest && waves <= kMaxWavesPerStep && std::has_single_bit(static_cast<unsigned>(waves));
}

void SetSampleFormat(WaveHeader& header, int bitsMode) {
  switch (bitsMode) {
    case kBitsMode8:
      header.formatTag = kFormatPcm;
      header.bitsPerSample = 8;
      break;
    case kBitsMode32:
      header.formatTag = kFormatPcm;
      header.bitsPerSample = 32;
      break;
    case kBitsModeFloat:
      header.formatTag = kFormatFloat;
      header.bitsPerSample = 32;
      break;
    default:
      header.formatTag = kFormatPcm;
      header.bitsPerSample = 16;
      break;
  }
}

bool PrepareVortaWave(const PartialTable& table, int32_t stretch, const VortaWaveOptions& options,
                      VortaWaveImage& image) {
  const int samples = options.samplesPerSlice;
  const int waves = options.wavesPerStep;
  if (!IsReachableSamplesPerSlice(samples) || !IsReachableWavesPerStep(waves, options.base)) return false;

  CheckedAlloc(image.samples, RenderedLength(samples, waves));
  const double pitchFactor = static_cast<double>(kUnitySliceLength) / samples;
  if (RenderTable(table, image.samples, waves, pitchFactor) == 0) return false;
  const int baseSlice = options.base == WaveBase::kNormal ? 1 : 0;
  const auto frames = static_cast<uint32_t>((kStepsPerTable * waves + baseSlice) * samples);
  image.samples.resize(frames);

  image.header = WaveHeader{};
  image.block = SamplerBlock{};
  image.header.channels = 1;
  SetSampleFormat(image.header, options.bitsMode);
  image.header.dataSize = frames * (image.header.bitsPerSample / 8u);
  PrepareWaveHeader(image.header, image.block, nullptr, nullptr, STATE_VORTA);
  SetSamplerU32(image.block, sampler_offset::kSamplerDataSize, kSynthesisSamplerDataSize);
  SetSamplerU32(image.block, sampler_offset::kLoopEnd, static_cast<uint32_t>(samples - 1));
  SetSamplerU32(image.block, sampler_offset::kUnityNote, VortaUnityNote(static_cast<uint32_t>(samples)));
  WriteVortaPayload(image.block.bytes, table, ClampStretch(stretch));
  PrepareWaveHeader(image.header, image.block, nullptr, nullptr, STATE_VORTA);
  return true;
}
