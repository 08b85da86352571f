#include "dsp/fft_pacing.h"

#include <gtest/gtest.h>

namespace {

// Runs `count` transforms costing soloMicros alone and sharedMicros shared;
// returns how many ran shared.
int SharedRuns(FftPace& pace, int count, double soloMicros, double sharedMicros) {
  int shared = 0;
  for (int i = 0; i < count; ++i) {
    if (ShouldRunSolo(pace)) {
      RecordSolo(pace, soloMicros);
    } else {
      RecordShared(pace, sharedMicros);
      ++shared;
    }
  }
  return shared;
}

TEST(FftPace, FirstRunsMeasureBothWaysAndTheWakeUpRunIsNotJudged) {
  FftPace pace;
  EXPECT_TRUE(ShouldRunSolo(pace));
  RecordSolo(pace, 100);
  EXPECT_FALSE(ShouldRunSolo(pace));
  RecordShared(pace, 1000);  // woke the helpers: not a fair measure
  EXPECT_EQ(pace.sharedMicros, 0);
  EXPECT_FALSE(ShouldRunSolo(pace));
  RecordShared(pace, 300);
  EXPECT_EQ(pace.soloLeft, kFirstSoloStretch);
  for (int i = 0; i < kFirstSoloStretch; ++i) {
    EXPECT_TRUE(ShouldRunSolo(pace));
    RecordSolo(pace, 100);
  }
  EXPECT_FALSE(ShouldRunSolo(pace));
}

TEST(FftPace, FollowsTheFasterWayAsTheLoadComesAndGoes) {
  FftPace pace;
  // Quiet: shared except one solo run in every kSharedRunsBetweenSoloRuns + 1.
  const int quiet = SharedRuns(pace, 6500, 100, 60);
  EXPECT_GT(quiet, 6500 - 6500 / kSharedRunsBetweenSoloRuns - 5);
  EXPECT_LE(quiet, 6500 - 6500 / (kSharedRunsBetweenSoloRuns + 1) + 1);
  // Loaded: the stretches alone double up to the longest, each followed by
  // a wake-up run and one measured shared run.
  const int loaded = SharedRuns(pace, 5000, 100, 400);
  EXPECT_LT(loaded, 70);
  EXPECT_EQ(pace.soloStretch, kLongestSoloStretch);
  // Quiet again: found at the first probe after the current stretch.
  SharedRuns(pace, kLongestSoloStretch + 2, 100, 60);
  EXPECT_EQ(pace.soloStretch, kFirstSoloStretch);
  EXPECT_GE(SharedRuns(pace, kSharedRunsBetweenSoloRuns, 100, 60), kSharedRunsBetweenSoloRuns - 1);
}

}  // namespace
