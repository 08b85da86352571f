#include "modules/xform_analysis_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<float> Filled(size_t n, float value) { return std::vector<float>(n, value); }

SampleChannels Stereo(const std::vector<float>& left, const std::vector<float>& right) {
  return {left, right, static_cast<int32_t>(left.size()), 2};
}

SampleChannels Mono(const std::vector<float>& samples) {
  return {samples, samples, static_cast<int32_t>(samples.size()), 1};
}

}  // namespace

TEST(XformAnalysisSource, ModesMixTheChannels) {
  EXPECT_EQ(XformSourceModeName(XformSourceMode::Stereo), "STEREO");
  EXPECT_EQ(XformSourceModeName(XformSourceMode::StereoToMono), "STEREO->MONO");
  EXPECT_EQ(XformSourceModeName(XformSourceMode::LeftOnly), "LEFT ONLY");
  EXPECT_EQ(XformSourceModeName(XformSourceMode::RightOnly), "RIGHT ONLY");
  EXPECT_EQ(NextXformSourceMode(XformSourceMode::RightOnly), XformSourceMode::Stereo);
  EXPECT_EQ(NextXformSourceMode(XformSourceMode::Stereo), XformSourceMode::StereoToMono);

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
  std::vector<float> left = Filled(30000, 0.0f);
  std::vector<float> right = Filled(30000, 0.0f);
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
  const std::vector<float> shortFile = Filled(4096, 0.5f);
  EXPECT_EQ(BuildXformAnalysisSource(Mono(shortFile), XformSourceMode::LeftOnly, source), kMsgMinimumAnalysisRange);
  EXPECT_TRUE(source.left.empty());
  EXPECT_TRUE(RangeOf(source, true).empty());

  const std::vector<float> silent = Filled(9000, 0.0f);
  ASSERT_EQ(BuildXformAnalysisSource(Stereo(silent, silent), XformSourceMode::Stereo, source), kMsgNone);
  EXPECT_EQ(source.range.Used(), 4097);
  EXPECT_LE(source.range.trimmedFirst + 4097, 9000);
  for (float v : source.left) ASSERT_EQ(v, 0.0f);
  EXPECT_FALSE(std::isnan(source.range.signal[0]));

  // A mono file has no source choice.
  ASSERT_EQ(BuildXformAnalysisSource(Mono(Filled(5000, 0.5f)), XformSourceMode::RightOnly, source), kMsgNone);
  EXPECT_FALSE(source.range.stereoFile);
  EXPECT_EQ(source.mode, XformSourceMode::Stereo);
  EXPECT_EQ(CycleXformSource(source, Mono(Filled(5000, 0.5f))), kMsgNone);
  EXPECT_EQ(source.mode, XformSourceMode::Stereo);
}

TEST(XformAnalysisSource, PreviewStretch) {
  EXPECT_EQ(PreviewStretchFor(4325376), 1);
  EXPECT_EQ(PreviewStretchFor(33 * 131072 * 3), 1);
  EXPECT_EQ(PreviewStretchFor(8448), 512);
  EXPECT_EQ(PreviewStretchFor(4097), 512);   // 1,056 clamped
  EXPECT_EQ(PreviewStretchFor(100000), 32);  // log2(43.25) = 5.43
  EXPECT_EQ(PreviewStretchFor(200000), 16);  // log2(21.6) = 4.43
  int32_t stretch = 512;
  EXPECT_EQ(DoublePreviewStretch(stretch), kMsgMaxValue);
  EXPECT_EQ(HalvePreviewStretch(stretch), kMsgNone);
  EXPECT_EQ(stretch, 256);
  stretch = 1;
  EXPECT_EQ(HalvePreviewStretch(stretch), kMsgMinValue);
  EXPECT_EQ(stretch, 1);
}
