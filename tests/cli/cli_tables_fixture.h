#pragma once
// Tables written by the engine's own writers for the command-line tests.
#include <string>
#include <vector>

#include "files/sound_file_records.h"
#include "files/wave_writer.h"
#include "support/temp_folder.h"
#include "wavetable/partial_table.h"
#include "wavetable/payload.h"
#include "wavetable/vorta_wave_output.h"
#include "wavetable/vorta_workspace.h"

namespace cli_fixture {

// A table with a few partials that move across the slices.
inline PartialTable SweepTable() {
  PartialTable table;
  for (int slice = 0; slice < kSliceCount; ++slice) {
    table.at(0, slice) = 127;
    table.at(2, slice) = static_cast<int16_t>(slice * 3);
    table.at(6, slice) = static_cast<int16_t>(-100 + slice);
    table.at(40, slice) = static_cast<int16_t>(slice % 5 == 0 ? 90 : 0);
  }
  return table;
}

inline std::vector<uint8_t> VortaWaveBytes(const PartialTable& table, int32_t stretch,
                                           const VortaWaveOptions& options = {}) {
  VortaWaveImage image;
  if (!PrepareVortaWave(TableForOutput(table), stretch, options, image)) return {};
  return EncodeWaveFile(image.header, image.block, image.samples, image.samples);
}

// An XFORM table: 33 slices of 131,072 stereo float frames of quiet noise
// and the band profile.
inline std::vector<uint8_t> XformWaveBytes(uint32_t slices) {
  WaveHeader header;
  SamplerBlock block;
  header.channels = 2;
  header.formatTag = kFormatFloat;
  header.bitsPerSample = 32;
  const size_t frames = static_cast<size_t>(slices) * 131072;
  header.dataSize = static_cast<uint32_t>(frames * 8);
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_XFORM);
  XformBandProfile profile{};
  for (size_t i = 0; i < profile.size(); ++i) profile[i] = static_cast<uint8_t>(i % 128);
  WriteXformPayload(block.bytes, profile);
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_XFORM);
  std::vector<float> left(frames), right(frames);
  for (size_t i = 0; i < frames; ++i) {
    left[i] = static_cast<float>((i * 7919 % 2001) / 1000.0 - 1.0) * 0.25f;
    right[i] = -left[i];
  }
  return EncodeWaveFile(header, block, left, right);
}

}  // namespace cli_fixture
