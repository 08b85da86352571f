#pragma once
#include <array>
#include <cstdint>

#include "wavetable/partial_table.h"

// The slice order matrix: output slice c is input slice order[c].
using SliceOrder = std::array<int16_t, kSliceCount>;

enum class OrderOperation {
  RotateBack1,     // "<<1_ROT": (order + 32) mod 33
  RotateBack8,     // "<<8_ROT": (order + 25) mod 33
  RotateForward8,  // "ROT_8>>": (order + 8) mod 33
  RotateForward1,  // "ROT_1>>": (order + 1) mod 33
  Mirror,          // "MIRROR"
  Reverse,         // "REVERSE"
  Random,          // "RANDOM": a random permutation
  Static,          // "STATIC": every entry becomes the selected slice's entry
  Reset,           // "RESET": identity
};

SliceOrder IdentityOrder();
void ApplyOrderOperation(SliceOrder& order, OrderOperation operation, int selectedSlice);

// A click in the matrix: output slice c takes input slice source.
void SetOrderEntry(SliceOrder& order, int outputSlice, int sourceSlice);

// The reordered table (all 64 partials of each slice copied), optimised.
PartialTable ReorderSlices(const PartialTable& input, const SliceOrder& order);
