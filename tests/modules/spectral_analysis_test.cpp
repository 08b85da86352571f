#include "modules/spectral_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "module_fixture.h"
#include "modules/spectral_phase.h"
#include "modules/tuning_keyboard.h"
#include "wavetable/vorta_synthesis.h"

namespace {

// One cycle per 256 samples: the table's unity pitch, bin 4 of a frame.
constexpr double kUnityCycles = 1.0 / 256.0;

FrameSpectra RampFrames(int32_t frames) {
  FrameSpectra spectra;
  spectra.frames = frames;
  spectra.magnitudes.resize(static_cast<size_t>(frames) * kAnalysisBins);
  spectra.phases.resize(static_cast<size_t>(frames) * kAnalysisBins);
  for (int32_t f = 0; f < frames; ++f)
    for (int32_t b = 0; b < kAnalysisBins; ++b) {
      spectra.magnitudes[static_cast<size_t>(f) * kAnalysisBins + static_cast<size_t>(b)] = static_cast<float>(f + 1);
      spectra.phases[static_cast<size_t>(f) * kAnalysisBins + static_cast<size_t>(b)] = (f % 2) ? -1.0f : 1.0f;
    }
  return spectra;
}

float SliceMagnitude(const SliceSpectra& slices, int slice, int bin) {
  return slices.magnitudes[static_cast<size_t>(slice) * static_cast<size_t>(slices.bins) + static_cast<size_t>(bin)];
}

int16_t SlicePolarity(const SliceSpectra& slices, int slice, int bin) {
  return slices.polarities[static_cast<size_t>(slice) * static_cast<size_t>(slices.bins) + static_cast<size_t>(bin)];
}

}  // namespace

using SpectralAnalysisTest = ModuleTest;

TEST(SpectralPhase, ZeroImaginaryPartMeansPhaseZero) {
  EXPECT_EQ(BinPhase(-3.0f, 0.0f), 0.0f);
  EXPECT_EQ(BinPhase(-3.0, 0.0), 0.0);
  EXPECT_EQ(BinPhase(0.0f, 0.0f), 0.0f);
  EXPECT_FLOAT_EQ(BinPhase(0.0f, 2.0f), std::numbers::pi_v<float> / 2);
  EXPECT_FLOAT_EQ(BinPhase(0.0f, -2.0f), -std::numbers::pi_v<float> / 2);
  EXPECT_FLOAT_EQ(BinPhase(-1.0f, 1.0f), 3 * std::numbers::pi_v<float> / 4);
  EXPECT_EQ(PhasePolarity(0.0f), 1);
  EXPECT_EQ(PhasePolarity(-0.1f), -1);
  EXPECT_EQ(PhasePolarity(3.0f), 1);
}

TEST(SpectralAnalysis, FrameCountAndStretch) {
  // {length, first sound, last sound, frames}: frames of 512 up to the last
  // sound, never fewer than 7.
  const std::array<int, 4> counts[] = {
      {8 * 512, 0, 8 * 512 - 1, 7}, {100 * 512, 20 * 512, 20 * 512, 19}, {100 * 512, 100, 100, 7},
      {100 * 512, 0, 100 * 512 - 1, 98}};  // the last sample, 51,199, gives frame 98
  for (const auto& [length, first, last, frames] : counts) {
    std::vector<float> range(static_cast<size_t>(length), 0.0f);
    std::fill(range.begin() + first, range.begin() + last + 1, 0.5f);
    EXPECT_EQ(AnalysisFrameCount(range), frames) << length << " " << last;
  }
  // 35.5 rounds to 36, clamped; halves away from zero.
  const std::pair<int64_t, int32_t> stretches[] = {
      {300000, 32}, {8448 * 10, 10}, {4097, 1}, {8448 * 5 + 4224, 6}};
  for (const auto& [length, stretch] : stretches) EXPECT_EQ(AnalysisStretch(length), stretch) << length;
}

TEST_F(SpectralAnalysisTest, EightFramesFillSevenSlicesAndHoldTheRest) {
  const std::vector<float> range = Sine(8 * 512, kUnityCycles, 0.5);
  SpectralAnalysis analysis;
  ScriptedProgress progress;
  ASSERT_EQ(StartSpectralAnalysis(analysis, range, progress.Hooks()), kMsgDone);
  EXPECT_EQ(analysis.frameCount, 7);
  EXPECT_EQ(analysis.stretch, 1);
  EXPECT_FALSE(analysis.OffersSliceFill());
  ASSERT_EQ(progress.calls.size(), 8u);
  EXPECT_EQ(progress.calls.front().label, kAnalysisProgressLabel);
  EXPECT_EQ(progress.calls.back().done, 7);
  // The fundamental lies on bin 4: partial 1 dominates every frame.
  for (int s = 0; s < 7; ++s) {
    EXPECT_EQ(analysis.table.at(0, s), 127) << s;
    for (int r = 1; r < kPartialCount; ++r) EXPECT_LT(analysis.table.at(r, s), 100) << r << " " << s;
  }
  // Slices 7..32 are interpolated from the last analysed slice, which holds.
  for (int s = 7; s < kSliceCount; ++s)
    for (int r = 0; r < kPartialCount; ++r) ASSERT_EQ(analysis.table.at(r, s), analysis.table.at(r, 6)) << r << " " << s;
  EXPECT_EQ(analysis.previewLength, 32u * 256u + 256u);
  EXPECT_EQ(analysis.preview.size(), kPreviewMinSamples);
  EXPECT_NEAR(MaxAbsOf(analysis.preview), 1.0, 1e-5);
  EXPECT_EQ(analysis.fundamental.size(), static_cast<size_t>(kFundamentalToneSamples));
}

TEST_F(SpectralAnalysisTest, PolarityFollowsTheSignOfTheSine) {
  std::vector<float> range = Sine(20 * 512, kUnityCycles, -0.5);
  SpectralAnalysis analysis;
  ASSERT_EQ(StartSpectralAnalysis(analysis, range, {}), kMsgDone);
  EXPECT_LT(analysis.table.at(0, 0), 0);
  EXPECT_LT(analysis.table.at(0, 10), 0);
}

TEST(SpectralAnalysis, FramesToSlicesBothFillModesAndSharpenAttack) {
  // Frame f holds f + 1 in every bin. F <= 33: one frame per slice, the rest
  // empty; 66 frames: full signal averages two frames, excerpts take the
  // first; sharpen attack raises slice 0 only when it held one frame; with 40
  // the last slice still ends at frame 40.
  const struct {
    int32_t frames;
    SliceFill fill;
    bool sharpen;
    int slice, bin;
    float magnitude;
  } cases[] = {
      {10, SliceFill::FullSignal, false, 3, 100, 4.0f},   {10, SliceFill::FullSignal, false, 10, 100, 0.0f},
      {10, SliceFill::FullSignal, false, 0, 0, 0.0f},     {10, SliceFill::FullSignal, true, 0, 1, 1.175f},
      {10, SliceFill::FullSignal, true, 1, 1, 2.0f},      {66, SliceFill::FullSignal, false, 5, 7, 11.5f},
      {66, SliceFill::FullSignal, false, 32, 512, 65.5f}, {66, SliceFill::Excerpts, false, 5, 7, 11.0f},
      {66, SliceFill::FullSignal, true, 0, 7, 1.0f},      {66, SliceFill::Excerpts, true, 0, 7, 1.175f},
      {40, SliceFill::FullSignal, false, 32, 3, 40.0f},
  };
  SliceSpectra slices;
  for (const auto& c : cases) {
    FramesToSlices(RampFrames(c.frames), c.fill, c.sharpen, slices);
    EXPECT_FLOAT_EQ(SliceMagnitude(slices, c.slice, c.bin), c.magnitude)
        << c.frames << " " << static_cast<int>(c.fill) << " " << c.sharpen << " " << c.slice << " " << c.bin;
  }
  // Frame 3 is odd (negative); slice 5 of 66 takes frame 10's polarity.
  FramesToSlices(RampFrames(10), SliceFill::FullSignal, false, slices);
  EXPECT_EQ(SlicePolarity(slices, 3, 100), -1);
  FramesToSlices(RampFrames(66), SliceFill::FullSignal, false, slices);
  EXPECT_EQ(SlicePolarity(slices, 5, 7), 1);
}

TEST(SpectralAnalysis, HarmonicSamplingAndTheLastBin) {
  SliceSpectra slices;
  slices.magnitudes.assign(static_cast<size_t>(kSliceCount) * kSliceSpectrumBins, 0.0f);
  slices.polarities.assign(static_cast<size_t>(kSliceCount) * kSliceSpectrumBins, 1);
  for (int b = 0; b < kSliceSpectrumBins; ++b) {
    slices.magnitudes[static_cast<size_t>(b)] = static_cast<float>(b);
    slices.polarities[static_cast<size_t>(b)] = (b % 2) ? -1 : 1;
  }
  // {cents, harmonic, magnitude, polarity} in slice 0 (bin b holds b, odd
  // bins negative). +1200: harmonic 64 reads bin 512 alone, nothing beyond
  // it; 0: exactly bins 4, 8, ...; 100: between bins (4.238 from bins 4 and
  // 5), the polarity of the nearer one (fraction 0.24: bin 4; 0.71: bin 13);
  // -1200: harmonic 1 at bin 2.
  const double t = std::pow(2.0, 100.0 / 1200.0);
  const std::tuple<int, int, double, int16_t> samples[] = {
      {1200, 63, 512.0, 1}, {1200, 0, 8.0, 1}, {0, 2, 12.0, 1},       {100, 0, 4.0 * t, 1},
      {100, 2, 12.0 * t, -1}, {-1200, 0, 2.0, 1}};
  HarmonicMatrix harmonics;
  for (const auto& [cents, harmonic, magnitude, polarity] : samples) {
    SampleHarmonics(slices, TuneFactor(cents), harmonics);
    EXPECT_NEAR(harmonics.magnitude(harmonic, 0), magnitude, 1e-4) << cents << " " << harmonic;
    EXPECT_EQ(harmonics.polarity(harmonic, 0), polarity) << cents << " " << harmonic;
    EXPECT_EQ(harmonics.magnitude(harmonic, 1), 0.0f);
  }
  // 344.53125 Hz is shown with its half rounded up, as everywhere on screen.
  const std::tuple<int, std::string, std::string> shown[] = {
      {1200, "344.5313", "+12.00"}, {0, "172.2656", "+0.00"}, {-1200, "86.1328", "-12.00"},
      {-700, "114.9735", "-7.00"}};
  for (const auto& [cents, frequency, offset] : shown)
    EXPECT_EQ(std::pair(ShownFundamentalFrequency(cents), ShownNoteOffset(cents)),
        std::pair(frequency, offset));
  EXPECT_EQ(ShownNoteOffset(5), "+0.05");
}

TEST(SpectralAnalysis, TableFromHarmonicsWithContrast) {
  HarmonicMatrix harmonics;
  harmonics.magnitude(0, 0) = 2.0f;
  harmonics.polarity(0, 0) = 1;
  harmonics.magnitude(1, 0) = 1.0f;
  harmonics.polarity(1, 0) = -1;
  PartialTable table = BuildTableFromHarmonics(harmonics, 1.0f);
  EXPECT_EQ(table.at(0, 0), 127);
  EXPECT_EQ(table.at(1, 0), -116);  // 2048: log10(2048) x 35.157 = 116.4
  table = BuildTableFromHarmonics(harmonics, 2.0f);
  EXPECT_EQ(table.at(0, 0), 127);
  EXPECT_EQ(table.at(1, 0), -106);  // 1024
  // Quiet analyses are raised to full scale; silence stays silence.
  harmonics.magnitude(0, 0) = 0.002f;
  harmonics.magnitude(1, 0) = 0.0f;
  EXPECT_EQ(BuildTableFromHarmonics(harmonics, 1.0f).at(0, 0), 127);
  EXPECT_TRUE(TableIsSilent(BuildTableFromHarmonics(HarmonicMatrix{}, 1.0f)));
}

TEST_F(SpectralAnalysisTest, PreviewLayoutAndPitch) {
  PartialTable table;
  table.at(0, 0) = 60;  // quiet: the preview still peaks at 1.0
  std::vector<float> preview;
  ASSERT_EQ(RenderPreview(table, 2, 1.0, preview), 32u * 512u + 256u);
  EXPECT_EQ(preview.size(), 2u * 16384u + 512u);
  for (int j = 0; j < 256; ++j) {
    ASSERT_NEAR(preview[static_cast<size_t>(j)], std::sin(2 * std::numbers::pi * j / 256), 1e-5);
    ASSERT_NEAR(preview[static_cast<size_t>(256 + j)], 0.5 * preview[static_cast<size_t>(j)], 1e-6);
  }
  EXPECT_EQ(MaxAbsOf(std::vector<float>(preview.begin() + 512, preview.end())), 0.0);
  // p = 2: cycles of 128 samples, nearest(2 x 2) = 4 waves per step.
  EXPECT_EQ(RenderPreview(table, 2, 2.0, preview), 32u * 128u * 4u + 128u);
  EXPECT_NEAR(preview[32], 1.0, 1e-5);
  // p = 0.5 at R = 1: 512-sample cycles, one wave per step; the smallest buffer.
  EXPECT_EQ(RenderPreview(table, 1, 0.5, preview), 32u * 512u + 512u);
  EXPECT_EQ(preview.size(), kPreviewMinSamples);
  EXPECT_EQ(PreviewBufferSamples(32), kPreviewMaxSamples);
}

TEST(SpectralAnalysis, FundamentalTone) {
  std::vector<float> tone;
  MakeFundamentalTone(TuneFactor(0), tone);
  ASSERT_EQ(tone.size(), 88200u);
  EXPECT_EQ(tone[0], 0.0f);
  EXPECT_NEAR(tone[64], 1.0, 1e-3);  // a quarter cycle of 256 samples, barely faded
  EXPECT_NEAR(tone[44096], 0.5, 1e-3);  // 172 cycles and a quarter, half faded
  EXPECT_EQ(tone.back(), 0.0f);
  MakeFundamentalTone(TuneFactor(1200), tone);
  EXPECT_NEAR(tone[32], 1.0, 1e-3);  // an octave up: 128-sample cycles
}

// "fAPPLY" and "fCANCEL" are driven in tests/ui/pages/vorta_analysis_test.cpp.
TEST_F(SpectralAnalysisTest, ButtonsLimitsAndCancel) {
  const std::vector<float> range = Sine(40 * 512, kUnityCycles, 0.5);
  SpectralAnalysis analysis;
  ASSERT_EQ(StartSpectralAnalysis(analysis, range, {}), kMsgDone);
  ASSERT_TRUE(analysis.OffersSliceFill());
  // Presses until the button refuses: the refusal and how many it took.
  const auto pressUntilRefused = [&](SpectralButton button) {
    int presses = 1;
    MessageCode message = kMsgNone;
    while ((message = PressSpectralButton(analysis, button)) == kMsgNone && presses < 50) ++presses;
    return std::pair(message, presses);
  };
  EXPECT_EQ(pressUntilRefused(SpectralButton::LowerContrast), std::pair(kMsgMinValue, 11));
  EXPECT_NEAR(analysis.settings.contrast, 0.5f, 1e-5);
  EXPECT_EQ(pressUntilRefused(SpectralButton::RaiseContrast), std::pair(kMsgMaxValue, 31));
  EXPECT_NEAR(analysis.settings.contrast, 2.0f, 1e-5);
  SetAnalysisCents(analysis, -1200);
  EXPECT_EQ(PressSpectralButton(analysis, SpectralButton::LowerCents), kMsgMinValue);
  EXPECT_EQ(PressSpectralButton(analysis, SpectralButton::RaiseCents), kMsgNone);
  EXPECT_EQ(analysis.settings.cents, -1195);
  SetAnalysisCents(analysis, 1200);
  EXPECT_EQ(PressSpectralButton(analysis, SpectralButton::RaiseCents), kMsgMaxValue);
  EXPECT_NEAR(analysis.fundamental[32], 1.0, 1e-3);
  EXPECT_EQ(analysis.previewLength, 32u * 128u * static_cast<size_t>(Nearest(analysis.stretch * 2.0)) + 128u);
  PressSpectralButton(analysis, SpectralButton::PitchAdaption);
  EXPECT_EQ(analysis.previewLength, 32u * 256u * static_cast<size_t>(analysis.stretch) + 256u);
  PressSpectralButton(analysis, SpectralButton::SliceFillMode);
  PressSpectralButton(analysis, SpectralButton::PolarityLock);
  PressSpectralButton(analysis, SpectralButton::SharpenAttack);
  const AnalysisSettings& settings = analysis.settings;
  EXPECT_EQ(std::tuple(settings.sliceFill, settings.polarityLock, settings.sharpenAttack),
            std::tuple(SliceFill::Excerpts, false, true));

  ScriptedProgress progress;
  progress.cancelAtCall = 3;
  EXPECT_EQ(StartSpectralAnalysis(analysis, range, progress.Hooks()), kMsgAborted);
  EXPECT_EQ(progress.calls.size(), 4u);
  // The settings of the run survive a second analysis.
  ASSERT_EQ(StartSpectralAnalysis(analysis, range, {}), kMsgDone);
  EXPECT_EQ(analysis.settings.cents, 1200);
  EXPECT_TRUE(analysis.settings.sharpenAttack);
  EXPECT_FALSE(analysis.settings.pitchAdaption);
}

TEST(TuningKeyboard, ClicksAndArrows) {
  // 26-pixel columns; the lower half of a white key's two columns gives that key's own note.
  const std::pair<int, int> columns[] = {{0, 0}, {25, 0}, {26, 1}, {30 * 26, -1}, {-1, -1}};
  for (const auto& [x, column] : columns) EXPECT_EQ(TuningKeyColumn(x), column) << x;
  const std::tuple<int, bool, int> clicks[] = {{0, false, -1200}, {14, false, 0},  {29, false, 1200}, {2, false, -1100},
                                               {2, true, -1000},  {8, true, -500}, {14, true, 0},     {22, true, 700},
                                               {28, true, 1200}, {7, true, -700}, {21, true, 500}};
  for (const auto& [column, rightHalf, cents] : clicks)
    EXPECT_EQ(TuningKeyClickCents(column, rightHalf), cents) << column;
  // Arrows step by a semitone and wrap past either end.
  const std::tuple<int, int, int> steps[] = {{0, 1, 100}, {1200, 1, -1200}, {-1200, -1, 1200}, {1150, 1, -1200},
                                             {-1100, -1, -1200}};
  for (const auto& [cents, step, next] : steps) EXPECT_EQ(StepTuningCents(cents, step), next) << cents;
}
