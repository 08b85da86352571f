#include "ui/pages/vorta/analysis_graphs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "modules/tuning_keyboard.h"
#include "ui/draw.h"
#include "ui/graph_markers.h"
#include "ui/level_map.h"
#include "ui/page_frame.h"
#include "ui/wave_graph.h"

namespace {

constexpr int kBoxLeft = 8;
constexpr int kBoxRight = 1015;
constexpr int kTitleBar = 18;
constexpr int kGraphLeft = 16;
constexpr int kGraphWidth = 992;
constexpr int kGraphMargin = 6;
// Room under the input graph for the analysis range brackets.
constexpr int kRangeRoom = 34;

// The output boxes: the spectrum on the left half, the level map on the right.
constexpr int kSplitX = 508;
constexpr int kBoxGap = 8;
constexpr int kBarStep = 7;
constexpr int kBarWidth = 5;
constexpr int kMapCellWidth = 14;

// The keyboard: 30 columns of 26 pixels centred on the canvas; the black
// keys stand in the upper band, the white keys reach into the lower one.
constexpr int kKeysLeft = 512 - kTuningKeyColumns * kTuningKeyWidth / 2;
constexpr int kKeysRight = kKeysLeft + kTuningKeyColumns * kTuningKeyWidth;
constexpr int kKeysTop = kKeyboardBox.top + kTitleBar + 8;
constexpr int kWhiteBandTop = kKeysTop + 100;
constexpr int kKeysBottom = kKeyboardBox.bottom - 8;
constexpr int kWhiteKeyWidth = 2 * kTuningKeyWidth;
constexpr int kOctaveCents = 1200;

struct Graph {
  int yc;
  int halfHeight;
};

Graph InputGraph(GraphBox box) {
  const int top = box.top + kTitleBar + kGraphMargin;
  const int bottom = box.bottom - kGraphMargin - (box.rangeRoom ? kRangeRoom : 0);
  return {(top + bottom) / 2, (bottom - top) / 2 - 1};
}

Graph RowGraph(GraphBox box) {
  const int top = box.top + kTitleBar + kGraphMargin;
  const int bottom = box.bottom - kGraphMargin;
  return {(top + bottom) / 2, (bottom - top) / 2 - 1};
}

bool IsBlackKey(int column) {
  switch (kTuningKeyCents[static_cast<size_t>(column)] % kOctaveCents) {
    case 100: case 300: case 600: case 800: case 1000: return true;
    default: return false;
  }
}

int ColumnX(int column) { return kKeysLeft + column * kTuningKeyWidth; }

}  // namespace

float DrawNormalizedInput(std::span<const float> samples, std::string_view title, GraphBox box) {
  float peak = 0.0f;
  for (float v : samples) peak = std::max(peak, std::fabs(v));
  const float gain = peak > kSilentSample ? 1.0f / peak : 1.0f;
  std::vector<float> shown(samples.begin(), samples.end());
  for (float& v : shown) v *= gain;
  DrawPanel(kBoxLeft, box.top, kBoxRight, box.bottom, title);
  const Graph graph = InputGraph(box);
  DrawWaveGraph(shown, kGraphLeft, graph.yc, kGraphWidth, graph.halfHeight);
  return gain;
}

void DrawThresholdLines(GraphBox box, float startThreshold, float endThreshold, float gain) {
  const Graph graph = InputGraph(box);
  auto offset = [&](float threshold) {
    return static_cast<int>(std::lround(graph.halfHeight * std::min(1.0f, threshold * gain)));
  };
  const int middle = kGraphLeft + kGraphWidth / 2;
  HoldRepaint();
  SetInk(PaletteColour(kAccent));
  for (int sign : {-1, 1}) {
    DrawLine(kGraphLeft, graph.yc + sign * offset(startThreshold), middle - 1, graph.yc + sign * offset(startThreshold));
    DrawLine(middle, graph.yc + sign * offset(endThreshold), kGraphLeft + kGraphWidth - 1,
             graph.yc + sign * offset(endThreshold));
  }
  FlushRegion(kGraphLeft, graph.yc - graph.halfHeight, kGraphLeft + kGraphWidth, graph.yc + graph.halfHeight);
  RestoreNormalColours();
}

void DrawRangeBrackets(GraphBox box, int32_t start, int32_t end, int32_t samples) {
  const Graph graph = InputGraph(box);
  const double perColumn = samples > 0 ? static_cast<double>(kGraphWidth) / samples : 0.0;
  const int first = static_cast<int>(start * perColumn);
  const int last = static_cast<int>(std::ceil(end * perColumn)) - 1;
  DrawAnalysisRange(kGraphLeft, graph.yc, kGraphWidth, graph.halfHeight, first, last);
}

void DrawWaveRowBox(std::span<const float> waves, int length, size_t stride, std::string_view title, GraphBox box) {
  constexpr int kStep = kGraphWidth / kSliceCount;
  DrawPanel(kBoxLeft, box.top, kBoxRight, box.bottom, title);
  const Graph graph = RowGraph(box);
  DrawWaveRow(waves, kGraphLeft + 2, graph.yc, kStep, kStep - 4, graph.halfHeight, length, static_cast<int>(stride));
}

void DrawAnalysisOutput(const PartialTable& table, GraphBox box) {
  HoldRepaint();
  DrawPanel(kBoxLeft, box.top, kSplitX, box.bottom, "ANALYSIS OUTPUT <MAGNITUDE SPECTRUM>");
  DrawPanel(kSplitX + kBoxGap, box.top, kBoxRight, box.bottom, "ANALYSIS OUTPUT <WAVETABLE>");
  // The spectrum: the highest level of each partial over the 33 slices.
  const int base = box.bottom - kGraphMargin - 4;
  const int room = box.bottom - box.top - kTitleBar - 2 * kGraphMargin - 4;
  const int barsLeft = kBoxLeft + (kSplitX - kBoxLeft - kPartialCount * kBarStep) / 2;
  SetPaper(PaletteColour(kText));
  for (int p = 0; p < kPartialCount; ++p) {
    int level = 0;
    for (int s = 0; s < kSliceCount; ++s) level = std::max(level, std::abs(static_cast<int>(table.at(p, s))));
    const int height = level * room / kMaxCode;
    const int x = barsLeft + p * kBarStep;
    if (height > 0) FillBox(x, base - height, x + kBarWidth, base);
  }
  SetPaper(PaletteColour(kBackground));
  SetInk(PaletteColour(kDim));
  DrawLine(barsLeft - 2, base + 1, barsLeft + kPartialCount * kBarStep, base + 1);
  // The level map: slices left to right, partials rising.
  const int mapLeft = kSplitX + kBoxGap + (kBoxRight - kSplitX - kBoxGap - kSliceCount * kMapCellWidth) / 2;
  const int cellHeight = std::max(1, (room - 4) / kPartialCount);
  const int mapBase = box.bottom - kGraphMargin - cellHeight - 2 - (room - 4 - cellHeight * kPartialCount) / 2;
  DrawLevelMap(table, LevelMapLayout::kColumns, mapLeft, mapBase, kMapCellWidth, cellHeight);
  FlushRegion(kBoxLeft, box.top, kBoxRight, box.bottom);
  RestoreNormalColours();
}

void DrawTuningKeyboard(int cents) {
  const int selected = cents + kOctaveCents;
  HoldRepaint();
  DrawPanel(kKeysLeft - 8, kKeyboardBox.top, kKeysRight + 8, kKeyboardBox.bottom, "ANALYZER TUNING KEYBOARD");
  const Colour white = PaletteColour(kText);
  const Colour black = PaletteColour(kBackground);
  const Colour marked = PaletteColour(kBright);
  // The white keys, each two columns wide in the lower band.
  for (int key = 0; key < kTuningKeyColumns / 2; ++key) {
    const int x = kKeysLeft + key * kWhiteKeyWidth;
    const bool on = TuningKeyClickCents(2 * key, true) + kOctaveCents == selected;
    SetPaper(on ? marked : white);
    FillBox(x + 1, kWhiteBandTop, x + kWhiteKeyWidth - 1, kKeysBottom);
  }
  // The upper band: each column its own key.
  for (int column = 0; column < kTuningKeyColumns; ++column) {
    const bool on = kTuningKeyCents[static_cast<size_t>(column)] == selected;
    SetPaper(on ? marked : (IsBlackKey(column) ? black : white));
    const int x = ColumnX(column);
    const bool joinsLeft = column > 0 && kTuningKeyCents[static_cast<size_t>(column - 1)] == kTuningKeyCents[static_cast<size_t>(column)];
    const bool joinsRight = column + 1 < kTuningKeyColumns &&
                            kTuningKeyCents[static_cast<size_t>(column + 1)] == kTuningKeyCents[static_cast<size_t>(column)];
    FillBox(x + (joinsLeft ? 0 : 1), kKeysTop, x + kTuningKeyWidth - (joinsRight ? 0 : 1), kWhiteBandTop);
  }
  SetPaper(PaletteColour(kBackground));
  SetInk(PaletteColour(kText));
  DrawFrame(kKeysLeft - 1, kKeysTop - 1, kKeysRight, kKeysBottom);
  FlushRegion(kKeysLeft - 8, kKeyboardBox.top, kKeysRight + 8, kKeyboardBox.bottom);
  RestoreNormalColours();
}

std::optional<int> TuningKeyCentsAt(int x, int y) {
  const int column = TuningKeyColumn(x - kKeysLeft);
  if (column < 0 || y < kKeysTop || y >= kKeysBottom) return std::nullopt;
  return TuningKeyClickCents(column, y >= kWhiteBandTop);
}

int TuningKeyX(int column) { return ColumnX(column) + kTuningKeyWidth / 2; }
int TuningKeyY(bool whiteKeyBand) {
  return whiteKeyBand ? (kWhiteBandTop + kKeysBottom) / 2 : (kKeysTop + kWhiteBandTop) / 2;
}
