#pragma once
#include <array>
#include <cstdint>

#include "wavetable/partial_table.h"
#include "core/message_codes.h"

// Table interpolation: chosen slices ("anchors") are kept and every partial
// is faded linearly in amplitude from one anchor to the next.
using AnchorMask = std::array<uint8_t, kSliceCount>;

enum class InterpolationAlgorithm {
  Ipol,         // "IPOL": anchors stay where they are
  StretchIpol,  // "STRETCH+IPOL": anchors are first spread over the whole table
};

struct TableInterpolation {
  PartialTable input;          // the RAM table, optimised
  AnchorMask anchors{};
  AnchorMask initialAnchors{};  // for "RESTORE"
  int16_t currentSlice = 0;
  InterpolationAlgorithm algorithm = InterpolationAlgorithm::Ipol;
  bool polarityLock = false;
};

// Anchors start on the slices that hold data.
AnchorMask FilledSlices(const PartialTable& table);
TableInterpolation StartTableInterpolation(const PartialTable& ramTable);

void ToggleAnchor(TableInterpolation& state);   // "SLICE_SET" at the current slice
void ClearAnchors(TableInterpolation& state);   // "CLEAR"
void RestoreAnchors(TableInterpolation& state); // "RESTORE"
InterpolationAlgorithm OtherInterpolationAlgorithm(InterpolationAlgorithm algorithm);

// The anchors alone (all other slices silent), for "pANCHORS".
PartialTable AnchorsOnly(const PartialTable& input, const AnchorMask& anchors);

// The interpolated, normalised table. Without any anchor the input comes
// back unchanged and message (when given) becomes NoData.
PartialTable InterpolateTable(const PartialTable& input, const AnchorMask& anchors, InterpolationAlgorithm algorithm,
                              bool polarityLock, MessageCode* message = nullptr);
