#include "wavetable/slice_navigation.h"

#include "wavetable/partial_table.h"

int16_t StepSlice(int16_t slice, SliceStep step) {
  int offset = 1;
  switch (step) {
    case SliceStep::Back1: offset = kSliceCount - 1; break;
    case SliceStep::Back8: offset = kSliceCount - 8; break;
    case SliceStep::Forward8: offset = 8; break;
    case SliceStep::Forward1: offset = 1; break;
  }
  const int current = ((slice % kSliceCount) + kSliceCount) % kSliceCount;
  return static_cast<int16_t>((current + offset) % kSliceCount);
}
