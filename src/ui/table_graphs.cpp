#include "ui/table_graphs.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "ui/draw.h"
#include "ui/draw_path.h"
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
  std::array<PenPoint, kViewerWaveLength + 1> path;
  for (int i = 0; i < count; i += step) {
    const float* wave = waves.data() + static_cast<size_t>(i) * kViewerWaveLength;
    // View B stands each wave on its own baseline; view A sets each next
    // wave further right and higher and slants it down.
    const bool flat = view == WaveView::kFlat;
    const int x0 = flat ? 0 : kObliqueWaveStep * i;
    const int y0 = flat ? kFlatBaseline - 2 * i : kObliqueTop - i;
    const int xStep = flat ? kFlatSampleStep : kObliqueSampleStep;
    const int slant = flat ? 0 : 1;
    path[0] = {x0, y0};
    for (int k = 0; k < kViewerWaveLength; ++k) {
      path[static_cast<size_t>(k + 1)] = {x0 + xStep * k, y0 + slant * k - static_cast<int>(Nearest(gain * wave[k]))};
    }
    HoldRepaint();
    DrawPolyline(path);
    Bounds bounds;
    for (const PenPoint& point : path) bounds.Add(point.x, point.y);
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
      std::array<PenPoint, kPartialCount> path;
      path[0] = {left, base - value(s, 0)};
      for (int p = 1; p < kPartialCount; ++p) {
        path[static_cast<size_t>(p)] = {left + kPartialStep * p, base - value(s, p) + p};
      }
      DrawPolyline(path);
      SetInk(dim);
      PenLineTo(path.back().x, base + kPartialCount - 1);
    }
  } else {
    for (int p = 0; p < kPartialCount; ++p) {
      const int base = kProfileBase + kProfileDrop * p;
      const int left = kProfileLeft + kProfileShift * p;
      SetInk(dim);
      PenMoveTo(left, base);
      PenLineTo(left, base - value(0, p));
      SetInk(text);
      std::array<PenPoint, kSliceCount> path;
      path[0] = {left, base - value(0, p)};
      for (int s = 1; s < kSliceCount; ++s) path[static_cast<size_t>(s)] = {left + kSliceStep * s, base - value(s, p)};
      DrawPolyline(path);
      SetInk(dim);
      PenLineTo(path.back().x, base);
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
