#pragma once
#include <cstdint>

#include "wavetable/partial_table.h"

// Code-level tools of the VORTA table. Slice and row arguments follow the
// selection convention: 0..32 one slice (above 32 all), 0..63 one row
// (above 63 all). Nothing here ever leaves a code outside -127..127.

void FillCodes(PartialTable& table, int slice, int row, int value);
void InvertCodes(PartialTable& table, int slice, int row);
void SetPolarity(PartialTable& table, int slice, int row, bool positive);
// Every selected code times 1 - 2 RandomBelow(2).
void RandomPolarity(PartialTable& table, int slice, int row);
// Every selected code becomes low + RandomBelow(high + 1 - low).
void RandomCodes(PartialTable& table, int slice, int row, int high, int low);
// Left to right along each selected row, a non-zero code whose sign is
// opposite to its left neighbour's is negated, so a partial keeps one sign
// across every run of non-zero slices; a zero breaks the chain.
void LockPolarity(PartialTable& table, int row);
// Brings the loudest selected code to 127 by adding the same number of code
// steps (a constant gain in decibels) to every non-zero selected code.
void CodeCeil(PartialTable& table, int slice, int row);
// Multiplies the selected rows by 127 / their largest absolute code, rounded.
void ScaleCodes(PartialTable& table, int row);
// Scales each selected slice by 1 / its peak: mode 0 whenever the peak is
// neither 0 nor 1, other modes only to bring a slice above full scale down.
void NormalizeSlice(PartialTable& table, int slice, int mode);

// Whether the table's rows already keep one sign across each non-zero run.
bool HasContinuousPolarity(const PartialTable& table);
bool AllSlicesEqual(const PartialTable& table);

// Tools on one row of 33 values (a partial's envelope across the slices, a
// shift envelope, a level profile or an order array).
void LockRowPolarity(CodeRow row);
void ScaleRow(CodeRow row);
// value[32 - i] = old[i] for i < count: 33 reverses, 16 mirrors the first
// half onto the second.
void ReverseRow(CodeRow row, int count);
void StaticRow(CodeRow row, int slice);
// A straight line from the value at slice 0 to the value at slice 32; in
// amplitude mode the line runs through the decoded amplitudes.
void LinearRow(CodeRow row, bool amplitudeMode);

// The table polarity dialog; every action is followed by OptimizeTable(0).
enum class PolarityAction { UniPol, PolLock, RndPol, Invert };
void ApplyPolarityAction(PartialTable& table, PolarityAction action);

// The slice dialog on one slice; "FULL" and "UNI_POL" follow the current
// fill polarity.
enum class SliceAction { Full, Zero, Invert, UniPol, Normal, Optimize };
void ApplySliceAction(PartialTable& table, int slice, SliceAction action, bool positive);

// The row dialog, on a table row (amplitude "SE_LIN", "NORMAL" = CodeCeil,
// "POL_LOCK" offered) or on an envelope (code "SE_LIN", "NORMAL" =
// ScaleCodes, no "POL_LOCK").
enum class RowAction { Full, Zero, Invert, UniPol, Reverse, Mirror, Normal, Static, Linear, PolLock };
void ApplyTableRowAction(PartialTable& table, int row, RowAction action, int currentSlice, bool positive);
void ApplyEnvelopeRowAction(CodeRow envelope, RowAction action, int currentSlice, bool positive);

// Direct buttons of the table editing page.
void BlurTable(PartialTable& table);        // "BLUR": one smoothing pass, then optimise
void RandomizeTable(PartialTable& table);   // "RNDDATA": random codes, each slice normalised
