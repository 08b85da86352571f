#pragma once
#include <span>
#include <string_view>

#include "wavetable/partial_table.h"

// Markers and bars drawn beside or over the graphs.

// The 64 partial bars of one slice column of a table: the "READ POSITION:"
// readout and its arrow above the table row first (unless barsOnly), then
// bar i from (478 + 7i - 6, 556) up or down by 0.66 pixels per code.
void DrawSliceBars(const PartialTable& table, int column, bool barsOnly = false);

// Where a limit bracket stands: the strip x0..x1 beside a graph whose zero
// line is at centre.
struct BracketPlace {
  int x0;
  int x1;
  int centre;
};
inline constexpr BracketPlace kNarrowGraphBracket{910, 935, 520};
inline constexpr BracketPlace kHighGraphBracket{970, 995, 534};

struct BracketRange {
  int upper;
  int lower;
};

// The value range of a limit mode: 0 both polarities, 1 positive, 2
// negative; the four-mode variant has 0 full, 1 upper third and above,
// 2 middle third, 3 lower third.
BracketRange LimitBracketRange(int mode, bool fourModes);

// Clears the strip, draws the bracket from the upper to the lower value
// (y = centre - value) and "LIMIT" down its middle; returns the range.
BracketRange DrawLimitBracket(int mode, const BracketPlace& place, bool fourModes = false);

// The loop start offset slider (0..920 pixels) with its arrow, and the
// "LOOP START OFFSET <%>:" readout.
inline constexpr int kLoopOffsetMaxPixels = 920;
void DrawLoopOffsetBar(int offsetPixels);

// The analysis range of a sample graph: brackets at the first and last
// column of the range under the graph (x, yc, width, half height) with
// "ANALYSIS RANGE" centred between them.
void DrawAnalysisRange(int x, int yc, int width, int halfHeight, int firstColumn, int lastColumn);
