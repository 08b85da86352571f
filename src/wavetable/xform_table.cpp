#include "wavetable/xform_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>

#include "core/checked_alloc.h"

namespace {

size_t SliceIndex(int slice) { return static_cast<size_t>(std::clamp(slice, 0, kLastSlice)); }

int WrapSlice(int slice) { return ((slice % kSliceCount) + kSliceCount) % kSliceCount; }

void ScaleFloats(std::span<float> values, float gain) {
  for (float& v : values) v *= gain;
}

}  // namespace

std::span<float> SpectrumSlice(XformTable& table, int slice) {
  return std::span<float>(table.spectrum).subspan(SliceIndex(slice) * kXformSliceSpectrumFloats,
                                                  kXformSliceSpectrumFloats);
}

std::span<const float> SpectrumSlice(const XformTable& table, int slice) {
  return std::span<const float>(table.spectrum)
      .subspan(SliceIndex(slice) * kXformSliceSpectrumFloats, kXformSliceSpectrumFloats);
}

std::span<float> NoiseSlice(XformTable& table, int slice) {
  return std::span<float>(table.noise).subspan(SliceIndex(slice) * kXformSliceNoiseFloats, kXformSliceNoiseFloats);
}

std::span<const float> NoiseSlice(const XformTable& table, int slice) {
  return std::span<const float>(table.noise)
      .subspan(SliceIndex(slice) * kXformSliceNoiseFloats, kXformSliceNoiseFloats);
}

bool XformTableAllocated(const XformTable& table) {
  return table.spectrum.size() == kXformSpectrumFloats && table.noise.size() == kXformNoiseFloats;
}

void AllocateXformTable(XformTable& table) {
  if (XformTableAllocated(table)) {
    ClearXformTable(table);
  } else {
    CheckedAlloc(table.spectrum, kXformSpectrumFloats);
    CheckedAlloc(table.noise, kXformNoiseFloats);
    table.slicePeaks.fill(0.0f);
    table.bandProfile.fill(0);
    table.ramName.clear();
  }
  table.speed = kXformStartSpeed;
  table.reservedA = 0;
  table.reservedB = 0;
}

void ClearXformTable(XformTable& table) {
  std::fill(table.spectrum.begin(), table.spectrum.end(), 0.0f);
  std::fill(table.noise.begin(), table.noise.end(), 0.0f);
  table.slicePeaks.fill(0.0f);
  table.bandProfile.fill(0);
  table.ramName.clear();
}

void ReleaseXformTable(XformTable& table) {
  std::vector<float>().swap(table.spectrum);
  std::vector<float>().swap(table.noise);
  table.slicePeaks.fill(0.0f);
  table.bandProfile.fill(0);
  table.ramName.clear();
  table.speed = kXformStartSpeed;
}

void ClearXformSlice(XformTable& table, int slice) {
  if (!XformTableAllocated(table) || slice < 0 || slice > kLastSlice) return;
  auto spectrum = SpectrumSlice(table, slice);
  auto noise = NoiseSlice(table, slice);
  std::fill(spectrum.begin(), spectrum.end(), 0.0f);
  std::fill(noise.begin(), noise.end(), 0.0f);
  table.slicePeaks[static_cast<size_t>(slice)] = 0.0f;
}

int XformUsedSlices(const XformTable& table) {
  for (int s = kLastSlice; s >= 0; --s)
    if (table.slicePeaks[static_cast<size_t>(s)] > 0.0f) return s + 1;
  return 0;
}

namespace {

// Every band is summed first bin to last, as the profile always was; eight
// bands run side by side so that one band's additions need not wait for
// each other. A spectrum that may be written is first scaled by `gain`
// value by value, so that normalising scales and sums a slice in one pass.
template <class Value>
void SumBandsOf(Value* spectrum, std::span<double> sums, float gain) {
  constexpr int kSideBySide = 8;
  static_assert(kXformBandCount % kSideBySide == 0);
  constexpr size_t kBandFloats = 2 * static_cast<size_t>(kXformBandBins);
  for (int band = 0; band < kXformBandCount; band += kSideBySide) {
    std::array<double, kSideBySide> running{};
    Value* first = spectrum + static_cast<size_t>(band) * kBandFloats;
    for (size_t i = 0; i < kBandFloats; ++i)
      for (size_t b = 0; b < kSideBySide; ++b) {
        if constexpr (std::is_const_v<Value>) {
          running[b] += first[b * kBandFloats + i];
        } else {
          const float v = first[b * kBandFloats + i] * gain;
          first[b * kBandFloats + i] = v;
          running[b] += v;
        }
      }
    std::copy(running.begin(), running.end(), sums.begin() + band);
  }
}

// ScaleXformSlice up to the spectrum: false when the slice was cleared
// instead, and its spectrum is not to be scaled.
bool ScaleNoiseAndPeak(XformTable& table, int slice, double gain) {
  float& peak = table.slicePeaks[static_cast<size_t>(slice)];
  const double scaled = gain * peak;
  if (!(scaled > kXformSilentPeak)) {
    ClearXformSlice(table, slice);
    return false;
  }
  ScaleFloats(NoiseSlice(table, slice), static_cast<float>(gain));
  peak = static_cast<float>(scaled);
  return true;
}

}  // namespace

void SumXformBands(const XformTable& table, int slice, std::span<double> sums) {
  if (sums.size() < static_cast<size_t>(kXformBandCount)) return;
  SumBandsOf(SpectrumSlice(table, slice).data(), sums, 1.0f);
}

XformBandProfile BandProfileFromSums(std::span<const double> sums) {
  XformBandProfile profile{};
  double largest = 0.0;
  for (double sum : sums) largest = std::max(largest, sum);
  // Only finite, positive sums can be scaled; anything else leaves all codes 0.
  if (!(largest > 0.0) || !std::isfinite(largest)) return profile;
  const double scale = kXformBandFullScale / largest;
  for (size_t i = 0; i < sums.size() && i < profile.size(); ++i) {
    const int16_t code = EncodeAmplitude(sums[i] * scale);
    profile[i] = static_cast<uint8_t>(std::clamp<int>(code, 0, kMaxCode));
  }
  return profile;
}

XformBandProfile BuildBandProfile(const XformTable& table) {
  if (!XformTableAllocated(table)) return {};
  std::array<double, kXformBandProfileBytes> sums{};
  for (int s = 0; s < kSliceCount; ++s) {
    SumXformBands(table, s, std::span<double>(sums).subspan(static_cast<size_t>(s) * kXformBandCount, kXformBandCount));
  }
  return BandProfileFromSums(sums);
}

void RebuildBandProfile(XformTable& table) { table.bandProfile = BuildBandProfile(table); }

void ScaleXformSlice(XformTable& table, int slice, double gain) {
  if (!XformTableAllocated(table) || slice < 0 || slice > kLastSlice) return;
  if (!std::isfinite(gain)) return;
  if (ScaleNoiseAndPeak(table, slice, gain)) ScaleFloats(SpectrumSlice(table, slice), static_cast<float>(gain));
}

void ScaleXformSliceAndSumBands(XformTable& table, int slice, double gain, std::span<double> sums) {
  if (!XformTableAllocated(table) || slice < 0 || slice > kLastSlice) return;
  if (sums.size() < static_cast<size_t>(kXformBandCount)) return;
  if (std::isfinite(gain) && ScaleNoiseAndPeak(table, slice, gain))
    SumBandsOf(SpectrumSlice(table, slice).data(), sums, static_cast<float>(gain));
  else
    SumXformBands(table, slice, sums);
}

double NormalizingGain(const XformTable& table) { return NormalizingGainOf(table.slicePeaks); }

double NormalizingGainOf(std::span<const float> peaks) {
  if (peaks.empty()) return 0.0;
  const float largest = *std::max_element(peaks.begin(), peaks.end());
  if (largest > kXformSilentPeak && std::isfinite(largest) && largest != 1.0f) return 1.0 / largest;
  return 0.0;
}

void NormalizeXform(XformTable& table) {
  if (!XformTableAllocated(table)) return;
  const double gain = NormalizingGain(table);
  if (gain > 0.0) {
    for (int s = 0; s < kSliceCount; ++s)
      if (table.slicePeaks[static_cast<size_t>(s)] > 0.0f) ScaleXformSlice(table, s, gain);
  }
  RebuildBandProfile(table);
}

void ReorderXform(const XformTable& input, const SliceOrder& order, XformTable& output) {
  if (!XformTableAllocated(input) || &input == &output) return;
  if (!XformTableAllocated(output)) {
    CheckedAlloc(output.spectrum, kXformSpectrumFloats);
    CheckedAlloc(output.noise, kXformNoiseFloats);
  }
  for (int c = 0; c < kSliceCount; ++c) {
    const int source = WrapSlice(order[static_cast<size_t>(c)]);
    const auto spectrum = SpectrumSlice(input, source);
    const auto noise = NoiseSlice(input, source);
    std::copy(spectrum.begin(), spectrum.end(), SpectrumSlice(output, c).begin());
    std::copy(noise.begin(), noise.end(), NoiseSlice(output, c).begin());
    output.slicePeaks[static_cast<size_t>(c)] = input.slicePeaks[static_cast<size_t>(source)];
  }
  output.speed = input.speed;
  output.reservedA = input.reservedA;
  output.reservedB = input.reservedB;
  output.ramName = input.ramName;
  RebuildBandProfile(output);
}

MessageCode SlowerXformSpeed(int32_t& speed) {
  if (speed <= kXformMinSpeed) return kMsgMinValue;
  speed = ValidXformSpeed(speed / 2);
  return kMsgNone;
}

MessageCode FasterXformSpeed(int32_t& speed) {
  // The speed range ends at 1,024: 512 still doubles, 1,024 refuses.
  if (speed >= kXformMaxSpeed) return kMsgMaxValue;
  speed = ValidXformSpeed(speed * 2);
  return kMsgNone;
}

int32_t ValidXformSpeed(int32_t speed) {
  if (speed < kXformMinSpeed) return kXformStartSpeed;
  int32_t power = kXformMinSpeed;
  while (power * 2 <= std::min(speed, kXformMaxSpeed)) power *= 2;
  return power;
}

size_t XformTableBytes(const XformTable& table) {
  return (table.spectrum.capacity() + table.noise.capacity()) * sizeof(float);
}
