#include "wavetable/filter_shape.h"

#include <cmath>

#include "wavetable/limit_mode.h"
#include "wavetable/table_editing.h"
#include "wavetable/vorta_synthesis.h"

namespace {

// Slice s of the result holds the curve moved up by nearest(e[s] B / 127)
// partials; whatever moves beyond the 64 partials is lost.
PartialTable ShiftedFilterMatrix(const PartialTable& shape, const ShiftEnvelope& shift, int intensity) {
  PartialTable matrix;
  for (int s = 0; s < kSliceCount; ++s) {
    const int delta = static_cast<int>(Nearest(shift[static_cast<size_t>(s)] * static_cast<double>(intensity) / kMaxCode));
    for (int j = 0; j < kPartialCount; ++j) {
      const int source = j - delta;
      if (source >= 0 && source < kPartialCount) matrix.at(j, s) = shape.at(source, kFilterCurveSlice);
    }
  }
  return matrix;
}

}  // namespace

bool InitialPolarityLock(const PartialTable& ramTable) {
  return HasContinuousPolarity(ramTable) && !AllSlicesEqual(ramTable);
}

FilterShapeEditor StartFilterShapeEditor(const PartialTable& ramTable) {
  FilterShapeEditor editor;
  FillCodes(editor.shape, kFilterCurveSlice, kAllRows, kMaxCode);
  editor.polarityLock = InitialPolarityLock(ramTable);
  return editor;
}

int NextBlurFactor(int blurFactor) { return (blurFactor + 1) % (kMaxFilterBlur + 1); }

int NextFilterIntensity(int intensity) {
  const int next = intensity + kFilterIntensityStep;
  return next > kMaxFilterIntensity || next < kFilterIntensityStep ? kFilterIntensityStep : next;
}

void RandomizeFilterCurve(FilterShapeEditor& editor) {
  const CodeRange range = LimitRange(editor.limitMode);
  RandomCodes(editor.shape, kFilterCurveSlice, kAllRows, range.high, range.low);
}

void RandomFilterCurvePolarity(FilterShapeEditor& editor) {
  RandomPolarity(editor.shape, kFilterCurveSlice, kAllRows);
  editor.limitMode = kLimitBipolar;
}

void SetFilterCurveCode(FilterShapeEditor& editor, int row, int code) {
  if (row < 0 || row >= kPartialCount) return;
  editor.shape.at(row, kFilterCurveSlice) = static_cast<int16_t>(ClampToLimit(code, editor.limitMode));
}

void PrepareFilterImport(PartialTable& sourceTable) {
  for (int s = 0; s < kSliceCount; ++s) CodeCeil(sourceTable, s, kAllRows);
}

void TakeFilterCurve(FilterShapeEditor& editor, const PartialTable& sourceTable, int sourceSlice) {
  const int slice = ((sourceSlice % kSliceCount) + kSliceCount) % kSliceCount;
  for (int r = 0; r < kPartialCount; ++r) editor.shape.at(r, kFilterCurveSlice) = sourceTable.at(r, slice);
}

PartialTable ApplyFilterShape(const PartialTable& table, const PartialTable& shape, const ShiftEnvelope& shift,
                              int intensity, int blurFactor, bool polarityLock) {
  PartialTable gains = ShiftedFilterMatrix(shape, shift, intensity);
  if (blurFactor > 0) {
    LockPolarity(gains, kAllRows);
    SmoothRows(gains, kAllRows, blurFactor);
  }
  CodeCeil(gains, kAllSlices, kAllRows);

  PartialTable output = table;
  OptimizeTable(output, kOptimizeRaise);
  for (size_t i = 0; i < output.codes.size(); ++i) {
    const double amplitude = DecodeCode(output.codes[i]) * DecodeCode(gains.codes[i]) / kFullScaleAmplitude;
    output.codes[i] = EncodeAmplitude(amplitude);
  }
  if (polarityLock) LockPolarity(output, kAllRows);
  OptimizeTable(output, kOptimizeRaise);
  return output;
}
