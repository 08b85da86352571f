#include "wavetable/slice_order.h"

#include <algorithm>
#include <numeric>

#include "core/random.h"
#include "wavetable/table_editing.h"
#include "wavetable/vorta_synthesis.h"

namespace {

int WrapSlice(int slice) { return ((slice % kSliceCount) + kSliceCount) % kSliceCount; }

void RotateOrder(SliceOrder& order, int offset) {
  for (int16_t& entry : order) entry = static_cast<int16_t>(WrapSlice(entry + offset));
}

void RandomOrder(SliceOrder& order) {
  for (int i = 0; i < kSliceCount; ++i) {
    int16_t candidate;
    do {
      candidate = static_cast<int16_t>(RandomBelow(kSliceCount));
    } while (std::find(order.begin(), order.begin() + i, candidate) != order.begin() + i);
    order[static_cast<size_t>(i)] = candidate;
  }
}

}  // namespace

SliceOrder IdentityOrder() {
  SliceOrder order{};
  std::iota(order.begin(), order.end(), static_cast<int16_t>(0));
  return order;
}

void ApplyOrderOperation(SliceOrder& order, OrderOperation operation, int selectedSlice) {
  switch (operation) {
    case OrderOperation::RotateBack1: RotateOrder(order, kSliceCount - 1); break;
    case OrderOperation::RotateBack8: RotateOrder(order, kSliceCount - 8); break;
    case OrderOperation::RotateForward8: RotateOrder(order, 8); break;
    case OrderOperation::RotateForward1: RotateOrder(order, 1); break;
    case OrderOperation::Mirror: ReverseRow(order, kSliceCount / 2); break;
    case OrderOperation::Reverse: ReverseRow(order, kSliceCount); break;
    case OrderOperation::Random: RandomOrder(order); break;
    case OrderOperation::Static: StaticRow(order, selectedSlice); break;
    case OrderOperation::Reset: order = IdentityOrder(); break;
  }
}

void SetOrderEntry(SliceOrder& order, int outputSlice, int sourceSlice) {
  if (outputSlice < 0 || outputSlice > kLastSlice) return;
  order[static_cast<size_t>(outputSlice)] = static_cast<int16_t>(std::clamp(sourceSlice, 0, kLastSlice));
}

PartialTable ReorderSlices(const PartialTable& input, const SliceOrder& order) {
  PartialTable output;
  for (int c = 0; c < kSliceCount; ++c) {
    const int source = WrapSlice(order[static_cast<size_t>(c)]);
    for (int r = 0; r < kPartialCount; ++r) output.at(r, c) = input.at(r, source);
  }
  OptimizeTable(output, kOptimizeRaise);
  return output;
}
