#include "ui/table_graphs.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "ui/draw.h"
#include "ui/page_frame.h"
#include "wavetable/vorta_synthesis.h"

namespace {

constexpr int kFlatBaseline = 590;
constexpr int kFlatSampleStep = 4;
constexpr int kObliqueTop = 320;
constexpr int kObliqueSampleStep = 2;
constexpr int kObliqueWaveStep = 4;

constexpr int kSpectrumBase = 500;
constexpr int kSpectrumRise = 9;
constexpr int kSpectrumLeft = 60;
constexpr int kSpectrumShift = 16;
constexpr int kPartialStep = 6;

constexpr int kProfileBase = 230;
constexpr int kProfileDrop = 5;
constexpr int kProfileLeft = 60;
constexpr int kProfileShift = 4;
constexpr int kSliceStep = 20;

constexpr int kMainRight = 1023;

struct Bounds {
  int x0 = 1 << 20;
  int y0 = 1 << 20;
  int x1 = -(1 << 20);
  int y1 = -(1 << 20);
  void Add(int x, int y) {
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
  }
};

void ClearMain() {
  FillBox(0, kMainAreaTop, kMainRight + 1, kMainAreaBottom);
}

}  // namespace

std::vector<float> RenderViewerWaves(const PartialTable& table) {
  std::vector<float> waves(static_cast<size_t>(kViewerWaveCount) * kViewerWaveLength);
  RenderTable(table, waves, kViewerStretch, 1.0);
  return waves;
}

void DrawTableWaves(std::span<const float> waves, int step, double gain, WaveView view) {
  step = std::max(step, 1);
  ClearMain();
  SetInk(PaletteColour(kText));
  const int available = static_cast<int>(waves.size() / kViewerWaveLength);
  const int count = std::min(available, kViewerWaveCount);
  for (int i = 0; i < count; i += step) {
    const float* wave = waves.data() + static_cast<size_t>(i) * kViewerWaveLength;
    Bounds bounds;
    HoldRepaint();
    if (view == WaveView::kFlat) {
      const int baseline = kFlatBaseline - 2 * i;
      PenMoveTo(0, baseline);
      bounds.Add(0, baseline);
      for (int k = 0; k < kViewerWaveLength; ++k) {
        const int x = kFlatSampleStep * k;
        const int y = baseline - static_cast<int>(Nearest(gain * wave[k]));
        PenLineTo(x, y);
        bounds.Add(x, y);
      }
    } else {
      const int x0 = kObliqueWaveStep * i;
      const int y0 = kObliqueTop - i;
      PenMoveTo(x0, y0);
      bounds.Add(x0, y0);
      for (int k = 0; k < kViewerWaveLength; ++k) {
        const int x = x0 + kObliqueSampleStep * k;
        const int y = y0 + k - static_cast<int>(Nearest(gain * wave[k]));
        PenLineTo(x, y);
        bounds.Add(x, y);
      }
    }
    FlushRegion(bounds.x0, bounds.y0, bounds.x1, bounds.y1);
  }
}

void DrawPartialWaterfall(const PartialTable& table, double gain, PartialView view) {
  const bool magnitudes = view == PartialView::kMagnitudeSpectra || view == PartialView::kMagnitudeProfiles;
  std::array<int, kTableCodeCount> values{};
  for (size_t i = 0; i < values.size(); ++i) {
    const int code = magnitudes ? std::abs(table.codes[i]) : table.codes[i];
    values[i] = static_cast<int>(Nearest(code * gain));
  }
  // value(s, p) of slice s and partial p.
  auto value = [&](int s, int p) { return values[static_cast<size_t>(s + kSliceCount * p)]; };
  HoldRepaint();
  ClearMain();
  const Colour dim = PaletteColour(kDim);
  const Colour text = PaletteColour(kText);
  if (view == PartialView::kSpectra || view == PartialView::kMagnitudeSpectra) {
    for (int s = 0; s < kSliceCount; ++s) {
      const int base = kSpectrumBase - kSpectrumRise * s;
      const int left = kSpectrumLeft + kSpectrumShift * s;
      SetInk(dim);
      PenMoveTo(left, base);
      PenLineTo(left, base - value(s, 0));
      SetInk(text);
      int x = left;
      for (int p = 1; p < kPartialCount; ++p) {
        x = left + kPartialStep + kPartialStep * (p - 1);
        PenLineTo(x, base - value(s, p) + p);
      }
      SetInk(dim);
      PenLineTo(x, base + kPartialCount - 1);
    }
  } else {
    for (int p = 0; p < kPartialCount; ++p) {
      const int base = kProfileBase + kProfileDrop * p;
      const int left = kProfileLeft + kProfileShift * p;
      SetInk(dim);
      PenMoveTo(left, base);
      PenLineTo(left, base - value(0, p));
      SetInk(text);
      int x = left;
      for (int s = 1; s < kSliceCount; ++s) {
        x = left + kSliceStep * s;
        PenLineTo(x, base - value(s, p));
      }
      SetInk(dim);
      PenLineTo(x, base);
    }
  }
  FlushRegion(0, kMainAreaTop, kMainRight, kMainAreaBottom);
  SetInk(text);
}

void ShowTableViewerReadouts(int view, double magnification, int step) {
  static constexpr const char* kViewNames[] = {"WAVETABLE <VIEW A>", "WAVETABLE <VIEW B>", "MAGNITUDE SPECTRUM",
                                               "MAGNITUDE SPECTRUM", "MAGNITUDE PROFILES", "MAGNITUDE PROFILES"};
  constexpr int kViewCount = 6;
  constexpr int kWaveViews = 2;
  view = std::clamp(view, 0, kViewCount - 1);
  DrawStatusField(2, 0, "VIEWING:", kViewNames[view], 18);
  DrawStatusValue(1, 0, "VIEW MAGNIFICATION <%>:", "%.2f", magnification * 100.0, 6);
  if (view < kWaveViews) {
    DrawStatusField(1, 1, "VIEW MODE:", step == 1 ? "FULL TABLE" : "EDITABLE SLICES", 16);
  } else {
    ClearStatusValue(1, 1);
  }
}
