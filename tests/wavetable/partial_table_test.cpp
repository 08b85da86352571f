#include "wavetable/partial_table.h"

#include <gtest/gtest.h>

#include <cmath>

#include "vorta_fixture.h"

TEST(PartialTable, CodesOfTheBoundaryAmplitudes) {
  // {amplitude, code}: 35.157 codes per decade, never beyond full scale, NaN silent.
  const std::pair<double, int> codes[] = {{4096.0, 127}, {-4096.0, -127}, {0.99, 0},     {1.0, 0},
                                          {1.0677, 1},   {1.0e9, 127},    {-1.0e9, -127}, {std::nan(""), 0}};
  for (const auto& [amplitude, code] : codes) EXPECT_EQ(EncodeAmplitude(amplitude), code) << amplitude;
  EXPECT_EQ(DecodeCode(0), 0.0);
  EXPECT_NEAR(DecodeCode(127), 4096.0, 1e-6);
  EXPECT_NEAR(DecodeCode(-127), -4096.0, 1e-6);
  EXPECT_NEAR(DecodeCode(1), 1.0677, 1e-4);
  for (int code = -127; code <= 127; ++code) EXPECT_EQ(EncodeAmplitude(DecodeCode(code)), code) << code;
}

TEST(PartialTable, EncodingCeilingScalesOnlyLouderMatrices) {
  AmplitudeMatrix loud;
  loud.at(0, 0) = 8192.0f;
  loud.at(1, 5) = -4096.0f;
  ExpectCodes(EncodeTable(loud, kDefaultCeiling), {{0, 0, 127}, {1, 5, -116}});  // halved

  AmplitudeMatrix quiet;
  quiet.at(3, 3) = 100.0f;
  EXPECT_EQ(EncodeTable(quiet, kDefaultCeiling).at(3, 3), 70);  // unchanged: log10(100) x 35.157
  EXPECT_EQ(EncodeTable(quiet, 0.0).at(3, 3), 127);             // ceiling 0 always raises
  EXPECT_TRUE(TableIsSilent(EncodeTable(AmplitudeMatrix{}, 0.0)));  // silence stays silence
}

TEST(PartialTable, LayoutClampAndSelection) {
  PartialTable table;
  table.at(2, 5) = 9;
  EXPECT_EQ(table.codes[2 * 33 + 5], 9);
  EXPECT_EQ(table.Row(2)[5], 9);
  EXPECT_TRUE(SliceIsFilled(table, 5));
  EXPECT_FALSE(SliceIsFilled(table, 4));
  table.at(0, 0) = 300;
  table.at(0, 1) = -32768;
  ClampTableCodes(table);
  ExpectCodes(table, {{0, 0, 127}, {0, 1, -127}});

  // Slice 33 and row 64 select all; a negative selection nothing.
  EXPECT_EQ(SelectedSlices(7).first, 7);
  EXPECT_EQ(SelectedSlices(7).end, 8);
  EXPECT_EQ(SelectedSlices(33).first, 0);
  EXPECT_EQ(SelectedSlices(1000).end, 33);
  EXPECT_EQ(SelectedRows(64).end, 64);
  EXPECT_EQ(SelectedRows(-1).end, 0);
  EXPECT_EQ(Nearest(2.5), 3.0);
  EXPECT_EQ(Nearest(-2.5), -3.0);
}
