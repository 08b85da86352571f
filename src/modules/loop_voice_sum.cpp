#include "modules/loop_voice_sum.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>

#include "core/checked_alloc.h"
#include "dsp/complex_fft.h"
#include "dsp/signal_kernels.h"

namespace {

using Complex = std::complex<double>;

// Additions of the voice-by-voice sum that cost as much as one point of
// one transform stage (measured with the benchmark of loop synthesis).
constexpr double kDirectAdditionsPerTransformPoint = 8.0;

void AddVoice(std::span<const float> segment, int64_t offset, int direction, std::span<float> out) {
  const int64_t length = static_cast<int64_t>(segment.size());
  const float* seg = segment.data();
  float* dst = out.data();
  const int64_t q = ((offset % length) + length) % length;
  if (direction > 0) {
    const int64_t first = length - q;
    for (int64_t i = 0; i < first; ++i) dst[i] += seg[q + i];
    for (int64_t i = first; i < length; ++i) dst[i] += seg[i - first];
  } else {
    for (int64_t i = 0; i <= q; ++i) dst[i] += seg[q - i];
    for (int64_t i = q + 1; i < length; ++i) dst[i] += seg[q + length - i];
  }
}

MessageCode SumDirect(const LoopVoicePlan& plan, std::span<const float> leftSegment, std::span<const float> rightSegment,
                        std::span<float> left, std::span<float> right, bool stereo, const ProgressHooks& hooks) {
  const int32_t voices = static_cast<int32_t>(plan.offsets.size());
  for (int32_t v = 0; v < voices; ++v) {
    if (ProgressCancelled(hooks, kCalculationProgressLabel, v, voices)) return kMsgAborted;
    const uint8_t feeds = plan.channels[static_cast<size_t>(v)];
    const int64_t offset = plan.offsets[static_cast<size_t>(v)];
    const int direction = plan.directions[static_cast<size_t>(v)];
    if (feeds & kVoiceFeedsLeft) AddVoice(leftSegment, offset, direction, left);
    if (stereo && (feeds & kVoiceFeedsRight)) AddVoice(rightSegment, offset, direction, right);
  }
  ProgressFinished(hooks, kCalculationProgressLabel, voices);
  return kMsgDone;
}

// The stretch of the tripled loop the voices read, [first, last].
struct ReadSpan {
  int64_t first = 0;
  int64_t last = 0;
};

ReadSpan VoiceReadSpan(const LoopVoicePlan& plan, int64_t length) {
  ReadSpan span{INT64_MAX, INT64_MIN};
  for (size_t v = 0; v < plan.offsets.size(); ++v) {
    const int64_t o = plan.offsets[v];
    const int64_t low = plan.directions[v] > 0 ? o : o - (length - 1);
    const int64_t high = plan.directions[v] > 0 ? o + (length - 1) : o;
    span.first = std::min(span.first, low);
    span.last = std::max(span.last, high);
  }
  return span;
}

int64_t TransformLength(int64_t points) {
  int64_t m = 2;
  while (m < points) m *= 2;
  return m;
}

Complex At(const std::vector<float>& z, int64_t k) {
  return {z[static_cast<size_t>(2 * k)], z[static_cast<size_t>(2 * k + 1)]};
}

void Store(std::vector<float>& z, int64_t k, Complex value) {
  z[static_cast<size_t>(2 * k)] = static_cast<float>(value.real());
  z[static_cast<size_t>(2 * k + 1)] = static_cast<float>(value.imag());
}

// The spectra of the real and the imaginary signal of one packed transform.
struct SplitPair {
  Complex real;
  Complex imag;
};

SplitPair Split(const std::vector<float>& z, int64_t k, int64_t j) {
  const Complex zk = At(z, k), zj = std::conj(At(z, j));
  return {(zk + zj) * 0.5, (zk - zj) * Complex(0.0, -0.5)};
}

// segment[(base + m) mod L] for m < count, zero beyond, in the real (left)
// and imaginary (right) parts.
void FillPackedSource(std::vector<float>& z, std::span<const float> leftSegment, std::span<const float> rightSegment,
                      bool stereo, int64_t base, int64_t count) {
  const int64_t length = static_cast<int64_t>(leftSegment.size());
  int64_t index = ((base % length) + length) % length;
  for (int64_t m = 0; m < count; ++m) {
    z[static_cast<size_t>(2 * m)] = leftSegment[static_cast<size_t>(index)];
    z[static_cast<size_t>(2 * m + 1)] = stereo ? rightSegment[static_cast<size_t>(index)] : 0.0f;
    if (++index == length) index = 0;
  }
}

// A 1 (or the number of voices sharing the offset) at every offset of the
// voices that read in the given direction, left train real, right train
// imaginary. False when no voice reads that way.
bool FillImpulseTrains(std::vector<float>& z, const LoopVoicePlan& plan, int direction, bool stereo, int64_t base) {
  bool any = false;
  for (size_t v = 0; v < plan.offsets.size(); ++v) {
    if (plan.directions[v] != direction) continue;
    any = true;
    const int64_t at = plan.offsets[v] - base;
    if (plan.channels[v] & kVoiceFeedsLeft) z[static_cast<size_t>(2 * at)] += 1.0f;
    if (stereo && (plan.channels[v] & kVoiceFeedsRight)) z[static_cast<size_t>(2 * at + 1)] += 1.0f;
  }
  return any;
}

MessageCode SumSpectral(const LoopVoicePlan& plan, std::span<const float> leftSegment, std::span<const float> rightSegment,
                          std::span<float> left, std::span<float> right, bool stereo, const ProgressHooks& hooks) {
  const int64_t length = static_cast<int64_t>(leftSegment.size());
  const ReadSpan reads = VoiceReadSpan(plan, length);
  const int64_t count = reads.last - reads.first + 1;
  const int64_t m = TransformLength(count);
  const auto points = static_cast<int32_t>(m);
  const int64_t stages = 6;
  int64_t stage = 0;
  auto cancelled = [&]() { return ProgressCancelled(hooks, kCalculationProgressLabel, stage++, stages); };

  // Voice v adds a[o_v - base + i] (forward) or a[o_v - base - i]
  // (backward) to out[i], a being the tripled loop from base on. In the
  // transform domain that is conj(H) A and conj(A) G, H and G the spectra
  // of the forward and backward impulse trains; every index stays below m,
  // so the circular correlation never wraps.
  if (cancelled()) return kMsgAborted;
  std::vector<float> source;
  CheckedAlloc(source, static_cast<size_t>(2 * m));
  FillPackedSource(source, leftSegment, rightSegment, stereo, reads.first, count);
  ComplexFft(points, source.data(), kFftForward);

  if (cancelled()) return kMsgAborted;
  std::vector<float> forward;
  CheckedAlloc(forward, static_cast<size_t>(2 * m));
  const bool anyForward = FillImpulseTrains(forward, plan, 1, stereo, reads.first);
  if (anyForward) ComplexFft(points, forward.data(), kFftForward);

  if (cancelled()) return kMsgAborted;
  std::vector<float> backward;
  CheckedAlloc(backward, static_cast<size_t>(2 * m));
  const bool anyBackward = FillImpulseTrains(backward, plan, -1, stereo, reads.first);
  if (anyBackward) ComplexFft(points, backward.data(), kFftForward);
  else std::vector<float>().swap(backward);

  if (cancelled()) return kMsgAborted;
  // The output spectrum goes into the forward buffer, one conjugate pair of
  // bins at a time, so each pair is read before it is overwritten.
  for (int64_t k = 0; k <= m / 2; ++k) {
    const int64_t j = (m - k) % m;
    const SplitPair a = Split(source, k, j);
    const SplitPair h = anyForward ? Split(forward, k, j) : SplitPair{};
    const SplitPair g = anyBackward ? Split(backward, k, j) : SplitPair{};
    const Complex yLeft = std::conj(h.real) * a.real + std::conj(a.real) * g.real;
    const Complex yRight = std::conj(h.imag) * a.imag + std::conj(a.imag) * g.imag;
    const Complex i(0.0, 1.0);
    Store(forward, k, yLeft + i * yRight);
    if (j != k) Store(forward, j, std::conj(yLeft) + i * std::conj(yRight));
  }
  std::vector<float>().swap(source);
  std::vector<float>().swap(backward);

  if (cancelled()) return kMsgAborted;
  ComplexFft(points, forward.data(), kFftInverse);

  if (cancelled()) return kMsgAborted;
  const double scale = 1.0 / static_cast<double>(m);
  for (int64_t n = 0; n < length; ++n) {
    left[static_cast<size_t>(n)] += static_cast<float>(forward[static_cast<size_t>(2 * n)] * scale);
    if (stereo) right[static_cast<size_t>(n)] += static_cast<float>(forward[static_cast<size_t>(2 * n + 1)] * scale);
  }
  ProgressFinished(hooks, kCalculationProgressLabel, stages);
  return kMsgDone;
}

}  // namespace

void MakeLoopSegment(std::span<const float> input, bool fade, std::vector<float>& segment) {
  CheckedAlloc(segment, input.size());
  std::copy(input.begin(), input.end(), segment.begin());
  if (!fade || segment.empty()) return;
  std::array<double, 2 * kLoopFadeLength> window;
  HannWindow(window.data(), 2 * kLoopFadeLength);
  const size_t length = segment.size();
  const size_t fadeLength = std::min(static_cast<size_t>(kLoopFadeLength), length);
  for (size_t k = 0; k < fadeLength; ++k) {
    segment[k] = static_cast<float>(segment[k] * window[k]);
    segment[length - 1 - k] = static_cast<float>(segment[length - 1 - k] * window[k]);
  }
}

VoiceSumMethod ChooseVoiceSumMethod(const LoopVoicePlan& plan, int32_t length, bool stereo) {
  if (length <= 0 || plan.offsets.empty()) return VoiceSumMethod::Direct;
  double additions = 0.0;
  for (uint8_t feeds : plan.channels) {
    if (feeds & kVoiceFeedsLeft) additions += length;
    if (stereo && (feeds & kVoiceFeedsRight)) additions += length;
  }
  const ReadSpan reads = VoiceReadSpan(plan, length);
  const double m = static_cast<double>(TransformLength(reads.last - reads.first + 1));
  const bool bothDirections = std::any_of(plan.directions.begin(), plan.directions.end(), [](int8_t d) { return d < 0; }) &&
                              std::any_of(plan.directions.begin(), plan.directions.end(), [](int8_t d) { return d > 0; });
  const double transforms = bothDirections ? 4.0 : 3.0;
  const double spectralCost = transforms * m * std::log2(m) * kDirectAdditionsPerTransformPoint;
  return additions > spectralCost ? VoiceSumMethod::Spectral : VoiceSumMethod::Direct;
}

MessageCode SumLoopVoices(const LoopVoicePlan& plan, std::span<const float> leftSegment,
                            std::span<const float> rightSegment, std::span<float> left, std::span<float> right, bool stereo,
                            VoiceSumMethod method, const ProgressHooks& hooks) {
  const size_t length = leftSegment.size();
  if (length == 0 || left.size() < length || (stereo && (rightSegment.size() < length || right.size() < length)))
    return kMsgNoData;
  if (method == VoiceSumMethod::Automatic) method = ChooseVoiceSumMethod(plan, static_cast<int32_t>(length), stereo);
  if (method == VoiceSumMethod::Spectral)
    return SumSpectral(plan, leftSegment, rightSegment, left, right, stereo, hooks);
  return SumDirect(plan, leftSegment, rightSegment, left, right, stereo, hooks);
}
