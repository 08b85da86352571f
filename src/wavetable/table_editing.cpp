#include "wavetable/table_editing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "core/random.h"
#include "wavetable/vorta_synthesis.h"

namespace {

template <typename Fn>
void ForEachSelected(PartialTable& table, int slice, int row, Fn fn) {
  const IndexRange rows = SelectedRows(row);
  const IndexRange slices = SelectedSlices(slice);
  for (int r = rows.first; r < rows.end; ++r)
    for (int s = slices.first; s < slices.end; ++s) fn(table.at(r, s));
}

int SignOf(int value) { return (value > 0) - (value < 0); }

int FillValue(bool positive) { return positive ? kMaxCode : -kMaxCode; }

}  // namespace

void FillCodes(PartialTable& table, int slice, int row, int value) {
  const int16_t code = ClampCode(value);
  ForEachSelected(table, slice, row, [code](int16_t& c) { c = code; });
}

void InvertCodes(PartialTable& table, int slice, int row) {
  ForEachSelected(table, slice, row, [](int16_t& c) { c = static_cast<int16_t>(-c); });
}

void SetPolarity(PartialTable& table, int slice, int row, bool positive) {
  ForEachSelected(table, slice, row, [positive](int16_t& c) {
    const int magnitude = std::abs(c);
    c = static_cast<int16_t>(positive ? magnitude : -magnitude);
  });
}

void RandomPolarity(PartialTable& table, int slice, int row) {
  ForEachSelected(table, slice, row, [](int16_t& c) { c = static_cast<int16_t>(c * (1 - 2 * RandomBelow(2))); });
}

void RandomCodes(PartialTable& table, int slice, int row, int high, int low) {
  ForEachSelected(table, slice, row, [high, low](int16_t& c) { c = ClampCode(low + RandomBelow(high + 1 - low)); });
}

// The sign is carried from slice 0 to the right until the first silent
// slice: the zero breaks the chain, and nothing after it is touched.
void LockRowPolarity(CodeRow row) {
  for (int s = 0; s < kLastSlice && row[s + 1] != 0; ++s)
    if (SignOf(row[s + 1]) == -SignOf(row[s])) row[s + 1] = static_cast<int16_t>(-row[s + 1]);
}

void LockPolarity(PartialTable& table, int row) {
  const IndexRange rows = SelectedRows(row);
  for (int r = rows.first; r < rows.end; ++r) LockRowPolarity(table.Row(r));
}

void CodeCeil(PartialTable& table, int slice, int row) {
  int largest = 0;
  ForEachSelected(table, slice, row, [&largest](int16_t& c) { largest = std::max(largest, std::abs(static_cast<int>(c))); });
  if (largest == 0) return;
  const int raise = kMaxCode - std::min(largest, kMaxCode);
  ForEachSelected(table, slice, row, [raise](int16_t& c) { c = ClampCode(c + SignOf(c) * raise); });
}

void ScaleRow(CodeRow row) {
  int largest = 0;
  for (int16_t c : row) largest = std::max(largest, std::abs(static_cast<int>(c)));
  if (largest == 0) return;
  for (int16_t& c : row) c = ClampCode(static_cast<int>(Nearest(c * static_cast<double>(kMaxCode) / largest)));
}

void ScaleCodes(PartialTable& table, int row) {
  const IndexRange rows = SelectedRows(row);
  int largest = 0;
  for (int r = rows.first; r < rows.end; ++r)
    for (int16_t c : table.Row(r)) largest = std::max(largest, std::abs(static_cast<int>(c)));
  if (largest == 0) return;
  for (int r = rows.first; r < rows.end; ++r)
    for (int16_t& c : table.Row(r)) c = ClampCode(static_cast<int>(Nearest(c * static_cast<double>(kMaxCode) / largest)));
}

void NormalizeSlice(PartialTable& table, int slice, int mode) {
  const IndexRange slices = SelectedSlices(slice);
  for (int s = slices.first; s < slices.end; ++s) {
    const double peak = SlicePeak(table, s);
    const bool scale = mode == 0 ? peak > 0.0 && peak != 1.0 : peak > 1.0;
    if (!scale) continue;
    for (int r = 0; r < kPartialCount; ++r) {
      const double amplitude = std::clamp(DecodeCode(table.at(r, s)) / peak, -kFullScaleAmplitude, kFullScaleAmplitude);
      table.at(r, s) = EncodeAmplitude(amplitude);
    }
  }
}

bool HasContinuousPolarity(const PartialTable& table) {
  for (int r = 0; r < kPartialCount; ++r) {
    const ConstCodeRow row = table.Row(r);
    for (int s = 0; s < kLastSlice; ++s)
      if (row[s + 1] != 0 && SignOf(row[s + 1]) == -SignOf(row[s])) return false;
  }
  return true;
}

bool AllSlicesEqual(const PartialTable& table) {
  for (int r = 0; r < kPartialCount; ++r) {
    const ConstCodeRow row = table.Row(r);
    if (std::any_of(row.begin(), row.end(), [&row](int16_t c) { return c != row[0]; })) return false;
  }
  return true;
}

void ReverseRow(CodeRow row, int count) {
  const std::array<int16_t, kSliceCount> old = [&row] {
    std::array<int16_t, kSliceCount> copy{};
    std::copy(row.begin(), row.end(), copy.begin());
    return copy;
  }();
  const int n = std::clamp(count, 0, kSliceCount);
  for (int i = 0; i < n; ++i) row[kLastSlice - i] = old[i];
}

void StaticRow(CodeRow row, int slice) {
  const int16_t value = row[static_cast<size_t>(std::clamp(slice, 0, kLastSlice))];
  std::fill(row.begin(), row.end(), value);
}

void LinearRow(CodeRow row, bool amplitudeMode) {
  if (amplitudeMode) {
    const double first = DecodeCode(row[0]);
    const double last = DecodeCode(row[kLastSlice]);
    for (int s = 0; s < kSliceCount; ++s) row[s] = EncodeAmplitude(first + (last - first) * s / kLastSlice);
    return;
  }
  const double first = row[0];
  const double last = row[kLastSlice];
  for (int s = 0; s < kSliceCount; ++s) row[s] = ClampCode(static_cast<int>(Nearest(first + (last - first) * s / kLastSlice)));
}

void ApplyPolarityAction(PartialTable& table, PolarityAction action) {
  switch (action) {
    case PolarityAction::UniPol: SetPolarity(table, kAllSlices, kAllRows, true); break;
    case PolarityAction::PolLock: LockPolarity(table, kAllRows); break;
    case PolarityAction::RndPol: RandomPolarity(table, kAllSlices, kAllRows); break;
    case PolarityAction::Invert: InvertCodes(table, kAllSlices, kAllRows); break;
  }
  OptimizeTable(table, kOptimizeRaise);
}

void ApplySliceAction(PartialTable& table, int slice, SliceAction action, bool positive) {
  switch (action) {
    case SliceAction::Full: FillCodes(table, slice, kAllRows, FillValue(positive)); break;
    case SliceAction::Zero: FillCodes(table, slice, kAllRows, 0); break;
    case SliceAction::Invert: InvertCodes(table, slice, kAllRows); break;
    case SliceAction::UniPol: SetPolarity(table, slice, kAllRows, positive); break;
    case SliceAction::Normal: CodeCeil(table, slice, kAllRows); break;
    case SliceAction::Optimize: NormalizeSlice(table, slice, 0); break;
  }
}

void ApplyTableRowAction(PartialTable& table, int row, RowAction action, int currentSlice, bool positive) {
  if (row < 0 || row >= kPartialCount) return;
  switch (action) {
    case RowAction::Full: FillCodes(table, kAllSlices, row, FillValue(positive)); break;
    case RowAction::Zero: FillCodes(table, kAllSlices, row, 0); break;
    case RowAction::Invert: InvertCodes(table, kAllSlices, row); break;
    case RowAction::UniPol: SetPolarity(table, kAllSlices, row, positive); break;
    case RowAction::Reverse: ReverseRow(table.Row(row), kSliceCount); break;
    case RowAction::Mirror: ReverseRow(table.Row(row), kSliceCount / 2); break;
    case RowAction::Normal: CodeCeil(table, kAllSlices, row); break;
    case RowAction::Static: StaticRow(table.Row(row), currentSlice); break;
    case RowAction::Linear: LinearRow(table.Row(row), true); break;
    case RowAction::PolLock: LockPolarity(table, row); break;
  }
}

void ApplyEnvelopeRowAction(CodeRow envelope, RowAction action, int currentSlice, bool positive) {
  switch (action) {
    case RowAction::Full: std::fill(envelope.begin(), envelope.end(), static_cast<int16_t>(FillValue(positive))); break;
    case RowAction::Zero: std::fill(envelope.begin(), envelope.end(), static_cast<int16_t>(0)); break;
    case RowAction::Invert:
      for (int16_t& v : envelope) v = static_cast<int16_t>(-v);
      break;
    case RowAction::UniPol:
      for (int16_t& v : envelope) v = static_cast<int16_t>(positive ? std::abs(v) : -std::abs(v));
      break;
    case RowAction::Reverse: ReverseRow(envelope, kSliceCount); break;
    case RowAction::Mirror: ReverseRow(envelope, kSliceCount / 2); break;
    case RowAction::Normal: ScaleRow(envelope); break;
    case RowAction::Static: StaticRow(envelope, currentSlice); break;
    case RowAction::Linear: LinearRow(envelope, false); break;
    case RowAction::PolLock: break;  // not offered on envelopes
  }
}

void BlurTable(PartialTable& table) {
  SmoothRows(table, kAllRows, 1);
  OptimizeTable(table, kOptimizeRaise);
}

void RandomizeTable(PartialTable& table) {
  RandomCodes(table, kAllSlices, kAllRows, kMaxCode, -kMaxCode);
  for (int s = 0; s < kSliceCount; ++s) NormalizeSlice(table, s, 0);
}
