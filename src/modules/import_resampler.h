#pragma once
#include <cstdint>
#include <span>
#include <vector>

// Rate conversion to the library's 44,100 Hz with libsoxr at its very high
// quality, fed and drained block by block so that memory stays that of one
// block whatever the length of the file.

struct ImportResampler {
  void* handle = nullptr;  // soxr_t
  int channels = 0;
  double ratio = 1.0;      // output rate / input rate
  std::vector<float> out;  // the frames of the last call, interleaved
};

// False when libsoxr refuses the rates.
bool StartResampler(ImportResampler& resampler, uint32_t inputRate, uint32_t outputRate, int channels);
void StopResampler(ImportResampler& resampler);

// Feeds interleaved frames (an empty span drains what is still held) and
// returns the frames that came out, interleaved; valid until the next call.
std::span<const float> Resample(ImportResampler& resampler, std::span<const float> in);

// A single cycle (the whole input is one period, looped) resampled as a
// period: its harmonics, as many as both lengths carry, laid out again over
// outFrames, so that the result loops without a seam. Interleaved frames.
std::vector<float> ResampleCycle(std::span<const float> in, int channels, size_t outFrames);
