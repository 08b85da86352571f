#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "wavetable/partial_table.h"

// The graphs of the analysis pages: the input box with its waveform shown
// at full height, the two output boxes (the table's partial levels as a
// spectrum and as a level map) and the analyzer tuning keyboard.

// A box of the full main-area width from top to bottom; with rangeRoom the
// graph leaves room below it for the analysis range brackets.
struct GraphBox {
  int top;
  int bottom;
  bool rangeRoom = false;
};

// The samples in a titled box, scaled so that their peak fills the graph;
// returns the factor used (1 for silence), so that level lines can follow it.
float DrawNormalizedInput(std::span<const float> samples, std::string_view title, GraphBox box);

// The start and end threshold lines over the left and right half of the
// input graph (levels before the scaling, times gain).
void DrawThresholdLines(GraphBox box, float startThreshold, float endThreshold, float gain);

// The analysis range brackets under the input graph for S..E of n samples.
void DrawRangeBrackets(GraphBox box, int32_t start, int32_t end, int32_t samples);

// A row of 33 small waves in a titled box: slice s is `length` samples at
// s x stride (nothing drawn for slices past `slices`).
void DrawWaveRowBox(std::span<const float> waves, int length, size_t stride, std::string_view title, GraphBox box);

// "ANALYSIS OUTPUT <MAGNITUDE SPECTRUM>" (the highest level of each
// partial over the slices) and the table's level map beside it.
void DrawAnalysisOutput(const PartialTable& table, GraphBox box);

// The "ANALYZER TUNING KEYBOARD" box below the output, the key of the
// current tuning (cents + 1200) marked.
inline constexpr GraphBox kKeyboardBox{480, 684};
void DrawTuningKeyboard(int cents);
// Cents for a click on the keys (upper band: every column its own key;
// lower band: the white keys); nothing outside them.
std::optional<int> TuningKeyCentsAt(int x, int y);
// Where the middle of a key column's band lies, for scripted clicks.
int TuningKeyX(int column);
int TuningKeyY(bool whiteKeyBand);
