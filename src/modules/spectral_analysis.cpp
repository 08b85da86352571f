#include "modules/spectral_analysis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "core/checked_alloc.h"
#include "dsp/mixed_radix_dft.h"
#include "dsp/signal_kernels.h"
#include "modules/spectral_phase.h"
#include "modules/stereo_pair.h"
#include "wavetable/ram_wavetable.h"

namespace {

// The fundamental tone's phase step at unity pitch: 2 pi / 256.
constexpr double kUnityPhaseStep = 0.02454369260617026;

size_t FrameIndex(int32_t frame, int32_t bin) {
  return static_cast<size_t>(frame) * kAnalysisBins + static_cast<size_t>(bin - 1);
}

size_t SliceIndex(const SliceSpectra& slices, int slice, int32_t bin) {
  return static_cast<size_t>(slice) * static_cast<size_t>(slices.bins) + static_cast<size_t>(bin);
}

void CopyFrameToSlice(const FrameSpectra& frames, int32_t frame, float gain, SliceSpectra& slices, int slice) {
  for (int32_t b = 1; b <= kAnalysisBins; ++b) {
    slices.magnitudes[SliceIndex(slices, slice, b)] = frames.magnitudes[FrameIndex(frame, b)] * gain;
    slices.polarities[SliceIndex(slices, slice, b)] = PhasePolarity(frames.phases[FrameIndex(frame, b)]);
  }
}

void AverageFramesToSlice(const FrameSpectra& frames, int32_t first, int32_t last, SliceSpectra& slices, int slice) {
  const double count = static_cast<double>(last - first);
  for (int32_t b = 1; b <= kAnalysisBins; ++b) {
    double sum = 0.0;
    for (int32_t f = first; f < last; ++f) sum += frames.magnitudes[FrameIndex(f, b)];
    slices.magnitudes[SliceIndex(slices, slice, b)] = static_cast<float>(sum / count);
    slices.polarities[SliceIndex(slices, slice, b)] = PhasePolarity(frames.phases[FrameIndex(first, b)]);
  }
}

void RenderAnalysisPreview(SpectralAnalysis& analysis) {
  analysis.previewLength = RenderPreview(analysis.table, analysis.stretch, analysis.PreviewPitch(), analysis.preview);
}

}  // namespace

int32_t AnalysisFrameCount(std::span<const float> range) {
  const int64_t length = static_cast<int64_t>(range.size());
  const int64_t frames = length / kAnalysisHop - 1;
  const int64_t lastFrame = LastNonZero(range) / kAnalysisHop - 1;
  if (lastFrame <= frames) return static_cast<int32_t>(std::max<int64_t>(lastFrame, kMinimumFrameCount));
  return static_cast<int32_t>(frames);
}

int32_t AnalysisStretch(int32_t rangeLength) {
  const double stretch = Nearest(static_cast<double>(rangeLength) / kSamplesPerStretchStep);
  return static_cast<int32_t>(std::clamp(stretch, static_cast<double>(kMinStretch), static_cast<double>(kMaxStretch)));
}

MessageCode AnalyzeFrames(std::span<const float> range, int32_t frames, FrameSpectra& spectra, const ProgressHooks& hooks) {
  const int32_t count = std::max(frames, 0);
  spectra.frames = count;
  CheckedAlloc(spectra.magnitudes, static_cast<size_t>(count) * kAnalysisBins);
  CheckedAlloc(spectra.phases, static_cast<size_t>(count) * kAnalysisBins);
  std::array<double, kAnalysisFrameLength> window;
  HannWindow(window.data(), kAnalysisFrameLength);
  std::vector<float> frame(kAnalysisFrameLength), re(kAnalysisFrameLength), im(kAnalysisFrameLength);
  for (int32_t f = 0; f < count; ++f) {
    if (ProgressCancelled(hooks, kAnalysisProgressLabel, f, count)) {
      spectra = FrameSpectra{};
      return kMsgAborted;
    }
    const size_t begin = static_cast<size_t>(f) * kAnalysisHop;
    for (int32_t i = 0; i < kAnalysisFrameLength; ++i) {
      const size_t at = begin + static_cast<size_t>(i);
      const float sample = at < range.size() ? range[at] : 0.0f;
      // Rotated by half a frame, so that the window centre sits at 0.
      frame[static_cast<size_t>((i + kAnalysisFrameLength / 2) % kAnalysisFrameLength)] = static_cast<float>(sample * window[static_cast<size_t>(i)]);
    }
    RealSpectrum(kAnalysisFrameLength, frame.data(), re.data(), im.data());
    for (int32_t b = 1; b <= kAnalysisBins; ++b) {
      const float r = re[static_cast<size_t>(b)], m = im[static_cast<size_t>(b)];
      spectra.magnitudes[FrameIndex(f, b)] = std::sqrt(r * r + m * m);
      spectra.phases[FrameIndex(f, b)] = BinPhase(r, m);
    }
  }
  ProgressFinished(hooks, kAnalysisProgressLabel, count);
  return kMsgDone;
}

void FramesToSlices(const FrameSpectra& frames, SliceFill fill, bool sharpenAttack, SliceSpectra& slices) {
  slices.bins = kSliceSpectrumBins;
  CheckedAlloc(slices.magnitudes, static_cast<size_t>(kSliceCount) * kSliceSpectrumBins);
  CheckedAlloc(slices.polarities, static_cast<size_t>(kSliceCount) * kSliceSpectrumBins);
  const int32_t f = frames.frames;
  if (f <= 0) return;
  if (f <= kSliceCount) {
    for (int k = 0; k < f; ++k) CopyFrameToSlice(frames, k, 1.0f, slices, k);
    if (sharpenAttack) CopyFrameToSlice(frames, 0, kSharpenAttackGain, slices, 0);
    return;
  }
  const double step = static_cast<double>(f) / kSliceCount;
  bool firstSliceSingle = false;
  for (int k = 0; k < kSliceCount; ++k) {
    const int32_t first = static_cast<int32_t>(Nearest(k * step));
    int32_t last = fill == SliceFill::Excerpts ? first + 1 : static_cast<int32_t>(Nearest(k * step + step));
    last = std::min(std::max(last, first + 1), f);
    if (k == 0) firstSliceSingle = last - first == 1;
    AverageFramesToSlice(frames, first, last, slices, k);
  }
  if (sharpenAttack) CopyFrameToSlice(frames, 0, firstSliceSingle ? kSharpenAttackGain : 1.0f, slices, 0);
}

void SampleHarmonics(const SliceSpectra& slices, double tuneFactor, HarmonicMatrix& harmonics) {
  harmonics = HarmonicMatrix{};
  const int32_t lastBin = slices.bins - 1;
  if (lastBin < 1 || slices.magnitudes.size() < static_cast<size_t>(kSliceCount) * static_cast<size_t>(slices.bins)) return;
  for (int h = 1; h <= kPartialCount; ++h) {
    const double position = kBinsPerHarmonic * h * tuneFactor;
    if (!(position >= 0.0)) continue;
    const int32_t below = static_cast<int32_t>(std::floor(position));
    if (below > lastBin) continue;
    const double fraction = position - below;
    // The last bin has no neighbour above: it is read alone.
    const bool alone = below == lastBin || fraction == 0.0;
    for (int s = 0; s < kSliceCount; ++s) {
      const float low = slices.magnitudes[SliceIndex(slices, s, below)];
      const float magnitude =
          alone ? low : static_cast<float>(low + (slices.magnitudes[SliceIndex(slices, s, below + 1)] - low) * fraction);
      const int32_t polarityBin = alone || fraction < 0.5 ? below : below + 1;
      harmonics.magnitude(h - 1, s) = magnitude;
      harmonics.polarity(h - 1, s) = slices.polarities[SliceIndex(slices, s, polarityBin)] < 0 ? int16_t{-1} : int16_t{1};
    }
  }
}

double TuneFactor(int cents) { return std::pow(2.0, cents / 1200.0); }

double FundamentalFrequency(int cents) { return kUnityPitchHz * TuneFactor(cents); }

double FundamentalNoteOffset(int cents) { return cents / 100.0; }

std::string ShownFundamentalFrequency(int cents) {
  const auto tenThousandths = static_cast<long long>(Nearest(FundamentalFrequency(cents) * 10000.0));
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%04lld", tenThousandths / 10000, tenThousandths % 10000);
  return text;
}

std::string ShownNoteOffset(int cents) {
  // cents / 100 with two decimals is exact: no rounding question arises.
  char text[32];
  std::snprintf(text, sizeof text, "%c%d.%02d", cents < 0 ? '-' : '+', std::abs(cents) / 100, std::abs(cents) % 100);
  return text;
}

void MakeFundamentalTone(double tuneFactor, std::vector<float>& tone) {
  CheckedAlloc(tone, kFundamentalToneSamples);
  const double step = kUnityPhaseStep * tuneFactor;
  const double last = kFundamentalToneSamples - 1;
  for (int32_t n = 0; n < kFundamentalToneSamples; ++n)
    tone[static_cast<size_t>(n)] = static_cast<float>(std::sin(n * step) * (last - n) / last);
}

double SpectralAnalysis::PreviewPitch() const { return settings.pitchAdaption ? TuneFactor(settings.cents) : 1.0; }

MessageCode StartSpectralAnalysis(SpectralAnalysis& analysis, std::span<const float> range, const ProgressHooks& hooks) {
  // The settings belong to the whole run of the range page: a second
  // "fANALYZE" starts from the values the first one left.
  const AnalysisSettings settings = analysis.settings;
  analysis = SpectralAnalysis{};
  analysis.settings = settings;
  analysis.frameCount = AnalysisFrameCount(range);
  analysis.stretch = AnalysisStretch(static_cast<int32_t>(range.size()));
  if (AnalyzeFrames(range, analysis.frameCount, analysis.frames, hooks) == kMsgAborted) return kMsgAborted;
  RefreshSpectralAnalysis(analysis, AnalysisStage::Slices);
  MakeFundamentalTone(TuneFactor(analysis.settings.cents), analysis.fundamental);
  return kMsgDone;
}

void RefreshSpectralAnalysis(SpectralAnalysis& analysis, AnalysisStage from) {
  const AnalysisSettings& settings = analysis.settings;
  if (from <= AnalysisStage::Slices) FramesToSlices(analysis.frames, settings.sliceFill, settings.sharpenAttack, analysis.slices);
  if (from <= AnalysisStage::Harmonics) SampleHarmonics(analysis.slices, TuneFactor(settings.cents), analysis.harmonics);
  if (from <= AnalysisStage::Table) {
    analysis.table = BuildTableFromHarmonics(analysis.harmonics, settings.contrast);
    FinishAnalysisTable(analysis.table, settings.polarityLock, analysis.frameCount);
  }
  RenderAnalysisPreview(analysis);
}

MessageCode PressSpectralButton(SpectralAnalysis& analysis, SpectralButton button) {
  AnalysisSettings& settings = analysis.settings;
  switch (button) {
    case SpectralButton::SliceFillMode:
      if (!analysis.OffersSliceFill()) return kMsgNone;
      settings.sliceFill = settings.sliceFill == SliceFill::FullSignal ? SliceFill::Excerpts : SliceFill::FullSignal;
      RefreshSpectralAnalysis(analysis, AnalysisStage::Slices);
      return kMsgNone;
    case SpectralButton::PolarityLock:
      settings.polarityLock = !settings.polarityLock;
      RefreshSpectralAnalysis(analysis, AnalysisStage::Table);
      return kMsgNone;
    case SpectralButton::SharpenAttack:
      settings.sharpenAttack = !settings.sharpenAttack;
      RefreshSpectralAnalysis(analysis, AnalysisStage::Slices);
      return kMsgNone;
    case SpectralButton::LowerContrast:
    case SpectralButton::RaiseContrast: {
      const MessageCode message =
          button == SpectralButton::LowerContrast ? LowerContrast(settings) : RaiseContrast(settings);
      if (message == kMsgNone) RefreshSpectralAnalysis(analysis, AnalysisStage::Table);
      return message;
    }
    case SpectralButton::LowerCents:
      if (settings.cents < kMinCents + 1) return kMsgMinValue;
      SetAnalysisCents(analysis, settings.cents - kCentsStep);
      return kMsgNone;
    case SpectralButton::RaiseCents:
      if (settings.cents > kMaxCents - 1) return kMsgMaxValue;
      SetAnalysisCents(analysis, settings.cents + kCentsStep);
      return kMsgNone;
    case SpectralButton::PitchAdaption:
      settings.pitchAdaption = !settings.pitchAdaption;
      RefreshSpectralAnalysis(analysis, AnalysisStage::Preview);
      return kMsgNone;
  }
  return kMsgNone;
}

void SetAnalysisCents(SpectralAnalysis& analysis, int cents) {
  analysis.settings.cents = static_cast<int16_t>(std::clamp(cents, kMinCents, kMaxCents));
  RefreshSpectralAnalysis(analysis, AnalysisStage::Harmonics);
  MakeFundamentalTone(TuneFactor(analysis.settings.cents), analysis.fundamental);
}

MessageCode ApplySpectralAnalysis(const SpectralAnalysis& analysis, PartialTable& table, int32_t& stretch) {
  table = analysis.table;
  stretch = analysis.stretch;
  return kMsgDone;
}

MessageCode CancelSpectralAnalysis(PartialTable& table, int32_t& stretch) {
  table = PartialTable{};
  stretch = kDefaultStretch;
  return kMsgAborted;
}
