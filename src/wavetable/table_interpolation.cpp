#include "wavetable/table_interpolation.h"

#include <algorithm>

#include "wavetable/filter_shape.h"
#include "wavetable/table_editing.h"
#include "wavetable/vorta_synthesis.h"

namespace {

void CopyColumn(PartialTable& to, int toSlice, const PartialTable& from, int fromSlice) {
  for (int r = 0; r < kPartialCount; ++r) to.at(r, toSlice) = from.at(r, fromSlice);
}

void ClearColumn(PartialTable& table, int slice) {
  for (int r = 0; r < kPartialCount; ++r) table.at(r, slice) = 0;
}

int FirstAnchor(const AnchorMask& anchors) {
  for (int s = 0; s < kSliceCount; ++s)
    if (anchors[s]) return s;
  return -1;
}

int LastAnchor(const AnchorMask& anchors) {
  for (int s = kLastSlice; s >= 0; --s)
    if (anchors[s]) return s;
  return -1;
}

// Each anchor's partials take the signs that continue the anchor before it:
// the gaps are filled with copies of the anchor on their left while the
// rows are locked, and emptied again.
void LockAnchorPolarity(PartialTable& table, const AnchorMask& anchors) {
  int previous = -1;
  for (int s = 0; s < kSliceCount; ++s) {
    if (anchors[s]) previous = s;
    else if (previous >= 0) CopyColumn(table, s, table, previous);
  }
  LockPolarity(table, kAllRows);
  for (int s = 0; s < kSliceCount; ++s)
    if (!anchors[s]) ClearColumn(table, s);
}

// Moves the first anchor to slice 0 and, when the last anchor then lies
// strictly between 0 and 32, spreads the anchors over the whole table in
// their former proportions.
void StretchAnchors(PartialTable& table, AnchorMask& anchors) {
  const int first = FirstAnchor(anchors);
  PartialTable moved;
  AnchorMask movedAnchors{};
  for (int s = first; s < kSliceCount; ++s) {
    CopyColumn(moved, s - first, table, s);
    movedAnchors[static_cast<size_t>(s - first)] = anchors[static_cast<size_t>(s)];
  }
  table = moved;
  anchors = movedAnchors;

  const int last = LastAnchor(anchors);
  if (last <= 0 || last >= kLastSlice) return;
  PartialTable spread;
  AnchorMask spreadAnchors{};
  for (int p = 0; p <= last; ++p) {
    if (!anchors[static_cast<size_t>(p)]) continue;
    const int target = static_cast<int>(Nearest(static_cast<double>(kLastSlice) * p / last));
    CopyColumn(spread, target, table, p);
    spreadAnchors[static_cast<size_t>(target)] = 1;
  }
  table = spread;
  anchors = spreadAnchors;
}

void HoldEnds(PartialTable& table, AnchorMask& anchors) {
  const int first = FirstAnchor(anchors);
  const int last = LastAnchor(anchors);
  CopyColumn(table, 0, table, first);
  CopyColumn(table, kLastSlice, table, last);
  anchors[0] = 1;
  anchors[kLastSlice] = 1;
}

PartialTable FadeBetweenAnchors(const PartialTable& table, const AnchorMask& anchors) {
  AmplitudeMatrix amplitudes = DecodeTable(table);
  int left = 0;
  for (int right = 1; right < kSliceCount; ++right) {
    if (!anchors[static_cast<size_t>(right)]) continue;
    for (int r = 0; r < kPartialCount; ++r) {
      const double from = amplitudes.at(r, left);
      const double to = amplitudes.at(r, right);
      for (int s = left + 1; s < right; ++s)
        amplitudes.at(r, s) = static_cast<float>(from + (to - from) * (s - left) / (right - left));
    }
    left = right;
  }
  return EncodeTable(amplitudes, kDefaultCeiling);
}

}  // namespace

AnchorMask FilledSlices(const PartialTable& table) {
  AnchorMask anchors{};
  for (int s = 0; s < kSliceCount; ++s) anchors[static_cast<size_t>(s)] = SliceIsFilled(table, s) ? 1 : 0;
  return anchors;
}

TableInterpolation StartTableInterpolation(const PartialTable& ramTable) {
  TableInterpolation state;
  state.input = ramTable;
  OptimizeTable(state.input, kOptimizeRaise);
  state.anchors = FilledSlices(state.input);
  state.initialAnchors = state.anchors;
  state.polarityLock = InitialPolarityLock(ramTable);
  return state;
}

void ToggleAnchor(TableInterpolation& state) {
  const int slice = std::clamp<int>(state.currentSlice, 0, kLastSlice);
  state.anchors[static_cast<size_t>(slice)] = state.anchors[static_cast<size_t>(slice)] ? 0 : 1;
}

void ClearAnchors(TableInterpolation& state) { state.anchors.fill(0); }

void RestoreAnchors(TableInterpolation& state) { state.anchors = state.initialAnchors; }

InterpolationAlgorithm OtherInterpolationAlgorithm(InterpolationAlgorithm algorithm) {
  return algorithm == InterpolationAlgorithm::Ipol ? InterpolationAlgorithm::StretchIpol : InterpolationAlgorithm::Ipol;
}

PartialTable AnchorsOnly(const PartialTable& input, const AnchorMask& anchors) {
  PartialTable table = input;
  for (int s = 0; s < kSliceCount; ++s)
    if (!anchors[static_cast<size_t>(s)]) ClearColumn(table, s);
  return table;
}

PartialTable InterpolateTable(const PartialTable& input, const AnchorMask& anchors, InterpolationAlgorithm algorithm,
                              bool polarityLock, MessageCode* message) {
  if (message) *message = kMsgNone;
  if (FirstAnchor(anchors) < 0) {
    if (message) *message = kMsgNoData;
    return input;
  }
  // Only the anchors feed the result; clearing the rest keeps stale slices
  // out of the polarity chain.
  PartialTable table = AnchorsOnly(input, anchors);
  AnchorMask mask = anchors;
  if (polarityLock) LockAnchorPolarity(table, mask);
  if (algorithm == InterpolationAlgorithm::StretchIpol) StretchAnchors(table, mask);
  HoldEnds(table, mask);
  PartialTable output = FadeBetweenAnchors(table, mask);
  NormalizeTable(output);
  return output;
}
