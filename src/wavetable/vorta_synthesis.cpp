#include "wavetable/vorta_synthesis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/mixed_radix_dft.h"
#include "wavetable/limit_peak.h"
#include "wavetable/line_smoothing.h"

namespace {

constexpr double kPartialScale = 1.0 / kFullScaleAmplitude;  // amplitude 4096 is a full-scale sine
constexpr double kHarmonicDamping = 0.01562;
constexpr double kPhaseStepPerPartial = 0.03125;             // pi / 32 per partial and unit of width

// Blends R - 1 waves after each of the first 32 slices, each from the two
// slices around it.
void BlendSlices(std::span<float> out, int length, int32_t stretch) {
  for (int s = 0; s < kLastSlice; ++s) {
    const float* from = out.data() + SliceStart(s, length, stretch);
    const float* to = out.data() + SliceStart(s + 1, length, stretch);
    for (int k = 1; k < stretch; ++k) {
      const float weight = static_cast<float>(k) / static_cast<float>(stretch);
      float* wave = out.data() + SliceStart(s, length, stretch) + static_cast<size_t>(k) * static_cast<size_t>(length);
      for (int j = 0; j < length; ++j) wave[j] = from[j] + (to[j] - from[j]) * weight;
    }
  }
}

size_t RenderSlices(const PartialTable& table, std::span<float> out, int length, int32_t stretch, bool limit) {
  const size_t total = RenderedLength(length, stretch);
  if (out.size() < total) return 0;
  for (int s = 0; s < kSliceCount; ++s) {
    const std::span<float> slice = out.subspan(SliceStart(s, length, stretch), static_cast<size_t>(length));
    SynthesizeSlice(table, s, length, slice);
    if (limit) LimitPeak(slice, 1.0, 1.0);
  }
  if (stretch >= 2) BlendSlices(out, length, stretch);
  return total;
}

std::array<double, kSliceCount> SlicePeaks(const PartialTable& table) {
  std::array<double, kSliceCount> peaks{};
  for (int s = 0; s < kSliceCount; ++s) peaks[static_cast<size_t>(s)] = SlicePeak(table, s);
  return peaks;
}

}  // namespace

int SliceLengthFor(double pitchFactor) {
  if (!(pitchFactor > 0.0)) return kMaxSliceLength;
  const double length = Nearest(kUnitySliceLength / pitchFactor);
  return static_cast<int>(std::clamp(length, 1.0, static_cast<double>(kMaxSliceLength)));
}

void SynthesizeSlice(const PartialTable& table, int slice, int length, std::span<float> out) {
  if (length < 1 || length > kMaxSliceLength || out.size() < static_cast<size_t>(length)) return;
  if (slice < 0 || slice > kLastSlice) {
    std::fill(out.begin(), out.begin() + length, 0.0f);
    return;
  }
  // Only the first N bins are used: clearing just those keeps short cycles cheap.
  std::array<float, kMaxSliceLength> re;
  std::array<float, kMaxSliceLength> im;
  std::fill_n(re.begin(), length, 0.0f);
  std::fill_n(im.begin(), length, 0.0f);
  const int highest = std::min(kPartialCount, length - 1);  // bins beyond the transform cannot be placed
  for (int p = 1; p <= highest; ++p)
    im[static_cast<size_t>(p)] = static_cast<float>(DecodeCode(table.at(p - 1, slice)) * kPartialScale);
  SpectrumToWave(length, re.data(), im.data(), out.data());
}

size_t RenderTable(const PartialTable& table, std::span<float> out, int32_t stretch, double pitchFactor) {
  return RenderSlices(table, out, SliceLengthFor(pitchFactor), ClampStretch(stretch), true);
}

size_t RenderRamWavetable(const PartialTable& table, RamWavetable& ram, int32_t stretch) {
  ram.length = RenderTable(table, ram.samples, stretch, 1.0);
  return ram.length;
}

int RenderSlice(const PartialTable& table, int slice, std::span<float> out, double pitchFactor) {
  const int length = SliceLengthFor(pitchFactor);
  if (out.size() < static_cast<size_t>(length)) return 0;
  const std::span<float> cycle = out.first(static_cast<size_t>(length));
  SynthesizeSlice(table, slice, length, cycle);
  LimitPeak(cycle, 1.0, 1.0);
  return length;
}

size_t RenderPartialRow(const PartialTable& table, int row, std::span<float> out, int32_t stretch) {
  PartialTable single;
  if (row >= 0 && row < kPartialCount) {
    const ConstCodeRow source = table.Row(row);
    std::copy(source.begin(), source.end(), single.Row(row).begin());
  }
  return RenderSlices(single, out, kUnitySliceLength, ClampStretch(stretch), false);
}

double SlicePeak(const PartialTable& table, int slice) {
  std::array<float, kPeakProbeLength> cycle{};
  SynthesizeSlice(table, slice, kPeakProbeLength, cycle);
  return PeakOf(std::span<const float>(cycle.data(), kPeakProbeLength / 2 + 1));
}

void NormalizeTable(PartialTable& table) {
  const auto peaks = SlicePeaks(table);
  const double largest = *std::max_element(peaks.begin(), peaks.end());
  if (!(largest > 0.0) || largest == 1.0) return;
  AmplitudeMatrix amplitudes = DecodeTable(table);
  for (float& value : amplitudes.values) value = static_cast<float>(value / largest);
  table = EncodeTable(amplitudes, kDefaultCeiling);
}

void OptimizeTable(PartialTable& table, int mode) {
  const auto peaks = SlicePeaks(table);
  const double largest = *std::max_element(peaks.begin(), peaks.end());
  if (!(largest > 0.0) || largest == 1.0) return;
  AmplitudeMatrix amplitudes = DecodeTable(table);
  if (mode == kOptimizeRaise && largest < 1.0) {
    for (float& value : amplitudes.values) value = static_cast<float>(value / largest);
  } else {
    for (int s = 0; s < kSliceCount; ++s) {
      const double peak = peaks[static_cast<size_t>(s)];
      if (peak <= 1.0) continue;
      for (int r = 0; r < kPartialCount; ++r) amplitudes.at(r, s) = static_cast<float>(amplitudes.at(r, s) / peak);
    }
  }
  table = EncodeTable(amplitudes, kDefaultCeiling);
}

void SmoothRows(PartialTable& table, int row, int passes) {
  const IndexRange rows = SelectedRows(row);
  if (passes < 1 || rows.first == rows.end) return;
  AmplitudeMatrix amplitudes = DecodeTable(table);
  std::array<double, kSliceCount> line{};
  for (int r = rows.first; r < rows.end; ++r) {
    for (int s = 0; s < kSliceCount; ++s) line[static_cast<size_t>(s)] = amplitudes.at(r, s);
    SmoothLine(line, passes);
    for (int s = 0; s < kSliceCount; ++s) amplitudes.at(r, s) = static_cast<float>(line[static_cast<size_t>(s)]);
  }
  table = EncodeTable(amplitudes, kDefaultCeiling);
}

PartialTable GenerateHarmonics(double exponent, double modulation, int shift, int spacing) {
  const int step = std::max(spacing, 1);
  AmplitudeMatrix amplitudes;
  for (int i = 0; i < kPartialCount; ++i) {
    const int row = step * i;
    if (row >= kPartialCount) break;
    const int n = i + 1;
    const double amplitude = kFullScaleAmplitude / std::pow(n, exponent) / (1.0 + kHarmonicDamping * i);
    const double phaseStep = (i + shift) * modulation * std::numbers::pi * kPhaseStepPerPartial;
    for (int c = 0; c < kSliceCount; ++c) amplitudes.at(row, c) = static_cast<float>(amplitude * std::cos(c * phaseStep));
  }
  PartialTable table = EncodeTable(amplitudes, kDefaultCeiling);
  OptimizeTable(table, kOptimizeRaise);
  return table;
}

PartialTable AnalyzeCycles(std::span<const float> waves) {
  constexpr size_t kWaveCount = kSliceCount;
  std::vector<float> cycles(kWaveCount * kAnalysisCycleLength, 0.0f);
  std::copy_n(waves.begin(), std::min(waves.size(), cycles.size()), cycles.begin());
  std::array<float, kAnalysisCycleLength> re{};
  std::array<float, kAnalysisCycleLength> im{};
  AmplitudeMatrix amplitudes;
  for (int s = 0; s < kSliceCount; ++s) {
    RealSpectrum(kAnalysisCycleLength, cycles.data() + static_cast<size_t>(s) * kAnalysisCycleLength, re.data(), im.data());
    for (int p = 1; p < kAnalysisCycleLength / 2; ++p) {
      const double magnitude = std::hypot(static_cast<double>(re[static_cast<size_t>(p)]), static_cast<double>(im[static_cast<size_t>(p)]));
      amplitudes.at(p - 1, s) = static_cast<float>(im[static_cast<size_t>(p)] < 0.0f ? -magnitude : magnitude);
    }
  }
  return EncodeTable(amplitudes, 0.0);
}
