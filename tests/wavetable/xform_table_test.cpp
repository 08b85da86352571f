#include "wavetable/xform_table.h"

#include <gtest/gtest.h>

#include <cmath>

#include "xform_fixture.h"

using namespace xform_fixture;

namespace {

class XformTableTest : public ::testing::Test {
 protected:
  void SetUp() override { AllocateXformTable(table); }

  // Marks slice s as holding noise of the given peak: one sample at the peak
  // and a spectrum value, so scaling has something to act on.
  void FakeSlice(int s, float peak, float magnitude) {
    NoiseSlice(table, s)[100] = -peak;
    SpectrumSlice(table, s)[2 * 1000] = magnitude;
    table.slicePeaks[static_cast<size_t>(s)] = peak;
  }

  XformTable table;
};

}  // namespace

TEST_F(XformTableTest, BandProfileOfAKnownSpectrum) {
  EXPECT_EQ(table.speed, 32);
  // An empty table (every sum 0) codes to all zeros, without dividing by 0.
  EXPECT_EQ(BuildBandProfile(table), XformBandProfile{});
  // Slice 0, band 1 (bins 512..1023): left magnitude 1 in every bin: sum 512.
  for (int k = 512; k < 1024; ++k) SpectrumSlice(table, 0)[2 * k] = 1.0f;
  // Slice 2, band 127: right magnitude 2 in every bin: sum 1,024, the largest.
  for (int k = 127 * 512; k < 128 * 512; ++k) SpectrumSlice(table, 2)[2 * k + 1] = 2.0f;
  // Slice 32, band 64: one value 0.2, which scales to 0.8 (below 1.0: code 0),
  // and band 65: 0.25, which scales to exactly 1.0 (code 0 as well: log 1 = 0).
  SpectrumSlice(table, 32)[2 * 64 * 512] = 0.2f;
  SpectrumSlice(table, 32)[2 * 65 * 512 + 7] = 0.25f;
  // Slice 5, band 10: 0.75 -> 3.0 -> nearest(log10(3) x 35.157) = 17.
  SpectrumSlice(table, 5)[2 * 10 * 512 + 100] = 0.75f;

  XformBandProfile expected{};
  expected[2 * 128 + 127] = 127;  // 4096
  expected[0 * 128 + 1] = 116;    // log10(2048) x 35.157
  expected[5 * 128 + 10] = 17;
  EXPECT_EQ(BuildBandProfile(table), expected);
}

TEST_F(XformTableTest, ScalingClearsSlicesThatFallSilent) {
  FakeSlice(3, 0.5f, 10.0f);
  ScaleXformSlice(table, 3, 1.5);
  EXPECT_FLOAT_EQ(table.slicePeaks[3], 0.75f);
  EXPECT_FLOAT_EQ(NoiseSlice(table, 3)[100], -0.75f);
  EXPECT_FLOAT_EQ(SpectrumSlice(table, 3)[2000], 15.0f);

  ScaleXformSlice(table, 3, std::nan(""));  // not a number: nothing happens
  EXPECT_FLOAT_EQ(table.slicePeaks[3], 0.75f);
  ScaleXformSlice(table, 3, 0.00001 / 0.75);  // new peak exactly at the limit: cleared
  EXPECT_EQ(table.slicePeaks[3], 0.0f);
  EXPECT_TRUE(AllZero(NoiseSlice(table, 3)));
  EXPECT_TRUE(AllZero(SpectrumSlice(table, 3)));
}

TEST_F(XformTableTest, NormalizeBringsTheLoudestSliceToOne) {
  FakeSlice(0, 0.25f, 4.0f);
  FakeSlice(7, 0.5f, 8.0f);
  NormalizeXform(table);
  EXPECT_FLOAT_EQ(table.slicePeaks[7], 1.0f);
  EXPECT_FLOAT_EQ(table.slicePeaks[0], 0.5f);
  EXPECT_FLOAT_EQ(SpectrumSlice(table, 7)[2000], 16.0f);
  EXPECT_EQ(XformUsedSlices(table), 8);
  EXPECT_EQ(table.bandProfile[7 * 128 + 1], 127);  // bin 1000 lies in band 1
}

TEST_F(XformTableTest, NormalizeLeavesSilenceAlone) {
  NormalizeXform(table);
  EXPECT_TRUE(AllZero(table.noise));
  EXPECT_TRUE(AllFinite(table.spectrum));
  // A loudest peak within the silence limit stays as it is.
  FakeSlice(4, 0.000008f, 3.0f);
  NormalizeXform(table);
  EXPECT_FLOAT_EQ(table.slicePeaks[4], 0.000008f);
  EXPECT_FLOAT_EQ(NoiseSlice(table, 4)[100], -0.000008f);
  EXPECT_TRUE(AllFinite(table.noise));
  EXPECT_TRUE(AllFinite(table.spectrum));
}

TEST(XformTable, SpeedSteps) {
  // {speed, faster: message, speed after; slower: message, speed after}: powers of two from 1 to 1024.
  const struct { int32_t speed; MessageCode fasterMessage; int32_t faster; MessageCode slowerMessage; int32_t slower; }
      steps[] = {{512, kMsgNone, 1024, kMsgNone, 256}, {1024, kMsgMaxValue, 1024, kMsgNone, 512},
                 {2, kMsgNone, 4, kMsgNone, 1}, {1, kMsgNone, 2, kMsgMinValue, 1}};
  for (const auto& step : steps) {
    int32_t faster = step.speed;
    int32_t slower = step.speed;
    EXPECT_EQ(FasterXformSpeed(faster), step.fasterMessage) << step.speed;
    EXPECT_EQ(SlowerXformSpeed(slower), step.slowerMessage) << step.speed;
    EXPECT_EQ(std::pair(faster, slower), std::pair(step.faster, step.slower)) << step.speed;
  }
  // A damaged value becomes the nearest valid speed; none and negatives the default.
  const std::pair<int32_t, int32_t> valid[] = {{0, 32}, {-4, 32}, {100, 64}, {512, 512}, {5000, 1024}};
  for (const auto& [stored, speed] : valid) EXPECT_EQ(ValidXformSpeed(stored), speed) << stored;
}

TEST_F(XformTableTest, ReorderCopiesWholeSlices) {
  for (int s = 0; s < kSliceCount; ++s) FakeSlice(s, 0.01f * static_cast<float>(s + 1), static_cast<float>(s));
  table.speed = 128;
  SliceOrder order = IdentityOrder();
  ApplyOrderOperation(order, OrderOperation::Reverse, 0);
  order[0] = 5;
  order[1] = 5;   // one source may feed several outputs
  order[2] = 34;  // wraps to 1
  XformTable output;
  ReorderXform(table, order, output);
  ASSERT_TRUE(XformTableAllocated(output));
  EXPECT_EQ(output.speed, 128);
  for (int c = 0; c < kSliceCount; ++c) {
    const int source = c == 2 ? 1 : order[static_cast<size_t>(c)];
    EXPECT_EQ(output.slicePeaks[static_cast<size_t>(c)], table.slicePeaks[static_cast<size_t>(source)]) << c;
    EXPECT_EQ(SpectrumSlice(output, c)[2000], static_cast<float>(source)) << c;
  }
}
