#pragma once
#include <span>

#include "wavetable/partial_table.h"

// The shortest and longest single cycle the library accepts.
inline constexpr int kMinCycleFrames = 128;
inline constexpr int kMaxCycleFrames = 4096;

// One single cycle of any length from 128 to 4,096 samples as the 64 sine
// partials of slice 0 of an otherwise silent table: partial p is the p-th
// harmonic's magnitude, signed by its sine part (the engine's partials are
// zero-phase sines), scaled so that a sine of full scale 1.0 gives 4,096.
// Harmonics at or above half the cycle length stay 0. Samples that are not
// finite count as 0; a cycle outside the lengths above gives a silent table.
PartialTable SingleCycleToPartials(std::span<const float> cycle);

// "fFILL": the cycle's partials in slice 0, brought to full scale
// (NormalizeSlice mode 0) and copied to all 33 slices.
PartialTable FillTableWithCycle(std::span<const float> cycle);
