#include "modules/xform_analysis.h"
#include "modules/xform_analysis_source.h"
#include "modules/xform_peak_stages.h"

#include "module_fixture.h"
#include "wavetable/xform_fixture.h"

using namespace xform_fixture;

namespace {

struct Pair {
  std::vector<float> left, right;
};

// Noise with two drifting partials; the right channel differs from the left.
Pair RichSource(size_t n) {
  Pair pair{std::vector<float>(n), std::vector<float>(n)};
  SeedRandom(1234);
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(n);
    const double a = std::sin(2.0 * std::numbers::pi * 440.0 * static_cast<double>(i) / 44100.0);
    const double b = std::sin(2.0 * std::numbers::pi * 3100.0 * static_cast<double>(i) / 44100.0);
    const double noise = RandomNext() / 16383.5 - 1.0;
    pair.left[i] = static_cast<float>(0.5 * (1 - t) * a + 0.3 * t * b + 0.05 * noise);
    pair.right[i] = static_cast<float>(0.4 * a + 0.2 * (1 - t) * b + 0.05 * noise);
  }
  return pair;
}

constexpr size_t kFrameValues = 2 * static_cast<size_t>(kPeakFrameBins);

struct Frame {
  std::vector<float> magnitudes = std::vector<float>(kFrameValues, 0.0f);
  std::vector<uint8_t> stages = std::vector<uint8_t>(kFrameValues, 0);
  float& At(int bin, int channel = 0) { return magnitudes[2 * static_cast<size_t>(bin) + static_cast<size_t>(channel)]; }
  int Stage(int bin, int channel = 0) const { return stages[2 * static_cast<size_t>(bin) + static_cast<size_t>(channel)]; }
  int Detect() { return DetectPeakStages(magnitudes, stages); }
  void Triangle(int bin, float top, int halfWidth, int channel = 0) {
    for (int d = -halfWidth; d <= halfWidth; ++d) At(bin + d, channel) = top / static_cast<float>(1 << std::abs(d));
  }
};

// A two-lane session and its workspace.
class XformAnalysisTest : public ::testing::Test {
 protected:
  Session session;
  XformWorkspace& workspace = session.workspace;
};

}  // namespace

TEST_F(XformAnalysisTest, WindowHopAndAPureSineReachingTheTopStageAndLinkingTheChannels) {
  // {range, window, hop}: 33 frames of a power-of-two window or the whole step, inside the range.
  const std::tuple<int64_t, int32_t, int32_t> layouts[] = {
      {33 * 500, 1024, 483},              // 500 - ceil(524 / 32)
      {33 * 200000, 131072, 202154},      // 200000 + ceil(68928 / 32)
      {33 * 5000 + 7, 5000, 5000}, {4097, 1024, 124 - 29}};  // the smallest range: W0 = 124
  for (const auto& [range, window, hop] : layouts)
    EXPECT_EQ(std::pair(XformFrameLayoutFor(range).window, XformFrameLayoutFor(range).hop), std::pair(window, hop)) << range;
  for (int64_t n : {4097LL, 20000LL, 33LL * 500, 33LL * 1024, 33LL * 131072, 33LL * 131073, 33LL * 200000, 3969000LL}) {
    const auto layout = XformFrameLayoutFor(n);
    EXPECT_LE(32 * static_cast<int64_t>(layout.hop) + layout.window, n) << n;
  }
  EXPECT_EQ(XformFrameLayoutFor(100).hop, 0);  // too short for 33 frames: no negative hop

  // Right a quarter period ahead, half as loud: the link turns 1/2 into (3/4 x 1/2) / (1 + 1/8) = 1/3.
  const Pair pair{Sine(33 * 4096, 1000.0 / 44100, 0.8), Sine(33 * 4096, 1000.0 / 44100, 0.4, std::numbers::pi / 2)};
  XformAnalysis record;
  ASSERT_EQ(XformFrameAnalysis(pair.left, pair.right, record, session.workspace.engine, {}), kMsgDone);
  EXPECT_EQ(record.layout.window, 4096);
  ASSERT_GE(record.stageCount, 2);
  EXPECT_NEAR(record.controls.peakBoost, 0.5 / (record.stageCount - 1), 1e-12);
  for (int f = 0; f < kXformFrameCount; ++f) {
    const auto magnitudes = FrameMagnitudes(record, f);
    size_t bin = 0;
    for (size_t j = 0; j < kXformBinCount; ++j) bin = magnitudes[2 * j] > magnitudes[2 * bin] ? j : bin;
    EXPECT_NEAR(static_cast<double>(bin), 1000.0 * 131072 / 44100, 1.0) << f;
    EXPECT_EQ(FrameStages(record, f)[2 * bin], record.stageCount) << f;
    EXPECT_EQ(record.frameTops[static_cast<size_t>(f)], record.stageCount) << f;
    EXPECT_NEAR(magnitudes[2 * bin + 1] / magnitudes[2 * bin], 1.0 / 3.0, 0.01) << f;
  }
}

TEST_F(XformAnalysisTest, TheAnalysedTableIsNormalisedRepeatableAndFollowsTheSliders) {
  const Pair source = RichSource(33 * 6000);
  XformAnalysis record;
  std::vector<std::string> labels;
  const ProgressHooks hook{[&](const char* label, int64_t, int64_t) {
    if (labels.empty() || labels.back() != label) labels.emplace_back(label);
    return false;
  }};
  ASSERT_EQ(RunXformAnalysis(source.left, source.right, record, workspace.table, workspace.engine, hook), kMsgDone);
  EXPECT_EQ(labels, (std::vector<std::string>{"ANALYSIS PROGRESS: ", "ADJUSTMENT PROGRESS: ", "SYNTHESIS PROGRESS: "}));
  ASSERT_EQ(record.layerGains.size(), static_cast<size_t>(record.stageCount));
  EXPECT_EQ(record.previewStretch, 16);  // 4,325,376 / 198,000 = 21.8 = 2^4.45
  XformTable& table = workspace.table;
  EXPECT_EQ(XformUsedSlices(table), 33);
  EXPECT_FLOAT_EQ(*std::ranges::max_element(table.slicePeaks), 1.0f);
  for (int s = 0; s < kSliceCount; ++s)
    for (int k = 0; k < kXformLowCutBin; ++k) ASSERT_EQ(SpectrumSlice(table, s)[2 * static_cast<size_t>(k)], 0.0f);

  const std::vector<float> first = table.noise;
  ASSERT_EQ(RebuildFilterSpectra(record, table, workspace.engine, {}), kMsgDone);
  EXPECT_TRUE(first == table.noise);  // the same controls give the same table

  // Full smoothness draws every bin's course across the slices closer to a line.
  auto roughness = [&](const XformTable& t) {
    double sum = 0.0;
    for (int s = 1; s + 1 < kSliceCount; ++s)
      for (size_t i = 2 * 400; i < 2 * 5000; ++i)
        sum += std::fabs(2.0 * SpectrumSlice(t, s)[i] - SpectrumSlice(t, s - 1)[i] - SpectrumSlice(t, s + 1)[i]);
    return sum;
  };
  const double rough = roughness(table);
  record.controls.smoothness = 1.0;
  ASSERT_EQ(RebuildFilterSpectra(record, table, workspace.engine, {}), kMsgDone);
  EXPECT_LT(roughness(table), 0.8 * rough);

  // Full peak boost keeps only the upper layers: fewer bins carry energy.
  auto occupied = [](const XformTable& t) { return std::ranges::count_if(t.spectrum, [](float v) { return v > 0.0f; }); };
  record.controls.smoothness = 0.0;
  record.controls.peakBoost = 0.0;
  ASSERT_EQ(RebuildFilterSpectra(record, table, workspace.engine, {}), kMsgDone);
  const auto wide = occupied(table);
  record.controls.peakBoost = 1.0;
  ASSERT_EQ(RebuildFilterSpectra(record, table, workspace.engine, {}), kMsgDone);
  EXPECT_LT(occupied(table), wide / 4);
  EXPECT_FLOAT_EQ(*std::ranges::max_element(table.slicePeaks), 1.0f);

  // "fAPPLY" keeps the preview's speed without an undo step; "fCANCEL" leaves an empty table.
  EXPECT_EQ(DoublePreviewStretch(record.previewStretch), kMsgNone);
  ApplyXformAnalysis(workspace, record, "SAMPLE.WAV");
  EXPECT_EQ(std::pair(table.speed, UndoUsedEntries(workspace.undo)), std::pair(32, 0));
  DiscardXformAnalysis(workspace);
  EXPECT_EQ(XformUsedSlices(table), 0);
  EXPECT_TRUE(table.ramName.empty());
}

TEST_F(XformAnalysisTest, OnlyTheLatestSliderValueIsCarriedThrough) {
  const Pair source = RichSource(33 * 3000);
  XformAnalysis record;
  const ProgressHooks stop{[](const char* label, int64_t done, int64_t) {
    return std::string_view(label) == "ADJUSTMENT PROGRESS: " && done >= 3;
  }};
  EXPECT_EQ(RunXformAnalysis(source.left, source.right, record, workspace.table, workspace.engine, stop), kMsgAborted);
  EXPECT_TRUE(record.layerGains.empty());
  // The channels swapped, so that the right one makes the loudest noise.
  ASSERT_EQ(RunXformAnalysis(source.right, source.left, record, workspace.table, workspace.engine, {}), kMsgDone);
  // Layer 0's gain brings the loudest noise of its frames (channels fully linked) to full scale.
  std::vector<float> layer(kXformSliceSpectrumFloats), noise(2 * kXformSliceLength);
  float loudest = 0.0f;
  for (int f = 0; f < kXformFrameCount; ++f) {
    const auto magnitudes = FrameMagnitudes(record, f);
    const auto stages = FrameStages(record, f);
    for (size_t at = 0; at < layer.size(); ++at)
      layer[at] = LayerValue(magnitudes[at], stages[at], stages[at ^ 1u], 0, kStereoLinkForGains);
    loudest = std::max(loudest, SynthesizeNoise(layer, workspace.engine, noise, workspace.engine.lanes.front()));
  }
  EXPECT_NEAR(record.layerGains[0] * loudest, 1.0, 1e-4);

  XformControlFeed feed;
  feed.latest = record.controls;
  feed.latest.smoothness = 0.2;
  int changes = 0;
  int callsAfterLastChange = 0;
  const ProgressHooks dragging{[&](const char*, int64_t done, int64_t) {
    ++callsAfterLastChange;
    if (changes < 2 && done >= 2) {
      feed.latest.smoothness += 0.3;
      feed.changed = true;
      ++changes;
      callsAfterLastChange = 0;
    }
    return false;
  }};
  ASSERT_EQ(RebuildForLatestControls(record, feed, workspace.table, workspace.engine, dragging), kMsgDone);
  EXPECT_EQ(changes, 2);
  EXPECT_GE(callsAfterLastChange, 2);  // the last rebuild ran through to its full bar
  EXPECT_NEAR(record.controls.smoothness, 0.8, 1e-12);
  const std::vector<float> dragged = workspace.table.noise;
  ASSERT_EQ(RebuildFilterSpectra(record, workspace.table, workspace.engine, {}), kMsgDone);
  EXPECT_TRUE(dragged == workspace.table.noise);
  feed.changed = false;
  const ProgressHooks cancel{[](const char*, int64_t, int64_t) { return true; }};
  EXPECT_EQ(RebuildForLatestControls(record, feed, workspace.table, workspace.engine, cancel), kMsgAborted);

  // Between layers 0 and 1 every bin blends the two by the boost's fraction; one gain for the table.
  ASSERT_GE(record.stageCount, 3);
  record.controls = {};
  record.controls.smoothness = 0.0;
  record.controls.stereoLink = 0.5;
  record.controls.peakBoost = 0.5 / (record.stageCount - 2 + kTopLayerReach);
  ASSERT_EQ(RebuildFilterSpectra(record, workspace.table, workspace.engine, {}), kMsgDone);
  const double fraction = (record.stageCount - 2 + kTopLayerReach) * record.controls.peakBoost;
  std::vector<double> expected, actual;
  for (int f = 0; f < kXformFrameCount; f += 8) {
    const auto magnitudes = FrameMagnitudes(record, f);
    const auto stages = FrameStages(record, f);
    const auto spectrum = SpectrumSlice(workspace.table, f);
    for (size_t at = 2 * kXformLowCutBin; at < 2 * static_cast<size_t>(kXformBinCount); ++at) {
      const double low = record.layerGains[0] * LayerValue(magnitudes[at], stages[at], stages[at ^ 1u], 0, 0.5);
      const double high = record.layerGains[1] * LayerValue(magnitudes[at], stages[at], stages[at ^ 1u], 1, 0.5);
      expected.push_back(low + (high - low) * fraction);
      actual.push_back(spectrum[at]);
    }
  }
  const size_t top = static_cast<size_t>(std::max_element(expected.begin(), expected.end()) - expected.begin());
  ASSERT_GT(expected[top], 0.0);
  const double scale = actual[top] / expected[top];
  for (size_t i = 0; i < expected.size(); ++i) ASSERT_NEAR(actual[i], scale * expected[i], 1e-5 * actual[top]) << i;
}

TEST_F(XformAnalysisTest, SilenceAndLowSinesGiveASilentTable) {
  // 40 Hz needs 120,000-sample frames so that nothing leaks past the 50 Hz cut.
  for (int round = 0; round < 2; ++round) {
    const Pair source = round == 0 ? Pair{std::vector<float>(40000, 0.0f), std::vector<float>(40000, 0.0f)}
                                   : Pair{Sine(33 * 120000, 40.0 / 44100), Sine(33 * 120000, 40.0 / 44100)};
    XformAnalysis record;
    ASSERT_EQ(RunXformAnalysis(source.left, source.right, record, workspace.table, workspace.engine, {}),
              kMsgDone)
        << round;
    EXPECT_GE(record.stageCount, 2);
    EXPECT_TRUE(AllZero(record.layerGains) && AllZero(workspace.table.noise)) << round;
    EXPECT_EQ(XformUsedSlices(workspace.table), 0) << round;
    EXPECT_TRUE(AllFinite(workspace.table.spectrum)) << round;
  }
  XformAnalysis empty;
  EXPECT_EQ(XformFrameAnalysis({}, {}, empty, workspace.engine, {}), kMsgNoData);
  EXPECT_EQ(RebuildFilterSpectra(empty, workspace.table, workspace.engine, {}), kMsgNoData);
}

TEST(XformPeakStages, PeaksNeedBothNeighboursOnEachSideAndWorkCopiesDrawLines) {
  // {values, peaks among the indices -1 .. 6}
  const std::pair<std::vector<float>, std::vector<int>> cases[] = {
      {{1, 2, 5, 5, 2, 1}, {2, 3}},  // a plateau: above one side, equal to the other
      {{1, 5, 5, 5, 1, 0}, {}},      // equal on both sides
      {{6, 2, 5, 1, 0, 0}, {}},      // below the neighbour at distance 2
      {{9, 1, 0, 0, 1, 9}, {}},      // no value has all four neighbours
      {{0, 9, 1, 0, 0, 0}, {}},
  };
  for (const auto& [values, expected] : cases) {
    std::vector<int> peaks;
    for (int j = -1; j <= 6; ++j)
      if (IsStagePeak(values, j)) peaks.push_back(j);
    EXPECT_EQ(peaks, expected) << values[0] << " " << values[1] << " " << values[2];
  }

  // Left channel values at bins 0..7; stage 2 at bins 2 and 5 only.
  const std::vector<float> values = {3, 9, 4, 8, 7, 10, 2, 6};
  std::vector<float> magnitudes(16, 0.0f), work(8);
  std::vector<uint8_t> stages(16, 1);
  for (size_t j = 0; j < 8; ++j) magnitudes[2 * j] = values[j];
  stages[4] = stages[10] = 2;
  // Level 2 draws lines between its values, holding the ends; a level no value reaches gives zeros.
  const std::pair<int, std::vector<float>> copies[] = {
      {2, {4, 4, 4, 6, 8, 10, 10, 10}}, {3, std::vector<float>(8, 0.0f)}, {1, values}};
  for (const auto& [level, copy] : copies) {
    BuildStageWorkCopy(magnitudes, stages, 0, level, work);
    EXPECT_EQ(work, copy) << level;
  }
}

TEST(XformPeakStages, StagesRankPeaksOfPeaksAndSeparateATopPairThenTheChannelsAreLinked) {
  Frame frame;
  frame.Triangle(1000, 64.0f, 4);
  frame.Triangle(2000, 16.0f, 4);
  frame.Triangle(3000, 32.0f, 4);
  frame.At(100) = 80.0f;    // below the low cut: counted for the 1/1024 limit, then cleared
  frame.At(5000) = 0.05f;   // at or below 80/1024: never a stage
  frame.At(65535) = 70.0f;  // the channel's last bin: never a peak
  EXPECT_EQ(frame.Detect(), 3);
  // Round 1 makes the tops stage 2; round 2 finds no stage 3 (flat ends, 2000 below the lines),
  // and of the values sharing the top the first (1000) rises once more.
  const std::pair<int, int> stages[] = {{100, 0}, {5000, 0}, {999, 1}, {65535, 1}, {1000, 3}, {2000, 2}, {3000, 2}};
  for (const auto& [bin, stage] : stages) EXPECT_EQ(frame.Stage(bin), stage) << bin;
  EXPECT_EQ(frame.Stage(1000, 1), 0);

  // A comb rising to its middle tooth: every tooth stage 2, the middle one stage 3.
  Frame comb;
  for (int i = 0; i <= 20; ++i) comb.Triangle(1000 + 20 * i, 100.0f - 8.0f * static_cast<float>(std::abs(i - 10)), 3);
  EXPECT_EQ(comb.Detect(), 3);
  for (int i = 0; i <= 20; ++i) EXPECT_EQ(comb.Stage(1000 + 20 * i), i == 10 ? 3 : 2) << i;
  EXPECT_EQ(comb.Stage(1001), 1);

  // Left and right share the only peak: the left one rises.
  Frame pair;
  for (int channel : {0, 1}) pair.Triangle(1000, 64.0f, 4, channel);
  const int pairTop = pair.Detect();
  EXPECT_EQ(std::pair(pair.Stage(1000), pair.Stage(1000, 1)), std::pair(pairTop, pairTop - 1));

  // Two bins at the same top: the lower bin and its partner rise.
  Frame two;
  for (int channel : {0, 1})
    for (int bin : {1000, 1100, 1200}) two.Triangle(bin, bin == 1100 ? 16.0f : 64.0f, 4, channel);
  const int twoTop = two.Detect();
  EXPECT_EQ(std::tuple(two.Stage(1000), two.Stage(1000, 1), two.Stage(1200), two.Stage(1200, 1)),
            std::tuple(twoTop, twoTop, twoTop - 1, twoTop - 1));

  Frame empty;
  EXPECT_EQ(empty.Detect(), 0);
  EXPECT_EQ(std::ranges::count(empty.stages, 0), std::ssize(empty.stages));

  std::vector<float> magnitudes = {4, 2, 2, 4, 3, 3, 5, 1, 0, 7, 6, 2};
  const float pi = std::numbers::pi_v<float>;
  LinkStereoPhase(magnitudes, std::vector<float>{pi / 2, -3 * pi / 2, pi, 0.0f, 1.0f, pi});
  // pi/2: R / 4 moves left; 3 pi / 2 folds to pi/2; equal, in-phase and zero stay; pi: half of R.
  const std::vector<float> linked = {4.5f, 1.5f, 1.5f, 4.5f, 3, 3, 5, 1, 0, 7, 7, 1};
  for (size_t i = 0; i < linked.size(); ++i) EXPECT_FLOAT_EQ(magnitudes[i], linked[i]) << i;
}
