// Partial envelopes, the slice editor, the drawing pad and table assembling.
#include <gtest/gtest.h>

#include "vorta_fixture.h"
#include "wavetable/drawing_pad.h"
#include "wavetable/limit_mode.h"
#include "wavetable/partial_envelopes.h"
#include "wavetable/slice_editor.h"
#include "wavetable/table_assembling.h"
#include "wavetable/table_editing.h"

namespace {

// A mirrored pad holding half a cycle of each {partial, amplitude}.
DrawingPad SinePad(std::initializer_list<std::pair<int, double>> partials) {
  DrawingPad pad{};
  for (int x = 0; x <= 256; ++x)
    for (const auto& [partial, height] : partials)
      pad[static_cast<size_t>(x)] += static_cast<float>(height * std::sin(std::numbers::pi * partial * x / 256));
  MirrorPad(pad);
  return pad;
}

}  // namespace

TEST_F(VortaTest, EnvelopeAndSliceMovesWrapAround) {
  const struct { int from; EnvelopeButton button; int to; } envelopes[] = {
      {0, EnvelopeButton::Back1, 63}, {60, EnvelopeButton::Forward7, 3},
      {3, EnvelopeButton::Back7, 60}, {63, EnvelopeButton::Forward1, 0}};
  for (const auto& c : envelopes) EXPECT_EQ(StepEnvelope(c.from, c.button), c.to) << c.from;
  const struct { int from; SliceStep step; int to; } slices[] = {
      {3, SliceStep::Back8, 28}, {32, SliceStep::Forward1, 0}, {0, SliceStep::Back1, 32}, {30, SliceStep::Forward8, 5}};
  for (const auto& c : slices) EXPECT_EQ(StepSlice(c.from, c.step), c.to) << c.from;
  EXPECT_EQ((std::array{NextLimitMode(2), ClampToLimit(-5, kLimitPositive), ClampToLimit(5, kLimitNegative),
                        ClampToLimit(300, kLimitBipolar)}),
            (std::array{0, 0, 0, 127}));
}

TEST_F(VortaTest, EnvelopeButtons) {
  PartialTable table;
  PartialEnvelopes state;
  state.current = 4;
  for (int s = 0; s < 33; ++s) table.at(4, s) = static_cast<int16_t>(s);
  ApplyEnvelopeButton(state, table, EnvelopeButton::RotateLeft);
  ExpectCodes(table, {{4, 0, 1}, {4, 32, 0}});
  ApplyEnvelopeButton(state, table, EnvelopeButton::RotateRight);
  ApplyEnvelopeButton(state, table, EnvelopeButton::RotateRight);
  ExpectCodes(table, {{4, 0, 32}, {4, 1, 0}});

  // "LIMIT" steps bipolar -> positive -> negative; "RANDOM" keeps to the mode, on the current row only.
  ApplyEnvelopeButton(state, table, EnvelopeButton::Limit);
  EXPECT_EQ(state.limitMode, kLimitPositive);
  ApplyEnvelopeButton(state, table, EnvelopeButton::Limit);
  ApplyEnvelopeButton(state, table, EnvelopeButton::Random);
  EXPECT_TRUE(CodesWithin(table.Row(4), -127, 0) && CodesWithin(table.Row(3), 0, 0));
  SetEnvelopeCode(state, table, 7, 50);
  EXPECT_EQ(table.at(4, 7), 0);  // clamped to -127..0

  // The preview holds the partial alone at the table's stretch, unlimited.
  state.current = 9;
  ASSERT_EQ(RenderEnvelopePreview(state, TableWith({{9, 0, 100}, {0, 0, 127}}), 2), 2u * 8192u + 256u);
  EXPECT_NEAR(PeakOf(std::span(state.preview).first(256)), DecodeCode(100) / 4096.0, 1e-3);
}

TEST_F(VortaTest, SliceEditorTools) {
  PartialTable table;
  SeedRandom(3);
  RandomizeSlice(table, 7, kLimitPositive);
  EXPECT_NEAR(SlicePeak(table, 7), 1.0, 0.1);
  EXPECT_TRUE(CodesWithin(table.codes, 0, 127));
  SetSliceCode(table, 7, 0, -90, kLimitBipolar);
  EXPECT_EQ(table.at(0, 7), -90);
  const PartialTable before = table;
  SetSliceCode(table, 7, 64, 10, kLimitBipolar);  // no such partial: nothing
  EXPECT_EQ(table, before);
  const SlicePreview preview = RenderSlicePreview(TableWithCode(0, 2, 127), 2);
  EXPECT_NEAR(preview.played[64], 1.0, 1e-5);
  EXPECT_NEAR(preview.drawn[128], 1.0, 1e-5);
}

TEST_F(VortaTest, PadResynthesis) {
  PartialTable table;
  ResynthesizePad(table, 4, SinePad({{1, 1.0}}), PadMode::Draw);
  EXPECT_EQ(table, TableWithCode(0, 4, 127));
  ResynthesizePad(table, 4, SinePad({{1, -0.5}}), PadMode::Draw);
  EXPECT_EQ(table, TableWithCode(0, 4, -EncodeAmplitude(2048.0)));

  // A full-height square stays within full scale: no normalisation afterwards.
  DrawingPad square{};
  DrawPadStroke(square, 0, 1.0, 256, 1.0);
  EXPECT_EQ((std::array{square[0], square[100], square[256], square[412]}), (std::array{0.0f, 1.0f, 0.0f, -1.0f}));
  ResynthesizePad(table, 0, square, PadMode::Invert);
  EXPECT_EQ(table.at(0, 0), 127);  // 4/pi of full scale, clamped
  InvertPad(square);
  ResynthesizePad(table, 0, square, PadMode::Invert);
  ExpectCodes(table, {{0, 0, -127}, {1, 0, 0}});  // even partials cancel
  EXPECT_GT(std::abs(table.at(2, 0)), 100);
  EXPECT_TRUE(CodesWithin(table.codes, -127, 127));

  // "SMOOTH" keeps only partials whose sign agrees with the table's; "DRAW" takes them all.
  PartialTable signs = TableWith({{0, 1, 100}, {1, 1, -100}});
  const DrawingPad pad = SinePad({{1, 0.5}, {2, 0.3}, {3, 0.1}});
  PartialTable smoothed = signs;
  ResynthesizePad(smoothed, 1, pad, PadMode::Smooth);
  EXPECT_GT(smoothed.at(0, 1), 0);
  ExpectCodes(smoothed, {{1, 1, 0}, {2, 1, 0}});  // sign changed / was silent: dropped
  ResynthesizePad(signs, 1, pad, PadMode::Draw);
  EXPECT_TRUE(signs.at(1, 1) > 0 && signs.at(2, 1) > 0);
}

TEST_F(VortaTest, PadOperations) {
  DrawingPad pad{};
  NormalPad(pad);  // nothing to bring up
  EXPECT_EQ(pad, DrawingPad{});
  pad = SinePad({{1, 0.25}});
  NormalPad(pad);
  EXPECT_NEAR(pad[128], 1.0, 1e-6);

  SeedRandom(11);
  RandomPad(pad);
  for (int m = 1; m < 256; ++m) ASSERT_FLOAT_EQ(pad[static_cast<size_t>(512 - m)], -pad[static_cast<size_t>(m)]);
  EXPECT_TRUE(PeakOf(pad) > 0.5 && PeakOf(pad) <= 1.0 + 1e-6) << PeakOf(pad);

  pad = SinePad({{1, 1.0}});
  SmoothPad(pad);
  EXPECT_LT(pad[128], 1.0f);
  EXPECT_NEAR(pad[384], -pad[128], 1e-6);

  // Strokes fill the samples in between and stay within full scale.
  pad = DrawingPad{};
  DrawPadStroke(pad, 20, 0.0, 10, 2.0);
  EXPECT_EQ((std::array{pad[10], pad[15], pad[502]}), (std::array{1.0f, 1.0f, -1.0f}));
}

TEST_F(VortaTest, WaveformDrawingPage) {
  const PartialTable ram = TableWithCode(0, 3, 127);
  WaveformDrawing drawing = StartWaveformDrawing(ram, 3);
  EXPECT_TRUE(drawing.awaitingData && PadHasOriginalData(drawing));
  // {button, working code of partial 1 after, pad at its peak after, original data shown}
  const struct { PadButton button; int code; float pad; bool original; } steps[] = {
      {PadButton::Invert, -127, -1.0f, false}, {PadButton::PadSync, -127, -1.0f, false},
      {PadButton::Restore, 127, 1.0f, true}};
  for (const auto& step : steps) {
    ApplyPadButton(drawing, step.button);
    SCOPED_TRACE(static_cast<int>(step.button));
    EXPECT_EQ(drawing.working.at(0, 3), step.code);
    EXPECT_NEAR(drawing.pad[128], step.pad, 1e-5);
    EXPECT_EQ(PadHasOriginalData(drawing), step.original);
  }
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

  SelectAssemblySource(assembly, TableWithCode(2, 5, 90), false);
  EXPECT_EQ(StepSourceSlice(assembly, -1), kMsgNone);
  EXPECT_EQ(assembly.source.slice, 32);  // wraps both ways
  for (int i = 0; i < 6; ++i) StepSourceSlice(assembly, 1);
  assembly.destination = 9;
  EXPECT_EQ(CopySourceToDestination(assembly, ram), kMsgNone);
  EXPECT_EQ(ram.at(2, 9), 90);  // source slice 5, copied as it is

  SelectAssemblySource(assembly, TableWithCode(0, 0, 100), true);
  StepSourceSlice(assembly, 1);
  EXPECT_EQ(assembly.source.slice, 0);  // a single cycle has only slice 0
  assembly.destination = 10;
  CopySourceToDestination(assembly, ram);
  EXPECT_EQ(ram.at(0, 10), 127);  // a single cycle is normalised
}
