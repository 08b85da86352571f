#include "ui/wave_graph.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/app_globals.h"
#include "ui/draw.h"
#include "wavetable/partial_table.h"

namespace {

constexpr int kDottedPen = 1;
constexpr int kEmptyTextRise = 7;

int Scaled(int halfHeight, float sample) { return static_cast<int>(Nearest(halfHeight * static_cast<double>(sample))); }

bool Silent(std::span<const float> samples) {
  return std::none_of(samples.begin(), samples.end(), [](float s) { return std::fabs(s) > kSilentSample; });
}

// Draws the curve of count samples, where sample i is the pair of the
// lowest and highest value Sample(i) gives.
template <typename Sample>
void DrawCurve(int count, Sample sample, int x, int yc, int width, int h) {
  SetInk(PaletteColour(kDim));
  if (count > width) {
    const double step = static_cast<double>(count) / width;
    double sum = 0.0;
    int begin = 0;
    for (int column = 0; column < width; ++column) {
      sum += step;
      const int end = std::clamp(static_cast<int>(Nearest(sum)), begin + 1, count);
      float low = sample(begin).first;
      float high = sample(begin).second;
      for (int i = begin + 1; i < end; ++i) {
        low = std::min(low, sample(i).first);
        high = std::max(high, sample(i).second);
      }
      DrawLine(x + column, yc - Scaled(h, low), x + column, yc - Scaled(h, high));
      begin = std::min(end, count - 1);
    }
  } else {
    const double span = static_cast<double>(width) / count;
    double sum = 0.0;
    int begin = 0;
    for (int i = 0; i < count; ++i) {
      sum += span;
      const int end = static_cast<int>(Nearest(sum));
      const int y = yc - Scaled(h, sample(i).second);
      for (int column = begin; column < end; ++column) DrawLine(x + column, yc, x + column, y);
      begin = end;
    }
  }
  SetInk(PaletteColour(kText));
}

template <typename Sample>
void DrawGraph(int count, bool empty, Sample sample, int x, int yc, int width, int h) {
  HoldRepaint();
  FillBox(x, yc - 1 - h, x + width, yc + h + 1);
  empty = empty || count < 1 || width < 1;
  if (!empty) DrawCurve(count, sample, x, yc, width, h);
  DrawGraphFrame(x, yc, yc - 1 - h, yc + h, width, empty);
  FlushRegion(x, yc - 1 - h, x + width, yc + h + 1);
}

}  // namespace

int FaintLineSlot() { return gApp.settings.colourMode == kLcdColourMode ? kDim : kFaint; }

void DrawGraphFrame(int x, int yc, int top, int bottom, int width, bool empty) {
  SetInk(PaletteColour(static_cast<PaletteSlot>(FaintLineSlot())));
  SetPenStyle(kDottedPen, 0);
  DrawLine(x, top, x + width - 1, top);
  DrawLine(x, bottom, x + width - 1, bottom);
  SetPenStyle(0, 0);
  SetInk(PaletteColour(kText));
  DrawLine(x, yc, x + width - 1, yc);
  if (!empty) return;
  const bool narrow = width < MeasureText("EMPTYW").width;
  DrawText(x + width / 2, yc - kEmptyTextRise, narrow ? "E" : "EMPTY", 'M');
}

void DrawWaveGraph(std::span<const float> samples, int x, int yc, int width, int halfHeight) {
  const int count = static_cast<int>(samples.size());
  DrawGraph(count, Silent(samples), [&](int i) { return std::pair{samples[i], samples[i]}; }, x, yc, width,
            halfHeight);
}

void DrawStereoWaveGraph(std::span<const float> left, std::span<const float> right, int x, int yc, int width,
                         int halfHeight) {
  const int count = static_cast<int>(std::min(left.size(), right.size()));
  const bool empty = count < kStereoGraphMinSamples || (Silent(left.first(count)) && Silent(right.first(count)));
  DrawGraph(count, empty,
            [&](int i) { return std::pair{std::min(left[i], right[i]), std::max(left[i], right[i])}; }, x, yc,
            width, halfHeight);
}

void DrawWaveRow(std::span<const float> table, int x, int yc, int step, int width, int halfHeight,
                 int samplesPerSlice, int stride) {
  HoldRepaint();
  for (int s = 0; s < kSliceCount; ++s) {
    const size_t begin = static_cast<size_t>(std::max(0, s * stride));
    const size_t available = begin < table.size() ? table.size() - begin : 0;
    const size_t count = std::min(available, static_cast<size_t>(std::max(0, samplesPerSlice)));
    DrawWaveGraph(table.subspan(std::min(begin, table.size()), count), x + s * step, yc, width, halfHeight);
  }
  FlushRegion(x, yc - 1 - halfHeight, x + kLastSlice * step + width, yc + halfHeight + 1);
}
