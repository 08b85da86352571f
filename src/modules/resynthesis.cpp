#include "modules/resynthesis.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/checked_alloc.h"
#include "core/work_crew.h"
#include "dsp/complex_fft.h"
#include "dsp/signal_kernels.h"
#include "dsp/stereo_spectrum.h"
#include "modules/frame_transform.h"
#include "modules/stereo_pair.h"

namespace {

// Complex points of frame output per batch: small enough that progress and
// cancel answer within a few milliseconds, large enough that starting the
// threads costs next to nothing.
constexpr int64_t kBatchPoints = 65536;

// What every frame reads: the four padded inputs (N zeros, then the work
// signal), the window and the settings.
struct FrameSource {
  int32_t n = 0;
  float contrast = 0.5f;
  bool phaseCorrection = true;
  std::vector<float> aLeft, aRight, bLeft, bRight;  // 2N + L samples each
  std::vector<double> window;
};

// One thread's scratch: two packed frames, four half spectra in, four out.
struct FrameScratch {
  std::vector<float> frameA, frameB;
  std::vector<float> al, ar, bl, br;
  std::vector<float> abl, abr, bal, bar;

  explicit FrameScratch(int32_t n) {
    const size_t packed = 2 * static_cast<size_t>(n);
    const size_t half = 2 * (static_cast<size_t>(n) / 2 + 1);
    for (std::vector<float>* v : {&frameA, &frameB}) v->assign(packed, 0.0f);
    for (std::vector<float>* v : {&al, &ar, &bl, &br, &abl, &abr, &bal, &bar}) v->assign(half, 0.0f);
  }
};

struct UnitVector {
  double c;
  double s;
};

// The measured phase as a unit vector; a bin whose imaginary part is
// exactly 0 has phase 0 whatever the sign of its real part. In double
// precision, so that the square of a tiny bin cannot vanish.
UnitVector PhaseVector(float re, float im) {
  if (im == 0.0f) return {1.0, 0.0};
  const double inverse = 1.0 / std::sqrt(static_cast<double>(re) * re + static_cast<double>(im) * im);
  return {re * inverse, im * inverse};
}

// cos and sin of d = |phi_a - phi_b| / 2 for the phases in (-pi, pi) the
// bins are read with, from the unit vectors alone: cos 2d is their dot
// product, d lies in [0, pi), and d passes pi / 2 only when the two phases
// lie in opposite half-planes and their difference passes pi.
UnitVector HalfDifference(const UnitVector& a, const UnitVector& b) {
  const double cosDifference = std::clamp(a.c * b.c + a.s * b.s, -1.0, 1.0);
  const double sinDifference = a.s * b.c - a.c * b.s;  // sin(phi_a - phi_b)
  const bool beyondPi = (a.s > 0.0 && b.s < 0.0 && sinDifference < 0.0) || (a.s < 0.0 && b.s > 0.0 && sinDifference > 0.0);
  const double cosHalf = std::sqrt((1.0 + cosDifference) * 0.5);
  return {beyondPi ? -cosHalf : cosHalf, std::sqrt((1.0 - cosDifference) * 0.5)};
}

void LoadFrame(const std::vector<float>& left, const std::vector<float>& right, const std::vector<double>& window, int64_t p,
               int32_t n, std::vector<float>& frame) {
  const float* l = left.data() + p;
  const float* r = right.data() + p;
  for (int32_t i = 0; i < n; ++i) {
    frame[2 * static_cast<size_t>(i)] = static_cast<float>(l[i] * window[static_cast<size_t>(i)]);
    frame[2 * static_cast<size_t>(i) + 1] = static_cast<float>(r[i] * window[static_cast<size_t>(i)]);
  }
}

// Both hybrids of the frame at p, inverse-transformed and windowed: "A*B"
// into ab (left real, right imaginary) and "B*A" into ba, 2N floats each.
void ResynthesizeFrame(const FrameSource& source, int64_t p, FrameScratch& scratch, float* ab, float* ba) {
  const int32_t n = source.n;
  LoadFrame(source.aLeft, source.aRight, source.window, p, n, scratch.frameA);
  LoadFrame(source.bLeft, source.bRight, source.window, p, n, scratch.frameB);
  FrameTransform(n, scratch.frameA.data(), kFftForward);
  FrameTransform(n, scratch.frameB.data(), kFftForward);
  UnpackStereoSpectrum(scratch.frameA.data(), scratch.al.data(), scratch.ar.data(), n);
  UnpackStereoSpectrum(scratch.frameB.data(), scratch.bl.data(), scratch.br.data(), n);
  const int32_t half = n / 2;
  CombineHybridBins(scratch.al.data(), scratch.bl.data(), half, source.contrast, source.phaseCorrection, scratch.abl.data(), scratch.bal.data());
  CombineHybridBins(scratch.ar.data(), scratch.br.data(), half, source.contrast, source.phaseCorrection, scratch.abr.data(), scratch.bar.data());
  PackStereoSpectrum(ab, scratch.abl.data(), scratch.abr.data(), n);
  PackStereoSpectrum(ba, scratch.bal.data(), scratch.bar.data(), n);
  FrameTransform(n, ab, kFftInverse);
  FrameTransform(n, ba, kFftInverse);
  for (int32_t i = 0; i < n; ++i) {
    const double w = source.window[static_cast<size_t>(i)];
    for (float* out : {ab, ba}) {
      out[2 * static_cast<size_t>(i)] = static_cast<float>(out[2 * static_cast<size_t>(i)] * w);
      out[2 * static_cast<size_t>(i) + 1] = static_cast<float>(out[2 * static_cast<size_t>(i) + 1] * w);
    }
  }
}

void PadInput(const std::vector<float>& work, int32_t n, int32_t length, std::vector<float>& padded) {
  CheckedAlloc(padded, 2 * static_cast<size_t>(n) + static_cast<size_t>(length));
  std::copy_n(work.begin(), length, padded.begin() + n);
}

void AddFrame(const float* frame, int32_t n, float* left, float* right) {
  for (int32_t i = 0; i < n; ++i) {
    left[i] += frame[2 * static_cast<size_t>(i)];
    right[i] += frame[2 * static_cast<size_t>(i) + 1];
  }
}

// Drops the N leading samples the padding put in front, keeping L.
void ShiftResult(std::vector<float>& channel, int32_t n, int32_t length) {
  std::copy(channel.begin() + n, channel.begin() + n + length, channel.begin());
  std::fill(channel.begin() + length, channel.end(), 0.0f);
}

int32_t ValidFrameSize(int32_t n) {
  int32_t size = kMinFrameSize;
  while (size < n && size < kMaxFrameSize) size *= 2;
  return size;
}

}  // namespace

void CombineHybridBins(const float* a, const float* b, int32_t bins, float contrast, bool phaseCorrection, float* ab, float* ba) {
  for (int32_t k = 0; k < bins; ++k) {
    const size_t re = 2 * static_cast<size_t>(k), im = re + 1;
    const float aa = a[re] * a[re] + a[im] * a[im];
    const float bb = b[re] * b[re] + b[im] * b[im];
    // (|A| |B|)^c as (|A|^2 |B|^2)^(c/2): one power, no square roots.
    const float product = aa * bb;
    const double magnitude = product > 0.0f ? std::pow(product, 0.5f * contrast) : 0.0f;
    UnitVector toAb = PhaseVector(a[re], a[im]);
    UnitVector toBa = PhaseVector(b[re], b[im]);
    if (phaseCorrection) {
      // "A*B" turns forward by d, "B*A" back by d.
      const UnitVector d = HalfDifference(toAb, toBa);
      toAb = {toAb.c * d.c - toAb.s * d.s, toAb.s * d.c + toAb.c * d.s};
      toBa = {toBa.c * d.c + toBa.s * d.s, toBa.s * d.c - toBa.c * d.s};
    }
    ab[re] = static_cast<float>(magnitude * toAb.c);
    ab[im] = static_cast<float>(magnitude * toAb.s);
    ba[re] = static_cast<float>(magnitude * toBa.c);
    ba[im] = static_cast<float>(magnitude * toBa.s);
  }
  // The Nyquist bin stays empty.
  ab[2 * static_cast<size_t>(bins)] = ab[2 * static_cast<size_t>(bins) + 1] = 0.0f;
  ba[2 * static_cast<size_t>(bins)] = ba[2 * static_cast<size_t>(bins) + 1] = 0.0f;
}

MessageCode Resynthesize(CrossSynthesis& cross, const ProgressHooks& hooks, int threads) {
  const int32_t length = cross.length;
  if (length <= 0 || cross.aLeft.size() < static_cast<size_t>(length) || cross.bLeft.size() < static_cast<size_t>(length))
    return kMsgNoData;
  const int threadCount = std::clamp(threads, 1, kMaxResynthesisThreads);

  FrameSource source;
  source.n = ValidFrameSize(cross.settings.frameSize);
  source.contrast = cross.settings.contrast;
  source.phaseCorrection = cross.settings.phaseCorrection;
  const int32_t n = source.n;
  const int32_t hop = std::max(1, n / std::max(cross.settings.overlap, 1));
  PadInput(cross.aLeft, n, length, source.aLeft);
  PadInput(cross.aRight, n, length, source.aRight);
  PadInput(cross.bLeft, n, length, source.bLeft);
  PadInput(cross.bRight, n, length, source.bRight);
  source.window.resize(static_cast<size_t>(n));
  HannWindow(source.window.data(), n);
  const size_t results = static_cast<size_t>(length) + kResultHeadroom;
  for (std::vector<float>* channel : {&cross.abLeft, &cross.abRight, &cross.baLeft, &cross.baRight}) CheckedAlloc(*channel, results);

  const int64_t lastA = LastNonZeroOfPair(cross.aLeft, cross.aRight);
  const int64_t lastB = LastNonZeroOfPair(cross.bLeft, cross.bRight);
  const int64_t end = std::min<int64_t>(length, std::max<int64_t>(std::min(lastA, lastB), 0)) + n;
  const int64_t frames = (end + hop - 1) / hop;

  PrepareFrameTransforms(n);
  // A batch of frames is computed in parallel, then overlap-added here in
  // frame order; between batches the page may show progress and cancel.
  const int64_t batch = std::max<int64_t>(2 * threadCount, kBatchPoints / n);
  const size_t frameFloats = 2 * static_cast<size_t>(n);
  std::vector<float> batchAb(static_cast<size_t>(batch) * frameFloats);
  std::vector<float> batchBa(static_cast<size_t>(batch) * frameFloats);
  std::vector<FrameScratch> scratch;
  for (int t = 0; t < threadCount; ++t) scratch.emplace_back(n);

  WorkCrewHandle crew;  // the helper threads of this synthesis, kept from batch to batch
  MessageCode result = kMsgDone;
  for (int64_t first = 0; first < frames; first += batch) {
    if (ProgressCancelled(hooks, kCalculationProgressLabel, first * hop, end)) {
      result = kMsgAborted;
      break;
    }
    const int64_t count = std::min(batch, frames - first);
    // Frames are handed out one at a time, so a helper that another program
    // keeps waiting holds up only the frame it has taken.
    RunCrewJobs(
        crew, threadCount, static_cast<int>(count),
        [&](int f, int member) {
          ResynthesizeFrame(source, (first + f) * hop, scratch[static_cast<size_t>(member)],
                            batchAb.data() + static_cast<size_t>(f) * frameFloats,
                            batchBa.data() + static_cast<size_t>(f) * frameFloats);
        },
        {});
    for (int64_t f = 0; f < count; ++f) {
      const size_t p = static_cast<size_t>((first + f) * hop);
      AddFrame(batchAb.data() + static_cast<size_t>(f) * frameFloats, n, cross.abLeft.data() + p, cross.abRight.data() + p);
      AddFrame(batchBa.data() + static_cast<size_t>(f) * frameFloats, n, cross.baLeft.data() + p, cross.baRight.data() + p);
    }
  }
  if (result == kMsgDone) ProgressFinished(hooks, kCalculationProgressLabel, end);

  for (std::vector<float>* channel : {&cross.abLeft, &cross.abRight, &cross.baLeft, &cross.baRight}) ShiftResult(*channel, n, length);
  if (result == kMsgAborted) return result;

  const double peakA = PairPeak(cross.aLeft, cross.aRight);
  const double peakB = PairPeak(cross.bLeft, cross.bRight);
  const double third = (peakA - peakB) / 3.0;
  const auto used = static_cast<size_t>(length);
  ScalePairToPeak(std::span<float>(cross.abLeft).first(used), std::span<float>(cross.abRight).first(used), peakA - third);
  ScalePairToPeak(std::span<float>(cross.baLeft).first(used), std::span<float>(cross.baRight).first(used), peakB + third);
  return kMsgDone;
}
