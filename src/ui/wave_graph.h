#pragma once
#include <span>

// Waveform graphs: one or two channels of float samples (full scale 1.0)
// drawn as a curve around a centre line. Each graph clears its own box,
// (x, yc - 1 - h) to (x + width, yc + h + 1), and draws in one batch.

// A sample whose magnitude is at most this counts as silence.
inline constexpr float kSilentSample = 0.00001f;
// A stereo graph needs at least this many samples, else it shows "EMPTY".
inline constexpr int kStereoGraphMinSamples = 4097;

// The frame lines of a graph: dotted lines at top and bottom in the faint
// colour, the centre line in Text, and "EMPTY" (or "E" when the graph is
// narrower than "EMPTYW") above the centre line of an empty graph.
void DrawGraphFrame(int x, int yc, int top, int bottom, int width, bool empty);

// A mono curve; with more samples than pixel columns one vertical line per
// column from the minimum to the maximum of its samples.
void DrawWaveGraph(std::span<const float> samples, int x, int yc, int width, int halfHeight);

// Both channels in one graph (minimum and maximum taken over both).
void DrawStereoWaveGraph(std::span<const float> left, std::span<const float> right, int x, int yc, int width,
                         int halfHeight);

// 33 small graphs side by side, x advancing by step: slice s is the
// samplesPerSlice samples starting at s x stride.
void DrawWaveRow(std::span<const float> table, int x, int yc, int step, int width, int halfHeight,
                 int samplesPerSlice, int stride);

// The colour of faint graph lines: Faint, or Dim in the LCD mode (where
// Faint would vanish into the blue background).
int FaintLineSlot();
