#include "wavetable/slice_editor.h"

#include "wavetable/limit_mode.h"
#include "wavetable/table_editing.h"
#include "wavetable/vorta_synthesis.h"

void RandomizeSlice(PartialTable& table, int slice, int limitMode) {
  if (slice < 0 || slice > kLastSlice) return;
  const CodeRange range = LimitRange(limitMode);
  RandomCodes(table, slice, kAllRows, range.high, range.low);
  NormalizeSlice(table, slice, 0);
}

void SetSliceCode(PartialTable& table, int slice, int row, int code, int limitMode) {
  if (slice < 0 || slice > kLastSlice || row < 0 || row >= kPartialCount) return;
  table.at(row, slice) = static_cast<int16_t>(ClampToLimit(code, limitMode));
}

SlicePreview RenderSlicePreview(const PartialTable& table, int slice) {
  SlicePreview preview;
  RenderSlice(table, slice, preview.played, 1.0);
  RenderSlice(table, slice, preview.drawn, 0.5);
  return preview;
}
