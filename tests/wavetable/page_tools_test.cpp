
#include "vorta_fixture.h"
#include "wavetable/drawing_pad.h"
#include "wavetable/filter_shape.h"
#include "wavetable/formant_shift.h"
#include "wavetable/limit_mode.h"
#include "wavetable/partial_envelopes.h"
#include "wavetable/slice_editor.h"
#include "wavetable/table_assembling.h"
#include "wavetable/table_editing.h"
#include "wavetable/table_interpolation.h"

using enum InterpolationAlgorithm;

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

// Partial 1 everywhere, partial r + 2 in slice r; optimised.
PartialTable RichTable() {
  PartialTable table;
  for (int s = 0; s < 33; ++s) {
    table.at(0, s) = 127;
    table.at(1 + s, s) = 100;
  }
  OptimizeTable(table, kOptimizeRaise);
  return table;
}

FilterShapeEditor PassOnly(const PartialTable& table, int row) {
  FilterShapeEditor editor = StartFilterShapeEditor(table);
  FillCodes(editor.shape, 0, 64, 0);
  editor.shape.at(row, 0) = 127;
  return editor;
}

AnchorMask Anchors(std::initializer_list<int> slices) {
  AnchorMask mask{};
  for (int s : slices) mask[static_cast<size_t>(s)] = 1;
  return mask;
}

}  // namespace

TEST_F(VortaTest, EnvelopeAndSliceMovesWrapAroundAndEnvelopeButtons) {
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

TEST_F(VortaTest, PadResynthesisOperationsAndTheWaveformDrawingPage) {
  PartialTable table;
  ResynthesizePad(table, 4, SinePad({{1, 1.0}}), PadMode::Draw);
  EXPECT_EQ(table, TableWithCode(0, 4, 127));
  ResynthesizePad(table, 4, SinePad({{1, -0.5}}), PadMode::Draw);
  EXPECT_EQ(table, TableWithCode(0, 4, -EncodeAmplitude(2048.0)));

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
  const DrawingPad mixed = SinePad({{1, 0.5}, {2, 0.3}, {3, 0.1}});
  PartialTable smoothed = signs;
  ResynthesizePad(smoothed, 1, mixed, PadMode::Smooth);
  EXPECT_GT(smoothed.at(0, 1), 0);
  ExpectCodes(smoothed, {{1, 1, 0}, {2, 1, 0}});  // sign changed / was silent: dropped
  ResynthesizePad(signs, 1, mixed, PadMode::Draw);
  EXPECT_TRUE(signs.at(1, 1) > 0 && signs.at(2, 1) > 0);

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

  pad = DrawingPad{};
  DrawPadStroke(pad, 20, 0.0, 10, 2.0);
  EXPECT_EQ((std::array{pad[10], pad[15], pad[502]}), (std::array{1.0f, 1.0f, -1.0f}));

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
  // The destination's wrap, copying without a file and a handed-over cycle are pressed on the page
  // (tests/ui/pages/vorta_editing_test.cpp).
  TableAssembly assembly;
  EXPECT_EQ(StepSourceSlice(assembly, 1), kMsgNoFileSelected);
  PartialTable ram;

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
}

TEST_F(VortaTest, FilterEditorStartStepsAndImport) {
  const PartialTable table = RichTable();
  FilterShapeEditor editor = StartFilterShapeEditor(table);
  for (int r = 0; r < 64; ++r) EXPECT_EQ(editor.shape.at(r, 0), 127);
  EXPECT_FALSE(SliceIsFilled(editor.shape, 1));
  EXPECT_TRUE(editor.polarityLock);  // continuous rows, slices not alike
  EXPECT_FALSE(StartFilterShapeEditor(PartialTable{}).polarityLock);  // all slices alike
  PartialTable broken = table;
  broken.at(0, 5) = -127;
  EXPECT_FALSE(InitialPolarityLock(broken));
  EXPECT_EQ(ApplyFilterShape(table, editor.shape, ShiftEnvelope{}, 16, 0, false), table);

  EXPECT_EQ((std::array{editor.intensity, NextFilterIntensity(16), NextFilterIntensity(64), editor.blurFactor,
                        NextBlurFactor(3), NextBlurFactor(4)}),
            (std::array{16, 32, 16, 0, 4, 0}));

  PartialTable source = TableWith({{0, 4, 100}, {9, 4, -90}});
  PrepareFilterImport(source);
  ExpectCodes(source, {{0, 4, 127}, {9, 4, -117}});
  editor = StartFilterShapeEditor(PartialTable{});
  TakeFilterCurve(editor, source, 4);
  ExpectCodes(editor.shape, {{0, 0, 127}, {9, 0, -117}, {1, 0, 0}});

  editor.limitMode = 1;
  SetFilterCurveCode(editor, 3, -50);
  EXPECT_EQ(editor.shape.at(3, 0), 0);
  SetFilterCurveCode(editor, 0, 50);  // the first and the last partial can be drawn, none beyond
  SetFilterCurveCode(editor, 63, 60);
  const PartialTable drawn = editor.shape;
  SetFilterCurveCode(editor, 64, 70);
  SetFilterCurveCode(editor, -1, 70);
  EXPECT_EQ(editor.shape, drawn);
  ExpectCodes(drawn, {{0, 0, 50}, {63, 0, 60}});
}

TEST_F(VortaTest, FilterShiftMovesTheCurveAndGainsMultiplyInAmplitude) {
  PartialTable table;
  FillCodes(table, 33, 64, 100);
  FilterShapeEditor editor = PassOnly(table, 0);
  // Slices 3 and 5 shift out of range; slice 4 by nearest(8 x 16 / 127) = 1.
  const ShiftEnvelope shift{0, 0, 0, 127, 8, -127};
  const PartialTable silenced = ApplyFilterShape(table, editor.shape, shift, 64, 0, false);
  EXPECT_FALSE(SliceIsFilled(silenced, 3) || SliceIsFilled(silenced, 5));
  ExpectCodes(silenced, {{0, 0, 127}, {1, 0, 0}});
  const PartialTable shifted = ApplyFilterShape(table, editor.shape, shift, 16, 0, false);
  ExpectCodes(shifted, {{0, 4, 0}, {1, 4, 127}, {2, 4, 0}});

  table = PartialTable{};
  FillCodes(table, 33, 0, 127);
  table.at(1, 0) = 127;
  editor = StartFilterShapeEditor(table);
  editor.shape.at(1, 0) = EncodeAmplitude(2048.0);  // -6 dB on partial 2
  const PartialTable output = ApplyFilterShape(table, editor.shape, ShiftEnvelope{}, 16, 0, false);
  EXPECT_NEAR(output.at(0, 0) - output.at(1, 0), 11, 1);

  const ShiftEnvelope steps = LineOf([](int s) { return s % 2 ? 127 : 0; });
  const PartialTable blurred = ApplyFilterShape(table, PassOnly(table, 0).shape, steps, 64, 2, true);
  EXPECT_TRUE(SliceIsFilled(blurred, 1));  // neighbours leak into the silenced slices
  EXPECT_TRUE(CodesWithin(blurred.codes, -127, 127));
}

TEST_F(VortaTest, FormantShifts) {
  const PartialTable rich = RichTable();
  for (FormantAlgorithm algorithm : {FormantAlgorithm::Continuous, FormantAlgorithm::Discontinuous})
    for (int octaves = 1; octaves <= 5; ++octaves)
      EXPECT_EQ(ShiftFormants(rich, ShiftEnvelope{}, octaves, algorithm, false), rich) << octaves;

  const PartialTable table = TableWith({{0, 0, 127}, {1, 1, 127}});  // partial 1 in slice 0, 2 in slice 1
  const ShiftEnvelope shift{127, -127};  // slice 0 one octave up (k = 2), slice 1 one down (k = 0.5)
  const PartialTable up = ShiftFormants(table, shift, 1, FormantAlgorithm::Continuous, false);
  // Gathering: partial n reads A(n / 2); 1 and 3 fall halfway.
  EXPECT_EQ(up.at(2, 0), up.at(0, 0));
  EXPECT_NEAR(up.at(1, 0) - up.at(0, 0), 11, 1);
  ExpectCodes(up, {{3, 0, 0}, {0, 1, 127}, {1, 1, 0}});  // scattering down: partial 2 lands on partial 1
  const PartialTable scattered = ShiftFormants(table, shift, 1, FormantAlgorithm::Discontinuous, false);
  ExpectCodes(scattered, {{1, 0, 127}, {0, 0, 0}, {2, 0, 0}});

  const FormantShifter shifter = StartFormantShifter(table);
  EXPECT_EQ((std::array{shifter.octaves, NextFormantOctaves(5), NextFormantOctaves(2)}), (std::array{1, 1, 3}));
}

TEST_F(VortaTest, InterpolationIsLinearInAmplitudeHoldsOrStretchesTheEndsAndLocksPolarity) {
  TableInterpolation state = StartTableInterpolation(TableWith({{0, 0, 127}, {1, 32, 127}}));
  EXPECT_EQ(state.anchors, Anchors({0, 32}));
  MessageCode message = kMsgDone;
  const PartialTable output = InterpolateTable(state.input, state.anchors, Ipol, false, &message);
  EXPECT_EQ(message, kMsgNone);
  for (int s = 0; s <= 32; ++s)
    for (const auto& [row, level] : {std::pair(0, 4096.0 * (32 - s) / 32), std::pair(1, 4096.0 * s / 32)})
      EXPECT_NEAR(DecodeCode(output.at(row, s)), level, std::max(level * 0.07, 1.1)) << row << " " << s;

  const PartialTable table = TableWith({{0, 10, 127}, {3, 20, 127}, {5, 25, 90}});  // slice 25 is no anchor below

  const PartialTable held = InterpolateTable(table, Anchors({10}), StretchIpol, false);
  for (int s = 0; s < 33; ++s)  // the single anchor everywhere, the rest silent
    ASSERT_EQ(std::pair(held.at(0, s), held.at(5, s)), (std::pair<int16_t, int16_t>(127, 0))) << s;

  EXPECT_EQ(InterpolateTable(table, AnchorMask{}, Ipol, false, &message), table);
  EXPECT_EQ(message, kMsgNoData);

  // Ipol holds the end anchors out to the ends; StretchIpol moves them there first.
  const PartialTable ipol = InterpolateTable(table, Anchors({10, 20}), Ipol, false);
  ExpectCodes(ipol, {{0, 0, 127}, {3, 32, 127}, {0, 32, 0}, {5, 25, 0}});
  EXPECT_NEAR(ipol.at(0, 15), EncodeAmplitude(2048.0 * DecodeCode(ipol.at(0, 10)) / 4096.0), 1);

  const PartialTable stretched = InterpolateTable(table, Anchors({10, 20}), StretchIpol, false);
  ExpectCodes(stretched, {{0, 0, 127}, {3, 32, 127}, {3, 0, 0}});
  EXPECT_NEAR(DecodeCode(stretched.at(0, 16)), 2048.0, 150.0);

  const PartialTable spread = TableWith({{0, 4, 127}, {1, 8, 127}, {2, 12, 127}});
  const PartialTable spreadOut = InterpolateTable(spread, Anchors({4, 8, 12}), StretchIpol, false);
  ExpectCodes(spreadOut, {{1, 16, 127}, {0, 16, 0}, {2, 32, 127}});  // the middle anchor moved from 8 to 16

  const PartialTable signs = TableWith({{0, 0, 127}, {0, 32, -127}});
  EXPECT_EQ(InterpolateTable(signs, Anchors({0, 32}), Ipol, false).at(0, 16), 0);  // the fade passes through silence
  EXPECT_TRUE(CodesWithin(InterpolateTable(signs, Anchors({0, 32}), Ipol, true).Row(0), 127, 127));

  state = StartTableInterpolation(signs);
  state.currentSlice = 5;
  ToggleAnchor(state);
  EXPECT_EQ(state.anchors, Anchors({0, 5, 32}));
  ClearAnchors(state);
  EXPECT_EQ(state.anchors, AnchorMask{});
  RestoreAnchors(state);
  EXPECT_EQ(state.anchors, FilledSlices(state.input));
  EXPECT_TRUE(TableIsSilent(AnchorsOnly(signs, AnchorMask{})));
}
