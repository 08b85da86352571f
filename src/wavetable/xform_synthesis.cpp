#include "wavetable/xform_synthesis.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <numbers>
#include <system_error>
#include <thread>

#include "core/checked_alloc.h"
#include "core/phase_table.h"
#include "dsp/complex_fft.h"
#include "dsp/fft_kernels.h"
#include "dsp/fft_tables.h"
#include "dsp/stereo_spectrum.h"

namespace {

constexpr const char* kReconstructionLabel = "RECONSTRUCTION PROGRESS: ";
constexpr const char* kSynthesisLabel = "SYNTHESIS PROGRESS: ";

void AllocateLane(XformLane& lane) {
  CheckedAlloc(lane.transform, kXformSliceNoiseFloats);
  CheckedAlloc(lane.halfLeft, kXformHalfSpectrumFloats);
  CheckedAlloc(lane.halfRight, kXformHalfSpectrumFloats);
  lane.alone = true;
}

// A lane beside others keeps its transform on its own thread; the shared
// tables were prepared before the lanes started and are only read.
void LaneTransform(XformLane& lane, float* data, uint8_t flag) {
  if (lane.alone) {
    ComplexFft(kXformSliceLength, data, flag);
    return;
  }
  const FftKernel& kernel = ActiveFftKernel();
  kernel.transform(data, kXformSliceLength, flag == kFftForward ? 0 : 1, gFftTables);
  BitReversePermute(data, kXformSliceLength, gFftTables);
}

void PrepareSharedTransforms() {
  PrepareFftTables(gFftTables, kXformSliceLength);
  (void)ActiveFftKernel();  // settle the kernel choice before any lane asks for it
}

float Magnitude(float re, float im) { return std::sqrt(re * re + im * im); }

float Phase(float re, float im) {
  if (im == 0.0f) return 0.0f;
  if (re == 0.0f) return im > 0.0f ? std::numbers::pi_v<float> / 2 : -std::numbers::pi_v<float> / 2;
  return std::atan2(im, re);
}

// The largest of f(v) over the values. Eight running maxima side by side, so
// that no comparison waits for the one before; a maximum is exact whatever
// the order, and NaN is passed over as one running maximum would.
template <class F>
float LargestOf(std::span<const float> values, F f) {
  constexpr size_t kSideBySide = 8;
  std::array<float, kSideBySide> running{};
  size_t i = 0;
  for (; i + kSideBySide <= values.size(); i += kSideBySide)
    for (size_t b = 0; b < kSideBySide; ++b) running[b] = std::max(running[b], f(values[i + b]));
  for (; i < values.size(); ++i) running[0] = std::max(running[0], f(values[i]));
  return *std::max_element(running.begin(), running.end());
}

float Absolute(float v) { return std::fabs(v); }
float Itself(float v) { return v; }

float PeakOfSection(std::span<const float> section) { return LargestOf(section, Absolute); }

// Values that cannot be transformed safely (not finite) become silence;
// returns the peak of what is left.
float ZeroUnfiniteValues(std::span<float> values) {
  for (float& v : values) v = std::isfinite(v) ? v : 0.0f;
  return PeakOfSection(values);
}

void DropResidue(std::span<float> spectrum) {
  const float strongest = LargestOf(spectrum, Itself);
  const float floor = static_cast<float>(strongest * kXformResidueFloor);
  for (float& v : spectrum)
    if (v < floor) v = 0.0f;
}

bool SpectrumIsEmpty(std::span<const float> spectrum) {
  return std::all_of(spectrum.begin() + 2 * kXformLowCutBin, spectrum.end(), [](float v) { return v == 0.0f; });
}

}  // namespace

void PrepareXformEngine(XformEngine& engine, const float* phases, int laneCount) {
  if (phases == nullptr) phases = kPhaseTableResource;
  CheckedAlloc(engine.rotors, kXformHalfSpectrumFloats);
  for (int32_t k = kXformLowCutBin; k < kXformBinCount; ++k) {
    const double phi = phases[k];
    engine.rotors[2 * static_cast<size_t>(k)] = static_cast<float>(std::cos(phi));
    engine.rotors[2 * static_cast<size_t>(k) + 1] = static_cast<float>(std::sin(phi));
  }
  laneCount = std::clamp(laneCount, 1, kXformMaxLanes);
  CheckedAlloc(engine.lanes, static_cast<size_t>(laneCount));
  for (auto& lane : engine.lanes) AllocateLane(lane);
  if (gFftTables.maxLength < kXformSliceLength) AllocateFftTables(kXformSliceLength);
}

void ReleaseXformEngine(XformEngine& engine) {
  std::vector<float>().swap(engine.rotors);
  std::vector<XformLane>().swap(engine.lanes);
}

size_t XformEngineBytes(const XformEngine& engine) {
  size_t bytes = engine.rotors.capacity() * sizeof(float);
  for (const auto& lane : engine.lanes)
    bytes += (lane.transform.capacity() + lane.halfLeft.capacity() + lane.halfRight.capacity()) * sizeof(float);
  return bytes;
}

void AnalyzeLaneTransform(XformLane& lane, std::span<float> spectrum, std::span<float> phases) {
  LaneTransform(lane, lane.transform.data(), kFftForward);
  UnpackStereoSpectrum(lane.transform.data(), lane.halfLeft.data(), lane.halfRight.data(), kXformSliceLength);
  const float* left = lane.halfLeft.data();
  const float* right = lane.halfRight.data();
  for (size_t k = 0; k < static_cast<size_t>(kXformBinCount); ++k) {
    spectrum[2 * k] = Magnitude(left[2 * k], left[2 * k + 1]);
    spectrum[2 * k + 1] = Magnitude(right[2 * k], right[2 * k + 1]);
  }
  if (phases.empty()) return;
  for (size_t k = 0; k < static_cast<size_t>(kXformBinCount); ++k) {
    phases[2 * k] = Phase(left[2 * k], left[2 * k + 1]);
    phases[2 * k + 1] = Phase(right[2 * k], right[2 * k + 1]);
  }
}

void AnalyzeSlice(std::span<const float> section, std::span<float> spectrum, XformLane& lane) {
  AnalyzeSliceWithPhases(section, spectrum, {}, lane);
}

void AnalyzeSliceWithPhases(std::span<const float> section, std::span<float> spectrum, std::span<float> phases,
                            XformLane& lane) {
  std::copy(section.begin(), section.begin() + static_cast<std::ptrdiff_t>(kXformSliceNoiseFloats),
            lane.transform.begin());
  AnalyzeLaneTransform(lane, spectrum, phases);
}

float SynthesizeNoise(std::span<float> spectrum, const XformEngine& engine, std::span<float> section,
                      XformLane& lane) {
  float* half = section.data();  // the left half spectrum is built in place, the pack may overwrite it
  float* right = lane.halfRight.data();
  const float* rotors = engine.rotors.data();
  std::fill(spectrum.begin(), spectrum.begin() + 2 * kXformLowCutBin, 0.0f);
  std::fill(half, half + 2 * kXformLowCutBin, 0.0f);
  std::fill(right, right + 2 * kXformLowCutBin, 0.0f);
  for (size_t k = kXformLowCutBin; k < static_cast<size_t>(kXformBinCount); ++k) {
    const float c = rotors[2 * k];
    const float s = rotors[2 * k + 1];
    const float l = spectrum[2 * k];
    const float r = spectrum[2 * k + 1];
    half[2 * k] = c * l;
    half[2 * k + 1] = s * l;
    right[2 * k] = c * r;
    right[2 * k + 1] = s * r;
  }
  const size_t nyquist = 2 * static_cast<size_t>(kXformBinCount);
  half[nyquist] = half[nyquist + 1] = 0.0f;
  right[nyquist] = right[nyquist + 1] = 0.0f;
  PackStereoSpectrum(section.data(), half, right, kXformSliceLength);
  LaneTransform(lane, section.data(), kFftInverse);
  return PeakOfSection(section.first(kXformSliceNoiseFloats));
}

bool RunXformJobs(XformEngine& engine, int count, const XformLaneJob& job, const ProgressHooks& hooks,
                  const char* label) {
  if (count <= 0 || engine.lanes.empty()) return true;
  if (ProgressCancelled(hooks, label, 0, count)) return false;
  const int laneCount = std::min(static_cast<int>(engine.lanes.size()), count);
  if (laneCount > 1) PrepareSharedTransforms();
  for (int i = 0; i < laneCount; ++i) engine.lanes[static_cast<size_t>(i)].alone = laneCount == 1;

  std::atomic<int> next{0};
  std::atomic<int> finished{0};
  std::atomic<bool> stop{false};
  auto work = [&](XformLane& lane) {
    while (!stop.load()) {
      const int index = next.fetch_add(1);
      if (index >= count) break;
      job(index, lane);
      finished.fetch_add(1);
    }
  };

  std::vector<std::thread> helpers;
  for (int i = 1; i < laneCount; ++i) {
    try {
      helpers.emplace_back(work, std::ref(engine.lanes[static_cast<size_t>(i)]));
    } catch (const std::system_error&) {
      break;  // fewer helpers: the calling thread takes the remaining jobs
    }
  }
  XformLane& own = engine.lanes.front();
  while (!stop.load()) {
    const int index = next.fetch_add(1);
    if (index >= count) break;
    job(index, own);
    const int done = finished.fetch_add(1) + 1;
    if (done < count && ProgressCancelled(hooks, label, done, count)) stop.store(true);
  }
  for (auto& helper : helpers) helper.join();
  for (auto& lane : engine.lanes) lane.alone = true;
  if (stop.load()) return false;
  ProgressFinished(hooks, label, count);
  return true;
}

void NormalizeXformInLanes(XformTable& table, XformEngine& engine) {
  if (!XformTableAllocated(table)) return;
  const double gain = NormalizingGain(table);
  std::array<double, kXformBandProfileBytes> sums{};
  RunXformJobs(
      engine, kSliceCount,
      [&](int slice, XformLane&) {
        if (gain > 0.0 && table.slicePeaks[static_cast<size_t>(slice)] > 0.0f) ScaleXformSlice(table, slice, gain);
        const size_t first = static_cast<size_t>(slice) * kXformBandCount;
        SumXformBands(table, slice, std::span<double>(sums).subspan(first, kXformBandCount));
      },
      {}, kSynthesisLabel);
  table.bandProfile = BandProfileFromSums(sums);
}

MessageCode ReconstructTable(XformTable& table, int64_t frames, XformEngine& engine, const ProgressHooks& hooks) {
  if (!XformTableAllocated(table) || engine.lanes.empty()) return kMsgNoData;
  const int sliceCount = static_cast<int>(std::clamp<int64_t>(frames / kXformSliceLength, 0, kSliceCount));
  // Source values that cannot be transformed safely: not finite, or so loud
  // that the transform could overflow. The table is normalised afterwards,
  // so bringing a loud source down to 1.0 changes nothing audible.
  std::array<float, kSliceCount> slicePeaks{};
  RunXformJobs(
      engine, sliceCount,
      [&](int slice, XformLane&) {
        slicePeaks[static_cast<size_t>(slice)] = ZeroUnfiniteValues(NoiseSlice(table, slice));
      },
      {}, kReconstructionLabel);
  const float sourcePeak = *std::max_element(slicePeaks.begin(), slicePeaks.end());
  const float sourceGain = sourcePeak > 1.0f ? 1.0f / sourcePeak : 1.0f;
  const bool finished = RunXformJobs(
      engine, sliceCount,
      [&](int slice, XformLane& lane) {
        auto spectrum = SpectrumSlice(table, slice);
        auto noise = NoiseSlice(table, slice);
        if (sourcePeak > 1.0f)
          for (float& v : noise) v *= sourceGain;
        AnalyzeSlice(noise, spectrum, lane);
        DropResidue(spectrum);
        table.slicePeaks[static_cast<size_t>(slice)] = SynthesizeNoise(spectrum, engine, noise, lane);
      },
      hooks, kReconstructionLabel);
  if (!finished) {
    ClearXformTable(table);
    return kMsgAborted;
  }
  for (int s = sliceCount; s < kSliceCount; ++s) ClearXformSlice(table, s);
  NormalizeXformInLanes(table, engine);
  return kMsgDone;
}

bool SynthesizeTable(XformTable& table, XformEngine& engine, const ProgressHooks& hooks) {
  if (!XformTableAllocated(table)) return false;
  return RunXformJobs(
      engine, kSliceCount,
      [&](int slice, XformLane& lane) {
        auto spectrum = SpectrumSlice(table, slice);
        if (SpectrumIsEmpty(spectrum)) {
          ClearXformSlice(table, slice);
          return;
        }
        table.slicePeaks[static_cast<size_t>(slice)] = SynthesizeNoise(spectrum, engine, NoiseSlice(table, slice), lane);
      },
      hooks, kSynthesisLabel);
}
