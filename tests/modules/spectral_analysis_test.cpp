#include "modules/spectral_analysis.h"

#include <gtest/gtest.h>

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
  std::vector<float> range(8 * 512, 0.5f);
  EXPECT_EQ(AnalysisFrameCount(range), 7);
  range.assign(100 * 512, 0.0f);
  range[20 * 512] = 0.5f;  // the last sound lies in frame 20 - 1
  EXPECT_EQ(AnalysisFrameCount(range), 19);
  range[20 * 512] = 0.0f;
  range[100] = 0.5f;
  EXPECT_EQ(AnalysisFrameCount(range), 7);  // never fewer than 7
  // Sound up to the very end: the last sample's index 51,199 gives frame 98.
  range.assign(100 * 512, 0.5f);
  EXPECT_EQ(AnalysisFrameCount(range), 98);
  EXPECT_EQ(AnalysisStretch(300000), 32);  // 35.5 rounds to 36, clamped
  EXPECT_EQ(AnalysisStretch(8448 * 10), 10);
  EXPECT_EQ(AnalysisStretch(4097), 1);
  EXPECT_EQ(AnalysisStretch(8448 * 5 + 4224), 6);  // halves away from zero
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
  std::vector<float> range = Sine(20 * 512, kUnityCycles, 0.5);
  SpectralAnalysis analysis;
  ASSERT_EQ(StartSpectralAnalysis(analysis, range, {}), kMsgDone);
  EXPECT_GT(analysis.table.at(0, 0), 0);
  for (float& v : range) v = -v;
  ASSERT_EQ(StartSpectralAnalysis(analysis, range, {}), kMsgDone);
  EXPECT_LT(analysis.table.at(0, 0), 0);
  EXPECT_LT(analysis.table.at(0, 10), 0);
}

TEST(SpectralAnalysis, FramesToSlicesBothFillModesAndSharpenAttack) {
  // F <= 33: one frame per slice, the rest empty.
  FrameSpectra frames = RampFrames(10);
  SliceSpectra slices;
  FramesToSlices(frames, SliceFill::FullSignal, false, slices);
  EXPECT_EQ(SliceMagnitude(slices, 3, 100), 4.0f);
  EXPECT_EQ(SlicePolarity(slices, 3, 100), -1);
  EXPECT_EQ(SliceMagnitude(slices, 10, 100), 0.0f);
  EXPECT_EQ(SliceMagnitude(slices, 0, 0), 0.0f);  // bin 0 carries nothing
  FramesToSlices(frames, SliceFill::FullSignal, true, slices);
  EXPECT_FLOAT_EQ(SliceMagnitude(slices, 0, 1), 1.175f);
  EXPECT_EQ(SliceMagnitude(slices, 1, 1), 2.0f);

  // 66 frames: step 2. Full signal averages two frames, excerpts take the first.
  frames = RampFrames(66);
  FramesToSlices(frames, SliceFill::FullSignal, false, slices);
  EXPECT_FLOAT_EQ(SliceMagnitude(slices, 5, 7), 11.5f);  // frames 10, 11 hold 11, 12
  EXPECT_EQ(SlicePolarity(slices, 5, 7), 1);             // frame 10's polarity
  EXPECT_FLOAT_EQ(SliceMagnitude(slices, 32, 512), 65.5f);
  FramesToSlices(frames, SliceFill::Excerpts, false, slices);
  EXPECT_FLOAT_EQ(SliceMagnitude(slices, 5, 7), 11.0f);
  // Sharpen attack: slice 0 takes frame 0, raised only when it held one frame.
  FramesToSlices(frames, SliceFill::FullSignal, true, slices);
  EXPECT_FLOAT_EQ(SliceMagnitude(slices, 0, 7), 1.0f);
  FramesToSlices(frames, SliceFill::Excerpts, true, slices);
  EXPECT_FLOAT_EQ(SliceMagnitude(slices, 0, 7), 1.175f);

  // 40 frames: the last slice still ends at frame 40.
  frames = RampFrames(40);
  FramesToSlices(frames, SliceFill::FullSignal, false, slices);
  EXPECT_FLOAT_EQ(SliceMagnitude(slices, 32, 3), 40.0f);  // frames 39..39
}

TEST(SpectralAnalysis, HarmonicSamplingAndTheLastBin) {
  SliceSpectra slices;
  slices.magnitudes.assign(static_cast<size_t>(kSliceCount) * kSliceSpectrumBins, 0.0f);
  slices.polarities.assign(static_cast<size_t>(kSliceCount) * kSliceSpectrumBins, 1);
  for (int b = 0; b < kSliceSpectrumBins; ++b) {
    slices.magnitudes[static_cast<size_t>(b)] = static_cast<float>(b);
    slices.polarities[static_cast<size_t>(b)] = (b % 2) ? -1 : 1;
  }
  HarmonicMatrix harmonics;
  // Cents +1200: harmonic 64 reads bin 512 alone; nothing beyond it.
  SampleHarmonics(slices, TuneFactor(1200), harmonics);
  EXPECT_EQ(harmonics.magnitude(63, 0), 512.0f);
  EXPECT_EQ(harmonics.polarity(63, 0), 1);
  EXPECT_EQ(harmonics.magnitude(0, 0), 8.0f);
  // 344.53125 Hz is shown with its half rounded up, as everywhere on screen.
  EXPECT_EQ(ShownFundamentalFrequency(1200), "344.5313");
  EXPECT_EQ(ShownFundamentalFrequency(0), "172.2656");
  EXPECT_EQ(ShownFundamentalFrequency(-1200), "86.1328");
  EXPECT_EQ(ShownNoteOffset(-700), "-7.00");
  EXPECT_EQ(ShownNoteOffset(5), "+0.05");
  EXPECT_EQ(ShownNoteOffset(0), "+0.00");
  // Cents 0: exactly bins 4, 8, ...
  SampleHarmonics(slices, TuneFactor(0), harmonics);
  EXPECT_EQ(harmonics.magnitude(2, 0), 12.0f);
  EXPECT_EQ(harmonics.magnitude(2, 1), 0.0f);
  // Cents 100: between bins, polarity of the nearer one.
  SampleHarmonics(slices, TuneFactor(100), harmonics);
  const double t = std::pow(2.0, 100.0 / 1200.0);
  EXPECT_NEAR(harmonics.magnitude(0, 0), 4.0 * t, 1e-4);  // 4.238: bins 4 and 5
  EXPECT_EQ(harmonics.polarity(0, 0), 1);                   // fraction 0.24: bin 4
  EXPECT_NEAR(harmonics.magnitude(2, 0), 12.0 * t, 1e-4);   // 12.71
  EXPECT_EQ(harmonics.polarity(2, 0), -1);                  // fraction 0.71: bin 13
  // Cents -1200: harmonic 1 at bin 2.
  SampleHarmonics(slices, TuneFactor(-1200), harmonics);
  EXPECT_EQ(harmonics.magnitude(0, 0), 2.0f);
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
  EXPECT_EQ(analysis.settings.cents, -1200);
  EXPECT_EQ(PressSpectralButton(analysis, SpectralButton::RaiseCents), kMsgNone);
  EXPECT_EQ(analysis.settings.cents, -1195);
  SetAnalysisCents(analysis, 1200);
  EXPECT_EQ(PressSpectralButton(analysis, SpectralButton::RaiseCents), kMsgMaxValue);
  EXPECT_NEAR(analysis.fundamental[32], 1.0, 1e-3);
  EXPECT_EQ(analysis.previewLength, 32u * 128u * static_cast<size_t>(Nearest(analysis.stretch * 2.0)) + 128u);
  PressSpectralButton(analysis, SpectralButton::PitchAdaption);
  EXPECT_EQ(analysis.previewLength, 32u * 256u * static_cast<size_t>(analysis.stretch) + 256u);

  const PartialTable before = analysis.table;
  PressSpectralButton(analysis, SpectralButton::SliceFillMode);
  EXPECT_EQ(analysis.settings.sliceFill, SliceFill::Excerpts);
  PressSpectralButton(analysis, SpectralButton::PolarityLock);
  EXPECT_FALSE(analysis.settings.polarityLock);
  PressSpectralButton(analysis, SpectralButton::SharpenAttack);
  EXPECT_TRUE(analysis.settings.sharpenAttack);

  PartialTable table = before;
  int32_t stretch = 3;
  EXPECT_EQ(ApplySpectralAnalysis(analysis, table, stretch), kMsgDone);
  EXPECT_EQ(table, analysis.table);
  EXPECT_EQ(stretch, analysis.stretch);
  EXPECT_EQ(CancelSpectralAnalysis(table, stretch), kMsgAborted);
  EXPECT_TRUE(TableIsSilent(table));
  EXPECT_EQ(stretch, 16);

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
  for (const auto& [column, rightHalf, cents] : clicks) EXPECT_EQ(TuningKeyClickCents(column, rightHalf), cents) << column;
  // Arrows step by a semitone and wrap past either end.
  const std::tuple<int, int, int> steps[] = {{0, 1, 100}, {1200, 1, -1200}, {-1200, -1, 1200}, {1150, 1, -1200},
                                             {-1100, -1, -1200}};
  for (const auto& [cents, step, next] : steps) EXPECT_EQ(StepTuningCents(cents, step), next) << cents;
}
