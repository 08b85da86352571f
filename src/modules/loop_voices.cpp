#include "modules/loop_voices.h"

#include <cstdlib>

#include "core/random.h"
#include "wavetable/partial_table.h"

std::vector<int32_t> DrawVoiceJitters(int32_t voiceCount) {
  std::vector<int32_t> jitters(static_cast<size_t>(voiceCount > 0 ? voiceCount : 0), 0);
  if (jitters.empty()) return jitters;
  // taken[a]: some earlier voice drew +a or -a. Only a non-negative draw can
  // equal such an absolute value, so negative draws are never refused and
  // the loop ends even when more voices than values exist.
  std::vector<uint8_t> taken(kJitterCentre + 1, 0);
  taken[0] = 1;  // voice 0
  for (size_t v = 1; v < jitters.size(); ++v) {
    int32_t r;
    do {
      r = RandomBelow(kJitterRange) - kJitterCentre;
    } while (r >= 0 && taken[static_cast<size_t>(r)]);
    taken[static_cast<size_t>(std::abs(r))] = 1;
    jitters[v] = r;
  }
  return jitters;
}

LoopVoicePlan PlanLoopVoices(int32_t length, int32_t density, int32_t smear, bool bidirectional, bool widening) {
  LoopVoicePlan plan;
  plan.widening = widening && smear >= 2 ? 1 : 0;
  plan.voiceCount = smear << plan.widening;
  const int64_t divisor = static_cast<int64_t>(density) << plan.widening;
  plan.spacing = divisor > 0 ? length / divisor : 0;
  const std::vector<int32_t> jitters = DrawVoiceJitters(plan.voiceCount);
  const size_t count = jitters.size();
  plan.offsets.resize(count);
  plan.directions.resize(count);
  plan.channels.resize(count);
  for (size_t v = 0; v < count; ++v) {
    const int64_t jitter = static_cast<int64_t>(Nearest(jitters[v] * static_cast<double>(plan.spacing) / kJitterScale));
    plan.offsets[v] = jitter + 2 * static_cast<int64_t>(length) - static_cast<int64_t>(v) * plan.spacing;
    const bool backward = bidirectional && ((v >> plan.widening) & 1u) != 0;
    plan.directions[v] = backward ? int8_t{-1} : int8_t{1};
    if (plan.widening == 0) plan.channels[v] = kVoiceFeedsLeft | kVoiceFeedsRight;
    else plan.channels[v] = (v & 1u) ? kVoiceFeedsLeft : kVoiceFeedsRight;
  }
  return plan;
}
