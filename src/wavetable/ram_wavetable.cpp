#include "wavetable/ram_wavetable.h"

#include <algorithm>

#include "core/checked_alloc.h"

void AllocateRamWavetable(RamWavetable& ram) {
  CheckedAlloc(ram.samples, kRamWavetableSamples);
  ram.length = 0;
}

void ReleaseRamWavetable(RamWavetable& ram) {
  std::vector<float>().swap(ram.samples);
  ram.length = 0;
}

size_t RenderedLength(int sliceLength, int32_t stretch) {
  return SliceStart(kLastSlice, sliceLength, stretch) + static_cast<size_t>(sliceLength);
}

size_t SliceStart(int slice, int sliceLength, int32_t stretch) {
  return static_cast<size_t>(slice) * static_cast<size_t>(sliceLength) * static_cast<size_t>(stretch);
}

int32_t ClampStretch(int32_t stretch) { return std::clamp(stretch, kMinStretch, kMaxStretch); }

int32_t ShownSpeed(int32_t stretch) { return kMaxStretch + 1 - stretch; }

int32_t FasterPlayback(int32_t stretch) { return ClampStretch(stretch - 1); }

int32_t SlowerPlayback(int32_t stretch) { return ClampStretch(stretch + 1); }

std::string RamNameFrom(std::string_view name) {
  return std::string(name.substr(0, std::min<size_t>(name.size(), kRamNameMaxChars)));
}
