#include "modules/loop_synthesis.h"

#include <algorithm>

#include "core/checked_alloc.h"
#include "dsp/signal_kernels.h"
#include "modules/loop_voices.h"
#include "modules/stereo_pair.h"

namespace {

void ReleaseOutput(LoopSynthesis& loop) {
  std::vector<float>().swap(loop.outputLeft);
  std::vector<float>().swap(loop.outputRight);
}

bool EnvelopeIsFlat(const EnvelopeNodes& nodes) {
  return std::all_of(nodes.begin(), nodes.end(), [](int16_t node) { return node == kEnvelopeNodeMax; });
}

void CopyInto(std::span<const float> from, int32_t length, std::vector<float>& to) {
  CheckedAlloc(to, static_cast<size_t>(length));
  const size_t count = std::min(from.size(), static_cast<size_t>(length));
  std::copy_n(from.begin(), count, to.begin());
  ZeroNonFinite(to);
}

MessageCode LowerDensity(LoopSynthesis& loop) {
  if (loop.density <= 1 || loop.smear <= 1) return kMsgMinValue;
  loop.density /= 2;
  loop.smear /= 2;
  return kMsgNone;
}

MessageCode RaiseDensity(LoopSynthesis& loop) {
  if (!(loop.density < loop.length / kDensityLimitDivisor && loop.density <= kMaxLoopDensity - 1)) return kMsgMaxValue;
  loop.density *= 2;
  loop.smear *= 2;
  return kMsgNone;
}

MessageCode LowerSmear(LoopSynthesis& loop) {
  if (loop.smear < 2) return kMsgMinValue;
  loop.smear /= 2;
  return kMsgNone;
}

MessageCode RaiseSmear(LoopSynthesis& loop) {
  if (loop.smear >= loop.density) return kMsgMaxValue;
  loop.smear *= 2;
  return kMsgNone;
}

void ReverseInput(LoopSynthesis& loop) {
  std::reverse(loop.inputLeft.begin(), loop.inputLeft.end());
  std::reverse(loop.inputRight.begin(), loop.inputRight.end());
  std::reverse(loop.envelope.begin(), loop.envelope.end());
  ApplyLevelEnvelope(loop);
}

MessageCode OutputToInput(LoopSynthesis& loop) {
  if (!loop.HasOutput()) return kMsgNoData;
  loop.envelope = FlatEnvelope();
  loop.inputLeft.swap(loop.outputLeft);
  loop.inputRight.swap(loop.outputRight);
  if (loop.widened) {
    loop.channels = 2;
    loop.widening = false;
  }
  ApplyLevelEnvelope(loop);
  return kMsgNone;
}

MessageCode ResetEnvelope(LoopSynthesis& loop) {
  if (EnvelopeIsFlat(loop.envelope)) return kMsgEnvelopeIsFlat;
  loop.envelope = FlatEnvelope();
  ApplyLevelEnvelope(loop);
  return kMsgNone;
}

// Keeps D and S within what the buttons allow, should the record have been
// filled some other way: powers of two, 1 <= S <= D <= 16384.
int32_t PowerOfTwoAtMost(int32_t value) {
  int32_t p = 1;
  while (p * 2 <= value && p < kMaxLoopDensity) p *= 2;
  return p;
}

}  // namespace

void FlushLoopSynthesis(LoopSynthesis& loop) {
  const bool bidirectional = loop.bidirectional;
  const bool widening = loop.widening;
  const VoiceSumMethod method = loop.sumMethod;
  loop = LoopSynthesis{};
  loop.bidirectional = bidirectional;
  loop.widening = widening;
  loop.sumMethod = method;
}

int32_t StartDensity(int32_t length) {
  const int32_t wanted = length / kDensityStartDivisor;
  int32_t density = 1;
  while (density < wanted && density < kMaxLoopDensity) density *= 2;
  return density;
}

MessageCode LoadLoopInput(LoopSynthesis& loop, std::span<const float> left, std::span<const float> right, int32_t length,
                            int channels, int32_t loopStart, int32_t loopEnd, std::string_view name) {
  FlushLoopSynthesis(loop);
  if (length <= 0 || left.empty()) return kMsgNoData;
  const bool stereo = channels >= 2 && !right.empty();
  loop.length = length;
  loop.channels = stereo ? 2 : 1;
  loop.loopStart = loopStart;
  loop.loopEnd = loopEnd;
  CopyInto(left, length, loop.inputLeft);
  CopyInto(stereo ? right : left, length, loop.inputRight);
  loop.inputPeak = ScalePairToPeak(loop.inputLeft, loop.inputRight, 1.0);
  loop.density = StartDensity(length);
  loop.smear = loop.density;
  loop.name = std::string(name);
  ApplyLevelEnvelope(loop);
  return kMsgDone;
}

void ApplyLevelEnvelope(LoopSynthesis& loop) {
  EnvelopeToSamples(loop.length, loop.envelope, loop.envelopeSamples);
  CheckedAlloc(loop.envelopedLeft, static_cast<size_t>(loop.length));
  CheckedAlloc(loop.envelopedRight, static_cast<size_t>(loop.length));
  for (size_t i = 0; i < static_cast<size_t>(loop.length); ++i) {
    loop.envelopedLeft[i] = loop.inputLeft[i] * loop.envelopeSamples[i];
    loop.envelopedRight[i] = loop.inputRight[i] * loop.envelopeSamples[i];
  }
  ReleaseOutput(loop);
}

MessageCode ComputeLoop(LoopSynthesis& loop, const ProgressHooks& hooks) {
  ReleaseOutput(loop);
  if (!loop.HasInput()) return kMsgNoData;
  loop.density = PowerOfTwoAtMost(std::max(loop.density, 1));
  loop.smear = std::min(PowerOfTwoAtMost(std::max(loop.smear, 1)), loop.density);

  const LoopVoicePlan plan = PlanLoopVoices(loop.length, loop.density, loop.smear, loop.bidirectional, loop.widening);
  loop.widened = plan.widening == 1;
  const bool stereo = plan.widening == 1 || loop.channels == 2;
  const bool fade = plan.voiceCount > 1;
  std::vector<float> leftSegment, rightSegment;
  MakeLoopSegment(loop.envelopedLeft, fade, leftSegment);
  if (stereo) MakeLoopSegment(loop.envelopedRight, fade, rightSegment);

  std::vector<float> left, right;
  CheckedAlloc(left, static_cast<size_t>(loop.length));
  CheckedAlloc(right, static_cast<size_t>(loop.length));
  const MessageCode result = SumLoopVoices(plan, leftSegment, rightSegment, left, right, stereo, loop.sumMethod, hooks);
  if (result != kMsgDone) return result;

  RemoveMean(left.data(), loop.length);
  if (stereo) {
    RemoveMean(right.data(), loop.length);
    ScalePairToPeak(left, right, 1.0);
  } else {
    ScalePairToPeak(left, left, 1.0);
    right = left;
  }
  loop.outputLeft.swap(left);
  loop.outputRight.swap(right);
  return kMsgDone;
}

MessageCode PressLoopSynthesisButton(LoopSynthesis& loop, int buttonCode, const ProgressHooks& hooks) {
  if (buttonCode < 1 || buttonCode > 12) return kMsgNone;
  if (!loop.HasInput()) return kMsgNoData;
  MessageCode message = kMsgNone;
  switch (buttonCode) {
    case kLoopLowerDensity: message = LowerDensity(loop); break;
    case kLoopRaiseDensity: message = RaiseDensity(loop); break;
    case kLoopLowerSmear: message = LowerSmear(loop); break;
    case kLoopRaiseSmear: message = RaiseSmear(loop); break;
    case kLoopBidirectional: loop.bidirectional = !loop.bidirectional; break;
    case kLoopWide: loop.widening = !loop.widening; break;
    case kLoopReverse: ReverseInput(loop); return kMsgNone;
    case kLoopOutToIn: return OutputToInput(loop);
    case kLoopEnvelopeReset: return ResetEnvelope(loop);
    case kLoopCompute: return ComputeLoop(loop, hooks);
    default: return kMsgNone;
  }
  // Every change of a parameter releases the output.
  if (message == kMsgNone) ReleaseOutput(loop);
  return message;
}

MessageCode SetLoopEnvelope(LoopSynthesis& loop, const EnvelopeNodes& nodes) {
  if (!loop.HasInput()) return kMsgNoData;
  for (size_t k = 0; k < nodes.size(); ++k)
    loop.envelope[k] = static_cast<int16_t>(std::clamp<int>(nodes[k], kEnvelopeNodeMin, kEnvelopeNodeMax));
  ApplyLevelEnvelope(loop);
  return kMsgNone;
}
