#include "modules/scanloop_analysis.h"

#include <gtest/gtest.h>

#include <numbers>
#include <tuple>
#include <vector>

#include "module_fixture.h"

namespace {

// steps cycles of stepSize samples; step s is harmonic (s mod 8) + 1 with
// the given sign.
std::vector<float> ScanLoop(int32_t steps, int32_t stepSize, float sign = 1.0f) {
  std::vector<float> signal(static_cast<size_t>(steps) * static_cast<size_t>(stepSize));
  for (int32_t s = 0; s < steps; ++s)
    for (int32_t j = 0; j < stepSize; ++j)
      signal[static_cast<size_t>(s) * static_cast<size_t>(stepSize) + static_cast<size_t>(j)] =
          sign * 0.5f * static_cast<float>(std::sin(2.0 * std::numbers::pi * ((s % 8) + 1) * j / stepSize));
  return signal;
}

}  // namespace

using ScanloopTest = ModuleTest;

TEST(ScanloopAnalysis, PreviewStretch) {
  // {step size, pitch adaption, stretch}: 600 gives 6.83, rounded.
  const std::tuple<int32_t, bool, int32_t> cases[] = {{256, true, 16}, {128, true, 32}, {2048, true, 2},
                                                      {4096, true, 1},  {600, true, 7},  {2048, false, 16}};
  for (const auto& [stepSize, adaption, stretch] : cases)
    EXPECT_EQ(ScanloopPreviewStretch(stepSize, adaption), stretch);
}

TEST_F(ScanloopTest, OneStepPerSliceAndHeldRest) {
  const std::vector<float> signal = ScanLoop(8, 256);
  ScanloopAnalysis analysis;
  ScriptedProgress progress;
  ASSERT_EQ(StartScanloopAnalysis(analysis, signal, 256, 8, progress.Hooks()), kMsgDone);
  EXPECT_EQ(analysis.steps, 8);
  EXPECT_EQ(analysis.stretch, 16);
  EXPECT_FALSE(analysis.OffersSliceFill());
  EXPECT_EQ(progress.calls.size(), 9u);
  for (int s = 0; s < 8; ++s) {
    EXPECT_EQ(analysis.table.at(s, s), 127) << s;  // harmonic s + 1
    EXPECT_EQ(analysis.table.at((s + 1) % 8, s), 0) << s;
  }
  for (int s = 8; s < kSliceCount; ++s) EXPECT_EQ(analysis.table.at(7, s), analysis.table.at(7, 7));
  EXPECT_EQ(analysis.previewLength, 32u * 256u * 16u + 256u);

  // Inverted cycles give negative partials.
  const std::vector<float> inverted = ScanLoop(8, 256, -1.0f);
  ASSERT_EQ(StartScanloopAnalysis(analysis, inverted, 256, 8, {}), kMsgDone);
  EXPECT_EQ(analysis.table.at(0, 0), -127);

  // Steps the signal does not hold are left out; none at all is no data.
  ASSERT_EQ(StartScanloopAnalysis(analysis, signal, 256, 20, {}), kMsgDone);
  EXPECT_EQ(analysis.steps, 8);
  EXPECT_EQ(StartScanloopAnalysis(analysis, signal, 4096, 2, {}), kMsgNoData);
}

TEST_F(ScanloopTest, MappingOfManyStepsAndSharpen) {
  const std::vector<float> signal = ScanLoop(66, 128);
  ScanloopAnalysis analysis;
  ASSERT_EQ(StartScanloopAnalysis(analysis, signal, 128, 66, {}), kMsgDone);
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
  EXPECT_EQ(analysis.stretch, 16);
  EXPECT_EQ(analysis.previewLength, 32u * 256u * 16u + 256u);
  int32_t stretch = 0;
  PartialTable table;
  EXPECT_EQ(ApplyScanloopAnalysis(analysis, table, stretch), kMsgDone);
  EXPECT_EQ(stretch, 16);
  EXPECT_EQ(table, analysis.table);
}

TEST_F(ScanloopTest, PolarityIsTheFirstNonZeroOneOfTheCoveredSteps) {
  ScanloopAnalysis analysis;
  analysis.steps = 66;
  analysis.stepSize = 256;
  analysis.stepMagnitudes.assign(66 * 64, 0.0f);
  analysis.stepPolarities.assign(66 * 64, 0);
  // Partial 1: step 0 silent, step 1 negative; partial 2: both positive.
  analysis.stepMagnitudes[1 * 64 + 0] = 4.0f;
  analysis.stepPolarities[1 * 64 + 0] = -1;
  analysis.stepMagnitudes[0 * 64 + 1] = 2.0f;
  analysis.stepPolarities[0 * 64 + 1] = 1;
  MapScanSteps(analysis);
  EXPECT_EQ(analysis.harmonics.polarity(0, 0), -1);
  EXPECT_EQ(analysis.harmonics.magnitude(0, 0), 2.0f);
  EXPECT_EQ(analysis.harmonics.polarity(1, 0), 1);
  EXPECT_EQ(analysis.harmonics.polarity(5, 0), 1);  // silent throughout
}
