#include "ui/module_graphs.h"

#include <vector>

#include "ui/draw.h"
#include "ui/segment_graph.h"
#include "ui/wave_graph.h"
#include "wavetable/vorta_synthesis.h"

namespace {

constexpr int kLabelGap = 6;
constexpr int kGuideLeft = SegmentX(0) - 24;
constexpr int kLabelRise = 8;
constexpr int kSymmetryCycle = 256;
constexpr int kSliceGap = 2;

}  // namespace

void DrawScaleLabels(int centre, std::span<const ScaleMark> marks) {
  const int labelRight = kGuideLeft - kLabelGap;
  HoldRepaint();
  FillBox(0, centre - kMaxCode - kLabelRise, labelRight + 1, centre + kMaxCode + kLabelRise + 1);
  for (const ScaleMark& mark : marks) DrawText(labelRight, centre - mark.value - kLabelRise, mark.label, 'R');
  FlushRegion(0, centre - kMaxCode - kLabelRise, labelRight + 1, centre + kMaxCode + kLabelRise + 1);
}

void DrawSymmetryGraph(const PartialTable& output, int x, int yc, int width, int halfHeight) {
  std::vector<float> slices(static_cast<size_t>(kSliceCount) * kSymmetryCycle);
  RenderTable(output, slices, 1, 1.0);
  const int step = width / kSliceCount;
  HoldRepaint();
  FillBox(x, yc - 1 - halfHeight, x + width, yc + halfHeight + 1);
  DrawWaveRow(slices, x, yc, step, step - kSliceGap, halfHeight, kSymmetryCycle, kSymmetryCycle);
  FlushRegion(x, yc - 1 - halfHeight, x + width, yc + halfHeight + 1);
}
