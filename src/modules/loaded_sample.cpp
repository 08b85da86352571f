#include "modules/loaded_sample.h"

#include <algorithm>
#include <limits>

namespace {

int32_t LoadedFrames(std::span<const float> left, const SampleDescriptor& descriptor) {
  const uint64_t frames = std::min<uint64_t>(descriptor.frames, left.size());
  return static_cast<int32_t>(std::min<uint64_t>(frames, std::numeric_limits<int32_t>::max()));
}

int32_t Index(uint32_t value) {
  return static_cast<int32_t>(std::min<uint32_t>(value, static_cast<uint32_t>(std::numeric_limits<int32_t>::max())));
}

}  // namespace

SampleChannels SampleChannelsOf(std::span<const float> left, std::span<const float> right,
                                const SampleDescriptor& descriptor) {
  return {left, right, LoadedFrames(left, descriptor), descriptor.channels >= 2 ? 2 : 1};
}

ScanLoopShape ScanLoopShapeOf(const SampleDescriptor& descriptor) {
  if (descriptor.scanLoopCount < 2) return {};
  const int32_t stepSize = Index(descriptor.loopEnd) + 1;
  const uint64_t steps = std::min<uint64_t>(descriptor.scanLoopCount, std::numeric_limits<int32_t>::max());
  return {stepSize, static_cast<int32_t>(steps)};
}

MessageCode LoadLoopInputFromSample(LoopSynthesis& loop, std::span<const float> left, std::span<const float> right,
                                    const SampleDescriptor& descriptor, std::string_view name) {
  return LoadLoopInput(loop, left, right, LoadedFrames(left, descriptor), descriptor.channels >= 2 ? 2 : 1,
                       Index(descriptor.loopStart), Index(descriptor.loopEnd), name);
}

CrossSourceInput CrossSourceOf(std::span<const float> left, std::span<const float> right,
                               const SampleDescriptor& descriptor, std::string_view name) {
  CrossSourceInput input;
  input.left = left;
  input.right = right;
  input.length = LoadedFrames(left, descriptor);
  input.channels = descriptor.channels >= 2 ? 2 : 1;
  input.loop.type = LoopTypeFromFile(descriptor.loopCount >= 1, descriptor.loopType);
  input.loop.start = Index(descriptor.loopStart);
  input.loop.end = Index(descriptor.loopEnd);
  input.name = name;
  return input;
}
