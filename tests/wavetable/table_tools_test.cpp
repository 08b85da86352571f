// The sub-pages of the table editing page: profile scaling, slice order,
// symmetry modulation.
#include <gtest/gtest.h>

#include <algorithm>
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
  for (int16_t level : scaling.reference) {
    EXPECT_GE(level, -127);
    EXPECT_LE(level, 127);
  }
  EXPECT_GE(scaling.reference[0], 120);
  EXPECT_EQ(scaling.reference[1], 127);
  EXPECT_NEAR(scaling.reference[2], -127 + 254 * 0.4866, 1.5);
  EXPECT_EQ(scaling.reference[3], -127);  // silent
}

TEST_F(VortaTest, ProfileButtonsAndOutput) {
  PartialTable table;
  table.at(0, 0) = 127;
  table.at(0, 1) = 127;
  table.at(2, 1) = 100;
  ProfileScaling scaling = StartProfileScaling(table);
  const LevelProfile reference = scaling.reference;

  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Zero), kMsgNone);
  for (int16_t v : scaling.profile) EXPECT_EQ(v, -127);
  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Smooth), kMsgNoData);
  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Normal), kMsgNoData);
  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Ceil), kMsgNone);
  for (int16_t v : scaling.profile) EXPECT_EQ(v, 127);
  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Restore), kMsgNone);
  EXPECT_EQ(scaling.profile, reference);

  // Output: only changed slices move; level 0 is half of full scale.
  EXPECT_EQ(ScaledProfileOutput(scaling), scaling.input);
  SetProfileLevel(scaling, 0, 0);
  SetProfileLevel(scaling, 5, 500);  // a silent slice stays silent at any level
  const PartialTable output = ScaledProfileOutput(scaling);
  EXPECT_NEAR(SlicePeak(output, 0), 0.5, 0.035);
  EXPECT_EQ(output.at(0, 1), scaling.input.at(0, 1));
  EXPECT_EQ(output.at(2, 1), scaling.input.at(2, 1));
  EXPECT_FALSE(SliceIsFilled(output, 5));
  SetProfileLevel(scaling, 1, -127);
  EXPECT_FALSE(SliceIsFilled(ScaledProfileOutput(scaling), 1));

  // "NORMAL": the largest level + 127 becomes 254.
  scaling.profile.fill(-127);
  scaling.profile[3] = 0;
  scaling.profile[4] = -64;
  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Normal), kMsgNone);
  EXPECT_EQ(scaling.profile[3], 127);
  EXPECT_EQ(scaling.profile[4], -1);  // 63 x 2 - 127
  EXPECT_EQ(scaling.profile[0], -127);

  // "SMOOTH": rounded [1, 2, 1] / 4 with open ends.
  scaling.profile.fill(0);
  scaling.profile[0] = 127;
  EXPECT_EQ(ApplyProfileButton(scaling, ProfileButton::Smooth), kMsgNone);
  EXPECT_EQ(scaling.profile[0], 85);  // 254 / 3
  EXPECT_EQ(scaling.profile[1], 32);  // 31.75
  EXPECT_EQ(scaling.profile[2], 0);

  ProfileScaling silent = StartProfileScaling(PartialTable{});
  EXPECT_EQ(ApplyProfileButton(silent, ProfileButton::Ceil), kMsgNoData);
  EXPECT_EQ(silent.profile[0], -127);
}

TEST_F(VortaTest, SliceOrderOperations) {
  SliceOrder order = IdentityOrder();
  for (int i = 0; i < 33; ++i) ApplyOrderOperation(order, OrderOperation::RotateBack1, 0);
  EXPECT_EQ(order, IdentityOrder());
  ApplyOrderOperation(order, OrderOperation::RotateBack1, 0);
  EXPECT_EQ(order[0], 32);
  EXPECT_EQ(order[1], 0);
  order = IdentityOrder();
  ApplyOrderOperation(order, OrderOperation::RotateBack8, 0);
  EXPECT_EQ(order[0], 25);
  ApplyOrderOperation(order, OrderOperation::RotateForward8, 0);
  EXPECT_EQ(order, IdentityOrder());
  ApplyOrderOperation(order, OrderOperation::RotateForward1, 0);
  EXPECT_EQ(order[32], 0);

  order = IdentityOrder();
  ApplyOrderOperation(order, OrderOperation::Mirror, 0);
  for (int i = 0; i <= 16; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], i);
  for (int i = 17; i < 33; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], 32 - i);
  ApplyOrderOperation(order, OrderOperation::Reset, 0);
  ApplyOrderOperation(order, OrderOperation::Reverse, 0);
  EXPECT_EQ(order[0], 32);
  EXPECT_EQ(order[32], 0);
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
  PartialTable input;
  input.at(0, 0) = 116;
  input.at(1, 10) = 100;
  SliceOrder order = IdentityOrder();
  ApplyOrderOperation(order, OrderOperation::Reverse, 0);
  const PartialTable output = ReorderSlices(input, order);
  EXPECT_EQ(output.at(0, 32), 127);  // slice 0 moved to 32, raised to full scale
  EXPECT_EQ(output.at(1, 22), 100 + 11);
  EXPECT_FALSE(SliceIsFilled(output, 0));
}

TEST_F(VortaTest, SymmetryParametersAndLimits) {
  SymmetryParameters parameters;
  EXPECT_DOUBLE_EQ(parameters.Width(), 1.0);
  EXPECT_DOUBLE_EQ(parameters.Damping(), 1.0);
  EXPECT_EQ(parameters.spread, 1);
  EXPECT_EQ(parameters.shift, 0);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(StepSymmetryParameter(parameters, SymmetryParameter::Width, 1), kMsgNone);
  EXPECT_DOUBLE_EQ(parameters.Width(), 2.0);
  EXPECT_EQ(StepSymmetryParameter(parameters, SymmetryParameter::Width, 1), kMsgMaxValue);
  EXPECT_DOUBLE_EQ(parameters.Width(), 2.0);
  for (int i = 0; i < 10; ++i) StepSymmetryParameter(parameters, SymmetryParameter::Damping, -1);
  EXPECT_DOUBLE_EQ(parameters.Damping(), 0.0);
  EXPECT_EQ(StepSymmetryParameter(parameters, SymmetryParameter::Damping, -1), kMsgMinValue);
  EXPECT_EQ(StepSymmetryParameter(parameters, SymmetryParameter::Spread, -1), kMsgMinValue);
  for (int i = 0; i < 16; ++i) StepSymmetryParameter(parameters, SymmetryParameter::Shift, -1);
  EXPECT_EQ(parameters.shift, -16);
  EXPECT_EQ(StepSymmetryParameter(parameters, SymmetryParameter::Shift, -1), kMsgMinValue);
  for (int i = 0; i < 15; ++i) StepSymmetryParameter(parameters, SymmetryParameter::Spread, 1);
  EXPECT_EQ(StepSymmetryParameter(parameters, SymmetryParameter::Spread, 1), kMsgMaxValue);
  EXPECT_EQ(parameters.spread, 16);
  for (int i = 0; i < 40; ++i) StepSymmetryParameter(parameters, SymmetryParameter::Damping, 1);
  EXPECT_DOUBLE_EQ(parameters.Damping(), 4.0);
  EXPECT_EQ(StepSymmetryParameter(parameters, SymmetryParameter::Damping, 1), kMsgMaxValue);

  EXPECT_EQ(GenerateSymmetryTable(parameters), GenerateHarmonics(4.0, 2.0, -16, 16));
  parameters = DefaultSymmetryParameters();
  EXPECT_EQ(parameters, SymmetryParameters{});
  EXPECT_EQ(GenerateSymmetryTable(parameters), GenerateHarmonics(1.0, 1.0, 0, 1));
}
