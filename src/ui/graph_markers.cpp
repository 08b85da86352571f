#include "ui/graph_markers.h"

#include <algorithm>

#include "ui/draw.h"
#include "ui/info_panels.h"
#include "ui/wave_graph.h"

namespace {

// Slice bars.
constexpr int kArrowStripLeft = 462;
constexpr int kArrowStripTop = 224;
constexpr int kArrowStripRight = 923;
constexpr int kArrowStripBottom = 237;
constexpr int kArrowFirstX = 469;
constexpr int kArrowStep = 14;
constexpr int kArrowTipY = 236;
constexpr int kBarsLeft = 470;
constexpr int kBarsTop = 454;
constexpr int kBarsRight = 922;
constexpr int kBarsBottom = 646;
constexpr int kFirstBarRight = 478;
constexpr int kBarStep = 7;
constexpr int kBarWidth = 6;
constexpr int kBarBase = 556;
constexpr double kBarPixelsPerCode = 0.66;

// Limit bracket.
constexpr int kBracketTick = 6;
constexpr int kBracketTextOffset = 17;
constexpr int kVerticalTextStep = 14;
constexpr int kFourModeThird = 42;

// Loop offset bar.
constexpr int kOffsetBarLeft = 42;
constexpr int kOffsetBarTop = 349;
constexpr int kOffsetBarRight = 981;
constexpr int kOffsetBarBottom = 369;
constexpr int kOffsetFillLeft = 51;
constexpr int kOffsetMarkerStripLeft = 47;
constexpr int kOffsetMarkerStripTop = 185;
constexpr int kOffsetMarkerStripRight = 980;
constexpr int kOffsetMarkerStripBottom = 198;
constexpr int kOffsetLineEnd = 511;

// Analysis range.
constexpr int kRangeTickHeight = 6;
constexpr int kRangeGap = 4;

}  // namespace

void DrawSliceBars(const PartialTable& table, int column, bool barsOnly) {
  column = std::clamp(column, 0, kLastSlice);
  if (!barsOnly) {
    ShowReadPosition(column);
    HoldRepaint();
    FillBox(kArrowStripLeft, kArrowStripTop, kArrowStripRight, kArrowStripBottom);
    DrawDownArrow(kArrowFirstX + kArrowStep * column, kArrowTipY);
    FlushRegion(kArrowStripLeft, kArrowStripTop, kArrowStripRight, kArrowStripBottom);
  }
  HoldRepaint();
  FillBox(kBarsLeft, kBarsTop, kBarsRight, kBarsBottom);
  SetPaper(PaletteColour(kText));
  for (int i = 0; i < kPartialCount; ++i) {
    const int right = kFirstBarRight + kBarStep * i;
    const int top = kBarBase - static_cast<int>(Nearest(table.at(i, column) * kBarPixelsPerCode));
    // Bars of positive codes rise above the base, negative ones hang below.
    FillBox(right - kBarWidth, std::min(top, kBarBase), right, std::max(top, kBarBase));
  }
  FlushRegion(kBarsLeft, kBarsTop, kBarsRight, kBarsBottom);
  RestoreNormalColours();
}

BracketRange LimitBracketRange(int mode, bool fourModes) {
  if (fourModes) {
    static constexpr BracketRange kFour[] = {
        {kMaxCode, -kMaxCode}, {kMaxCode, kFourModeThird}, {kFourModeThird, -kFourModeThird},
        {-kFourModeThird, -kMaxCode}};
    return kFour[std::clamp(mode, 0, 3)];
  }
  static constexpr BracketRange kThree[] = {{kMaxCode, -kMaxCode}, {kMaxCode, 0}, {0, -kMaxCode}};
  return kThree[std::clamp(mode, 0, 2)];
}

BracketRange DrawLimitBracket(int mode, const BracketPlace& place, bool fourModes) {
  const BracketRange range = LimitBracketRange(mode, fourModes);
  const int top = place.centre - range.upper;
  const int bottom = place.centre - range.lower;
  const int stem = place.x0 + kBracketTick;
  HoldRepaint();
  FillBox(place.x0, place.centre - kMaxCode - 1, place.x1 + 1, place.centre + kMaxCode + 2);
  DrawLine(place.x0, top, stem, top);
  DrawLine(stem, top, stem, bottom);
  DrawLine(place.x0, bottom, stem, bottom);
  constexpr std::string_view kLimit = "LIMIT";
  const int textHeight = static_cast<int>(kLimit.size()) * kVerticalTextStep;
  DrawVerticalText(place.x0 + kBracketTextOffset, (top + bottom - textHeight) / 2, kLimit);
  FlushRegion(place.x0, place.centre - kMaxCode - 1, place.x1 + 1, place.centre + kMaxCode + 2);
  return range;
}

void DrawLoopOffsetBar(int offsetPixels) {
  offsetPixels = std::clamp(offsetPixels, 0, kLoopOffsetMaxPixels);
  const int marker = kOffsetFillLeft + offsetPixels;
  HoldRepaint();
  SetPaper(PaletteColour(kText));
  FillBox(kOffsetBarLeft, kOffsetBarTop, kOffsetBarRight, kOffsetBarBottom);
  SetPaper(PaletteColour(kFace));
  FillBox(kOffsetFillLeft, kOffsetBarTop + 3, marker + 1, kOffsetBarBottom - 3);
  SetPaper(PaletteColour(kBackground));
  FillBox(kOffsetMarkerStripLeft, kOffsetMarkerStripTop, kOffsetMarkerStripRight, kOffsetMarkerStripBottom);
  DrawLine(marker, kOffsetMarkerStripTop, kOffsetLineEnd, kOffsetMarkerStripTop);
  DrawDownArrow(marker, kOffsetMarkerStripBottom - 1);
  FlushRegion(kOffsetBarLeft, kOffsetMarkerStripTop, kOffsetBarRight, kOffsetBarBottom);
  ShowLoopStartOffset(offsetPixels);
}

void DrawAnalysisRange(int x, int yc, int width, int halfHeight, int firstColumn, int lastColumn) {
  firstColumn = std::clamp(firstColumn, 0, std::max(0, width - 1));
  lastColumn = std::clamp(lastColumn, firstColumn, std::max(0, width - 1));
  const int left = x + firstColumn;
  const int right = x + lastColumn;
  const int line = yc + halfHeight + kRangeGap + kRangeTickHeight;
  const int textTop = line + kRangeGap;
  const int bottom = textTop + MeasureText("A").height;
  HoldRepaint();
  FillBox(x, yc + halfHeight + 2, x + width, bottom);
  SetInk(PaletteColour(kAccent));
  DrawLine(left, line - kRangeTickHeight, left, line);
  DrawLine(left, line, right, line);
  DrawLine(right, line, right, line - kRangeTickHeight);
  SetInk(PaletteColour(kText));
  const int middle = std::clamp((left + right) / 2, x + MeasureText("ANALYSIS RANGE").width / 2,
                                x + width - MeasureText("ANALYSIS RANGE").width / 2);
  DrawText(middle, textTop, "ANALYSIS RANGE", 'M');
  FlushRegion(x, yc + halfHeight + 2, x + width, bottom);
}
