#include "wavetable/xform_synthesis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "core/checked_alloc.h"
#include "core/phase_table.h"
#include "dsp/complex_fft.h"
#include "dsp/fft_kernels.h"
#include "dsp/fft_tables.h"
#include "dsp/stereo_spectrum.h"
#include "wavetable/xform_bin_passes.h"

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

float Phase(float re, float im) {
  if (im == 0.0f) return 0.0f;
  if (re == 0.0f) return im > 0.0f ? std::numbers::pi_v<float> / 2 : -std::numbers::pi_v<float> / 2;
  return std::atan2(im, re);
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
  engine.crew.reset();
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
    spectrum[2 * k] = BinMagnitude(left[2 * k], left[2 * k + 1]);
    spectrum[2 * k + 1] = BinMagnitude(right[2 * k], right[2 * k + 1]);
  }
  if (phases.empty()) return;
  for (size_t k = 0; k < static_cast<size_t>(kXformBinCount); ++k) {
    phases[2 * k] = Phase(left[2 * k], left[2 * k + 1]);
    phases[2 * k + 1] = Phase(right[2 * k], right[2 * k + 1]);
  }
}

void AnalyzeSliceWithPhases(std::span<const float> section, std::span<float> spectrum, std::span<float> phases,
                            XformLane& lane) {
  std::copy(section.begin(), section.begin() + static_cast<std::ptrdiff_t>(kXformSliceNoiseFloats),
            lane.transform.begin());
  AnalyzeLaneTransform(lane, spectrum, phases);
}

float SynthesizeNoise(std::span<float> spectrum, const XformEngine& engine, std::span<float> section,
                      XformLane& lane) {
  std::fill(spectrum.begin(), spectrum.begin() + 2 * kXformLowCutBin, 0.0f);
  PackRotatedSpectrum(spectrum, engine.rotors.data(), section.data());
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
  const bool finished = RunCrewJobs(
      engine.crew, laneCount, count,
      [&](int index, int member) { job(index, engine.lanes[static_cast<size_t>(member)]); },
      [&](int done) { return ProgressCancelled(hooks, label, done, count); });
  for (auto& lane : engine.lanes) lane.alone = true;
  if (!finished) return false;
  ProgressFinished(hooks, label, count);
  return true;
}

void NormalizeXformInLanes(XformTable& table, XformEngine& engine, std::span<const double> sliceLevels) {
  if (!XformTableAllocated(table)) return;
  auto level = [&](int slice) { return sliceLevels.empty() ? 1.0 : sliceLevels[static_cast<size_t>(slice)]; };
  std::array<float, kSliceCount> peaks = table.slicePeaks;
  for (int s = 0; s < kSliceCount && !sliceLevels.empty(); ++s)
    peaks[static_cast<size_t>(s)] = static_cast<float>(peaks[static_cast<size_t>(s)] * level(s));
  const double gain = NormalizingGainOf(peaks);
  std::array<double, kXformBandProfileBytes> sums{};
  RunXformJobs(
      engine, kSliceCount,
      [&](int slice, XformLane&) {
        const double sliceGain = (gain > 0.0 ? gain : 1.0) * level(slice);
        const auto sliceSums = std::span<double>(sums).subspan(static_cast<size_t>(slice) * kXformBandCount,
                                                                 kXformBandCount);
        if (sliceGain != 1.0 && table.slicePeaks[static_cast<size_t>(slice)] > 0.0f)
          ScaleXformSliceAndSumBands(table, slice, sliceGain, sliceSums);
        else
          SumXformBands(table, slice, sliceSums);
      },
      {}, kSynthesisLabel);
  table.bandProfile = BandProfileFromSums(sums);
}

MessageCode ReconstructTable(XformTable& table, int64_t frames, XformEngine& engine, const ProgressHooks& hooks) {
  if (!XformTableAllocated(table) || engine.lanes.empty()) return kMsgNoData;
  const int sliceCount = static_cast<int>(std::clamp<int64_t>(frames / kXformSliceLength, 0, kSliceCount));
  // Source values that cannot be transformed safely: not finite, or so loud
  // that the transform could overflow. Each slice makes its own section
  // safe, a loud one brought down to 1.0 by a gain of its own, so that no
  // pass over the whole source has to come first; normalising then gives
  // every slice the level it has in a source brought down to 1.0 as a whole.
  std::array<float, kSliceCount> sourcePeaks{};
  const bool finished = RunXformJobs(
      engine, sliceCount,
      [&](int slice, XformLane& lane) {
        auto spectrum = SpectrumSlice(table, slice);
        auto noise = NoiseSlice(table, slice);
        const float sourcePeak = ZeroUnfiniteValues(noise);
        sourcePeaks[static_cast<size_t>(slice)] = sourcePeak;
        if (sourcePeak > 1.0f) {
          const float sourceGain = 1.0f / sourcePeak;
          for (float& v : noise) v *= sourceGain;
        }
        // The section is transformed where it lies: its resynthesis replaces it.
        LaneTransform(lane, noise.data(), kFftForward);
        const float strongest = RepackAsRotatedMagnitudes(noise.data(), spectrum, engine.rotors.data());
        DropResidue(spectrum, engine.rotors.data(), noise.data(), static_cast<float>(strongest * kXformResidueFloor));
        LaneTransform(lane, noise.data(), kFftInverse);
        table.slicePeaks[static_cast<size_t>(slice)] = PeakOfSection(noise.first(kXformSliceNoiseFloats));
      },
      hooks, kReconstructionLabel);
  if (!finished) {
    ClearXformTable(table);
    return kMsgAborted;
  }
  for (int s = sliceCount; s < kSliceCount; ++s) ClearXformSlice(table, s);
  const float loudest = *std::max_element(sourcePeaks.begin(), sourcePeaks.end());
  std::array<double, kSliceCount> levels;
  levels.fill(1.0);
  if (loudest > 1.0f)
    for (size_t s = 0; s < levels.size(); ++s) levels[s] = std::max(sourcePeaks[s], 1.0f) / double{loudest};
  NormalizeXformInLanes(table, engine, levels);
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
