#pragma once
#include <cstdint>

#include "wavetable/partial_table.h"
#include "wavetable/shift_envelope.h"

// The filter shape editor: one curve of 64 codes (a gain per partial, coded
// like the table and held in slice 0 of a table), moved up or down per
// slice by a shift envelope and multiplied into the table.
inline constexpr int kFilterCurveSlice = 0;
inline constexpr int kMaxFilterBlur = 4;
inline constexpr int kFilterIntensityStep = 16;  // "ENV INTENSITY <BANDS>:" 16, 32, 48, 64
inline constexpr int kMaxFilterIntensity = 64;

struct FilterShapeEditor {
  PartialTable shape;        // the curve in slice 0; starts all-pass (+127)
  int limitMode = 0;
  int blurFactor = 0;        // "FILTER BLURRING FACTOR:" 0..4
  bool polarityLock = false; // "POLARITY LOCK:"
  EnvelopeEditor shift;      // the shift envelope page
  int intensity = kFilterIntensityStep;
};

FilterShapeEditor StartFilterShapeEditor(const PartialTable& ramTable);

// The lock starts on when every row of the table already keeps its sign and
// the slices are not all alike.
bool InitialPolarityLock(const PartialTable& ramTable);

int NextBlurFactor(int blurFactor);    // "F_BLUR": + 1 modulo 5
int NextFilterIntensity(int intensity);  // "INTENSITY": 16, 32, 48, 64, 16 ...

// "RAND" and "RND_POL" on the curve.
void RandomizeFilterCurve(FilterShapeEditor& editor);
void RandomFilterCurvePolarity(FilterShapeEditor& editor);
// Pointer drawing on the curve, clamped to the limit range.
void SetFilterCurveCode(FilterShapeEditor& editor, int row, int code);

// The filter shape import: every slice of the file's table is brought to full
// scale; "fAPPLY" takes the chosen source slice as the curve.
void PrepareFilterImport(PartialTable& sourceTable);
void TakeFilterCurve(FilterShapeEditor& editor, const PartialTable& sourceTable, int sourceSlice);

// The filtered table ("OUT <OPTIMIZED>").
PartialTable ApplyFilterShape(const PartialTable& table, const PartialTable& shape, const ShiftEnvelope& shift,
                              int intensity, int blurFactor, bool polarityLock);
