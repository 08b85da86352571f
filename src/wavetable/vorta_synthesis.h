#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "wavetable/partial_table.h"
#include "wavetable/ram_wavetable.h"

// The sine-partial engine: each slice column becomes one cycle of 64
// zero-phase harmonic sines, partial p at amplitude code(p - 1, s) / 4096.

// The length of the transform tables the module allocates on entry.
inline constexpr int kVortaDftLength = kMaxSliceLength;
inline constexpr int kAnalysisCycleLength = 128;    // cycles imported from 128-sample waves
inline constexpr int kPeakProbeLength = kUnitySliceLength;

// N = nearest(256 / f), kept within 1..4096.
int SliceLengthFor(double pitchFactor);

// One cycle of N samples into out[0..N-1], not limited. Partials at or
// above bin N cannot be placed and are left out.
void SynthesizeSlice(const PartialTable& table, int slice, int length, std::span<float> out);

// The 33 slices at out[s N R], each brought down to peak 1.0 when louder,
// with R - 1 linear blends after each of the first 32. Returns 32 N R + N,
// or 0 (writing nothing) when the buffer is too short.
size_t RenderTable(const PartialTable& table, std::span<float> out, int32_t stretch, double pitchFactor);

// Renders the module's table into its buffer and remembers the length.
size_t RenderRamWavetable(const PartialTable& table, RamWavetable& ram, int32_t stretch);

// One slice, peak-limited to 1.0; returns N (0 when the buffer is too short).
int RenderSlice(const PartialTable& table, int slice, std::span<float> out, double pitchFactor);

// Row r alone (all other rows silent) at unity pitch, without peak limiting,
// blended like RenderTable.
size_t RenderPartialRow(const PartialTable& table, int row, std::span<float> out, int32_t stretch);

// The peak of slice s over a whole 256-sample cycle. The zero-phase sines
// make the cycle odd-symmetric, so samples 0..128 hold the peak.
double SlicePeak(const PartialTable& table, int slice);

// Scales the whole table so that its loudest slice peaks at 1.0 (raising
// as well as lowering); a silent table stays as it is.
void NormalizeTable(PartialTable& table);

// Mode 0 ("OPTIMIZE" and every automatic optimisation): a table that is too
// quiet is raised as a whole. Any mode: each slice above full scale is
// brought down to full scale by its own factor.
inline constexpr int kOptimizeRaise = 0;
inline constexpr int kOptimizeLowerOnly = 1;
void OptimizeTable(PartialTable& table, int mode);

// Passes of the open-ended three-point smoother along the slices of one row
// (or all rows for a row argument of 64 or more), in amplitude.
void SmoothRows(PartialTable& table, int row, int passes);

// The symmetry modulation harmonics: partial n = i + 1 at row d i with
// amplitude 4096 / n^w / (1 + 0.01562 i), swinging as cos(c (i + h) m pi / 32)
// across the slices c; then optimised.
PartialTable GenerateHarmonics(double exponent, double modulation, int shift, int spacing);

// 33 waves of 128 samples to partials: magnitude of bins 1..63 signed by the
// sine part, phases dropped, loudest brought to code 127. Fewer samples than
// 33 x 128 are taken as silence.
PartialTable AnalyzeCycles(std::span<const float> waves);
