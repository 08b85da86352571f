#include "wavetable/drawing_pad.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "core/random.h"
#include "dsp/mixed_radix_dft.h"
#include "wavetable/limit_peak.h"
#include "wavetable/line_smoothing.h"
#include "wavetable/table_editing.h"
#include "wavetable/vorta_synthesis.h"

namespace {

constexpr int kRandomSpacing = 8;       // a random point every 1..8 samples
constexpr int kRandomCentre = 16383;    // (draw - 16383) / 16383 spans -1..1

int SignOf(double value) { return (value > 0) - (value < 0); }

double PeakOfDrawnHalf(const DrawingPad& pad) {
  return PeakOf(std::span<const float>(pad.data(), kPadHalf + 1));
}

}  // namespace

void MirrorPad(DrawingPad& pad) {
  pad[0] = 0.0f;
  pad[kPadHalf] = 0.0f;
  for (int m = 1; m < kPadHalf; ++m) pad[static_cast<size_t>(kPadLength - m)] = -pad[static_cast<size_t>(m)];
}

void DrawPadStroke(DrawingPad& pad, int fromSample, double fromValue, int toSample, double toValue) {
  if (fromSample > toSample) {
    std::swap(fromSample, toSample);
    std::swap(fromValue, toValue);
  }
  const int span = toSample - fromSample;
  for (int x = std::max(fromSample, 0); x <= std::min(toSample, kPadHalf); ++x) {
    const double value = span == 0 ? toValue : fromValue + (toValue - fromValue) * (x - fromSample) / span;
    pad[static_cast<size_t>(x)] = static_cast<float>(std::clamp(value, -1.0, 1.0));
  }
  MirrorPad(pad);
}

void RandomPad(DrawingPad& pad) {
  pad.fill(0.0f);
  for (int x = 1; x < kPadHalf; x += 1 + RandomBelow(kRandomSpacing))
    pad[static_cast<size_t>(x)] = static_cast<float>((RandomBelow(kRandomMax) - kRandomCentre) / static_cast<double>(kRandomCentre));
  MirrorPad(pad);
  const double peak = PeakOfDrawnHalf(pad);
  SmoothLineCircular(std::span<float>(pad), kPadRandomSmoothPasses);
  LimitPeak(pad, 0.0, peak);
}

void SmoothPad(DrawingPad& pad) { SmoothLineCircular(std::span<float>(pad), kPadSmoothPasses); }

void InvertPad(DrawingPad& pad) {
  for (float& sample : pad) sample = -sample;
}

void NormalPad(DrawingPad& pad) { LimitPeak(pad, 0.0, 1.0); }

void ClearPad(DrawingPad& pad) { pad.fill(0.0f); }

DrawingPad PadFromSlice(const PartialTable& table, int slice) {
  DrawingPad pad{};
  RenderSlice(table, slice, pad, static_cast<double>(kUnitySliceLength) / kPadLength);
  return pad;
}

void ResynthesizePad(PartialTable& table, int slice, const DrawingPad& pad, PadMode mode) {
  if (slice < 0 || slice > kLastSlice) return;
  std::array<float, kPadLength> re{};
  std::array<float, kPadLength> im{};
  RealSpectrum(kPadLength, pad.data(), re.data(), im.data());
  const bool keepSigns = mode == PadMode::Smooth || mode == PadMode::Normal;
  for (int k = 1; k <= kPartialCount; ++k) {
    const double sine = im[static_cast<size_t>(k)];
    const double magnitude = std::hypot(static_cast<double>(re[static_cast<size_t>(k)]), sine);
    const double amplitude = sine == 0.0 ? 0.0 : kPadAmplitudeScale * magnitude * SignOf(sine);
    int16_t code = EncodeAmplitude(amplitude);
    if (keepSigns && SignOf(code) != SignOf(table.at(k - 1, slice))) code = 0;
    table.at(k - 1, slice) = code;
  }
  if (mode != PadMode::Invert && mode != PadMode::Clear) NormalizeSlice(table, slice, 1);
}

WaveformDrawing StartWaveformDrawing(const PartialTable& ramTable, int slice) {
  WaveformDrawing drawing;
  drawing.original = ramTable;
  drawing.working = ramTable;
  drawing.slice = static_cast<int16_t>(std::clamp(slice, 0, kLastSlice));
  drawing.pad = PadFromSlice(drawing.working, drawing.slice);
  return drawing;
}

void ApplyPadButton(WaveformDrawing& drawing, PadButton button) {
  switch (button) {
    case PadButton::Random:
      RandomPad(drawing.pad);
      ResynthesizePad(drawing.working, drawing.slice, drawing.pad, PadMode::Random);
      break;
    case PadButton::Smooth:
      SmoothPad(drawing.pad);
      ResynthesizePad(drawing.working, drawing.slice, drawing.pad, PadMode::Smooth);
      break;
    case PadButton::Invert:
      InvertPad(drawing.pad);
      ResynthesizePad(drawing.working, drawing.slice, drawing.pad, PadMode::Invert);
      break;
    case PadButton::Normal:
      NormalPad(drawing.pad);
      ResynthesizePad(drawing.working, drawing.slice, drawing.pad, PadMode::Normal);
      break;
    case PadButton::Clear:
      ClearPad(drawing.pad);
      ResynthesizePad(drawing.working, drawing.slice, drawing.pad, PadMode::Clear);
      break;
    case PadButton::Restore:
      drawing.working = drawing.original;
      drawing.pad = PadFromSlice(drawing.working, drawing.slice);
      break;
    case PadButton::PadSync: drawing.pad = PadFromSlice(drawing.working, drawing.slice); break;
  }
}

void DrawOnPad(WaveformDrawing& drawing, int fromSample, double fromValue, int toSample, double toValue) {
  DrawPadStroke(drawing.pad, fromSample, fromValue, toSample, toValue);
  drawing.awaitingData = false;
  ResynthesizePad(drawing.working, drawing.slice, drawing.pad, PadMode::Draw);
}

bool PadHasOriginalData(const WaveformDrawing& drawing) { return drawing.working == drawing.original; }
