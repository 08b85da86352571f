#include "wavetable/table_editing.h"

#include "vorta_fixture.h"
#include "wavetable/amplitude_profile.h"
#include "wavetable/slice_order.h"
#include "wavetable/symmetry_modulation.h"

namespace {

PartialTable RowOf(std::initializer_list<int> values, int row = 0) {
  PartialTable table;
  int s = 0;
  for (int v : values) table.at(row, s++) = static_cast<int16_t>(v);
  return table;
}

}  // namespace

// Slice 33 and row 64 select all; a negative selection selects nothing. Random codes are seeded and in range.
TEST_F(VortaTest, SelectionRandomnessAndPolarityLockOfTheCodePrimitives) {
  PartialTable table;
  FillCodes(table, 4, 64, 127);
  FillCodes(table, 33, 2, -127);
  FillCodes(table, 0, 0, 500);  // never past full scale
  for (int r = 0; r < 64; ++r) ASSERT_EQ(table.at(r, 4), r == 2 ? -127 : 127) << r;
  for (int s = 0; s < 33; ++s) ASSERT_EQ(table.at(2, s), -127) << s;
  ExpectCodes(table, {{3, 3, 0}, {0, 0, 127}});
  InvertCodes(table, 4, 64);
  ExpectCodes(table, {{0, 4, -127}, {2, 4, 127}});
  SetPolarity(table, 33, 64, true);
  ExpectCodes(table, {{2, 7, 127}, {0, 4, 127}});
  SetPolarity(table, 4, 0, false);
  ExpectCodes(table, {{0, 4, -127}, {1, 4, 127}});
  const PartialTable before = table;
  FillCodes(table, -1, 64, 0);
  EXPECT_EQ(table, before);

  PartialTable a, b;
  SeedRandom(99);
  RandomCodes(a, 33, 64, 127, -127);
  SeedRandom(99);
  RandomCodes(b, 33, 64, 127, -127);
  EXPECT_EQ(a, b);
  const auto [low, high] = std::minmax_element(a.codes.begin(), a.codes.end());
  EXPECT_EQ(std::pair(*low, *high), (std::pair<int16_t, int16_t>(-127, 127)));
  RandomCodes(a, 33, 64, 127, 0);
  EXPECT_TRUE(CodesWithin(a.codes, 0, 127));
  RandomCodes(b, 33, 5, 0, -127);
  EXPECT_TRUE(CodesWithin(b.Row(5), -127, 0));

  PartialTable full;
  FillCodes(full, 33, 64, 50);
  RandomPolarity(full, 33, 64);
  const auto flipped = std::count(full.codes.begin(), full.codes.end(), int16_t{-50});
  EXPECT_EQ(flipped + std::count(full.codes.begin(), full.codes.end(), int16_t{50}), 2112);
  EXPECT_TRUE(flipped > 900 && flipped < 1212) << flipped;

  // LockPolarity carries the first sign up to the first zero.
  // {row, codes, row selected, codes after}: the zero breaks the chain; another row selected changes nothing.
  const struct { int row; std::initializer_list<int> before; int selected; std::initializer_list<int> after; }
  cases[] = {
      {0, {10, -20, 0, -5, 7}, 0, {10, 20, 0, -5, 7}}, {0, {-3, 4, -5, 6}, 0, {-3, -4, -5, -6}},
      {7, {-1, 2, -3}, 6, {-1, 2, -3}}, {7, {-1, 2, -3}, 64, {-1, -2, -3}}};
  for (const auto& c : cases) {
    PartialTable line = RowOf(c.before, c.row);
    LockPolarity(line, c.selected);
    EXPECT_EQ(line, RowOf(c.after, c.row)) << c.row << " " << c.selected;
  }
  EXPECT_FALSE(HasContinuousPolarity(RowOf({10, 20, 0, -5, 7})) || HasContinuousPolarity(RowOf({3, -3})));
  EXPECT_TRUE(HasContinuousPolarity(RowOf({-3, -4, -5, -6})));
}

TEST_F(VortaTest, CodeCeilScaleCodesAndNormalizeSliceModes) {
  PartialTable table = TableWith({{0, 3, 100}, {1, 3, -60}, {0, 4, 10}});
  CodeCeil(table, 3, 64);
  ExpectCodes(table, {{0, 3, 127}, {1, 3, -87}, {2, 3, 0}, {0, 4, 10}});  // slice 4 lies outside the selection
  const PartialTable before = table;
  CodeCeil(table, 20, 64);  // a silent slice
  EXPECT_EQ(table, before);

  PartialTable rows = RowOf({50, -25, 1}, 5);
  ScaleCodes(rows, 5);
  EXPECT_EQ(rows, RowOf({127, -64, 3}, 5));  // -63.5 rounds away from zero; 2.54

  table = TableWithCode(0, 2, 100);
  NormalizeSlice(table, 2, 1);  // mode 1 only lowers
  EXPECT_EQ(table.at(0, 2), 100);
  NormalizeSlice(table, 2, 0);
  EXPECT_EQ(table.at(0, 2), 127);
  FillCodes(table, 6, 64, 127);
  NormalizeSlice(table, 6, 1);
  EXPECT_NEAR(SlicePeak(table, 6), 1.0, 0.07);
  NormalizeSlice(table = PartialTable{}, 33, 0);
  EXPECT_TRUE(TableIsSilent(table));
}

TEST_F(VortaTest, RowToolsAndDialogActions) {
  const auto identity = LineOf([](int i) { return i; });
  auto row = identity;
  ReverseRow(row, 33);
  EXPECT_EQ(row, LineOf([](int i) { return 32 - i; }));
  row = identity;
  ReverseRow(row, 16);  // mirrors the first half
  EXPECT_EQ(row, LineOf([](int i) { return i <= 16 ? i : 32 - i; }));
  StaticRow(row, 9);
  EXPECT_EQ(row, LineOf([](int) { return 9; }));

  std::array<int16_t, 33> line = LineOf([](int s) { return s == 0 ? -100 : s == 32 ? 100 : 0; });
  LinearRow(line, false);
  EXPECT_EQ((std::array{line[1], line[8], line[16]}), (std::array<int16_t, 3>{-94, -50, 0}));  // -93.75
  std::array<int16_t, 33> amplitude = LineOf([](int s) { return s == 0 ? 127 : 0; });
  LinearRow(amplitude, true);
  EXPECT_EQ((std::array<int, 3>{amplitude[8], amplitude[16], amplitude[32]}),
            (std::array<int, 3>{EncodeAmplitude(3072.0), EncodeAmplitude(2048.0), 0}));

  PartialTable table = TableWith({{0, 0, -100}, {1, 0, 90}});
  ApplyPolarityAction(table, PolarityAction::UniPol);
  EXPECT_GT(table.at(0, 0), 0);
  EXPECT_NEAR(SlicePeak(table, 0), 1.0, 0.07);  // optimised afterwards

  // Slice 3, one action after the other: {action, positive, partial, code set before (0: none), code after}.
  const struct { SliceAction action; bool positive; int row, set, code; } slice[] = {
      {SliceAction::Full, false, 10, 0, -127},   {SliceAction::Invert, true, 10, 0, 127},
      {SliceAction::UniPol, false, 10, 0, -127}, {SliceAction::Zero, true, 10, 0, 0},
      {SliceAction::Normal, true, 0, 90, 127},   {SliceAction::Optimize, true, 0, 100, 127}};
  PartialTable sliced;
  for (const auto& step : slice) {
    if (step.set != 0) sliced.at(step.row, 3) = static_cast<int16_t>(step.set);
    ApplySliceAction(sliced, 3, step.action, step.positive);
    EXPECT_EQ(sliced.at(step.row, 3), step.code) << static_cast<int>(step.action);
    EXPECT_TRUE(step.action != SliceAction::Zero || !SliceIsFilled(sliced, 3));
  }

  // Row 4 of a table: {action, {slice, code} set before (slice -1: none), slice looked at, code after}.
  const struct { RowAction action; int setSlice, setCode, slice, code; } rowSteps[] = {
      {RowAction::Full, -1, 0, 32, 127},   {RowAction::Static, 0, 10, 20, 10}, {RowAction::Normal, -1, 0, 20, 127},
      {RowAction::Linear, 32, 0, 16, EncodeAmplitude(2048.0)}, {RowAction::Reverse, -1, 0, 32, 127}};
  PartialTable rows;
  for (const auto& step : rowSteps) {
    if (step.setSlice >= 0) rows.at(4, step.setSlice) = static_cast<int16_t>(step.setCode);
    ApplyTableRowAction(rows, 4, step.action, 0, true);
    EXPECT_EQ(rows.at(4, step.slice), step.code) << static_cast<int>(step.action);
  }
  EXPECT_EQ(rows.at(4, 0), 0);

  // An envelope line: {action, positive, codes after at slices 0, 1, 5, 31, 32}.
  const struct { RowAction action; bool positive; std::array<int16_t, 5> codes; } envelopeSteps[] = {
      {RowAction::Normal, true, {127, -64, 0, 0, 0}},  {RowAction::Mirror, true, {127, -64, 0, -64, 127}},
      {RowAction::UniPol, true, {127, 64, 0, 64, 127}}, {RowAction::Full, false, {-127, -127, -127, -127, -127}}};
  std::array<int16_t, 33> envelope = LineOf([](int s) { return s == 0 ? 60 : s == 1 ? -30 : 0; });
  for (const auto& step : envelopeSteps) {
    ApplyEnvelopeRowAction(envelope, step.action, 0, step.positive);
    EXPECT_EQ((std::array{envelope[0], envelope[1], envelope[5], envelope[31], envelope[32]}), step.codes)
        << static_cast<int>(step.action);
  }
}

TEST_F(VortaTest, BlurAndRandomData) {
  PartialTable table = TableWithCode(0, 16, 127);
  BlurTable(table);
  EXPECT_TRUE(table.at(0, 15) != 0 && table.at(0, 17) != 0);
  EXPECT_EQ(table.at(0, 16), 127);  // optimised back to full scale
  PartialTable random;
  RandomizeTable(random);
  for (int s = 0; s < 33; ++s) EXPECT_TRUE(SlicePeak(random, s) >= 0.9 && SlicePeak(random, s) <= 1.07) << s;
  EXPECT_TRUE(CodesWithin(random.codes, -127, 127));
}

TEST_F(VortaTest, LevelProfileIsMeasuredClampedEditedAndApplied) {
  PartialTable table;
  FillCodes(table, 0, 64, 127);  // far above full scale: optimised down first
  table.at(0, 1) = 127;          // exactly full scale
  table.at(0, 2) = EncodeAmplitude(2048.0);  // about half
  ProfileScaling scaling = StartProfileScaling(table);
  EXPECT_EQ(scaling.profile, scaling.reference);
  EXPECT_TRUE(scaling.reference[0] >= 120 && scaling.reference[0] <= 127) << scaling.reference[0];
  EXPECT_EQ(scaling.reference[1], 127);
  EXPECT_NEAR(scaling.reference[2], -127 + 254 * 0.4866, 1.5);
  EXPECT_EQ(scaling.reference[3], -127);  // silent

  scaling = StartProfileScaling(TableWith({{0, 0, 127}, {0, 1, 127}, {2, 1, 100}}));
  const LevelProfile reference = scaling.reference;
  // {button, message, whole profile after}: an all-silent profile has nothing to smooth or normalise.
  const struct { ProfileButton button; MessageCode message; int level; } buttons[] = {
      {ProfileButton::Zero, kMsgNone, -127}, {ProfileButton::Smooth, kMsgNoData, -127},
      {ProfileButton::Normal, kMsgNoData, -127}, {ProfileButton::Ceil, kMsgNone, 127}};
  for (const auto& b : buttons) {
    EXPECT_EQ(ApplyProfileButton(scaling, b.button), b.message) << static_cast<int>(b.button);
    EXPECT_EQ(scaling.profile, LineOf([&](int) { return b.level; })) << static_cast<int>(b.button);
  }
  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Restore), kMsgNone);
  EXPECT_EQ(scaling.profile, reference);

  // Output: only changed slices move; level 0 is half of full scale.
  EXPECT_EQ(ScaledProfileOutput(scaling), scaling.input);
  SetProfileLevel(scaling, 0, 0);
  SetProfileLevel(scaling, 5, 500);  // a silent slice stays silent at any level
  const PartialTable output = ScaledProfileOutput(scaling);
  EXPECT_NEAR(SlicePeak(output, 0), 0.5, 0.035);
  ExpectCodes(output, {{0, 1, scaling.input.at(0, 1)}, {2, 1, scaling.input.at(2, 1)}});
  EXPECT_FALSE(SliceIsFilled(output, 5));
  SetProfileLevel(scaling, 1, -127);
  EXPECT_FALSE(SliceIsFilled(ScaledProfileOutput(scaling), 1));

  // "NORMAL": the largest level + 127 becomes 254.
  scaling.profile = LineOf([](int s) { return s == 3 ? 0 : s == 4 ? -64 : -127; });
  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Normal), kMsgNone);
  EXPECT_EQ(scaling.profile, LineOf([](int s) { return s == 3 ? 127 : s == 4 ? -1 : -127; }));  // 63 x 2 - 127

  // "SMOOTH": rounded [1, 2, 1] / 4 with open ends.
  scaling.profile = LineOf([](int s) { return s == 0 ? 127 : 0; });
  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Smooth), kMsgNone);
  EXPECT_EQ(scaling.profile, LineOf([](int s) { return s == 0 ? 85 : s == 1 ? 32 : 0; }));  // 254 / 3, 31.75

  ProfileScaling silent = StartProfileScaling(PartialTable{});
  EXPECT_EQ(ApplyProfileButton(silent, ProfileButton::Ceil), kMsgNoData);
  EXPECT_EQ(silent.profile[0], -127);
}

TEST_F(VortaTest, SliceOrderOperationsAndReorderingWholeSlices) {
  const struct { OrderOperation operation; int times; int shift; } rotations[] = {
      {OrderOperation::RotateBack1, 33, 0}, {OrderOperation::RotateBack1, 1, 32},
      {OrderOperation::RotateBack8, 1, 25}, {OrderOperation::RotateForward1, 1, 1},
      {OrderOperation::RotateForward8, 1, 8}};
  for (const auto& r : rotations) {
    SliceOrder order = IdentityOrder();
    for (int i = 0; i < r.times; ++i) ApplyOrderOperation(order, r.operation, 0);
    EXPECT_EQ(order, LineOf([&](int i) { return (i + r.shift) % 33; })) << r.shift;
  }

  SliceOrder order = IdentityOrder();
  ApplyOrderOperation(order, OrderOperation::Mirror, 0);
  EXPECT_EQ(order, LineOf([](int i) { return i <= 16 ? i : 32 - i; }));
  ApplyOrderOperation(order, OrderOperation::Reset, 0);
  ApplyOrderOperation(order, OrderOperation::Reverse, 0);
  EXPECT_EQ(order, LineOf([](int i) { return 32 - i; }));
  ApplyOrderOperation(order, OrderOperation::Static, 2);
  EXPECT_EQ(order, LineOf([](int) { return 30; }));

  SeedRandom(5);
  ApplyOrderOperation(order, OrderOperation::Random, 0);
  EXPECT_EQ(std::set<int16_t>(order.begin(), order.end()).size(), 33u);
  EXPECT_NE(order, IdentityOrder());

  SetOrderEntry(order, 3, 99);
  EXPECT_EQ(order[3], 32);

  const PartialTable input = TableWith({{0, 0, 116}, {1, 10, 100}});
  order = IdentityOrder();
  ApplyOrderOperation(order, OrderOperation::Reverse, 0);
  const PartialTable output = ReorderSlices(input, order);
  ExpectCodes(output, {{0, 32, 127}, {1, 22, 100 + 11}});  // slice 0 moved to 32, raised to full scale
  EXPECT_FALSE(SliceIsFilled(output, 0));
}

TEST_F(VortaTest, SymmetryParametersAndLimits) {
  SymmetryParameters parameters;
  EXPECT_EQ(parameters, DefaultSymmetryParameters());
  EXPECT_EQ(GenerateSymmetryTable(parameters), GenerateHarmonics(1.0, 1.0, 0, 1));
  // {parameter, direction, presses accepted, value reached}: the next press is refused.
  const struct { SymmetryParameter parameter; int direction; int presses; double value; } steps[] = {
      {SymmetryParameter::Width, 1, 10, 2.0},   {SymmetryParameter::Damping, -1, 10, 0.0},
      {SymmetryParameter::Spread, -1, 0, 1.0},  {SymmetryParameter::Shift, -1, 16, -16.0},
      {SymmetryParameter::Spread, 1, 15, 16.0}, {SymmetryParameter::Damping, 1, 40, 4.0}};
  for (const auto& step : steps) {
    SCOPED_TRACE(static_cast<int>(step.parameter) * step.direction);
    for (int i = 0; i < step.presses; ++i)
      ASSERT_EQ(StepSymmetryParameter(parameters, step.parameter, step.direction), kMsgNone) << i;
    EXPECT_EQ(StepSymmetryParameter(parameters, step.parameter, step.direction),
              step.direction > 0 ? kMsgMaxValue : kMsgMinValue);
    const double values[] = {parameters.Width(), parameters.Damping(), static_cast<double>(parameters.spread),
                             static_cast<double>(parameters.shift)};
    EXPECT_DOUBLE_EQ(values[static_cast<int>(step.parameter)], step.value);
  }
  EXPECT_EQ(GenerateSymmetryTable(parameters), GenerateHarmonics(4.0, 2.0, -16, 16));
}
