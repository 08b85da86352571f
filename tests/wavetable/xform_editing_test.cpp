#include "wavetable/xform_editing.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "xform_fixture.h"

using namespace xform_fixture;

namespace {

constexpr int kApplyButton = 11;
constexpr size_t kUndoEntryBytes = 17301505;

// A session whose table holds three slices of noise at different levels
// (0.25, 1.0 and 0.5 of the loudest once normalised).
class XformEditing : public ::testing::Test {
 protected:
  void SetUp() override {
    XformTable& table = session.table();
    WriteNoise(table.noise, 3 * 131072, 21, 0.2f);
    for (size_t i = 2 * 131072; i < 4 * 131072; ++i) table.noise[i] *= 4.0f;
    for (size_t i = 4 * 131072; i < 6 * 131072; ++i) table.noise[i] *= 2.0f;
    ASSERT_EQ(session.Reconstruct(3 * 131072), kMsgDone);
    spectraBefore = table.spectrum;
    noiseBefore = table.noise;
    peaksBefore = table.slicePeaks;
  }

  // The undo step brings the spectra back exactly and the noise made again from them.
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

TEST(XformEditingLevels, SliceLevelsAreClampedToTheProfileRange) {
  const std::pair<float, int> levels[] = {{1.0f, 127}, {1.0000001f, 127},  // a hair above full scale after rounding
                                          {3.0f, 127}, {0.5f, 0},          {0.001f, -126},
                                          {0.00001f, -127}, {0.0f, -127},  {std::nanf(""), -127}};
  for (const auto& [peak, level] : levels) EXPECT_EQ(XformSliceLevel(peak), level) << peak;
}

TEST_F(XformEditing, ProfileScalingSetsSliceLevelsAndUndoRestoresThem) {
  XformTable& table = session.table();
  ASSERT_FLOAT_EQ(peaksBefore[1], 1.0f);
  XformProfileScaling scaling = StartXformProfileScaling(table);
  EXPECT_EQ(scaling.profile[1], 127);
  EXPECT_EQ(scaling.profile[5], -127);
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
  // Slice 2 (0.5) is now the loudest and is normalised to 1.0.
  EXPECT_FLOAT_EQ(table.slicePeaks[2], 1.0f);
  EXPECT_NEAR(table.slicePeaks[0], peaksBefore[0] / peaksBefore[2], 1e-5);
  EXPECT_NEAR(table.slicePeaks[1], (63.0 / 254.0) / peaksBefore[2], 1e-5);
  EXPECT_NEAR(PeakOf(NoiseSlice(table, 1)), table.slicePeaks[1], 1e-5);
  EXPECT_EQ(UndoUsedEntries(session.workspace.undo), 1);
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

  // "ZERO" silences every slice; the empty table stays empty and finite.
  EXPECT_EQ(ApplyXformProfileButton(scaling, ProfileButton::Zero), kMsgNone);
  ApplyXformProfile(session.workspace, scaling, kApplyButton);
  EXPECT_EQ(XformUsedSlices(session.table()), 0);
  EXPECT_TRUE(AllZero(session.table().noise));
  EXPECT_EQ(ApplyXformProfileButton(scaling, ProfileButton::Smooth), kMsgNoData);
  ExpectUndoneToTheStart();
}

TEST_F(XformEditing, SliceOrderMovesWholeSlicesWithUndo) {
  XformTable& table = session.table();
  SliceOrder order = IdentityOrder();
  ApplyOrderOperation(order, OrderOperation::Reverse, 0);
  XformTable output;
  ApplyXformOrder(session.workspace, order, output, kApplyButton);
  EXPECT_EQ(XformUsedSlices(table), 33);
  for (int s = 0; s < 3; ++s) {
    EXPECT_EQ(table.slicePeaks[static_cast<size_t>(32 - s)], peaksBefore[static_cast<size_t>(s)]);
    const auto moved = NoiseSlice(table, 32 - s);
    EXPECT_TRUE(std::equal(moved.begin(), moved.end(), noiseBefore.begin() + s * 262144)) << s;
  }
  EXPECT_EQ(table.slicePeaks[0], 0.0f);
  EXPECT_EQ(output.slicePeaks[1], peaksBefore[1]);  // the page's copy holds the former table
  ExpectUndoneToTheStart();
  EXPECT_EQ(XformUsedSlices(table), 3);
}

TEST_F(XformEditing, TheUndoRingKeepsTheLatestEightChanges) {
  XformWorkspace& workspace = session.workspace;
  EXPECT_EQ(workspace.undo.geometry.entryCount, 8);  // 1 GiB
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
