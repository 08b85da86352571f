#include "wavetable/vorta_synthesis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "wavetable/limit_peak.h"
#include "wavetable/line_smoothing.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/single_cycle_partials.h"
#include "vorta_fixture.h"

namespace {

double MaxAbs(const float* begin, size_t count) {
  double peak = 0.0;
  for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::fabs(static_cast<double>(begin[i])));
  return peak;
}

}  // namespace

TEST_F(VortaTest, SynthesisMatchesTheSumOfSines) {
  PartialTable table;
  SeedRandom(7);
  for (int16_t& code : table.codes) code = static_cast<int16_t>(RandomBelow(255) - 127);
  for (int length : {128, 256, 512, 1024}) {
    std::vector<float> cycle(static_cast<size_t>(length));
    for (int slice : {0, 17, 32}) {
      SynthesizeSlice(table, slice, length, cycle);
      const std::vector<double> expected = DirectCycle(table, slice, length);
      for (int j = 0; j < length; ++j) ASSERT_NEAR(cycle[static_cast<size_t>(j)], expected[static_cast<size_t>(j)], 2e-4) << length << " " << j;
    }
  }
  // A slice outside the table is silence, never a read beside it; a length
  // beyond the transform's leaves the buffer alone.
  for (int slice : {-1, 33}) {
    std::vector<float> cycle(256, 7.0f);
    SynthesizeSlice(table, slice, 256, cycle);
    EXPECT_EQ(cycle, std::vector<float>(256, 0.0f)) << slice;
  }
  std::vector<float> tooLong(kMaxSliceLength + 1, 7.0f);
  SynthesizeSlice(table, 0, kMaxSliceLength + 1, tooLong);
  EXPECT_EQ(tooLong, std::vector<float>(kMaxSliceLength + 1, 7.0f));
}

TEST_F(VortaTest, FullScaleSineAndItsBlends) {
  const PartialTable table = TableWithCode(0, 0, 127);
  std::vector<float> out(kRamWavetableSamples, 7.0f);
  ASSERT_EQ(RenderTable(table, out, 4, 1.0), 4u * 8192u + 256u);
  for (int j = 0; j < 256; ++j) ASSERT_NEAR(out[static_cast<size_t>(j)], std::sin(2 * std::numbers::pi * j / 256), 1e-5);
  EXPECT_NEAR(MaxAbs(out.data(), 256), 1.0, 1e-5);
  for (int k = 1; k < 4; ++k) {
    const double weight = (4 - k) / 4.0;
    for (int j = 0; j < 256; ++j)
      ASSERT_NEAR(out[static_cast<size_t>(k * 256 + j)], weight * out[static_cast<size_t>(j)], 1e-6) << k;
  }
  EXPECT_EQ(MaxAbs(out.data() + 1024, 4u * 8192u + 256u - 1024u), 0.0);  // slices 1..32 and their blends

  std::vector<float> inverted(kRamWavetableSamples);
  RenderTable(TableWithCode(0, 0, -127), inverted, 4, 1.0);
  for (int j = 0; j < 1024; ++j) ASSERT_FLOAT_EQ(inverted[static_cast<size_t>(j)], -out[static_cast<size_t>(j)]);
}

TEST_F(VortaTest, RenderLengthsPitchAndLimiting) {
  PartialTable table;
  for (int r = 0; r < 8; ++r) table.at(r, 5) = 127;  // far above full scale
  std::vector<float> out(kRamWavetableSamples);
  EXPECT_EQ(RenderTable(table, out, 1, 1.0), 8448u);
  EXPECT_NEAR(MaxAbs(out.data() + 5 * 256, 256), 1.0, 1e-6);
  EXPECT_EQ(RenderTable(table, out, 32, 1.0), 262400u);
  EXPECT_EQ(RenderTable(table, out, 32, 0.0625), 32u * 4096u * 32u + 4096u);
  EXPECT_EQ(RenderTable(table, out, 16, 2.0), 16u * 32u * 128u + 128u);
  std::vector<float> small(8447);
  EXPECT_EQ(RenderTable(table, small, 1, 1.0), 0u);

  std::array<float, 512> cycle{};
  EXPECT_EQ(RenderSlice(table, 5, cycle, 0.5), 512);
  EXPECT_NEAR(MaxAbs(cycle.data(), 512), 1.0, 1e-6);
  EXPECT_EQ(RenderSlice(table, 5, std::span<float>(cycle).first(100), 1.0), 0);

  // A partial row alone is not limited.
  std::vector<float> row(kRamWavetableSamples);
  PartialTable loud = table;
  loud.at(0, 0) = 127;
  ASSERT_EQ(RenderPartialRow(loud, 0, row, 2), 2u * 8192u + 256u);
  EXPECT_NEAR(MaxAbs(row.data(), 256), 1.0, 1e-5);
  EXPECT_NEAR(MaxAbs(row.data() + 256, 256), 0.5, 1e-5);  // the blend towards slice 1
  EXPECT_NEAR(MaxAbs(row.data() + 5 * 512, 256), 1.0, 1e-5);  // slice 5's first partial only

  // Short cycles cannot hold the upper partials: they are left out, not written past the spectrum.
  std::array<float, 32> tiny{};
  EXPECT_EQ(RenderSlice(table, 5, tiny, 8.0), 32);
}

TEST_F(VortaTest, SlicePeakMatchesTheWholeCycle) {
  PartialTable table;
  table.at(0, 3) = 120;
  table.at(2, 3) = -110;
  table.at(6, 3) = 100;
  EXPECT_NEAR(SlicePeak(table, 3), DirectPeak(table, 3), 1e-4);
  EXPECT_EQ(SlicePeak(table, 4), 0.0);
}

TEST_F(VortaTest, OptimizeRaisesQuietTablesAndLowersLoudSlices) {
  PartialTable quiet;
  for (int s = 0; s < 33; ++s) quiet.at(0, s) = 116;  // peak 0.487
  quiet.at(0, 7) = 0;
  quiet.at(3, 7) = 100;
  const double before = SlicePeak(quiet, 0);
  EXPECT_NEAR(before, 0.487, 0.01);
  OptimizeTable(quiet, kOptimizeRaise);
  EXPECT_EQ(quiet.at(0, 0), 127);  // raised by about 11 codes (6 dB)
  EXPECT_EQ(quiet.at(3, 7), 111);
  EXPECT_NEAR(SlicePeak(quiet, 0), 1.0, 0.07);

  PartialTable loud;
  loud.at(0, 0) = 127;
  loud.at(2, 0) = -127;  // sin x - sin 3x peaks at exactly 2.0
  for (int s = 1; s < 33; ++s) loud.at(0, s) = 124;  // about 0.8
  EXPECT_NEAR(SlicePeak(loud, 0), 2.0, 1e-4);
  EXPECT_NEAR(SlicePeak(loud, 1), 0.8, 0.03);
  PartialTable optimised = loud;
  OptimizeTable(optimised, kOptimizeRaise);
  for (int s = 1; s < 33; ++s) EXPECT_EQ(optimised.at(0, s), 124);  // only the loud slice moves
  EXPECT_EQ(optimised.at(0, 0), 116);   // halved: 10.6 code steps down
  EXPECT_EQ(optimised.at(2, 0), -116);
  EXPECT_NEAR(SlicePeak(optimised, 0), 1.0, 0.07);

  PartialTable lowerOnly = quiet;
  for (int r = 0; r < 64; ++r) lowerOnly.at(r, 0) = 0;
  lowerOnly.at(0, 0) = 100;
  const PartialTable unchanged = lowerOnly;
  OptimizeTable(lowerOnly, kOptimizeLowerOnly);
  EXPECT_EQ(lowerOnly, unchanged);

  PartialTable silent;
  OptimizeTable(silent, kOptimizeRaise);
  NormalizeTable(silent);
  EXPECT_TRUE(TableIsSilent(silent));
}

TEST_F(VortaTest, NormalizeRaisesAndLowers) {
  PartialTable table = TableWithCode(0, 4, 100);
  NormalizeTable(table);
  EXPECT_EQ(table.at(0, 4), 127);
  table.at(1, 4) = 127;
  NormalizeTable(table);
  EXPECT_NEAR(SlicePeak(table, 4), 1.0, 0.07);
}

TEST_F(VortaTest, SmoothRowsSpreadsInAmplitude) {
  std::array<double, 33> line{};
  line[16] = 4096.0;
  SmoothLine(line, 1);
  EXPECT_DOUBLE_EQ(line[15], 1024.0);
  EXPECT_DOUBLE_EQ(line[16], 2048.0);
  EXPECT_DOUBLE_EQ(line[17], 1024.0);
  EXPECT_DOUBLE_EQ(line[14], 0.0);

  PartialTable table = TableWithCode(9, 16, 127);
  SmoothRows(table, 9, 1);
  ExpectCodes(table, {{9, 15, EncodeAmplitude(1024.0)}, {9, 16, EncodeAmplitude(2048.0)},
      {9, 17, EncodeAmplitude(1024.0)}, {9, 14, 0}});

  // Open ends: (2 x0 + x1) / 3; "all rows" for 64 and above.
  PartialTable ends;
  ends.at(0, 0) = 127;
  ends.at(5, 32) = 127;
  SmoothRows(ends, 64, 1);
  ExpectCodes(ends, {{0, 0, EncodeAmplitude(4096.0 * 2 / 3)}, {0, 1, EncodeAmplitude(1024.0)}, {0, 2, 0},
      {5, 32, EncodeAmplitude(4096.0 * 2 / 3)}});
}

TEST_F(VortaTest, CircularSmoothingWrapsAround) {
  std::array<double, 4> values = {4.0, 0.0, 0.0, 0.0};
  SmoothLineCircular(values, 1);
  EXPECT_DOUBLE_EQ(values[0], 2.0);
  EXPECT_DOUBLE_EQ(values[1], 1.0);
  EXPECT_DOUBLE_EQ(values[3], 1.0);
  EXPECT_DOUBLE_EQ(values[2], 0.0);
  std::array<double, 2> pair = {4.0, 0.0};
  SmoothLineCircular(pair, 1);
  EXPECT_DOUBLE_EQ(pair[0], 2.0);
  EXPECT_DOUBLE_EQ(pair[1], 2.0);
}

TEST_F(VortaTest, LimitPeakOnlyAboveTheThreshold) {
  std::array<float, 3> samples = {0.5f, -2.0f, 1.0f};
  LimitPeak(samples, 1.0, 1.0);
  EXPECT_FLOAT_EQ(samples[1], -1.0f);
  EXPECT_FLOAT_EQ(samples[0], 0.25f);
  std::array<float, 2> quiet = {0.5f, -0.25f};
  LimitPeak(quiet, 1.0, 1.0);
  EXPECT_FLOAT_EQ(quiet[0], 0.5f);
  LimitPeak(quiet, 0.0, 1.0);
  EXPECT_FLOAT_EQ(quiet[0], 1.0f);
  std::array<float, 2> silent = {0.0f, 0.0f};
  LimitPeak(silent, 0.0, 1.0);
  EXPECT_EQ(silent[0], 0.0f);
}

TEST_F(VortaTest, GenerateHarmonicsFollowsTheFormula) {
  const PartialTable flat = GenerateHarmonics(1.0, 0.0, 0, 1);  // no modulation: every slice alike
  for (int s = 1; s < 33; ++s)
    for (int r = 0; r < 64; ++r) ASSERT_EQ(flat.at(r, s), flat.at(r, 0));
  // 1/n falloff: partial 2 lies 6 dB plus the extra damping below partial 1.
  const double expected = 20 * std::log10(2.0 * (1 + 0.01562)) / (20.0 / 35.1570723376);
  EXPECT_NEAR(flat.at(0, 0) - flat.at(1, 0), expected, 1.0);
  for (int s = 0; s < 33; ++s) EXPECT_NEAR(SlicePeak(flat, s), 1.0, 0.07);

  const PartialTable spread = GenerateHarmonics(1.0, 1.0, 0, 4);
  for (int r = 0; r < 64; ++r) {
    if (r % 4 == 0) EXPECT_NE(spread.at(r, 0), 0) << r;
    else EXPECT_EQ(spread.at(r, 0), 0) << r;
  }
  // Width 1, shift 0: partial 2 (i = 1) turns by pi/32 per slice, so it
  // crosses zero between slices 16 and 17 and is negative at slice 32.
  EXPECT_GT(spread.at(4, 15), 0);
  EXPECT_LT(spread.at(4, 32), 0);
}

TEST_F(VortaTest, AnalyzeCyclesRecoversSignedPartials) {
  std::vector<float> waves(33 * 128, 0.0f);
  for (int j = 0; j < 128; ++j) {
    const double phase = 2 * std::numbers::pi * j / 128;
    waves[static_cast<size_t>(j)] = static_cast<float>(0.25 * std::sin(phase) - 0.125 * std::sin(3 * phase));
    waves[static_cast<size_t>(128 * 5 + j)] = static_cast<float>(0.25 * std::sin(2 * phase + 0.5));  // phase dropped
  }
  const PartialTable table = AnalyzeCycles(waves);
  EXPECT_EQ(table.at(0, 0), 127);  // the loudest is raised to full scale
  ExpectCodes(table, {{2, 0, -EncodeAmplitude(2048.0)}, {1, 0, 0}});
  EXPECT_EQ(table.at(1, 5), 127);  // as loud as partial 1 of wave 0, positive
  EXPECT_EQ(table.at(63, 0), 0);
  EXPECT_TRUE(TableIsSilent(AnalyzeCycles(std::vector<float>(33 * 128, 0.0f))));
  EXPECT_TRUE(TableIsSilent(AnalyzeCycles({})));
}

TEST_F(VortaTest, SingleCyclesOfAnyLengthBecomeSignedPartials) {
  for (int length : {128, 1000, 2048, 4096}) {
    std::vector<float> cycle(static_cast<size_t>(length));
    for (int j = 0; j < length; ++j) {
      const double phase = 2 * std::numbers::pi * j / length;
      cycle[static_cast<size_t>(j)] =
          static_cast<float>(0.5 * std::sin(phase) - 0.25 * std::sin(3 * phase) + 0.125 * std::sin(40 * phase + 1.0));
    }
    const PartialTable table = SingleCycleToPartials(cycle);
    EXPECT_EQ(table.at(0, 0), EncodeAmplitude(2048.0)) << length;
    EXPECT_EQ(table.at(2, 0), -EncodeAmplitude(1024.0)) << length;
    EXPECT_EQ(table.at(39, 0), EncodeAmplitude(512.0)) << length;
    EXPECT_EQ(table.at(1, 0), 0) << length;
    EXPECT_FALSE(SliceIsFilled(table, 1));

    const PartialTable filled = FillTableWithCycle(cycle);
    EXPECT_NEAR(SlicePeak(filled, 0), 1.0, 0.07) << length;
    for (int slice = 1; slice < kSliceCount; ++slice) ASSERT_EQ(filled.Row(0)[slice], filled.at(0, 0));
  }
  for (size_t length : {size_t{0}, size_t{127}, size_t{4097}}) {
    EXPECT_TRUE(TableIsSilent(SingleCycleToPartials(std::vector<float>(length, 0.5f)))) << length;
  }
}
