#include "modules/spectral_analysis.h"
#include "modules/scanloop_analysis.h"

#include "module_fixture.h"
#include "modules/tuning_keyboard.h"
#include "wavetable/vorta_synthesis.h"

namespace {

// One cycle per 256 samples: the table's unity pitch, bin 4 of a frame.
constexpr double kUnityCycles = 1.0 / 256.0;

// Frame f holds f + 1 in every bin, its phases alternate 1, -1, ...
FrameSpectra RampFrames(int32_t frames) {
  FrameSpectra spectra;
  spectra.frames = frames;
  for (int32_t f = 0; f < frames; ++f) {
    spectra.magnitudes.insert(spectra.magnitudes.end(), kAnalysisBins, static_cast<float>(f + 1));
    spectra.phases.insert(spectra.phases.end(), kAnalysisBins, (f % 2) ? -1.0f : 1.0f);
  }
  return spectra;
}

size_t SliceAt(const SliceSpectra& slices, int slice, int bin) {
  return static_cast<size_t>(slice) * static_cast<size_t>(slices.bins) + static_cast<size_t>(bin);
}

// Step s is harmonic (s mod 8) + 1 with the given sign.
std::vector<float> ScanLoop(int32_t steps, int32_t stepSize, float sign = 1.0f) {
  std::vector<float> signal(static_cast<size_t>(steps) * static_cast<size_t>(stepSize));
  for (int32_t s = 0; s < steps; ++s)
    for (int32_t j = 0; j < stepSize; ++j)
      signal[static_cast<size_t>(s) * static_cast<size_t>(stepSize) + static_cast<size_t>(j)] =
          sign * 0.5f * static_cast<float>(std::sin(2.0 * std::numbers::pi * ((s % 8) + 1) * j / stepSize));
  return signal;
}

}  // namespace

using SpectralAnalysisTest = ModuleTest;
using ScanloopTest = ModuleTest;

TEST_F(SpectralAnalysisTest, FrameCountStretchAndEightFramesFillingSevenSlicesAndHoldingTheRest) {
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
  const std::pair<int64_t, int32_t> stretches[] = {{300000, 32}, {8448 * 10, 10}, {4097, 1}, {8448 * 5 + 4224, 6}};
  for (const auto& [length, stretch] : stretches) EXPECT_EQ(AnalysisStretch(length), stretch) << length;

  const std::vector<float> range = Sine(8 * 512, kUnityCycles, 0.5);
  SpectralAnalysis analysis;
  ScriptedProgress progress;
  ASSERT_EQ(StartSpectralAnalysis(analysis, range, progress.Hooks()), kMsgDone);
  EXPECT_EQ(std::tuple(analysis.frameCount, analysis.stretch, analysis.OffersSliceFill()), std::tuple(7, 1, false));
  ASSERT_EQ(progress.calls.size(), 8u);
  EXPECT_EQ(std::pair(progress.calls.front().label, progress.calls.back().done),
            std::pair(std::string(kAnalysisProgressLabel), int64_t{7}));
  for (int s = 0; s < 7; ++s) {
    EXPECT_EQ(analysis.table.at(0, s), 127) << s;
    for (int r = 1; r < kPartialCount; ++r) EXPECT_LT(analysis.table.at(r, s), 100) << r << " " << s;
  }
  // Slices 7..32 hold the last analysed one.
  for (int s = 7; s < kSliceCount; ++s)
    for (int r = 0; r < kPartialCount; ++r) ASSERT_EQ(analysis.table.at(r, s), analysis.table.at(r, 6)) << r << " " << s;
  EXPECT_EQ(std::pair(analysis.previewLength, analysis.preview.size()), std::pair(size_t{32 * 256 + 256}, kPreviewMinSamples));
  EXPECT_NEAR(MaxAbsOf(analysis.preview), 1.0, 1e-5);
  EXPECT_EQ(analysis.fundamental.size(), static_cast<size_t>(kFundamentalToneSamples));

  ASSERT_EQ(StartSpectralAnalysis(analysis, Sine(20 * 512, kUnityCycles, -0.5), {}), kMsgDone);
  EXPECT_LT(analysis.table.at(0, 0), 0);
  EXPECT_LT(analysis.table.at(0, 10), 0);
}

TEST(SpectralAnalysis, FramesToSlicesToHarmonicsToTheTable) {
  // {frames, fill, sharpen, slice, bin, magnitude}: up to 33 frames one per slice; 66: two averaged
  // or the first; sharpen raises slice 0 only when it held one frame.
  const std::tuple<int32_t, SliceFill, bool, int, int, float> cases[] = {
      {10, SliceFill::FullSignal, false, 3, 100, 4.0f},   {10, SliceFill::FullSignal, false, 10, 100, 0.0f},
      {10, SliceFill::FullSignal, false, 0, 0, 0.0f},     {10, SliceFill::FullSignal, true, 0, 1, 1.175f},
      {10, SliceFill::FullSignal, true, 1, 1, 2.0f},      {66, SliceFill::FullSignal, false, 5, 7, 11.5f},
      {66, SliceFill::FullSignal, false, 32, 512, 65.5f}, {66, SliceFill::Excerpts, false, 5, 7, 11.0f},
      {66, SliceFill::FullSignal, true, 0, 7, 1.0f},      {66, SliceFill::Excerpts, true, 0, 7, 1.175f},
      {40, SliceFill::FullSignal, false, 32, 3, 40.0f},
  };
  SliceSpectra slices;
  for (const auto& [frames, fill, sharpen, slice, bin, magnitude] : cases) {
    FramesToSlices(RampFrames(frames), fill, sharpen, slices);
    EXPECT_FLOAT_EQ(slices.magnitudes[SliceAt(slices, slice, bin)], magnitude)
        << frames << " " << static_cast<int>(fill) << " " << sharpen << " " << slice << " " << bin;
  }
  // Frame 3 is odd (negative); slice 5 of 66 takes frame 10's polarity.
  FramesToSlices(RampFrames(10), SliceFill::FullSignal, false, slices);
  EXPECT_EQ(slices.polarities[SliceAt(slices, 3, 100)], -1);
  FramesToSlices(RampFrames(66), SliceFill::FullSignal, false, slices);
  EXPECT_EQ(slices.polarities[SliceAt(slices, 5, 7)], 1);

  slices = SliceSpectra{};
  slices.magnitudes.assign(static_cast<size_t>(kSliceCount) * kSliceSpectrumBins, 0.0f);
  slices.polarities.assign(static_cast<size_t>(kSliceCount) * kSliceSpectrumBins, 1);
  for (int b = 0; b < kSliceSpectrumBins; ++b) {
    slices.magnitudes[static_cast<size_t>(b)] = static_cast<float>(b);
    slices.polarities[static_cast<size_t>(b)] = (b % 2) ? -1 : 1;
  }
  // {cents, harmonic, magnitude, polarity} in slice 0 (bin b holds b, odd bins negative); between
  // bins the polarity of the nearer one.
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
  EXPECT_EQ(std::tuple(ShownFundamentalFrequency(0), ShownNoteOffset(0), ShownNoteOffset(5)),
            std::tuple("172.2656", "+0.00", "+0.05"));

  harmonics = HarmonicMatrix{};
  harmonics.magnitude(0, 0) = 2.0f;
  harmonics.polarity(0, 0) = 1;
  harmonics.magnitude(1, 0) = 1.0f;
  harmonics.polarity(1, 0) = -1;
  for (const auto& [contrast, second] : {std::pair(1.0f, -116), std::pair(2.0f, -106)}) {
    const PartialTable table = BuildTableFromHarmonics(harmonics, contrast);
    EXPECT_EQ(std::pair(int{table.at(0, 0)}, int{table.at(1, 0)}), std::pair(127, second)) << contrast;
  }
  harmonics.magnitude(0, 0) = 0.002f;
  harmonics.magnitude(1, 0) = 0.0f;
  EXPECT_EQ(BuildTableFromHarmonics(harmonics, 1.0f).at(0, 0), 127);
  EXPECT_TRUE(TableIsSilent(BuildTableFromHarmonics(HarmonicMatrix{}, 1.0f)));
}

TEST_F(SpectralAnalysisTest, PreviewLayoutPitchAndTheFundamentalTone) {
  PartialTable table;
  table.at(0, 0) = 60;  // quiet: the preview still peaks at 1.0
  std::vector<float> preview;
  ASSERT_EQ(RenderPreview(table, 2, 1.0, preview), 32u * 512u + 256u);
  EXPECT_EQ(preview.size(), 2u * 16384u + 512u);
  for (size_t j = 0; j < 256; ++j) {
    ASSERT_NEAR(preview[j], std::sin(2 * std::numbers::pi * static_cast<double>(j) / 256), 1e-5);
    ASSERT_NEAR(preview[256 + j], 0.5 * preview[j], 1e-6);
  }
  EXPECT_EQ(MaxAbsOf(std::span(preview).subspan(512)), 0.0);
  // p = 2: cycles of 128 samples, nearest(2 x 2) = 4 waves per step.
  EXPECT_EQ(RenderPreview(table, 2, 2.0, preview), 32u * 128u * 4u + 128u);
  EXPECT_NEAR(preview[32], 1.0, 1e-5);
  // p = 0.5 at R = 1: 512-sample cycles, one wave per step; the smallest buffer.
  EXPECT_EQ(RenderPreview(table, 1, 0.5, preview), 32u * 512u + 512u);
  EXPECT_EQ(std::pair(preview.size(), PreviewBufferSamples(32)), std::pair(kPreviewMinSamples, kPreviewMaxSamples));

  std::vector<float> tone;
  MakeFundamentalTone(TuneFactor(0), tone);
  ASSERT_EQ(tone.size(), 88200u);
  EXPECT_EQ(std::pair(tone[0], tone.back()), std::pair(0.0f, 0.0f));
  EXPECT_NEAR(tone[64], 1.0, 1e-3);     // a quarter cycle of 256 samples, barely faded
  EXPECT_NEAR(tone[44096], 0.5, 1e-3);  // 172 cycles and a quarter, half faded
  MakeFundamentalTone(TuneFactor(1200), tone);
  EXPECT_NEAR(tone[32], 1.0, 1e-3);  // an octave up: 128-sample cycles
}

// "fAPPLY" and "fCANCEL" are driven in tests/ui/pages/vorta_analysis_test.cpp.
TEST_F(SpectralAnalysisTest, ButtonsLimitsAndCancel) {
  const std::vector<float> range = Sine(40 * 512, kUnityCycles, 0.5);
  SpectralAnalysis analysis;
  ASSERT_EQ(StartSpectralAnalysis(analysis, range, {}), kMsgDone);
  ASSERT_TRUE(analysis.OffersSliceFill());
  const auto pressUntilRefused = [&](SpectralButton button) {
    int presses = 1;
    MessageCode message = kMsgNone;
    while ((message = PressSpectralButton(analysis, button)) == kMsgNone && presses < 50) ++presses;
    return std::tuple(message, presses, std::round(analysis.settings.contrast * 1e4f) / 1e4f);
  };
  EXPECT_EQ(pressUntilRefused(SpectralButton::LowerContrast), std::tuple(kMsgMinValue, 11, 0.5f));
  EXPECT_EQ(pressUntilRefused(SpectralButton::RaiseContrast), std::tuple(kMsgMaxValue, 31, 2.0f));
  SetAnalysisCents(analysis, -1200);
  EXPECT_EQ(PressSpectralButton(analysis, SpectralButton::LowerCents), kMsgMinValue);
  EXPECT_EQ(PressSpectralButton(analysis, SpectralButton::RaiseCents), kMsgNone);
  EXPECT_EQ(analysis.settings.cents, -1195);
  SetAnalysisCents(analysis, 1200);
  EXPECT_EQ(PressSpectralButton(analysis, SpectralButton::RaiseCents), kMsgMaxValue);
  EXPECT_NEAR(analysis.fundamental[32], 1.0, 1e-3);
  EXPECT_EQ(analysis.previewLength, 32u * 128u * static_cast<size_t>(Nearest(analysis.stretch * 2.0)) + 128u);
  for (SpectralButton button : {SpectralButton::PitchAdaption, SpectralButton::SliceFillMode,
                                SpectralButton::PolarityLock, SpectralButton::SharpenAttack})
    PressSpectralButton(analysis, button);
  EXPECT_EQ(analysis.previewLength, 32u * 256u * static_cast<size_t>(analysis.stretch) + 256u);
  const AnalysisSettings& settings = analysis.settings;
  EXPECT_EQ(std::tuple(settings.sliceFill, settings.polarityLock, settings.sharpenAttack),
            std::tuple(SliceFill::Excerpts, false, true));

  ScriptedProgress progress(3);
  EXPECT_EQ(StartSpectralAnalysis(analysis, range, progress.Hooks()), kMsgAborted);
  EXPECT_EQ(progress.calls.size(), 4u);
  // The settings of the run survive a second analysis.
  ASSERT_EQ(StartSpectralAnalysis(analysis, range, {}), kMsgDone);
  EXPECT_EQ(std::tuple(settings.cents, settings.sharpenAttack, settings.pitchAdaption), std::tuple(1200, true, false));
}

TEST(TuningKeyboard, ClicksAndArrows) {
  // 26-pixel columns; the lower half of a white key's two columns gives that key's own note.
  const std::pair<int, int> columns[] = {{0, 0}, {25, 0}, {26, 1}, {30 * 26, -1}, {-1, -1}};
  for (const auto& [x, column] : columns) EXPECT_EQ(TuningKeyColumn(x), column) << x;
  const std::tuple<int, bool, int> clicks[] = {{0, false, -1200}, {14, false, 0},  {29, false, 1200}, {2, false, -1100},
                                               {2, true, -1000},  {8, true, -500}, {14, true, 0},     {22, true, 700},
                                               {28, true, 1200},  {7, true, -700}, {21, true, 500}};
  for (const auto& [column, rightHalf, cents] : clicks) EXPECT_EQ(TuningKeyClickCents(column, rightHalf), cents) << column;
  // Arrows step by a semitone and wrap past either end.
  const std::tuple<int, int, int> steps[] = {{0, 1, 100}, {1200, 1, -1200}, {-1200, -1, 1200}, {1150, 1, -1200},
                                             {-1100, -1, -1200}};
  for (const auto& [cents, step, next] : steps) EXPECT_EQ(StepTuningCents(cents, step), next) << cents;
}

TEST_F(ScanloopTest, OneStepPerSliceHeldRestPreviewStretchAndTheMappingOfManySteps) {
  // {step size, pitch adaption, stretch}: 600 gives 6.83, rounded.
  const std::tuple<int32_t, bool, int32_t> stretches[] = {{256, true, 16}, {128, true, 32}, {2048, true, 2},
                                                          {4096, true, 1}, {600, true, 7},  {2048, false, 16}};
  for (const auto& [stepSize, adaption, stretch] : stretches)
    EXPECT_EQ(ScanloopPreviewStretch(stepSize, adaption), stretch) << stepSize;

  const std::vector<float> signal = ScanLoop(8, 256);
  ScanloopAnalysis analysis;
  ScriptedProgress progress;
  ASSERT_EQ(StartScanloopAnalysis(analysis, signal, 256, 8, progress.Hooks()), kMsgDone);
  EXPECT_EQ(std::tuple(analysis.steps, analysis.stretch, analysis.OffersSliceFill(), progress.calls.size()),
            std::tuple(8, 16, false, size_t{9}));
  for (int s = 0; s < 8; ++s)  // harmonic s + 1
    EXPECT_EQ(std::pair(int{analysis.table.at(s, s)}, int{analysis.table.at((s + 1) % 8, s)}), std::pair(127, 0)) << s;
  for (int s = 8; s < kSliceCount; ++s) EXPECT_EQ(analysis.table.at(7, s), analysis.table.at(7, 7));
  EXPECT_EQ(analysis.previewLength, 32u * 256u * 16u + 256u);

  ASSERT_EQ(StartScanloopAnalysis(analysis, ScanLoop(8, 256, -1.0f), 256, 8, {}), kMsgDone);
  EXPECT_EQ(analysis.table.at(0, 0), -127);
  // Steps the signal does not hold are left out; none at all is no data.
  ASSERT_EQ(StartScanloopAnalysis(analysis, signal, 256, 20, {}), kMsgDone);
  EXPECT_EQ(analysis.steps, 8);
  EXPECT_EQ(StartScanloopAnalysis(analysis, signal, 4096, 2, {}), kMsgNoData);

  analysis = ScanloopAnalysis{};
  ASSERT_EQ(StartScanloopAnalysis(analysis, ScanLoop(66, 128), 128, 66, {}), kMsgDone);
  ASSERT_TRUE(analysis.OffersSliceFill());
  // Full signal: slice c averages steps 2c and 2c + 1, harmonics (2c mod 8) + 1 and + 2.
  const float single = analysis.stepMagnitudes[0];  // step 0, partial 1
  EXPECT_NEAR(single, 32.0f, 1e-3);                  // 0.5 x 128 / 2
  EXPECT_NEAR(analysis.harmonics.magnitude(0, 0), single / 2, 1e-3);
  EXPECT_NEAR(analysis.harmonics.magnitude(1, 0), single / 2, 1e-3);
  EXPECT_EQ(analysis.table.at(0, 0), analysis.table.at(1, 0));
  PressScanloopButton(analysis, ScanloopButton::SliceFillMode);
  EXPECT_EQ(analysis.settings.sliceFill, SliceFill::Excerpts);
  EXPECT_NEAR(analysis.harmonics.magnitude(0, 0), single, 1e-3);
  EXPECT_EQ(analysis.harmonics.magnitude(1, 0), analysis.stepMagnitudes[1]);  // leakage only
  // Sharpen: excerpts cover one step, so slice 0 is raised by 1.25.
  PressScanloopButton(analysis, ScanloopButton::SharpenAttack);
  EXPECT_NEAR(analysis.harmonics.magnitude(0, 0), 1.25f * single, 1e-3);
  PressScanloopButton(analysis, ScanloopButton::SliceFillMode);
  EXPECT_NEAR(analysis.harmonics.magnitude(0, 0), single, 1e-3);  // step 0 alone, unchanged
  EXPECT_EQ(analysis.stretch, 32);
  PressScanloopButton(analysis, ScanloopButton::PitchAdaption);
  EXPECT_EQ(std::pair(analysis.stretch, analysis.previewLength), std::pair(16, size_t{32u * 256u * 16u + 256u}));
  int32_t stretch = 0;
  PartialTable table;
  EXPECT_EQ(ApplyScanloopAnalysis(analysis, table, stretch), kMsgDone);
  EXPECT_EQ(std::pair(stretch, table), std::pair(16, analysis.table));
}

TEST_F(ScanloopTest, PolarityIsTheFirstNonZeroOneOfTheCoveredSteps) {
  ScanloopAnalysis analysis;
  analysis.steps = 66;
  analysis.stepSize = 256;
  analysis.stepMagnitudes.assign(66 * 64, 0.0f);
  analysis.stepPolarities.assign(66 * 64, 0);
  analysis.stepMagnitudes[1 * 64 + 0] = 4.0f;
  analysis.stepPolarities[1 * 64 + 0] = -1;
  analysis.stepMagnitudes[0 * 64 + 1] = 2.0f;
  analysis.stepPolarities[0 * 64 + 1] = 1;
  MapScanSteps(analysis);
  EXPECT_EQ(std::pair(analysis.harmonics.polarity(0, 0), analysis.harmonics.magnitude(0, 0)), std::pair(int16_t{-1}, 2.0f));
  EXPECT_EQ(analysis.harmonics.polarity(1, 0), 1);
  EXPECT_EQ(analysis.harmonics.polarity(5, 0), 1);  // silent throughout
}
