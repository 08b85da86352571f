#include "modules/cross_synthesis.h"

#include <algorithm>

#include "core/checked_alloc.h"
#include "dsp/fft_tables.h"
#include "modules/stereo_pair.h"
#include "wavetable/partial_table.h"

namespace {

// One third of the output mix: 258 steps in three segments of 86.
constexpr int32_t kMixSteps = 258;
constexpr int32_t kMixSegment = 86;

void LoadSource(CrossSource& source, const CrossSourceInput& input) {
  source.length = input.length;
  CheckedAlloc(source.left, static_cast<size_t>(input.length));
  CheckedAlloc(source.right, static_cast<size_t>(input.length));
  const bool stereo = input.channels >= 2 && !input.right.empty();
  std::copy_n(input.left.begin(), std::min(input.left.size(), source.left.size()), source.left.begin());
  const std::span<const float> right = stereo ? input.right : input.left;
  std::copy_n(right.begin(), std::min(right.size(), source.right.size()), source.right.begin());
  ZeroNonFinite(source.left);
  ZeroNonFinite(source.right);
  source.loop = LoopIsValid(input.loop, input.length) ? input.loop : SourceLoop{};
  source.name = std::string(input.name);
}

bool HasLoop(const CrossSource& source) { return LoopIsValid(source.loop, source.length); }

void Fill(const CrossSource& source, bool pad, int32_t length, std::vector<float>& left, std::vector<float>& right) {
  CheckedAlloc(left, static_cast<size_t>(length));
  CheckedAlloc(right, static_cast<size_t>(length));
  // Without padding the loop is ignored: a copy of the first L samples.
  const SourceLoop loop = pad ? source.loop : SourceLoop{};
  LoopPad(loop, source.left, left);
  LoopPad(loop, source.right, right);
}

}  // namespace

const char* LoopActiveText(int16_t mode) {
  switch (mode) {
    case kLoopActiveFileA: return "FILE A";
    case kLoopActiveFileB: return "FILE B";
    case kLoopActiveBoth: return "BOTH";
    default: return "NONE";
  }
}

void EnterCrossSynthesis(CrossSynthesis& cross, int threads) {
  FlushCrossSynthesis(cross);
  cross.threads = threads;
  AllocateFftTables(kMaxResynthesisFrame);
}

void LeaveCrossSynthesis(CrossSynthesis& cross) {
  ReleaseFftTables();
  FlushCrossSynthesis(cross);
}

void FlushCrossSynthesis(CrossSynthesis& cross) {
  CrossSynthesis flushed;
  flushed.envelope = cross.envelope;
  flushed.limitMode = cross.limitMode;
  flushed.settings = cross.settings;
  flushed.threads = cross.threads;
  cross = std::move(flushed);
}

MessageCode LoadCrossSources(CrossSynthesis& cross, const CrossSourceInput& a, const CrossSourceInput& b) {
  FlushCrossSynthesis(cross);
  if (a.length <= 0 || b.length <= 0 || a.left.empty() || b.left.empty()) return kMsgNoData;
  LoadSource(cross.a, a);
  LoadSource(cross.b, b);
  ApplyLoopMode(cross, kLoopActiveNone);
  RemixCrossOutput(cross);
  return kMsgDone;
}

int32_t LoopModeLength(int16_t mode, int32_t lengthA, int32_t lengthB) {
  switch (mode) {
    case kLoopActiveFileA: return lengthB;
    case kLoopActiveFileB: return lengthA;
    case kLoopActiveBoth: return std::max(lengthA, lengthB);
    default: return std::min(lengthA, lengthB);
  }
}

void ApplyLoopMode(CrossSynthesis& cross, int16_t mode) {
  cross.loopMode = mode >= 0 && mode < kLoopActiveModeCount ? mode : kLoopActiveNone;
  const int32_t length = std::max(LoopModeLength(cross.loopMode, cross.a.length, cross.b.length), 0);
  cross.length = length;
  const bool padA = cross.loopMode == kLoopActiveFileA || cross.loopMode == kLoopActiveBoth;
  const bool padB = cross.loopMode == kLoopActiveFileB || cross.loopMode == kLoopActiveBoth;
  Fill(cross.a, padA, length, cross.aLeft, cross.aRight);
  Fill(cross.b, padB, length, cross.bLeft, cross.bRight);
  const size_t results = length > 0 ? static_cast<size_t>(length) + kResultHeadroom : 0;
  for (std::vector<float>* channel : {&cross.abLeft, &cross.abRight, &cross.baLeft, &cross.baRight})
    CheckedAlloc(*channel, results);
  CheckedAlloc(cross.outLeft, static_cast<size_t>(length));
  CheckedAlloc(cross.outRight, static_cast<size_t>(length));
  CheckedAlloc(cross.envelopeSamples, static_cast<size_t>(length));
}

bool LoopModeIsValid(const CrossSynthesis& cross, int16_t mode) {
  switch (mode) {
    case kLoopActiveNone: return true;
    case kLoopActiveFileA: return HasLoop(cross.a) && cross.b.length - 1 > cross.a.loop.start;
    case kLoopActiveFileB: return HasLoop(cross.b) && cross.a.length - 1 > cross.b.loop.start;
    case kLoopActiveBoth: return HasLoop(cross.a) && HasLoop(cross.b);
    default: return false;
  }
}

MessageCode CycleLoopMode(CrossSynthesis& cross) {
  if (!HasLoop(cross.a) && !HasLoop(cross.b)) return kMsgNoLoopData;
  if (cross.a.length == cross.b.length) return kMsgEqualFileLength;
  // From the next mode on up to 3, then 0, which is always valid.
  int16_t mode = kLoopActiveNone;
  for (int16_t candidate = static_cast<int16_t>((cross.loopMode + 1) % kLoopActiveModeCount);
       candidate != kLoopActiveNone && candidate < kLoopActiveModeCount; ++candidate) {
    if (LoopModeIsValid(cross, candidate)) {
      mode = candidate;
      break;
    }
  }
  ApplyLoopMode(cross, mode);
  RemixCrossOutput(cross);
  return kMsgNone;
}

void MixCrossOutput(CrossSynthesis& cross) {
  const size_t length = static_cast<size_t>(std::max(cross.length, 0));
  if (length == 0 || cross.outLeft.size() < length || cross.envelopeSamples.size() < length) return;
  for (size_t i = 0; i < length; ++i) {
    const int32_t x = std::clamp(static_cast<int32_t>(Nearest(kMixSteps * static_cast<double>(cross.envelopeSamples[i]))), 0, kMixSteps);
    const int32_t segment = x / kMixSegment;
    const float f = static_cast<float>(x % kMixSegment) / kMixSegment;
    const float g = 1.0f - f;
    float left, right;
    switch (segment) {
      case 0:
        left = cross.bLeft[i] * g + cross.baLeft[i] * f;
        right = cross.bRight[i] * g + cross.baRight[i] * f;
        break;
      case 1:
        left = cross.baLeft[i] * g + cross.abLeft[i] * f;
        right = cross.baRight[i] * g + cross.abRight[i] * f;
        break;
      case 2:
        left = cross.abLeft[i] * g + cross.aLeft[i] * f;
        right = cross.abRight[i] * g + cross.aRight[i] * f;
        break;
      default:
        left = cross.aLeft[i];
        right = cross.aRight[i];
        break;
    }
    cross.outLeft[i] = left;
    cross.outRight[i] = right;
  }
}

void RemixCrossOutput(CrossSynthesis& cross) {
  if (cross.length <= 0) return;
  EnvelopeToSamples(cross.length, cross.envelope, cross.envelopeSamples);
  MixCrossOutput(cross);
}

MessageCode PressCrossSynthesisButton(CrossSynthesis& cross, int buttonCode) {
  if (buttonCode < 1 || buttonCode > 12) return kMsgNone;
  if (!cross.HasOutput()) return kMsgNoData;
  CrossEnvelopeEdit edit;
  switch (buttonCode) {
    case 1: edit = CrossEnvelopeEdit::Set; break;
    case 2: edit = CrossEnvelopeEdit::Random; break;
    case 3: edit = CrossEnvelopeEdit::Smooth; break;
    case 4: edit = CrossEnvelopeEdit::Invert; break;
    case 5: edit = CrossEnvelopeEdit::Reverse; break;
    case 6: edit = CrossEnvelopeEdit::Sweep; break;
    case 7: edit = CrossEnvelopeEdit::Normal; break;
    case 12: edit = CrossEnvelopeEdit::Limit; break;
    default: return kMsgNone;
  }
  EditCrossEnvelope(cross.envelope, cross.limitMode, edit);
  RemixCrossOutput(cross);
  return kMsgNone;
}

MessageCode DrawCrossEnvelope(CrossSynthesis& cross, int node, int value) {
  if (!cross.HasOutput()) return kMsgNoData;
  DrawCrossEnvelopeNode(cross.envelope, cross.limitMode, node, value);
  RemixCrossOutput(cross);
  return kMsgNone;
}
