#include "wavetable/xform_editing.h"

#include <gtest/gtest.h>

#include <vector>

#include "xform_fixture.h"

using namespace xform_fixture;

namespace {

constexpr int kApplyButton = 11;

// Three slices of noise at different levels (0.25, 1.0 and 0.5 of the
// loudest once normalised), reconstructed into the session's table.
void ThreeSlices(Session& session) {
  XformTable& table = session.table();
  WriteNoise(table.noise, 3 * 131072, 21, 0.2f);
  for (size_t i = 2 * 131072; i < 4 * 131072; ++i) table.noise[i] *= 4.0f;
  for (size_t i = 4 * 131072; i < 6 * 131072; ++i) table.noise[i] *= 2.0f;
  ASSERT_EQ(session.Reconstruct(3 * 131072), kMsgDone);
}

}  // namespace

TEST(XformEditing, SliceLevelsAreClampedToTheProfileRange) {
  EXPECT_EQ(XformSliceLevel(1.0f), 127);
  EXPECT_EQ(XformSliceLevel(1.0000001f), 127);  // a hair above full scale after rounding
  EXPECT_EQ(XformSliceLevel(3.0f), 127);
  EXPECT_EQ(XformSliceLevel(0.5f), 0);
  EXPECT_EQ(XformSliceLevel(0.001f), -126);
  EXPECT_EQ(XformSliceLevel(0.00001f), -127);
  EXPECT_EQ(XformSliceLevel(0.0f), -127);
  EXPECT_EQ(XformSliceLevel(std::nanf("")), -127);
}

TEST(XformEditing, ProfileScalingSetsSliceLevelsAndUndoRestoresThem) {
  Session session;
  ThreeSlices(session);
  XformTable& table = session.table();
  const std::vector<float> spectraBefore = table.spectrum;
  const std::vector<float> noiseBefore = table.noise;
  const auto peaksBefore = table.slicePeaks;
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

  ApplyXformProfile(session.workspace, scaling, kApplyButton);
  // Slice 2 (0.5) is now the loudest and is normalised to 1.0.
  EXPECT_FLOAT_EQ(table.slicePeaks[2], 1.0f);
  EXPECT_NEAR(table.slicePeaks[0], peaksBefore[0] / peaksBefore[2], 1e-5);
  EXPECT_NEAR(table.slicePeaks[1], (63.0 / 254.0) / peaksBefore[2], 1e-5);
  EXPECT_NEAR(PeakOf(NoiseSlice(table, 1)), table.slicePeaks[1], 1e-5);
  EXPECT_EQ(UndoUsedEntries(session.workspace.undo), 1);

  EXPECT_EQ(UndoXformChange(session.workspace, {}), kMsgDone);
  EXPECT_TRUE(spectraBefore == table.spectrum);  // the spectra come back exactly
  EXPECT_LT(RelativeDifference(noiseBefore, table.noise), 1e-5);  // the noise is made again from them
  for (int s = 0; s < kSliceCount; ++s) EXPECT_NEAR(table.slicePeaks[s], peaksBefore[s], 1e-5) << s;
  EXPECT_EQ(UndoXformChange(session.workspace, {}), kMsgUndoListEmpty);
}

TEST(XformEditing, AnUntouchedProfileChangesNothing) {
  Session session;
  ThreeSlices(session);
  const std::vector<float> spectraBefore = session.table().spectrum;
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
  EXPECT_EQ(UndoXformChange(session.workspace, {}), kMsgDone);
  EXPECT_TRUE(spectraBefore == session.table().spectrum);
}

TEST(XformEditing, SliceOrderMovesWholeSlicesWithUndo) {
  Session session;
  ThreeSlices(session);
  XformTable& table = session.table();
  const std::vector<float> noiseBefore = table.noise;
  const std::vector<float> spectraBefore = table.spectrum;
  const auto peaksBefore = table.slicePeaks;

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

  EXPECT_EQ(UndoXformChange(session.workspace, {}), kMsgDone);
  EXPECT_TRUE(spectraBefore == table.spectrum);
  EXPECT_EQ(XformUsedSlices(table), 3);

  // Speed buttons on the RAM table.
  table.speed = 512;
  EXPECT_EQ(FasterXformPlayback(session.workspace), kMsgNone);
  EXPECT_EQ(table.speed, 1024);
  EXPECT_EQ(FasterXformPlayback(session.workspace), kMsgMaxValue);
  EXPECT_EQ(SlowerXformPlayback(session.workspace), kMsgNone);
  EXPECT_EQ(table.speed, 512);
}

TEST(XformEditing, TheUndoRingKeepsOnlyWhatWasWritten) {
  Session session(1);
  XformWorkspace& workspace = session.workspace;
  EXPECT_EQ(workspace.undo.geometry.entryCount, 8);  // 1 GiB
  ThreeSlices(session);
  const size_t idle = XformSessionBytes(workspace);
  for (int change = 0; change < 10; ++change) {
    XformProfileScaling scaling = StartXformProfileScaling(session.table());
    SetXformProfileLevel(scaling, change % 3, scaling.profile[change % 3] - 20);
    ApplyXformProfile(workspace, scaling, kApplyButton);
    if (change == 0) {
      EXPECT_EQ(XformSessionBytes(workspace), idle + 17301505u);
    }
  }
  EXPECT_EQ(UndoUsedEntries(workspace.undo), 8);
  EXPECT_EQ(XformSessionBytes(workspace), idle + 8 * 17301505u);
  int steps = 0;
  while (UndoXformChange(workspace, {}) == kMsgDone) ++steps;
  EXPECT_EQ(steps, 8);
  EXPECT_EQ(XformSessionBytes(workspace), idle);

  FlushXform(workspace);
  EXPECT_EQ(XformUsedSlices(session.table()), 0);
  EXPECT_TRUE(session.table().ramName.empty());
}
