#include "modules/xform_peak_stages.h"

#include <gtest/gtest.h>

#include <numbers>
#include <vector>

namespace {

constexpr size_t kFrameValues = 2 * static_cast<size_t>(kPeakFrameBins);

struct Frame {
  std::vector<float> magnitudes = std::vector<float>(kFrameValues, 0.0f);
  std::vector<uint8_t> stages = std::vector<uint8_t>(kFrameValues, 0);
  float& Left(int bin) { return magnitudes[2 * static_cast<size_t>(bin)]; }
  float& Right(int bin) { return magnitudes[2 * static_cast<size_t>(bin) + 1]; }
  uint8_t LeftStage(int bin) const { return stages[2 * static_cast<size_t>(bin)]; }
  uint8_t RightStage(int bin) const { return stages[2 * static_cast<size_t>(bin) + 1]; }
  int Detect() { return DetectPeakStages(magnitudes, stages); }
};

// A triangle of values around `bin` in the left channel: top, top/2, top/4 ...
void Triangle(Frame& frame, int bin, float top, int halfWidth, bool right = false) {
  for (int d = -halfWidth; d <= halfWidth; ++d) {
    const float v = top / static_cast<float>(1 << std::abs(d));
    (right ? frame.Right(bin + d) : frame.Left(bin + d)) = v;
  }
}

}  // namespace

TEST(XformPeakStages, PeaksNeedBothNeighboursOnEachSide) {
  const struct {
    std::vector<float> values;
    std::vector<int> peaks;  // of indices -1 .. 6
  } cases[] = {
      {{1, 2, 5, 5, 2, 1}, {2, 3}},  // a plateau: above one side, equal to the other
      {{1, 5, 5, 5, 1, 0}, {}},      // equal on both sides
      {{6, 2, 5, 1, 0, 0}, {}},      // below the neighbour at distance 2
      {{9, 1, 0, 0, 1, 9}, {}},      // no value has all four neighbours
      {{0, 9, 1, 0, 0, 0}, {}},
  };
  for (const auto& c : cases) {
    std::vector<int> peaks;
    for (int j = -1; j <= 6; ++j)
      if (IsStagePeak(c.values, j)) peaks.push_back(j);
    EXPECT_EQ(peaks, c.peaks) << c.values[0] << " " << c.values[1] << " " << c.values[2];
  }
}

TEST(XformPeakStages, WorkCopiesDrawLinesAndHoldTheEnds) {
  // Left channel values 0..7 at bins 0..7; stages 2 at bins 2 and 5 only.
  std::vector<float> magnitudes(16, 0.0f);
  std::vector<uint8_t> stages(16, 1);
  const float values[8] = {3, 9, 4, 8, 7, 10, 2, 6};
  for (int j = 0; j < 8; ++j) magnitudes[2 * static_cast<size_t>(j)] = values[j];
  stages[4] = 2;
  stages[10] = 2;
  std::vector<float> work(8);
  BuildStageWorkCopy(magnitudes, stages, 0, 2, work);
  const std::vector<float> expected = {4, 4, 4, 6, 8, 10, 10, 10};
  EXPECT_EQ(work, expected);
  // A level no value reaches gives an all-zero copy.
  BuildStageWorkCopy(magnitudes, stages, 0, 3, work);
  EXPECT_EQ(work, std::vector<float>(8, 0.0f));
  // Level 1 keeps every value of the channel.
  BuildStageWorkCopy(magnitudes, stages, 0, 1, work);
  EXPECT_EQ(work, std::vector<float>(values, values + 8));
}

TEST(XformPeakStages, StagesRankPeaksOfPeaks) {
  Frame frame;
  // Three left peaks: 1000 is the loudest, 3000 next, 2000 the smallest.
  Triangle(frame, 1000, 64.0f, 4);
  Triangle(frame, 2000, 16.0f, 4);
  Triangle(frame, 3000, 32.0f, 4);
  frame.Left(100) = 80.0f;      // below the low cut: counted for the 1/1024 limit, then cleared
  frame.Left(5000) = 0.05f;     // at or below 80/1024: never a stage
  frame.Left(65535) = 70.0f;    // the channel's last bin: never a peak
  const int top = frame.Detect();
  EXPECT_EQ(frame.LeftStage(100), 0);
  EXPECT_EQ(frame.LeftStage(5000), 0);
  EXPECT_EQ(frame.LeftStage(999), 1);
  EXPECT_EQ(frame.LeftStage(65535), 1);
  // Round 1 makes the three tops stage 2. In round 2 the runs before 1000
  // and after 3000 hold those values flat to the channel's ends, so neither
  // outer top stands above its neighbour at distance 2, and 2000 lies below
  // the lines to both: no stage 3, the round count ends. Of the three values
  // sharing the top, the first (1000) rises once more.
  EXPECT_EQ(frame.LeftStage(1000), 3);
  EXPECT_EQ(frame.LeftStage(2000), 2);
  EXPECT_EQ(frame.LeftStage(3000), 2);
  EXPECT_EQ(top, 3);
  EXPECT_EQ(frame.RightStage(1000), 0);
}

TEST(XformPeakStages, ACombRisesToItsEnvelopePeak) {
  // 21 teeth whose heights rise to the middle one and fall again: every
  // tooth is a peak (stage 2), and among the teeth only the middle one
  // stands above the lines to its neighbours (stage 3).
  Frame comb;
  for (int i = 0; i <= 20; ++i) Triangle(comb, 1000 + 20 * i, 100.0f - 8.0f * static_cast<float>(std::abs(i - 10)), 3);
  EXPECT_EQ(comb.Detect(), 3);
  for (int i = 0; i <= 20; ++i) EXPECT_EQ(comb.LeftStage(1000 + 20 * i), i == 10 ? 3 : 2) << i;
  EXPECT_EQ(comb.LeftStage(1001), 1);
}

TEST(XformPeakStages, APairAtTheTopIsSeparated) {
  // Left and right share one peak: only these two reach the top, so only
  // the left one rises.
  Frame pair;
  Triangle(pair, 1000, 64.0f, 4);
  Triangle(pair, 1000, 64.0f, 4, true);
  const int pairTop = pair.Detect();
  EXPECT_EQ(pair.LeftStage(1000), pairTop);
  EXPECT_EQ(pair.RightStage(1000), pairTop - 1);

  // Two separate bins at the same top: the lower bin rises.
  Frame two;
  for (int bin : {1000, 1100, 1200}) Triangle(two, bin, bin == 1100 ? 16.0f : 64.0f, 4);
  for (int bin : {1000, 1100, 1200}) Triangle(two, bin, bin == 1100 ? 16.0f : 64.0f, 4, true);
  const int twoTop = two.Detect();
  EXPECT_EQ(two.LeftStage(1000), twoTop);
  EXPECT_EQ(two.RightStage(1000), twoTop);  // partner rises too: others share the level below
  EXPECT_EQ(two.LeftStage(1200), twoTop - 1);
  EXPECT_EQ(two.RightStage(1200), twoTop - 1);

  // An empty frame has no stages at all.
  Frame empty;
  EXPECT_EQ(empty.Detect(), 0);
  for (uint8_t s : empty.stages) ASSERT_EQ(s, 0);
}

TEST(XformPeakStages, StereoLinkMovesMagnitudeTowardsTheLouderChannel) {
  std::vector<float> magnitudes = {4, 2, 2, 4, 3, 3, 5, 1, 0, 7, 6, 2};
  const float pi = std::numbers::pi_v<float>;
  LinkStereoPhase(magnitudes, std::vector<float>{pi / 2, -3 * pi / 2, pi, 0.0f, 1.0f, pi});
  // a = pi/2: R / 4 moves to the left; |d| = 3 pi / 2 folds to pi/2 with R
  // louder; equal magnitudes, no phase difference and a zero magnitude stay;
  // a = pi: half of R.
  const std::vector<float> linked = {4.5f, 1.5f, 1.5f, 4.5f, 3, 3, 5, 1, 0, 7, 7, 1};
  for (size_t i = 0; i < linked.size(); ++i) EXPECT_FLOAT_EQ(magnitudes[i], linked[i]) << i;
}
