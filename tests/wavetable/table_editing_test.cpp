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

std::array<int16_t, 33> Line(std::initializer_list<std::pair<int, int>> codes) {
  std::array<int16_t, 33> line{};
  for (const auto& [slice, code] : codes) line[static_cast<size_t>(slice)] = static_cast<int16_t>(code);
  return line;
}

}  // namespace

// Slice 33 and row 64 select all; a negative selection selects nothing.
TEST_F(VortaTest, SelectionConventionOfTheCodePrimitives) {
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
  // {row, codes, row selected, codes after}: the zero breaks the chain; another row selected changes nothing.
  const struct {
    int row;
    std::initializer_list<int> before;
    int selected;
    std::initializer_list<int> after;
  } cases[] = {
      {0, {10, -20, 0, -5, 7}, 0, {10, 20, 0, -5, 7}},
      {0, {-3, 4, -5, 6}, 0, {-3, -4, -5, -6}},
      {7, {-1, 2, -3}, 6, {-1, 2, -3}},
      {7, {-1, 2, -3}, 64, {-1, -2, -3}}};
  for (const auto& c : cases) {
    PartialTable table = RowOf(c.before, c.row);
    LockPolarity(table, c.selected);
    EXPECT_EQ(table, RowOf(c.after, c.row)) << c.row << " " << c.selected;
  }
  EXPECT_FALSE(HasContinuousPolarity(RowOf({10, 20, 0, -5, 7})));
  EXPECT_FALSE(HasContinuousPolarity(RowOf({3, -3})));
  EXPECT_TRUE(HasContinuousPolarity(RowOf({-3, -4, -5, -6})));
}

TEST_F(VortaTest, CodeCeilAndScaleCodes) {
  PartialTable table = TableWith({{0, 3, 100}, {1, 3, -60}, {0, 4, 10}});
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

  std::array<int16_t, 33> line = Line({{0, -100}, {32, 100}});
  LinearRow(line, false);
  EXPECT_EQ((std::array{line[1], line[8], line[16]}), (std::array<int16_t, 3>{-94, -50, 0}));  // -93.75
  std::array<int16_t, 33> amplitude = Line({{0, 127}});
  LinearRow(amplitude, true);
  EXPECT_EQ((std::array{amplitude[8], amplitude[16], amplitude[32]}),
            (std::array<int16_t, 3>{static_cast<int16_t>(EncodeAmplitude(3072.0)),
                                    static_cast<int16_t>(EncodeAmplitude(2048.0)), 0}));
}

TEST_F(VortaTest, DialogActions) {
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
    if (step.action == SliceAction::Zero) {
      EXPECT_FALSE(SliceIsFilled(sliced, 3));
    }
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
  std::array<int16_t, 33> envelope = Line({{0, 60}, {1, -30}});
  for (const auto& step : envelopeSteps) {
    ApplyEnvelopeRowAction(envelope, step.action, 0, step.positive);
    EXPECT_EQ((std::array{envelope[0], envelope[1], envelope[5], envelope[31], envelope[32]}), step.codes)
        << static_cast<int>(step.action);
  }
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
