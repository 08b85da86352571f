// Filter shapes, formant shifting and table interpolation.
#include <gtest/gtest.h>

#include "vorta_fixture.h"
#include "wavetable/filter_shape.h"
#include "wavetable/formant_shift.h"
#include "wavetable/table_editing.h"
#include "wavetable/table_interpolation.h"

namespace {

// A full-scale table whose slices differ: partial 1 at 127 everywhere, and
// partial r + 2 at code 100 in slice r (r < 33).
PartialTable RichTable() {
  PartialTable table;
  for (int s = 0; s < 33; ++s) {
    table.at(0, s) = 127;
    table.at(1 + s, s) = 100;
  }
  OptimizeTable(table, kOptimizeRaise);
  return table;
}

}  // namespace

TEST_F(VortaTest, FilterEditorStartAndSteps) {
  const FilterShapeEditor editor = StartFilterShapeEditor(RichTable());
  for (int r = 0; r < 64; ++r) EXPECT_EQ(editor.shape.at(r, 0), 127);
  EXPECT_FALSE(SliceIsFilled(editor.shape, 1));
  EXPECT_TRUE(editor.polarityLock);  // continuous rows, slices not alike
  EXPECT_FALSE(StartFilterShapeEditor(PartialTable{}).polarityLock);  // all slices alike
  PartialTable broken = RichTable();
  broken.at(0, 5) = -127;
  EXPECT_FALSE(InitialPolarityLock(broken));

  EXPECT_EQ(editor.intensity, 16);
  EXPECT_EQ(NextFilterIntensity(16), 32);
  EXPECT_EQ(NextFilterIntensity(64), 16);
  EXPECT_EQ(editor.blurFactor, 0);
  EXPECT_EQ(NextBlurFactor(3), 4);
  EXPECT_EQ(NextBlurFactor(4), 0);
}

TEST_F(VortaTest, AllPassFilterKeepsTheTable) {
  const PartialTable table = RichTable();
  const FilterShapeEditor editor = StartFilterShapeEditor(table);
  EXPECT_EQ(ApplyFilterShape(table, editor.shape, ShiftEnvelope{}, 16, 0, false), table);
}

TEST_F(VortaTest, FilterShiftMovesTheCurveAndCanSilenceASlice) {
  PartialTable table;
  FillCodes(table, 33, 64, 100);
  FilterShapeEditor editor = StartFilterShapeEditor(table);
  FillCodes(editor.shape, 0, 64, 0);
  editor.shape.at(0, 0) = 127;  // pass partial 1 only
  ShiftEnvelope shift{};
  shift[3] = 127;   // up by 64 partials: out of range
  shift[4] = 8;     // nearest(8 x 16 / 127) = 1: partial 2 passes instead
  shift[5] = -127;  // down, out of range as well
  const PartialTable output = ApplyFilterShape(table, editor.shape, shift, 64, 0, false);
  EXPECT_FALSE(SliceIsFilled(output, 3));
  EXPECT_FALSE(SliceIsFilled(output, 5));
  ExpectCodes(output, {{0, 0, 127}, {1, 0, 0}});
  const PartialTable shifted = ApplyFilterShape(table, editor.shape, shift, 16, 0, false);
  ExpectCodes(shifted, {{0, 4, 0}, {1, 4, 127}, {2, 4, 0}});
}

TEST_F(VortaTest, FilterGainsMultiplyInAmplitude) {
  PartialTable table;
  FillCodes(table, 33, 0, 127);
  table.at(1, 0) = 127;
  FilterShapeEditor editor = StartFilterShapeEditor(table);
  editor.shape.at(1, 0) = EncodeAmplitude(2048.0);  // -6 dB on partial 2
  const PartialTable output = ApplyFilterShape(table, editor.shape, ShiftEnvelope{}, 16, 0, false);
  // Partial 2 lies about 11 codes below partial 1 after filtering.
  EXPECT_NEAR(output.at(0, 0) - output.at(1, 0), 11, 1);

  // Blurring spreads the shifted curve across slices; the result stays in range.
  ShiftEnvelope steps{};
  for (int s = 0; s < 33; ++s) steps[static_cast<size_t>(s)] = static_cast<int16_t>(s % 2 ? 127 : 0);
  FillCodes(editor.shape, 0, 64, 0);
  editor.shape.at(0, 0) = 127;
  const PartialTable blurred = ApplyFilterShape(table, editor.shape, steps, 64, 2, true);
  EXPECT_TRUE(SliceIsFilled(blurred, 1));  // neighbours leak into the silenced slices
  for (int16_t c : blurred.codes) ASSERT_LE(std::abs(c), 127);
}

TEST_F(VortaTest, FilterImportTakesAFullScaleSlice) {
  PartialTable source;
  source.at(0, 4) = 100;
  source.at(9, 4) = -90;
  PrepareFilterImport(source);
  ExpectCodes(source, {{0, 4, 127}, {9, 4, -117}});
  FilterShapeEditor editor = StartFilterShapeEditor(PartialTable{});
  TakeFilterCurve(editor, source, 4);
  EXPECT_EQ(editor.shape.at(0, 0), 127);
  EXPECT_EQ(editor.shape.at(9, 0), -117);
  EXPECT_EQ(editor.shape.at(1, 0), 0);

  editor.limitMode = 1;
  SetFilterCurveCode(editor, 3, -50);
  EXPECT_EQ(editor.shape.at(3, 0), 0);
  SetFilterCurveCode(editor, 0, 50);  // the first and the last partial can be drawn, none beyond
  SetFilterCurveCode(editor, 63, 60);
  SetFilterCurveCode(editor, 64, 70);
  ExpectCodes(editor.shape, {{0, 0, 50}, {63, 0, 60}});
  RandomFilterCurvePolarity(editor);
  EXPECT_EQ(editor.limitMode, 0);
}

TEST_F(VortaTest, FormantShiftOfZerosReproducesTheTable) {
  const PartialTable table = RichTable();
  for (FormantAlgorithm algorithm : {FormantAlgorithm::Continuous, FormantAlgorithm::Discontinuous})
    for (int octaves = 1; octaves <= 5; ++octaves)
      EXPECT_EQ(ShiftFormants(table, ShiftEnvelope{}, octaves, algorithm, false), table);
}

TEST_F(VortaTest, FormantShiftGathersUpAndScattersDown) {
  PartialTable table;
  table.at(0, 0) = 127;  // partial 1
  table.at(1, 1) = 127;  // partial 2
  ShiftEnvelope shift{};
  shift[0] = 127;   // one octave up, k = 2
  shift[1] = -127;  // one octave down, k = 0.5
  const PartialTable up = ShiftFormants(table, shift, 1, FormantAlgorithm::Continuous, false);
  // Gathering: partial n reads A(n / 2): partial 2 takes all of partial 1,
  // partials 1 and 3 (x = 0.5 and 1.5) half of it, partial 4 nothing.
  EXPECT_GT(up.at(1, 0), 0);
  EXPECT_EQ(up.at(2, 0), up.at(0, 0));
  EXPECT_NEAR(up.at(1, 0) - up.at(0, 0), 11, 1);
  EXPECT_EQ(up.at(3, 0), 0);
  // Scattering: partial 2 lands on partial 1.
  ExpectCodes(up, {{0, 1, 127}, {1, 1, 0}});

  const PartialTable scattered = ShiftFormants(table, shift, 1, FormantAlgorithm::Discontinuous, false);
  // Scattering up: partial 1 lands on partial 2 alone.
  ExpectCodes(scattered, {{1, 0, 127}, {0, 0, 0}, {2, 0, 0}});

  FormantShifter shifter = StartFormantShifter(table);
  EXPECT_EQ(shifter.octaves, 1);
  EXPECT_EQ(NextFormantOctaves(5), 1);
  EXPECT_EQ(NextFormantOctaves(2), 3);
  EXPECT_EQ(OtherFormantAlgorithm(shifter.algorithm), FormantAlgorithm::Discontinuous);
}

TEST_F(VortaTest, InterpolationBetweenTheEndsIsLinearInAmplitude) {
  PartialTable table;
  table.at(0, 0) = 127;
  table.at(1, 32) = 127;
  const TableInterpolation state = StartTableInterpolation(table);
  EXPECT_EQ(state.anchors[0], 1);
  EXPECT_EQ(state.anchors[32], 1);
  EXPECT_EQ(state.anchors[16], 0);
  MessageCode message = kMsgDone;
  const PartialTable output = InterpolateTable(state.input, state.anchors, InterpolationAlgorithm::Ipol, false, &message);
  EXPECT_EQ(message, kMsgNone);
  for (int s = 0; s <= 32; ++s) {
    const double down = 4096.0 * (32 - s) / 32;
    const double up = 4096.0 * s / 32;
    EXPECT_NEAR(DecodeCode(output.at(0, s)), down, std::max(down * 0.07, 1.1)) << s;
    EXPECT_NEAR(DecodeCode(output.at(1, s)), up, std::max(up * 0.07, 1.1)) << s;
  }
}

TEST_F(VortaTest, InterpolationAnchorsEndsAndStretching) {
  PartialTable table;
  table.at(0, 10) = 127;
  table.at(3, 20) = 127;
  table.at(5, 25) = 90;  // not an anchor below

  AnchorMask single{};
  single[10] = 1;
  const PartialTable held = InterpolateTable(table, single, InterpolationAlgorithm::StretchIpol, false);
  for (int s = 0; s < 33; ++s) {
    EXPECT_EQ(held.at(0, s), 127) << s;
    EXPECT_EQ(held.at(5, s), 0) << s;
  }

  MessageCode message = kMsgNone;
  EXPECT_EQ(InterpolateTable(table, AnchorMask{}, InterpolationAlgorithm::Ipol, false, &message), table);
  EXPECT_EQ(message, kMsgNoData);

  AnchorMask two{};
  two[10] = 1;
  two[20] = 1;
  const PartialTable ipol = InterpolateTable(table, two, InterpolationAlgorithm::Ipol, false);
  EXPECT_EQ(ipol.at(0, 0), 127);   // the first anchor held to slice 0
  EXPECT_EQ(ipol.at(3, 32), 127);  // the last to slice 32
  ExpectCodes(ipol, {{0, 32, 0}, {5, 25, 0}});
  EXPECT_NEAR(ipol.at(0, 15), EncodeAmplitude(2048.0 * DecodeCode(ipol.at(0, 10)) / 4096.0), 1);

  const PartialTable stretched = InterpolateTable(table, two, InterpolationAlgorithm::StretchIpol, false);
  EXPECT_EQ(stretched.at(0, 0), 127);  // anchors now at 0 and 32
  ExpectCodes(stretched, {{3, 32, 127}, {3, 0, 0}});
  EXPECT_NEAR(DecodeCode(stretched.at(0, 16)), 2048.0, 150.0);

  AnchorMask three{};
  three[4] = 1;
  three[8] = 1;
  three[12] = 1;
  PartialTable spread;
  spread.at(0, 4) = 127;
  spread.at(1, 8) = 127;
  spread.at(2, 12) = 127;
  const PartialTable spreadOut = InterpolateTable(spread, three, InterpolationAlgorithm::StretchIpol, false);
  EXPECT_EQ(spreadOut.at(1, 16), 127);  // the middle anchor moved from 8 to 16
  ExpectCodes(spreadOut, {{0, 16, 0}, {2, 32, 127}});
}

TEST_F(VortaTest, InterpolationPolarityLockContinuesTheSigns) {
  PartialTable table;
  table.at(0, 0) = 127;
  table.at(0, 32) = -127;
  AnchorMask ends{};
  ends[0] = 1;
  ends[32] = 1;
  const PartialTable unlocked = InterpolateTable(table, ends, InterpolationAlgorithm::Ipol, false);
  EXPECT_EQ(unlocked.at(0, 16), 0);  // the fade passes through silence
  const PartialTable locked = InterpolateTable(table, ends, InterpolationAlgorithm::Ipol, true);
  for (int s = 0; s <= 32; ++s) EXPECT_EQ(locked.at(0, s), 127) << s;

  TableInterpolation state = StartTableInterpolation(table);
  state.currentSlice = 5;
  ToggleAnchor(state);
  EXPECT_EQ(state.anchors[5], 1);
  ClearAnchors(state);
  EXPECT_EQ(state.anchors[0], 0);
  RestoreAnchors(state);
  EXPECT_EQ(state.anchors, FilledSlices(state.input));
  EXPECT_EQ(OtherInterpolationAlgorithm(InterpolationAlgorithm::Ipol), InterpolationAlgorithm::StretchIpol);
  const PartialTable anchorsOnly = AnchorsOnly(table, AnchorMask{});
  EXPECT_TRUE(TableIsSilent(anchorsOnly));
}
