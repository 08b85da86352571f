#pragma once
#include <array>
#include <cstdint>

#include "wavetable/partial_table.h"
#include "wavetable/slice_navigation.h"

// The slice editor: one slice's 64 partial codes as a bar graph.
inline constexpr int kSlicePlayLength = 256;   // "pRAM_SLC"
inline constexpr int kSliceViewLength = 512;   // the "WAVEFORM" box

struct SliceEditor {
  int16_t slice = 0;
  int limitMode = 0;
};

// "RAND": random codes within the limit range, then the slice normalised.
void RandomizeSlice(PartialTable& table, int slice, int limitMode);

// Pointer editing: the code of one partial, clamped to the limit range.
void SetSliceCode(PartialTable& table, int slice, int row, int code, int limitMode);

// The two renders the page shows after every change: the played cycle at
// pitch 1.0 and the drawn one at pitch 0.5.
struct SlicePreview {
  std::array<float, kSlicePlayLength> played{};
  std::array<float, kSliceViewLength> drawn{};
};
SlicePreview RenderSlicePreview(const PartialTable& table, int slice);
