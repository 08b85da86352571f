#include "ui/wave_by_hand.h"

#include <algorithm>
#include <cmath>

#include "ui/draw.h"
#include "ui/input.h"
#include "ui/wave_graph.h"

namespace {

constexpr int kBoxLeft = 255;
constexpr int kBoxRight = 512;
constexpr int kBoxTop = 461;
constexpr int kBoxBottom = 664;
constexpr int kDrawTop = 470;
constexpr int kDrawBottom = 654;
constexpr int kFillBottom = 655;
constexpr int kZeroY = 562;
constexpr double kFullScalePixels = 92.0;
constexpr int kReadLimit = 666;
constexpr int kNotFoundY = 667;
constexpr int kSparsePen = 2;
constexpr int kGridColumns[] = {319, 383, 447};
constexpr int kGridRows[] = {516, 562, 608};

constexpr int kPreviewLeft = 512;
constexpr int kPreviewRight = 774;
constexpr int kPreviewLineEnd = 766;
constexpr int kPreviewTextX = 640;
constexpr int kPreviewTextY = 555;

bool InsideBox(const PointerPoint& p) {
  return p.x >= kBoxLeft && p.x <= kBoxRight && p.y >= kBoxTop && p.y <= kBoxBottom;
}

void ShowAwaitingData() {
  HoldRepaint();
  FillBox(kPreviewLeft, kDrawTop, kPreviewRight, kFillBottom);
  DrawLine(kPreviewLeft, kZeroY, kPreviewLineEnd, kZeroY);
  DrawText(kPreviewTextX, kPreviewTextY, "AWAITING DATA", 'M');
  FlushRegion(kPreviewLeft, kDrawTop, kPreviewRight, kFillBottom);
}

// The columns between two pointer positions: filled, the grid redrawn over
// them, then the drawn line in the background colour.
void DrawStrokePiece(const PointerPoint& from, const PointerPoint& to) {
  const int left = std::min(from.x, to.x);
  const int right = std::max(from.x, to.x);
  HoldRepaint();
  SetPaper(PaletteColour(kText));
  FillBox(left, kDrawTop, right + 1, kFillBottom);
  SetInk(PaletteColour(kFaint));
  SetPenStyle(kSparsePen, 0);
  for (int x : kGridColumns) {
    if (x >= left && x <= right) DrawLine(x, kDrawTop, x, kFillBottom - 1);
  }
  for (int y : kGridRows) DrawLine(left, y, right, y);
  SetPenStyle(0, 0);
  SetInk(PaletteColour(kBackground));
  DrawLine(from.x, from.y, to.x, to.y);
  FlushRegion(left, kDrawTop, right + 1, kFillBottom);
  RestoreNormalColours();
}

}  // namespace

void ReadHandColumns(HandWave& wave, int firstX, int lastX) {
  const Colour line = PaletteColour(kBackground);
  firstX = std::max(firstX, kBoxLeft);
  lastX = std::min(lastX, kBoxRight);
  for (int x = firstX; x <= lastX; ++x) {
    int y = kDrawTop;
    while (y <= kReadLimit && ReadPixel(x, y) != line) ++y;
    if (y > kReadLimit) y = kNotFoundY;
    wave[static_cast<size_t>(x - kBoxLeft)] = static_cast<float>((kZeroY - y) / kFullScalePixels);
  }
}

void CompleteHandWave(HandWave& wave) {
  constexpr int kHalf = kHandWaveLength / 2;
  for (int k = 0; k < kHalf - 1; ++k) {
    wave[static_cast<size_t>(kHandWaveLength - 1 - k)] = -wave[static_cast<size_t>(k + 1)];
  }
  for (int i = 0; i < kHandWaveLength; ++i) {
    float& sample = wave[static_cast<size_t>(i)];
    if (std::fabs(sample) <= 1.0f) continue;
    const float before = wave[static_cast<size_t>((i + kHandWaveLength - 1) % kHandWaveLength)];
    const float after = wave[static_cast<size_t>((i + 1) % kHandWaveLength)];
    sample = (before + after) / 2.0f;
  }
}

void DrawWaveByHand(HandWave& wave, std::span<const PointerPoint> stroke, PageEvent& event, bool& changed) {
  bool started = false;
  PointerPoint previous;
  int lowest = kBoxRight;
  int highest = kBoxLeft;
  for (PointerPoint point : stroke) {
    if (!InsideBox(point)) continue;
    point.y = std::clamp(point.y, kDrawTop, kDrawBottom);
    if (event.None()) {
      ShowAwaitingData();
      event = PageEvent::Selection();
    }
    if (!started || point.x != previous.x) {
      DrawStrokePiece(started ? previous : point, point);
      previous = point;
      started = true;
    }
    lowest = std::min(lowest, point.x);
    highest = std::max(highest, point.x);
  }
  if (event.kind != EventKind::SelectionChanged || !started) return;
  ReadHandColumns(wave, lowest, highest);
  CompleteHandWave(wave);
  changed = true;
  RestoreNormalColours();
}
