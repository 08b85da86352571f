#pragma once
#include <span>
#include <string_view>

#include "wavetable/partial_table.h"

// The graphs of the analysis and module pages, drawn like the others: one
// batch, Dim curves, faint dotted guide lines.

// A labelled guide line of a segment graph at a value -127..127.
struct ScaleMark {
  int value;
  std::string_view label;
};

// "+MAX" / "-MAX" of an envelope around zero.
inline constexpr ScaleMark kPeakScaleMarks[] = {{127, "+MAX"}, {0, "0"}, {-127, "-MAX"}};
// The cross synthesis mix: which signal each envelope level plays.
inline constexpr ScaleMark kCrossScaleMarks[] = {
    {127, "A"}, {42, "A*B"}, {0, "A*B+B*A"}, {-42, "B*A"}, {-127, "B"}};

// Dotted guide lines across the segment graph at centre - value, each label
// right-aligned left of the graph; drawn before the graph so that the curve
// stays on top.
void DrawScaleGuides(int centre, std::span<const ScaleMark> marks);

// The symmetry modulation output: its 33 slices as small waves side by side
// across the box (x, yc, width, half height).
void DrawSymmetryGraph(const PartialTable& output, int x, int yc, int width, int halfHeight);
