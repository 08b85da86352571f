#include "modules/import_resampler.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t kMinOutFrames = 4096;

}  // namespace

bool StartResampler(ImportResampler& resampler, uint32_t inputRate, uint32_t outputRate, int channels) {
  soxr_error_t error = nullptr;
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
  soxr_t handle = soxr_create(inputRate, outputRate, static_cast<unsigned>(channels), &error, &io, &quality, nullptr);
  if (error || !handle) return false;
  resampler.handle = handle;
  resampler.channels = channels;
  resampler.ratio = static_cast<double>(outputRate) / inputRate;
  return true;
}

void StopResampler(ImportResampler& resampler) {
  if (resampler.handle) soxr_delete(static_cast<soxr_t>(resampler.handle));
  resampler.handle = nullptr;
}

std::span<const float> Resample(ImportResampler& resampler, std::span<const float> in) {
  auto handle = static_cast<soxr_t>(resampler.handle);
  const auto channels = static_cast<size_t>(resampler.channels);
  const size_t inFrames = in.size() / channels;
  // Room for everything this block can give, and for the filter's tail
  // when draining.
  const size_t room = static_cast<size_t>(std::ceil(static_cast<double>(inFrames) * resampler.ratio)) + kMinOutFrames;
  resampler.out.resize(room * channels);
  size_t produced = 0;
  if (inFrames > 0) {
    size_t fed = 0;
    while (fed < inFrames) {
      if (resampler.out.size() < (produced + kMinOutFrames) * channels) {
        resampler.out.resize((produced + kMinOutFrames) * channels);
      }
      size_t used = 0;
      size_t got = 0;
      soxr_process(handle, in.data() + fed * channels, inFrames - fed, &used, resampler.out.data() + produced * channels,
                   resampler.out.size() / channels - produced, &got);
      fed += used;
      produced += got;
      if (used == 0 && got == 0) break;
    }
  } else {
    // Drain: soxr hands out the held frames over as many calls as it needs.
    size_t got = 0;
    do {
      if (resampler.out.size() < (produced + kMinOutFrames) * channels) {
        resampler.out.resize((produced + kMinOutFrames) * channels);
      }
      soxr_process(handle, nullptr, 0, nullptr, resampler.out.data() + produced * channels, kMinOutFrames, &got);
      produced += got;
    } while (got > 0);
  }
  return std::span<const float>(resampler.out).first(produced * channels);
}

std::vector<float> ResampleCycle(std::span<const float> in, int channels, size_t outFrames) {
  const auto stride = static_cast<size_t>(channels);
  const size_t inFrames = in.size() / stride;
  std::vector<float> out(outFrames * stride, 0.0f);
  if (inFrames == 0 || outFrames == 0) return out;
  // Harmonics below both Nyquist limits; the one at Nyquist itself has no
  // phase of its own and is left out.
  const size_t harmonics = (std::min(inFrames, outFrames) - 1) / 2;
  std::vector<double> inCos(inFrames), inSin(inFrames), outCos(outFrames), outSin(outFrames);
  for (size_t i = 0; i < inFrames; ++i) {
    inCos[i] = std::cos(2.0 * M_PI * static_cast<double>(i) / static_cast<double>(inFrames));
    inSin[i] = std::sin(2.0 * M_PI * static_cast<double>(i) / static_cast<double>(inFrames));
  }
  for (size_t i = 0; i < outFrames; ++i) {
    outCos[i] = std::cos(2.0 * M_PI * static_cast<double>(i) / static_cast<double>(outFrames));
    outSin[i] = std::sin(2.0 * M_PI * static_cast<double>(i) / static_cast<double>(outFrames));
  }
  for (size_t c = 0; c < stride; ++c) {
    std::vector<double> sum(outFrames, 0.0);
    double mean = 0.0;
    for (size_t i = 0; i < inFrames; ++i) mean += in[i * stride + c];
    for (size_t k = 1; k <= harmonics; ++k) {
      double re = 0.0;
      double im = 0.0;
      for (size_t i = 0; i < inFrames; ++i) {
        const size_t turn = (k * i) % inFrames;
        re += in[i * stride + c] * inCos[turn];
        im -= in[i * stride + c] * inSin[turn];
      }
      for (size_t m = 0; m < outFrames; ++m) {
        const size_t turn = (k * m) % outFrames;
        sum[m] += 2.0 * (re * outCos[turn] - im * outSin[turn]);
      }
    }
    for (size_t m = 0; m < outFrames; ++m) {
      out[m * stride + c] = static_cast<float>((mean + sum[m]) / static_cast<double>(inFrames));
    }
  }
  return out;
}
