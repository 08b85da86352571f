// The sub-pages of the table editing page: profile scaling, slice order,
// symmetry modulation.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

#include "vorta_fixture.h"
#include "wavetable/amplitude_profile.h"
#include "wavetable/slice_order.h"
#include "wavetable/symmetry_modulation.h"
#include "wavetable/table_editing.h"

TEST_F(VortaTest, LevelProfileIsMeasuredAndClamped) {
  PartialTable table;
  FillCodes(table, 0, 64, 127);  // far above full scale: optimised down first
  table.at(0, 1) = 127;          // exactly full scale
  table.at(0, 2) = EncodeAmplitude(2048.0);  // about half
  const ProfileScaling scaling = StartProfileScaling(table);
  EXPECT_EQ(scaling.profile, scaling.reference);
  EXPECT_GE(scaling.reference[0], 120);
  EXPECT_LE(scaling.reference[0], 127);
  EXPECT_EQ(scaling.reference[1], 127);
  EXPECT_NEAR(scaling.reference[2], -127 + 254 * 0.4866, 1.5);
  EXPECT_EQ(scaling.reference[3], -127);  // silent
}

TEST_F(VortaTest, ProfileButtonsAndOutput) {
  ProfileScaling scaling = StartProfileScaling(TableWith({{0, 0, 127}, {0, 1, 127}, {2, 1, 100}}));
  const LevelProfile reference = scaling.reference;
  LevelProfile all{};
  // {button, message, whole profile after}: an all-silent profile has nothing to smooth or normalise.
  const struct { ProfileButton button; MessageCode message; int level; } buttons[] = {
      {ProfileButton::Zero, kMsgNone, -127}, {ProfileButton::Smooth, kMsgNoData, -127},
      {ProfileButton::Normal, kMsgNoData, -127}, {ProfileButton::Ceil, kMsgNone, 127}};
  for (const auto& b : buttons) {
    EXPECT_EQ(ApplyProfileButton(scaling, b.button), b.message) << static_cast<int>(b.button);
    all.fill(static_cast<int16_t>(b.level));
    EXPECT_EQ(scaling.profile, all) << static_cast<int>(b.button);
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
  scaling.profile.fill(-127);
  scaling.profile[3] = 0;
  scaling.profile[4] = -64;
  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Normal), kMsgNone);
  EXPECT_EQ((std::array{scaling.profile[0], scaling.profile[3], scaling.profile[4]}),
            (std::array<int16_t, 3>{-127, 127, -1}));  // 63 x 2 - 127

  // "SMOOTH": rounded [1, 2, 1] / 4 with open ends.
  scaling.profile.fill(0);
  scaling.profile[0] = 127;
  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Smooth), kMsgNone);
  EXPECT_EQ((std::array{scaling.profile[0], scaling.profile[1], scaling.profile[2]}),
            (std::array<int16_t, 3>{85, 32, 0}));  // 254 / 3, 31.75

  ProfileScaling silent = StartProfileScaling(PartialTable{});
  EXPECT_EQ(ApplyProfileButton(silent, ProfileButton::Ceil), kMsgNoData);
  EXPECT_EQ(silent.profile[0], -127);
}

TEST_F(VortaTest, SliceOrderOperations) {
  // order[i] = (i + shift) mod 33 for the rotations, from the identity.
  const struct { OrderOperation operation; int times; int shift; } rotations[] = {
      {OrderOperation::RotateBack1, 33, 0}, {OrderOperation::RotateBack1, 1, 32},
      {OrderOperation::RotateBack8, 1, 25}, {OrderOperation::RotateForward1, 1, 1},
      {OrderOperation::RotateForward8, 1, 8}};
  for (const auto& r : rotations) {
    SliceOrder order = IdentityOrder();
    for (int i = 0; i < r.times; ++i) ApplyOrderOperation(order, r.operation, 0);
    for (int i = 0; i < 33; ++i) ASSERT_EQ(order[static_cast<size_t>(i)], (i + r.shift) % 33) << r.shift;
  }

  SliceOrder order = IdentityOrder();
  ApplyOrderOperation(order, OrderOperation::Mirror, 0);
  for (int i = 0; i < 33; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], i <= 16 ? i : 32 - i);
  ApplyOrderOperation(order, OrderOperation::Reset, 0);
  ApplyOrderOperation(order, OrderOperation::Reverse, 0);
  for (int i = 0; i < 33; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], 32 - i);
  ApplyOrderOperation(order, OrderOperation::Static, 2);
  for (int16_t v : order) EXPECT_EQ(v, 30);

  SeedRandom(5);
  ApplyOrderOperation(order, OrderOperation::Random, 0);
  EXPECT_EQ(std::set<int16_t>(order.begin(), order.end()).size(), 33u);
  EXPECT_NE(order, IdentityOrder());
  SliceOrder again{};
  SeedRandom(5);
  ApplyOrderOperation(again, OrderOperation::Random, 0);
  EXPECT_EQ(again, order);

  SetOrderEntry(order, 3, 99);
  EXPECT_EQ(order[3], 32);
}

TEST_F(VortaTest, ReorderingCopiesWholeSlicesAndOptimises) {
  const PartialTable input = TableWith({{0, 0, 116}, {1, 10, 100}});
  SliceOrder order = IdentityOrder();
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
