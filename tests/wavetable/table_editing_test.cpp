#include "wavetable/table_editing.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <set>

#include "vorta_fixture.h"

namespace {

PartialTable RowOf(std::initializer_list<int> values, int row = 0) {
  PartialTable table;
  int s = 0;
  for (int v : values) table.at(row, s++) = static_cast<int16_t>(v);
  return table;
}

}  // namespace

// Slice 33 and row 64 select all; a negative selection selects nothing.
TEST_F(VortaTest, SelectionConventionOfTheCodePrimitives) {
  PartialTable table;
  FillCodes(table, 4, 64, 127);
  for (int r = 0; r < 64; ++r) EXPECT_EQ(table.at(r, 4), 127);
  EXPECT_FALSE(SliceIsFilled(table, 3));
  FillCodes(table, 33, 2, -127);
  for (int s = 0; s < 33; ++s) EXPECT_EQ(table.at(2, s), -127);
  FillCodes(table, 0, 0, 500);  // never past full scale
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
}

TEST_F(VortaTest, RandomPrimitivesAreSeededAndInRange) {
  PartialTable a, b;
  SeedRandom(99);
  RandomCodes(a, 33, 64, 127, -127);
  SeedRandom(99);
  RandomCodes(b, 33, 64, 127, -127);
  EXPECT_EQ(a, b);
  const std::set<int> seen(a.codes.begin(), a.codes.end());
  EXPECT_EQ(*seen.begin(), -127);
  EXPECT_EQ(*seen.rbegin(), 127);
  PartialTable positive, negative;
  RandomCodes(positive, 33, 64, 127, 0);
  for (int16_t c : positive.codes) ASSERT_TRUE(c >= 0 && c <= 127);
  RandomCodes(negative, 33, 5, 0, -127);
  for (int16_t c : negative.codes) ASSERT_TRUE(c >= -127 && c <= 0);

  PartialTable full;
  FillCodes(full, 33, 64, 50);
  RandomPolarity(full, 33, 64);
  int flipped = 0;
  for (int16_t c : full.codes) {
    ASSERT_EQ(std::abs(c), 50);
    flipped += c < 0;
  }
  EXPECT_GT(flipped, 900);
  EXPECT_LT(flipped, 1212);
}

TEST_F(VortaTest, LockPolarityCarriesTheFirstSignUpToTheFirstZero) {
  PartialTable table = RowOf({10, -20, 0, -5, 7});
  LockPolarity(table, 0);
  // 10, -20 become positive; the zero breaks the chain, so -5, 7 stay.
  EXPECT_EQ(table, RowOf({10, 20, 0, -5, 7}));
  EXPECT_FALSE(HasContinuousPolarity(table));
  EXPECT_FALSE(HasContinuousPolarity(RowOf({3, -3})));
  PartialTable longRun = RowOf({-3, 4, -5, 6});
  LockPolarity(longRun, 0);
  EXPECT_EQ(longRun, RowOf({-3, -4, -5, -6}));
  EXPECT_TRUE(HasContinuousPolarity(longRun));
  PartialTable other = RowOf({-1, 2, -3}, 7);
  LockPolarity(other, 6);  // another row selected: unchanged
  EXPECT_EQ(other, RowOf({-1, 2, -3}, 7));
  LockPolarity(other, 64);
  EXPECT_EQ(other, RowOf({-1, -2, -3}, 7));
}

TEST_F(VortaTest, CodeCeilAndScaleCodes) {
  PartialTable table;
  table.at(0, 3) = 100;
  table.at(1, 3) = -60;
  table.at(0, 4) = 10;
  CodeCeil(table, 3, 64);
  ExpectCodes(table, {{0, 3, 127}, {1, 3, -87}, {2, 3, 0}, {0, 4, 10}});  // slice 4 lies outside the selection
  const PartialTable before = table;
  CodeCeil(table, 20, 64);  // a silent slice
  EXPECT_EQ(table, before);

  PartialTable rows = RowOf({50, -25, 1}, 5);
  ScaleCodes(rows, 5);
  EXPECT_EQ(rows, RowOf({127, -64, 3}, 5));  // -63.5 rounds away from zero; 2.54
}

TEST_F(VortaTest, NormalizeSliceModes) {
  PartialTable quiet = TableWithCode(0, 2, 100);
  NormalizeSlice(quiet, 2, 1);  // mode 1 only lowers
  EXPECT_EQ(quiet.at(0, 2), 100);
  NormalizeSlice(quiet, 2, 0);
  EXPECT_EQ(quiet.at(0, 2), 127);
  PartialTable loud;
  FillCodes(loud, 6, 64, 127);
  NormalizeSlice(loud, 6, 1);
  EXPECT_NEAR(SlicePeak(loud, 6), 1.0, 0.07);
  PartialTable silent;
  NormalizeSlice(silent, 33, 0);
  EXPECT_TRUE(TableIsSilent(silent));
}

TEST_F(VortaTest, RowToolsReverseMirrorStaticLinear) {
  std::array<int16_t, 33> identity{};
  std::iota(identity.begin(), identity.end(), static_cast<int16_t>(0));
  auto row = identity;
  ReverseRow(row, 33);
  for (int i = 0; i < 33; ++i) EXPECT_EQ(row[static_cast<size_t>(i)], 32 - i);
  row = identity;
  ReverseRow(row, 16);  // mirrors the first half
  for (int i = 0; i < 33; ++i) EXPECT_EQ(row[static_cast<size_t>(i)], i <= 16 ? i : 32 - i);
  StaticRow(row, 9);
  for (int16_t v : row) EXPECT_EQ(v, 9);

  std::array<int16_t, 33> line{};
  line[0] = -100;
  line[32] = 100;
  LinearRow(line, false);
  EXPECT_EQ(line[16], 0);
  EXPECT_EQ(line[8], -50);
  EXPECT_EQ(line[1], -94);  // -93.75
  std::array<int16_t, 33> amplitude{};
  amplitude[0] = 127;
  LinearRow(amplitude, true);
  EXPECT_EQ(amplitude[16], EncodeAmplitude(2048.0));
  EXPECT_EQ(amplitude[8], EncodeAmplitude(3072.0));
  EXPECT_EQ(amplitude[32], 0);
}

TEST_F(VortaTest, DialogActions) {
  PartialTable table;
  table.at(0, 0) = -100;
  table.at(1, 0) = 90;
  ApplyPolarityAction(table, PolarityAction::UniPol);
  EXPECT_GT(table.at(0, 0), 0);
  EXPECT_NEAR(SlicePeak(table, 0), 1.0, 0.07);  // optimised afterwards

  // Slice 3, one action after the other: {action, positive, partial, code after}.
  const struct {
    SliceAction action;
    bool positive;
    int row;
    int set;  // set before the action when not 0
    int code;
  } slice[] = {{SliceAction::Full, false, 10, 0, -127},    {SliceAction::Invert, true, 10, 0, 127},
               {SliceAction::UniPol, false, 10, 0, -127},  {SliceAction::Zero, true, 10, 0, 0},
               {SliceAction::Normal, true, 0, 90, 127},    {SliceAction::Optimize, true, 0, 100, 127}};
  PartialTable sliced;
  for (const auto& step : slice) {
    if (step.set != 0) sliced.at(step.row, 3) = static_cast<int16_t>(step.set);
    ApplySliceAction(sliced, 3, step.action, step.positive);
    EXPECT_EQ(sliced.at(step.row, 3), step.code) << static_cast<int>(step.action);
    if (step.action == SliceAction::Zero) {
      EXPECT_FALSE(SliceIsFilled(sliced, 3));
    }
  }

  PartialTable rows;
  ApplyTableRowAction(rows, 4, RowAction::Full, 0, true);
  EXPECT_EQ(rows.at(4, 32), 127);
  rows.at(4, 0) = 10;
  ApplyTableRowAction(rows, 4, RowAction::Static, 0, true);
  EXPECT_EQ(rows.at(4, 20), 10);
  ApplyTableRowAction(rows, 4, RowAction::Normal, 0, true);
  EXPECT_EQ(rows.at(4, 20), 127);
  rows.at(4, 32) = 0;
  ApplyTableRowAction(rows, 4, RowAction::Linear, 0, true);
  EXPECT_EQ(rows.at(4, 16), EncodeAmplitude(2048.0));
  ApplyTableRowAction(rows, 4, RowAction::Reverse, 0, true);
  ExpectCodes(rows, {{4, 0, 0}, {4, 32, 127}});

  std::array<int16_t, 33> envelope{};
  envelope[0] = 60;
  envelope[1] = -30;
  ApplyEnvelopeRowAction(envelope, RowAction::Normal, 0, true);
  EXPECT_EQ(envelope[0], 127);
  EXPECT_EQ(envelope[1], -64);
  ApplyEnvelopeRowAction(envelope, RowAction::Mirror, 0, true);
  EXPECT_EQ(envelope[32], 127);
  EXPECT_EQ(envelope[31], -64);
  ApplyEnvelopeRowAction(envelope, RowAction::UniPol, 0, true);
  EXPECT_EQ(envelope[1], 64);
  ApplyEnvelopeRowAction(envelope, RowAction::Full, 0, false);
  EXPECT_EQ(envelope[5], -127);
}

TEST_F(VortaTest, BlurAndRandomData) {
  PartialTable table = TableWithCode(0, 16, 127);
  BlurTable(table);
  EXPECT_NE(table.at(0, 15), 0);
  EXPECT_NE(table.at(0, 17), 0);
  EXPECT_EQ(table.at(0, 16), 127);  // optimised back to full scale
  PartialTable random;
  RandomizeTable(random);
  for (int s = 0; s < 33; ++s) {
    EXPECT_GE(SlicePeak(random, s), 0.9) << s;
    EXPECT_LE(SlicePeak(random, s), 1.07) << s;
  }
  for (int16_t c : random.codes) ASSERT_LE(std::abs(c), 127);
}
