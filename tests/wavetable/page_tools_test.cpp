// Partial envelopes, the slice editor, the drawing pad and table assembling.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "vorta_fixture.h"
#include "wavetable/drawing_pad.h"
#include "wavetable/limit_mode.h"
#include "wavetable/partial_envelopes.h"
#include "wavetable/slice_editor.h"
#include "wavetable/table_assembling.h"
#include "wavetable/table_editing.h"

namespace {

DrawingPad HalfSinePad(double height) {
  DrawingPad pad{};
  for (int x = 0; x <= 256; ++x) pad[static_cast<size_t>(x)] = static_cast<float>(height * std::sin(std::numbers::pi * x / 256));
  MirrorPad(pad);
  return pad;
}

}  // namespace

TEST_F(VortaTest, EnvelopeAndSliceMoves) {
  EXPECT_EQ(StepEnvelope(0, EnvelopeButton::Back1), 63);
  EXPECT_EQ(StepEnvelope(60, EnvelopeButton::Forward7), 3);
  EXPECT_EQ(StepEnvelope(3, EnvelopeButton::Back7), 60);
  EXPECT_EQ(StepEnvelope(63, EnvelopeButton::Forward1), 0);
  EXPECT_EQ(StepSlice(3, SliceStep::Back8), 28);
  EXPECT_EQ(StepSlice(32, SliceStep::Forward1), 0);
  EXPECT_EQ(StepSlice(0, SliceStep::Back1), 32);
  EXPECT_EQ(StepSlice(30, SliceStep::Forward8), 5);
  EXPECT_EQ(NextLimitMode(2), 0);
  EXPECT_EQ(ClampToLimit(-5, kLimitPositive), 0);
  EXPECT_EQ(ClampToLimit(5, kLimitNegative), 0);
  EXPECT_EQ(ClampToLimit(300, kLimitBipolar), 127);
}

TEST_F(VortaTest, EnvelopeButtons) {
  PartialTable table;
  PartialEnvelopes state;
  state.current = 4;
  for (int s = 0; s < 33; ++s) table.at(4, s) = static_cast<int16_t>(s);
  const PartialTable original = table;
  for (int i = 0; i < 33; ++i) ApplyEnvelopeButton(state, table, EnvelopeButton::RotateLeft);
  EXPECT_EQ(table, original);
  ApplyEnvelopeButton(state, table, EnvelopeButton::RotateLeft);
  ExpectCodes(table, {{4, 0, 1}, {4, 32, 0}});
  ApplyEnvelopeButton(state, table, EnvelopeButton::RotateRight);
  ApplyEnvelopeButton(state, table, EnvelopeButton::RotateRight);
  ExpectCodes(table, {{4, 0, 32}, {4, 1, 0}});

  ApplyEnvelopeButton(state, table, EnvelopeButton::Limit);
  EXPECT_EQ(state.limitMode, kLimitPositive);
  ApplyEnvelopeButton(state, table, EnvelopeButton::Random);
  for (int s = 0; s < 33; ++s) EXPECT_TRUE(table.at(4, s) >= 0 && table.at(4, s) <= 127);
  ApplyEnvelopeButton(state, table, EnvelopeButton::Limit);
  ApplyEnvelopeButton(state, table, EnvelopeButton::Random);
  for (int s = 0; s < 33; ++s) EXPECT_TRUE(table.at(4, s) >= -127 && table.at(4, s) <= 0);
  EXPECT_EQ(table.at(3, 0), 0);  // other rows untouched
  SetEnvelopeCode(state, table, 7, 50);
  EXPECT_EQ(table.at(4, 7), 0);   // clamped to -127..0
  ApplyEnvelopeButton(state, table, EnvelopeButton::View);
  EXPECT_TRUE(state.viewAll);

  // "SMOOTH" on 127 at slice 0 only changes slices 0 and 1.
  PartialTable smooth = TableWithCode(9, 0, 127);
  state.current = 9;
  ApplyEnvelopeButton(state, smooth, EnvelopeButton::Smooth);
  ExpectCodes(smooth, {{9, 0, EncodeAmplitude(4096.0 * 2 / 3)}, {9, 1, EncodeAmplitude(1024.0)}});
  for (int s = 2; s < 33; ++s) EXPECT_EQ(smooth.at(9, s), 0);

  // The preview holds the partial alone at the table's stretch, unlimited.
  smooth.at(0, 0) = 127;
  ASSERT_EQ(RenderEnvelopePreview(state, smooth, 2), 2u * 8192u + 256u);
  double peak = 0.0;
  for (int j = 0; j < 256; ++j) peak = std::max(peak, std::fabs(static_cast<double>(state.preview[static_cast<size_t>(j)])));
  EXPECT_NEAR(peak, DecodeCode(smooth.at(9, 0)) / 4096.0, 1e-3);
}

TEST_F(VortaTest, SliceEditorTools) {
  PartialTable table;
  SeedRandom(3);
  RandomizeSlice(table, 7, kLimitPositive);
  EXPECT_NEAR(SlicePeak(table, 7), 1.0, 0.1);
  for (int r = 0; r < 64; ++r) EXPECT_GE(table.at(r, 7), 0);
  EXPECT_FALSE(SliceIsFilled(table, 6));
  SetSliceCode(table, 7, 0, -90, kLimitBipolar);
  EXPECT_EQ(table.at(0, 7), -90);
  SetSliceCode(table, 7, 64, 10, kLimitBipolar);  // no such partial: nothing
  const SlicePreview preview = RenderSlicePreview(TableWithCode(0, 2, 127), 2);
  EXPECT_NEAR(preview.played[64], 1.0, 1e-5);
  EXPECT_NEAR(preview.drawn[128], 1.0, 1e-5);
}

TEST_F(VortaTest, HalfSinePadGivesTheFirstPartial) {
  PartialTable table;
  ResynthesizePad(table, 4, HalfSinePad(1.0), PadMode::Draw);
  EXPECT_NEAR(table.at(0, 4), 127, 1);
  for (int r = 1; r < 64; ++r) EXPECT_EQ(table.at(r, 4), 0) << r;
  ResynthesizePad(table, 4, HalfSinePad(-0.5), PadMode::Draw);
  EXPECT_EQ(table.at(0, 4), -EncodeAmplitude(2048.0));
}

TEST_F(VortaTest, FullHeightSquareStaysWithinFullScale) {
  DrawingPad square{};
  DrawPadStroke(square, 0, 1.0, 256, 1.0);
  EXPECT_EQ(square[0], 0.0f);    // an odd cycle passes through zero here
  EXPECT_EQ(square[256], 0.0f);
  EXPECT_EQ(square[100], 1.0f);
  EXPECT_EQ(square[412], -1.0f);
  PartialTable table;
  ResynthesizePad(table, 0, square, PadMode::Invert);  // no normalisation afterwards
  EXPECT_EQ(table.at(0, 0), 127);                       // 4/pi of full scale, clamped
  InvertPad(square);
  ResynthesizePad(table, 0, square, PadMode::Invert);
  EXPECT_EQ(table.at(0, 0), -127);
  EXPECT_EQ(table.at(1, 0), 0);  // even partials cancel
  EXPECT_GT(std::abs(table.at(2, 0)), 100);
  for (int16_t c : table.codes) ASSERT_LE(std::abs(c), 127);
}

TEST_F(VortaTest, PadOperations) {
  DrawingPad pad{};
  NormalPad(pad);
  for (float v : pad) EXPECT_EQ(v, 0.0f);
  pad = HalfSinePad(0.25);
  NormalPad(pad);
  EXPECT_NEAR(pad[128], 1.0, 1e-6);

  SeedRandom(11);
  DrawingPad random{};
  RandomPad(random);
  for (int m = 1; m < 256; ++m) ASSERT_FLOAT_EQ(random[static_cast<size_t>(512 - m)], -random[static_cast<size_t>(m)]);
  double peak = 0.0;
  for (float v : random) peak = std::max(peak, std::fabs(static_cast<double>(v)));
  EXPECT_GT(peak, 0.5);
  EXPECT_LE(peak, 1.0 + 1e-6);
  DrawingPad again{};
  SeedRandom(11);
  RandomPad(again);
  EXPECT_EQ(random, again);

  DrawingPad smooth = HalfSinePad(1.0);
  SmoothPad(smooth);
  EXPECT_LT(smooth[128], 1.0f);
  EXPECT_NEAR(smooth[384], -smooth[128], 1e-6);
  ClearPad(smooth);
  for (float v : smooth) EXPECT_EQ(v, 0.0f);

  // Strokes fill the samples in between and stay within full scale.
  DrawingPad stroke{};
  DrawPadStroke(stroke, 20, 0.0, 10, 2.0);
  EXPECT_FLOAT_EQ(stroke[15], 1.0f);
  EXPECT_FLOAT_EQ(stroke[10], 1.0f);
  EXPECT_FLOAT_EQ(stroke[502], -1.0f);
}

TEST_F(VortaTest, PadResynthesisSignRule) {
  PartialTable table;
  table.at(0, 1) = 100;   // partial 1 positive
  table.at(1, 1) = -100;  // partial 2 negative
  DrawingPad pad{};
  for (int x = 0; x <= 256; ++x) {
    const double phase = std::numbers::pi * x / 256;
    pad[static_cast<size_t>(x)] = static_cast<float>(0.5 * std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.1 * std::sin(3 * phase));
  }
  MirrorPad(pad);
  PartialTable smoothed = table;
  ResynthesizePad(smoothed, 1, pad, PadMode::Smooth);
  EXPECT_GT(smoothed.at(0, 1), 0);   // signs agree: kept
  EXPECT_EQ(smoothed.at(1, 1), 0);   // was negative, now positive: dropped
  EXPECT_EQ(smoothed.at(2, 1), 0);   // was silent: stays silent
  PartialTable drawn = table;
  ResynthesizePad(drawn, 1, pad, PadMode::Draw);
  EXPECT_GT(drawn.at(1, 1), 0);
  EXPECT_GT(drawn.at(2, 1), 0);
}

TEST_F(VortaTest, WaveformDrawingPage) {
  PartialTable ram = TableWithCode(0, 3, 127);
  WaveformDrawing drawing = StartWaveformDrawing(ram, 3);
  EXPECT_TRUE(drawing.awaitingData);
  EXPECT_NEAR(drawing.pad[128], 1.0, 1e-5);
  EXPECT_TRUE(PadHasOriginalData(drawing));
  ApplyPadButton(drawing, PadButton::Invert);
  EXPECT_EQ(drawing.working.at(0, 3), -127);
  EXPECT_FALSE(PadHasOriginalData(drawing));
  ApplyPadButton(drawing, PadButton::PadSync);
  EXPECT_NEAR(drawing.pad[128], -1.0, 1e-5);
  ApplyPadButton(drawing, PadButton::Restore);
  EXPECT_TRUE(PadHasOriginalData(drawing));
  EXPECT_NEAR(drawing.pad[128], 1.0, 1e-5);
  DrawOnPad(drawing, 0, 0.5, 256, 0.5);
  EXPECT_FALSE(drawing.awaitingData);
  EXPECT_LE(SlicePeak(drawing.working, 3), 1.07);  // brought down to full scale
  ApplyPadButton(drawing, PadButton::Clear);
  EXPECT_FALSE(SliceIsFilled(drawing.working, 3));
  EXPECT_EQ(ram, TableWithCode(0, 3, 127));  // the RAM table is never touched
}

TEST_F(VortaTest, TableAssemblingMovesAndCopies) {
  TableAssembly assembly;
  StepDestinationSlice(assembly, -1);
  EXPECT_EQ(assembly.destination, 32);
  StepDestinationSlice(assembly, 1);
  EXPECT_EQ(assembly.destination, 0);
  EXPECT_EQ(StepSourceSlice(assembly, 1), kMsgNoFileSelected);
  PartialTable ram;
  EXPECT_EQ(CopySourceToDestination(assembly, ram), kMsgNoFileSelected);
  EXPECT_TRUE(TableIsSilent(ram));

  PartialTable file;
  file.at(2, 5) = 90;
  SelectAssemblySource(assembly, file, false);
  EXPECT_EQ(StepSourceSlice(assembly, -1), kMsgNone);
  EXPECT_EQ(assembly.source.slice, 32);
  for (int i = 0; i < 6; ++i) StepSourceSlice(assembly, 1);
  EXPECT_EQ(assembly.source.slice, 5);
  assembly.destination = 9;
  EXPECT_EQ(CopySourceToDestination(assembly, ram), kMsgNone);
  EXPECT_EQ(ram.at(2, 9), 90);  // a table slice is copied as it is

  PartialTable cycle = TableWithCode(0, 0, 100);
  SelectAssemblySource(assembly, cycle, true);
  EXPECT_EQ(assembly.source.slice, 0);
  StepSourceSlice(assembly, 1);
  EXPECT_EQ(assembly.source.slice, 0);  // a single cycle has only slice 0
  assembly.destination = 10;
  CopySourceToDestination(assembly, ram);
  EXPECT_EQ(ram.at(0, 10), 127);  // a single cycle is normalised
}
