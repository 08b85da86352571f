#include "modules/analysis_table.h"

#include <algorithm>
#include <cmath>

#include "core/checked_alloc.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/table_editing.h"
#include "wavetable/table_interpolation.h"
#include "wavetable/vorta_synthesis.h"

const char* SliceFillText(SliceFill fill) { return fill == SliceFill::Excerpts ? "EXCERPTS" : "FULL SIGNAL"; }

MessageCode LowerContrast(AnalysisSettings& settings) {
  if (!(settings.contrast > kContrastLowerLimit)) return kMsgMinValue;
  settings.contrast -= kContrastStep;
  return kMsgNone;
}

MessageCode RaiseContrast(AnalysisSettings& settings) {
  if (!(settings.contrast < kContrastUpperLimit)) return kMsgMaxValue;
  settings.contrast += kContrastStep;
  return kMsgNone;
}

PartialTable BuildTableFromHarmonics(const HarmonicMatrix& harmonics, float contrast) {
  AmplitudeMatrix amplitudes;
  for (size_t i = 0; i < amplitudes.values.size(); ++i) {
    const float magnitude = harmonics.magnitudes[i];
    const double amplitude = magnitude > 0.0f ? std::pow(static_cast<double>(magnitude), static_cast<double>(contrast)) : 0.0;
    amplitudes.values[i] = static_cast<float>(std::isfinite(amplitude) ? amplitude * harmonics.polarities[i] : 0.0);
  }
  // Ceiling 0: the loudest amplitude always becomes full scale.
  return EncodeTable(amplitudes, 0.0);
}

void FinishAnalysisTable(PartialTable& table, bool polarityLock, int32_t analysedSlices) {
  if (polarityLock) LockPolarity(table, kAllRows);
  if (analysedSlices >= kSliceCount) return;
  const AnchorMask anchors = FilledSlices(table);
  table = InterpolateTable(table, anchors, InterpolationAlgorithm::Ipol, polarityLock);
}

size_t PreviewBufferSamples(int32_t stretch) {
  const size_t wanted = static_cast<size_t>(std::max(stretch, 0)) * 16384 + 512;
  return std::clamp(wanted, kPreviewMinSamples, kPreviewMaxSamples);
}

size_t RenderPreview(const PartialTable& table, int32_t stretch, double pitchFactor, std::vector<float>& preview) {
  const int32_t r = ClampStretch(stretch);
  CheckedAlloc(preview, PreviewBufferSamples(r));
  const int n = SliceLengthFor(pitchFactor);
  const int waves = std::max(1, static_cast<int>(Nearest(r * pitchFactor)));
  const size_t step = static_cast<size_t>(n) * static_cast<size_t>(waves);
  const size_t length = static_cast<size_t>(kLastSlice) * step + static_cast<size_t>(n);
  if (length > preview.size()) return 0;
  std::vector<float> cycle(static_cast<size_t>(n));
  for (int s = 0; s < kSliceCount; ++s) {
    SynthesizeSlice(table, s, n, cycle);
    float peak = 0.0f;
    for (float v : cycle) peak = std::max(peak, std::fabs(v));
    const double gain = peak > 0.0f ? 1.0 / peak : 1.0;
    float* slice = preview.data() + static_cast<size_t>(s) * step;
    for (int j = 0; j < n; ++j) slice[j] = static_cast<float>(cycle[static_cast<size_t>(j)] * gain);
  }
  for (int s = 0; s < kLastSlice; ++s) {
    const float* from = preview.data() + static_cast<size_t>(s) * step;
    const float* to = from + step;
    for (int k = 1; k < waves; ++k) {
      float* wave = preview.data() + static_cast<size_t>(s) * step + static_cast<size_t>(k) * static_cast<size_t>(n);
      const float weight = static_cast<float>(k) / static_cast<float>(waves);
      for (int j = 0; j < n; ++j) wave[j] = from[j] + (to[j] - from[j]) * weight;
    }
  }
  return length;
}
