#pragma once
#include <span>

// A pen path through the points, as PenMoveTo to the first and PenLineTo
// to each next one, drawn under one FrameLock and pushed once: the graphs
// of many-point curves draw thousands of segments per view.
struct PenPoint {
  int x = 0;
  int y = 0;
};

void DrawPolyline(std::span<const PenPoint> points);
