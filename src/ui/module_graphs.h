#pragma once
#include <span>
#include <string_view>

#include "ui/segment_graph.h"
#include "wavetable/partial_table.h"

// The graphs of the analysis and module pages, drawn like the others: one
// batch, Dim curves, faint dotted guide lines.

// "+MAX" / "-MAX" of an envelope around zero.
inline constexpr ScaleMark kPeakScaleMarks[] = {{127, "+MAX"}, {0, "0"}, {-127, "-MAX"}};
// The cross synthesis mix: which signal each envelope level plays.
inline constexpr ScaleMark kCrossScaleMarks[] = {
    {127, "A"}, {42, "A*B"}, {0, "A*B+B*A"}, {-42, "B*A"}, {-127, "B"}};

// The labels of a segment graph's guide lines, right-aligned left of the
// graph at centre - value (the graph itself draws the lines).
void DrawScaleLabels(int centre, std::span<const ScaleMark> marks);

// The symmetry modulation output: its 33 slices as small waves side by side
// across the box (x, yc, width, half height).
void DrawSymmetryGraph(const PartialTable& output, int x, int yc, int width, int halfHeight);
