#include "modules/analysis_range.h"
#include "modules/xform_analysis_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "module_fixture.h"

namespace {

SampleChannels Mono(const std::vector<float>& samples) {
  return {samples, samples, static_cast<int32_t>(samples.size()), 1};
}

SampleChannels Stereo(const std::vector<float>& left, const std::vector<float>& right) {
  return {left, right, static_cast<int32_t>(left.size()), 2};
}

}  // namespace

TEST(AnalysisRange, ShortAudiblePartStillGivesTheMinimumRange) {
  std::vector<float> samples(20000, 0.0f);
  for (int i = 1000; i < 2000; ++i) samples[static_cast<size_t>(i)] = 0.5f;
  AnalysisRange range;
  ASSERT_EQ(OpenAnalysisRange(range, Mono(samples)), kMsgNone);
  EXPECT_EQ(range.trimmedFirst, 1000);
  EXPECT_EQ(range.Used(), 4097);
  EXPECT_EQ(range.start, 0);
  EXPECT_EQ(range.end, 4097);
  EXPECT_EQ(range.RangeLength(), 4097);
  EXPECT_EQ(range.signal[0], 0.5f);
  EXPECT_EQ(range.signal[999], 0.5f);
  EXPECT_EQ(range.signal[1000], 0.0f);
}

TEST(AnalysisRange, SilentOrLateSamplesKeepFullRangeInsideTheFile) {
  // Silent: the search finds nothing and must still leave 4,097 samples.
  std::vector<float> silent(10000, 0.0f);
  AnalysisRange range;
  ASSERT_EQ(OpenAnalysisRange(range, Mono(silent)), kMsgNone);
  EXPECT_EQ(range.trimmedFirst, 10000 - 4097);
  EXPECT_EQ(range.Used(), 4097);
  EXPECT_LE(range.trimmedFirst + range.Used(), 10000);

  // Audible only in the last 4,096 samples.
  std::vector<float> late(10000, 0.0f);
  for (int i = 10000 - 4096; i < 10000; ++i) late[static_cast<size_t>(i)] = 0.25f;
  ASSERT_EQ(OpenAnalysisRange(range, Mono(late)), kMsgNone);
  EXPECT_EQ(range.trimmedFirst, 10000 - 4097);
  EXPECT_EQ(range.Used(), 4097);
  EXPECT_EQ(range.signal[0], 0.0f);
  EXPECT_EQ(range.signal[4096], 0.25f);

  // Exactly the minimum is accepted, one sample less refused.
  std::vector<float> minimum(4097, 0.5f);
  ASSERT_EQ(OpenAnalysisRange(range, Mono(minimum)), kMsgNone);
  EXPECT_EQ(range.Used(), 4097);
  std::vector<float> tooShort(4096, 0.5f);
  EXPECT_EQ(OpenAnalysisRange(range, Mono(tooShort)), kMsgMinimumAnalysisRange);
  EXPECT_TRUE(range.signal.empty());
  EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseStart), kMsgNoData);
}

TEST(AnalysisRange, TrimKeepsTheAudibleStretchWithItsTail) {
  std::vector<float> samples(30000, 0.0f);
  for (int i = 5000; i < 15000; ++i) samples[static_cast<size_t>(i)] = (i % 2) ? 0.3f : -0.3f;
  const TrimResult trim = TrimAudible(samples);
  EXPECT_EQ(trim.first, 5000);
  EXPECT_EQ(trim.used, 10000);
  // Values at exactly 1/254 do not count as audible.
  std::vector<float> edge(8000, kAudibleLevel);
  edge[6000] = 0.01f;
  // Beyond the first n - 4097 samples nothing is searched.
  EXPECT_EQ(TrimAudible(edge).first, 8000 - 4097);
  EXPECT_EQ(TrimAudible(edge).used, 4097);
}

TEST(AnalysisRange, SourceModesAndTheCancellingFallback) {
  const std::vector<float> left = Sine(8000, 0.01, 0.8);
  std::vector<float> right = Sine(8000, 0.02, 0.4);
  std::vector<float> mix = BuildWorkingSignal(Stereo(left, right), SourceMode::StereoToMono);
  EXPECT_FLOAT_EQ(mix[123], (left[123] + right[123]) / 2.0f);
  EXPECT_EQ(BuildWorkingSignal(Stereo(left, right), SourceMode::LeftOnly), left);
  EXPECT_EQ(BuildWorkingSignal(Stereo(left, right), SourceMode::RightOnly), right);

  // Exact opposites cancel: the left channel is analysed instead.
  std::vector<float> opposite(left.size());
  for (size_t i = 0; i < left.size(); ++i) opposite[i] = -left[i];
  EXPECT_EQ(BuildWorkingSignal(Stereo(left, opposite), SourceMode::StereoToMono), left);
  AnalysisRange range;
  ASSERT_EQ(OpenAnalysisRange(range, Stereo(left, opposite)), kMsgNone);
  EXPECT_TRUE(range.stereoFile);
  EXPECT_EQ(range.signal[100], left[100 + static_cast<size_t>(range.trimmedFirst)]);

  // "SOURCE" cycles the three modes and rebuilds the signal; mono files have none.
  ASSERT_EQ(OpenAnalysisRange(range, Stereo(left, right)), kMsgNone);
  CycleAnalysisSource(range, Stereo(left, right));
  EXPECT_EQ(range.source, SourceMode::LeftOnly);
  EXPECT_STREQ(SourceModeText(range.source), "LEFT ONLY");
  CycleAnalysisSource(range, Stereo(left, right));
  EXPECT_EQ(range.source, SourceMode::RightOnly);
  EXPECT_EQ(range.signal[10], right[10 + static_cast<size_t>(range.trimmedFirst)]);
  CycleAnalysisSource(range, Stereo(left, right));
  EXPECT_EQ(range.source, SourceMode::StereoToMono);
  ASSERT_EQ(OpenAnalysisRange(range, Mono(left)), kMsgNone);
  CycleAnalysisSource(range, Mono(left));
  EXPECT_EQ(range.source, SourceMode::StereoToMono);

  // Non-finite samples from a file never reach the analysis.
  std::vector<float> broken = left;
  broken[50] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(BuildWorkingSignal(Mono(broken), SourceMode::LeftOnly)[50], 0.0f);
}

TEST(AnalysisRange, StartThresholdButtonsAndLimits) {
  // Quiet ramp up, then full level: the start moves as the threshold rises.
  std::vector<float> samples(20000, 1.0f);
  for (int i = 0; i < 1000; ++i) samples[static_cast<size_t>(i)] = 0.005f + i * 0.0005f;
  AnalysisRange range;
  ASSERT_EQ(OpenAnalysisRange(range, Mono(samples)), kMsgNone);
  ASSERT_EQ(range.trimmedFirst, 0);
  for (RangeButton button : {RangeButton::LowerStart, RangeButton::ResetStart})
    EXPECT_EQ(PressRangeButton(range, button), kMsgMinValue);
  EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseStart), kMsgNone);
  EXPECT_FLOAT_EQ(range.startThreshold, 1.0f / 64.0f);
  EXPECT_EQ(ShownThreshold(range.startThreshold), 512);
  // First sample not below 1/64: 0.005 + i 0.0005 >= 0.015625 from i = 22.
  EXPECT_EQ(range.start, 22);
  EXPECT_EQ(PressRangeButton(range, RangeButton::LowerStart), kMsgNone);
  EXPECT_EQ(range.startThreshold, 0.0f);
  EXPECT_EQ(range.start, 0);
  for (int press = 0; press < 64; ++press) ASSERT_EQ(PressRangeButton(range, RangeButton::RaiseStart), kMsgNone);
  EXPECT_EQ(range.startThreshold, 1.0f);
  EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseStart), kMsgMaxValue);
  EXPECT_EQ(range.startThreshold, 1.0f);
  EXPECT_EQ(range.start, 1000);  // the ramp stays below 1.0; the plateau is not below it
  EXPECT_EQ(PressRangeButton(range, RangeButton::ResetStart), kMsgNone);
  EXPECT_EQ(range.start, 0);
  EXPECT_EQ(range.startThreshold, 0.0f);
}

TEST(AnalysisRange, EndThresholdAndTheMinimumRange) {
  std::vector<float> samples(6000, 0.001f);
  for (int i = 0; i < 5000; ++i) samples[static_cast<size_t>(i)] = 0.8f;
  samples[5500] = 0.5f;  // keeps the trim from cutting the quiet tail
  AnalysisRange range;
  ASSERT_EQ(OpenAnalysisRange(range, Mono(samples)), kMsgNone);
  ASSERT_EQ(range.Used(), 5501);
  EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseEnd), kMsgNone);
  EXPECT_EQ(range.end, 5501);  // the last sample, 0.5, is above 1/64
  for (int press = 0; press < 32; ++press) PressRangeButton(range, RangeButton::RaiseEnd);
  EXPECT_EQ(range.end, 5000);
  EXPECT_EQ(range.EndShift(), -501);
  // The start cannot eat into the last 4,097 samples of the range.
  samples.assign(9000, 0.1f);
  for (int i = 8000; i < 9000; ++i) samples[static_cast<size_t>(i)] = 0.9f;
  ASSERT_EQ(OpenAnalysisRange(range, Mono(samples)), kMsgNone);
  MessageCode last = kMsgNone;
  for (int press = 0; press < 40 && last == kMsgNone; ++press) last = PressRangeButton(range, RangeButton::RaiseStart);
  EXPECT_EQ(range.start, 9000 - 4097);
  EXPECT_EQ(range.RangeLength(), 4097);
  EXPECT_EQ(last, kMsgMinimumAnalysisRange);
  const float threshold = range.startThreshold;
  EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseEnd), kMsgMinimumAnalysisRange);
  EXPECT_EQ(range.startThreshold, threshold);
  for (RangeButton button : {RangeButton::ResetEnd, RangeButton::LowerEnd})
    EXPECT_EQ(PressRangeButton(range, button), kMsgMinValue);
}

// The XFORM analysis keeps both channels of the source over the shared range.
TEST(XformAnalysisSource, ModesMixTheChannels) {
  const std::pair<XformSourceMode, const char*> modes[] = {
      {XformSourceMode::Stereo, "STEREO"}, {XformSourceMode::StereoToMono, "STEREO->MONO"},
      {XformSourceMode::LeftOnly, "LEFT ONLY"}, {XformSourceMode::RightOnly, "RIGHT ONLY"}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(XformSourceModeName(modes[i].first), modes[i].second);
    EXPECT_EQ(NextXformSourceMode(modes[i].first), modes[(i + 1) % 4].first);
  }

  const std::vector<float> left = {0.5f, -0.25f, 0.125f, NAN};
  const std::vector<float> right = {0.1f, 0.25f, -0.5f, 0.0f};
  std::vector<float> l, r;
  MixSourceChannels(Stereo(left, right), XformSourceMode::Stereo, l, r);
  EXPECT_EQ(l, (std::vector<float>{0.5f, -0.25f, 0.125f, 0.0f}));  // not a number: 0
  EXPECT_EQ(r, right);
  MixSourceChannels(Stereo(left, right), XformSourceMode::StereoToMono, l, r);
  EXPECT_FLOAT_EQ(l[0], 0.3f);
  EXPECT_FLOAT_EQ(l[1], 0.0f);
  EXPECT_EQ(l, r);
  MixSourceChannels(Stereo(left, right), XformSourceMode::LeftOnly, l, r);
  EXPECT_EQ(l[2], 0.125f);
  EXPECT_EQ(l, r);
  MixSourceChannels(Stereo(left, right), XformSourceMode::RightOnly, l, r);
  EXPECT_EQ(l, right);
  EXPECT_EQ(r, right);
  // A mono file feeds both, whatever the mode.
  MixSourceChannels(Mono(right), XformSourceMode::Stereo, l, r);
  EXPECT_EQ(l, right);
  EXPECT_EQ(r, right);

  // Opposite channels cancel in the mix: the left channel is taken instead.
  const std::vector<float> tone = {0.5f, -0.25f, 0.125f, 0.0f};
  const std::vector<float> opposite = {-0.5f, 0.25f, -0.125f, 0.0f};
  MixSourceChannels(Stereo(tone, opposite), XformSourceMode::StereoToMono, l, r);
  EXPECT_EQ(l, tone);
  EXPECT_EQ(r, tone);
}

TEST(XformAnalysisSource, ThePairIsNormalisedTogetherThenTrimmedByEitherChannel) {
  // Left holds the first sound, right the later one, at different levels.
  std::vector<float> left = std::vector<float>(30000, 0.0f);
  std::vector<float> right = std::vector<float>(30000, 0.0f);
  for (int i = 2000; i < 6000; ++i) left[static_cast<size_t>(i)] = 0.1f;
  for (int i = 9000; i < 15000; ++i) right[static_cast<size_t>(i)] = -0.4f;
  // 0.002 is below the audible level (1/254) before normalising, above it after (x 2.5).
  for (int i = 15000; i < 16000; ++i) right[static_cast<size_t>(i)] = 0.002f;
  XformAnalysisSource source;
  ASSERT_EQ(BuildXformAnalysisSource(Stereo(left, right), XformSourceMode::Stereo, source), kMsgNone);
  EXPECT_TRUE(source.range.stereoFile);
  EXPECT_EQ(source.range.fileLength, 30000);
  EXPECT_EQ(source.range.trimmedFirst, 2000);
  EXPECT_EQ(source.range.Used(), 14000);
  ASSERT_EQ(source.left.size(), 14000u);
  EXPECT_FLOAT_EQ(source.left[0], 0.25f);    // one gain for both: 1 / 0.4
  EXPECT_FLOAT_EQ(source.right[7000], -1.0f);
  EXPECT_FLOAT_EQ(source.range.signal[0], 0.25f);
  EXPECT_FLOAT_EQ(source.range.signal[7000], 1.0f);

  // The threshold buttons of the shared range move S and E over the level.
  EXPECT_EQ(PressRangeButton(source.range, RangeButton::RaiseStart), kMsgNone);
  EXPECT_EQ(source.range.start, 0);  // 0.25 is above 1/64
  for (int i = 0; i < 20; ++i) PressRangeButton(source.range, RangeButton::RaiseStart);
  EXPECT_EQ(source.range.start, 7000);  // the right channel's loud part
  EXPECT_EQ(RangeOf(source, false).size(), 7000u);
  EXPECT_FLOAT_EQ(RangeOf(source, true)[0], -1.0f);

  // "SOURCE" steps through the modes and rebuilds the pair.
  EXPECT_EQ(CycleXformSource(source, Stereo(left, right)), kMsgNone);
  EXPECT_EQ(source.mode, XformSourceMode::StereoToMono);
  EXPECT_EQ(source.range.start, 0);
  EXPECT_EQ(source.left, source.right);
}

TEST(XformAnalysisSource, ShortAndSilentFiles) {
  XformAnalysisSource source;
  const std::vector<float> shortFile = std::vector<float>(4096, 0.5f);
  EXPECT_EQ(BuildXformAnalysisSource(Mono(shortFile), XformSourceMode::LeftOnly, source), kMsgMinimumAnalysisRange);
  EXPECT_TRUE(source.left.empty());
  EXPECT_TRUE(RangeOf(source, true).empty());

  const std::vector<float> silent = std::vector<float>(9000, 0.0f);
  ASSERT_EQ(BuildXformAnalysisSource(Stereo(silent, silent), XformSourceMode::Stereo, source), kMsgNone);
  EXPECT_EQ(source.range.Used(), 4097);
  EXPECT_LE(source.range.trimmedFirst + 4097, 9000);
  for (float v : source.left) ASSERT_EQ(v, 0.0f);
  EXPECT_FALSE(std::isnan(source.range.signal[0]));

  // A mono file has no source choice.
  ASSERT_EQ(BuildXformAnalysisSource(Mono(std::vector<float>(5000, 0.5f)), XformSourceMode::RightOnly, source), kMsgNone);
  EXPECT_FALSE(source.range.stereoFile);
  EXPECT_EQ(source.mode, XformSourceMode::Stereo);
  EXPECT_EQ(CycleXformSource(source, Mono(std::vector<float>(5000, 0.5f))), kMsgNone);
  EXPECT_EQ(source.mode, XformSourceMode::Stereo);
}

TEST(XformAnalysisSource, PreviewStretch) {
  // 4,325,376 samples of preview over the range, as a power of two in 1..512.
  const std::pair<int64_t, int32_t> cases[] = {{4325376, 1}, {33 * 131072 * 3, 1}, {8448, 512}, {4097, 512},
                                               {100000, 32}, {200000, 16}};  // log2 43.25 = 5.43; 21.6 = 4.43
  for (const auto& [length, stretch] : cases) EXPECT_EQ(PreviewStretchFor(length), stretch) << length;
  int32_t stretch = 512;
  EXPECT_EQ(DoublePreviewStretch(stretch), kMsgMaxValue);
  EXPECT_EQ(HalvePreviewStretch(stretch), kMsgNone);
  EXPECT_EQ(stretch, 256);
  EXPECT_EQ(DoublePreviewStretch(stretch), kMsgNone);
  EXPECT_EQ(stretch, 512);
  stretch = 1;
  EXPECT_EQ(HalvePreviewStretch(stretch), kMsgMinValue);
  EXPECT_EQ(stretch, 1);
}
