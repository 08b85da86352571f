// The XFORM table's slice operations and the editing pages built on them.
#include "wavetable/xform_editing.h"

#include "wavetable/xform_table.h"
#include "xform_fixture.h"

using namespace xform_fixture;

namespace {

constexpr int kApplyButton = 11;
constexpr size_t kUndoEntryBytes = 17301505;

class XformTableTest : public ::testing::Test {
 protected:
  void SetUp() override { AllocateXformTable(table); }

  // Slice s holds one noise sample at the peak and one spectrum value, for scaling to act on.
  void FakeSlice(int s, float peak, float magnitude) {
    NoiseSlice(table, s)[100] = -peak;
    SpectrumSlice(table, s)[2 * 1000] = magnitude;
    table.slicePeaks[static_cast<size_t>(s)] = peak;
  }

  XformTable table;
};

// Three slices of noise at 0.25, 1.0 and 0.5 of the loudest.
class XformEditing : public ::testing::Test {
 protected:
  void SetUp() override {
    XformTable& table = session.table();
    WriteNoise(table.noise, 3 * 131072, 21, 0.2f);
    for (size_t i = 2 * 131072; i < 6 * 131072; ++i) table.noise[i] *= i < 4 * 131072 ? 4.0f : 2.0f;
    ASSERT_EQ(session.Reconstruct(3 * 131072), kMsgDone);
    spectraBefore = table.spectrum;
    noiseBefore = table.noise;
    peaksBefore = table.slicePeaks;
  }

  void ExpectUndoneToTheStart() {
    EXPECT_EQ(UndoXformChange(session.workspace, {}), kMsgDone);
    EXPECT_TRUE(spectraBefore == session.table().spectrum);
    EXPECT_LT(RelativeDifference(noiseBefore, session.table().noise), 1e-5);
  }

  Session session{1};
  std::vector<float> spectraBefore, noiseBefore;
  std::array<float, kSliceCount> peaksBefore{};
};

}  // namespace

TEST_F(XformTableTest, BandProfileOfAKnownSpectrum) {
  EXPECT_EQ(BuildBandProfile(table), XformBandProfile{});  // all sums 0: no division by 0
  // Band sums of 512 bins, scaled so the largest (1,024) is 4096: 512 -> 116; 0.2 -> 0.8 and 0.25 -> 1.0
  // both code 0; 0.75 -> 3.0 -> 17.
  for (int k = 512; k < 1024; ++k) SpectrumSlice(table, 0)[2 * k] = 1.0f;
  for (int k = 127 * 512; k < 128 * 512; ++k) SpectrumSlice(table, 2)[2 * k + 1] = 2.0f;
  SpectrumSlice(table, 32)[2 * 64 * 512] = 0.2f;
  SpectrumSlice(table, 32)[2 * 65 * 512 + 7] = 0.25f;
  SpectrumSlice(table, 5)[2 * 10 * 512 + 100] = 0.75f;

  XformBandProfile expected{};
  expected[2 * 128 + 127] = 127;
  expected[0 * 128 + 1] = 116;
  expected[5 * 128 + 10] = 17;
  EXPECT_EQ(BuildBandProfile(table), expected);
}

TEST_F(XformTableTest, ScalingClearsSlicesThatFallSilentAndNormalizingLeavesSilenceAlone) {
  FakeSlice(3, 0.5f, 10.0f);
  ScaleXformSlice(table, 3, 1.5);
  EXPECT_EQ((std::array{table.slicePeaks[3], NoiseSlice(table, 3)[100], SpectrumSlice(table, 3)[2000]}),
            (std::array{0.75f, -0.75f, 15.0f}));
  ScaleXformSlice(table, 3, std::nan(""));  // not a number: nothing happens
  EXPECT_FLOAT_EQ(table.slicePeaks[3], 0.75f);
  ScaleXformSlice(table, 3, 0.00001 / 0.75);  // new peak exactly at the limit: cleared
  EXPECT_EQ(table.slicePeaks[3], 0.0f);
  EXPECT_TRUE(AllZero(NoiseSlice(table, 3)) && AllZero(SpectrumSlice(table, 3)));

  NormalizeXform(table);
  EXPECT_TRUE(AllZero(table.noise) && AllFinite(table.spectrum));
  FakeSlice(4, 0.000008f, 3.0f);
  NormalizeXform(table);
  EXPECT_EQ(std::pair(table.slicePeaks[4], NoiseSlice(table, 4)[100]), std::pair(0.000008f, -0.000008f));  // within the silence limit

  FakeSlice(0, 0.25f, 4.0f);
  FakeSlice(7, 0.5f, 8.0f);
  NormalizeXform(table);
  EXPECT_EQ((std::array{table.slicePeaks[7], table.slicePeaks[0], SpectrumSlice(table, 7)[2000]}),
            (std::array{1.0f, 0.5f, 16.0f}));
  EXPECT_EQ(XformUsedSlices(table), 8);
  EXPECT_EQ(table.bandProfile[7 * 128 + 1], 127);  // bin 1000 lies in band 1
}

TEST(XformTable, SpeedStepsAndSliceLevels) {
  // {speed, faster: message, after; slower: message, after}: powers of two 1 .. 1024.
  const struct { int32_t speed; MessageCode fasterMessage; int32_t faster; MessageCode slowerMessage; int32_t slower; }
      steps[] = {{512, kMsgNone, 1024, kMsgNone, 256}, {1024, kMsgMaxValue, 1024, kMsgNone, 512},
                 {2, kMsgNone, 4, kMsgNone, 1}, {1, kMsgNone, 2, kMsgMinValue, 1}};
  for (const auto& step : steps) {
    int32_t faster = step.speed, slower = step.speed;
    EXPECT_EQ(FasterXformSpeed(faster), step.fasterMessage) << step.speed;
    EXPECT_EQ(SlowerXformSpeed(slower), step.slowerMessage) << step.speed;
    EXPECT_EQ(std::pair(faster, slower), std::pair(step.faster, step.slower)) << step.speed;
  }
  // A damaged value becomes the nearest valid speed; none and negatives the default.
  const std::pair<int32_t, int32_t> valid[] = {{0, 32}, {-4, 32}, {100, 64}, {512, 512}, {5000, 1024}};
  for (const auto& [stored, speed] : valid) EXPECT_EQ(ValidXformSpeed(stored), speed) << stored;
  const std::pair<float, int> levels[] = {{1.0f, 127}, {1.0000001f, 127},  // a hair above full scale after rounding
                                          {3.0f, 127}, {0.5f, 0},          {0.001f, -126},
                                          {0.00001f, -127}, {0.0f, -127},  {std::nanf(""), -127}};
  for (const auto& [peak, level] : levels) EXPECT_EQ(XformSliceLevel(peak), level) << peak;
}

TEST_F(XformTableTest, ReorderCopiesWholeSlices) {
  for (int s = 0; s < kSliceCount; ++s) FakeSlice(s, 0.01f * static_cast<float>(s + 1), static_cast<float>(s));
  table.speed = 128;
  SliceOrder order = IdentityOrder();
  ApplyOrderOperation(order, OrderOperation::Reverse, 0);
  order[0] = order[1] = 5;  // one source may feed several outputs
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

TEST_F(XformEditing, ProfileScalingSetsSliceLevelsAndUndoRestoresThem) {
  XformTable& table = session.table();
  ASSERT_FLOAT_EQ(peaksBefore[1], 1.0f);
  XformProfileScaling scaling = StartXformProfileScaling(table);
  EXPECT_EQ(std::pair(scaling.profile[1], scaling.profile[5]), (std::pair<int16_t, int16_t>(127, -127)));
  SetXformProfileLevel(scaling, 1, -64);  // new peak 63/254
  SetXformProfileLevel(scaling, 4, 300);  // clamped to 127, but the slice is empty: stays silent
  EXPECT_EQ(scaling.profile[4], 127);

  XformTable preview;
  ScaledXformOutput(table, scaling, preview);
  EXPECT_NEAR(preview.slicePeaks[1], 63.0 / 254.0, 1e-6);
  EXPECT_EQ(preview.slicePeaks[0], table.slicePeaks[0]);  // untouched level, untouched slice
  EXPECT_EQ(preview.slicePeaks[4], 0.0f);

  const size_t idle = XformSessionBytes(session.workspace);
  ApplyXformProfile(session.workspace, scaling, kApplyButton);
  EXPECT_FLOAT_EQ(table.slicePeaks[2], 1.0f);
  EXPECT_NEAR(table.slicePeaks[0], peaksBefore[0] / peaksBefore[2], 1e-5);
  EXPECT_NEAR(table.slicePeaks[1], (63.0 / 254.0) / peaksBefore[2], 1e-5);
  EXPECT_NEAR(PeakOf(NoiseSlice(table, 1)), table.slicePeaks[1], 1e-5);
  EXPECT_EQ(XformSessionBytes(session.workspace), idle + kUndoEntryBytes);  // memory only for written entries

  ExpectUndoneToTheStart();
  for (int s = 0; s < kSliceCount; ++s) EXPECT_NEAR(table.slicePeaks[s], peaksBefore[s], 1e-5) << s;
  EXPECT_EQ(UndoXformChange(session.workspace, {}), kMsgUndoListEmpty);
  EXPECT_EQ(XformSessionBytes(session.workspace), idle);
}

TEST_F(XformEditing, AnUntouchedProfileChangesNothingAndZeroEmptiesTheTable) {
  XformProfileScaling scaling = StartXformProfileScaling(session.table());
  ApplyXformProfile(session.workspace, scaling, kApplyButton);
  EXPECT_TRUE(spectraBefore == session.table().spectrum);
  EXPECT_EQ(UndoUsedEntries(session.workspace.undo), 0);

  EXPECT_EQ(ApplyXformProfileButton(scaling, ProfileButton::Zero), kMsgNone);
  ApplyXformProfile(session.workspace, scaling, kApplyButton);
  EXPECT_TRUE(XformUsedSlices(session.table()) == 0 && AllZero(session.table().noise));
  ExpectUndoneToTheStart();
}

TEST_F(XformEditing, TheUndoRingKeepsTheLatestEightChanges) {
  XformWorkspace& workspace = session.workspace;
  const size_t idle = XformSessionBytes(workspace);
  for (int change = 0; change < 9; ++change) {
    XformProfileScaling scaling = StartXformProfileScaling(session.table());
    SetXformProfileLevel(scaling, change % 3, scaling.profile[change % 3] - 20);
    ApplyXformProfile(workspace, scaling, kApplyButton);
  }
  EXPECT_EQ(UndoUsedEntries(workspace.undo), 8);
  EXPECT_EQ(XformSessionBytes(workspace), idle + 8 * kUndoEntryBytes);
  int steps = 0;
  while (UndoXformChange(workspace, {}) == kMsgDone) ++steps;
  EXPECT_EQ(steps, 8);
  EXPECT_EQ(XformSessionBytes(workspace), idle);

  FlushXform(workspace);
  EXPECT_EQ(XformUsedSlices(session.table()), 0);
  EXPECT_TRUE(session.table().ramName.empty());
}
