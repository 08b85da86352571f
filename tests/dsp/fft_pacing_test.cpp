#include "dsp/fft_pacing.h"

#include <gtest/gtest.h>

namespace {

// Runs `count` transforms costing soloMicros alone and sharedMicros shared;
// returns how many ran shared.
int SharedRuns(FftPace& pace, int count, double soloMicros, double sharedMicros) {
  int shared = 0;
  for (int i = 0; i < count; ++i) {
    const bool solo = ShouldRunSolo(pace);
    solo ? RecordSolo(pace, soloMicros) : RecordShared(pace, sharedMicros);
    shared += !solo;
  }
  return shared;
}

TEST(FftPace, FollowsTheFasterWayAsTheLoadComesAndGoes) {
  FftPace pace;
  // Solo first, then one shared run that wakes the helpers and is not judged.
  EXPECT_EQ(SharedRuns(pace, 2, 100, 1000), 1);
  EXPECT_EQ(pace.sharedMicros, 0);
  EXPECT_EQ(SharedRuns(pace, 1, 100, 300), 1);
  EXPECT_EQ(pace.soloLeft, kFirstSoloStretch);
  // Quiet: shared except one solo run in every kSharedRunsBetweenSoloRuns + 1.
  const int quiet = SharedRuns(pace, 6500, 100, 60);
  EXPECT_GT(quiet, 6500 - 6500 / kSharedRunsBetweenSoloRuns - 5);
  EXPECT_LE(quiet, 6500 - 6500 / (kSharedRunsBetweenSoloRuns + 1) + 1);
  // Loaded: the stretches alone double up to the longest, each followed by
  // a wake-up run and one measured shared run.
  EXPECT_LT(SharedRuns(pace, 5000, 100, 400), 70);
  EXPECT_EQ(pace.soloStretch, kLongestSoloStretch);
  // Quiet again: found at the first probe after the current stretch.
  SharedRuns(pace, kLongestSoloStretch + 2, 100, 60);
  EXPECT_EQ(pace.soloStretch, kFirstSoloStretch);
  EXPECT_GE(SharedRuns(pace, kSharedRunsBetweenSoloRuns, 100, 60), kSharedRunsBetweenSoloRuns - 1);
}

}  // namespace
