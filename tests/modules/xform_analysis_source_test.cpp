#include "modules/xform_analysis_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<float> Filled(size_t n, float value) { return std::vector<float>(n, value); }

}  // namespace

TEST(XformAnalysisSource, ModesMixTheChannels) {
  EXPECT_EQ(XformSourceModeName(XformSourceMode::Stereo), "STEREO");
  EXPECT_EQ(XformSourceModeName(XformSourceMode::StereoToMono), "STEREO->MONO");
  EXPECT_EQ(XformSourceModeName(XformSourceMode::LeftOnly), "LEFT ONLY");
  EXPECT_EQ(XformSourceModeName(XformSourceMode::RightOnly), "RIGHT ONLY");
  EXPECT_EQ(NextXformSourceMode(XformSourceMode::RightOnly), XformSourceMode::Stereo);
  EXPECT_EQ(NextXformSourceMode(XformSourceMode::Stereo), XformSourceMode::StereoToMono);

  const std::vector<float> left = {0.5f, -0.25f, 0.125f};
  const std::vector<float> right = {0.1f, 0.25f, -0.5f};
  std::vector<float> l, r;
  MixSourceChannels(left, right, XformSourceMode::Stereo, l, r);
  EXPECT_EQ(l, left);
  EXPECT_EQ(r, right);
  MixSourceChannels(left, right, XformSourceMode::StereoToMono, l, r);
  EXPECT_FLOAT_EQ(l[0], 0.3f);
  EXPECT_FLOAT_EQ(l[1], 0.0f);
  EXPECT_EQ(l, r);
  MixSourceChannels(left, right, XformSourceMode::LeftOnly, l, r);
  EXPECT_EQ(l, left);
  EXPECT_EQ(r, left);
  MixSourceChannels(left, right, XformSourceMode::RightOnly, l, r);
  EXPECT_EQ(l, right);
  EXPECT_EQ(r, right);
  // A mono file (no right channel) feeds both, whatever the mode.
  MixSourceChannels(left, {}, XformSourceMode::RightOnly, l, r);
  EXPECT_EQ(l, left);
  EXPECT_EQ(r, left);

  // Opposite channels cancel in the mix: the left channel is taken instead.
  const std::vector<float> opposite = {-0.5f, 0.25f, -0.125f};
  MixSourceChannels(left, opposite, XformSourceMode::StereoToMono, l, r);
  EXPECT_EQ(l, left);
  EXPECT_EQ(r, left);
}

TEST(XformAnalysisSource, PairsAreNormalisedTogether) {
  std::vector<float> left = {0.1f, -0.2f};
  std::vector<float> right = {0.4f, 0.05f};
  EXPECT_FLOAT_EQ(NormalizePair(left, right), 2.5f);
  EXPECT_FLOAT_EQ(right[0], 1.0f);
  EXPECT_FLOAT_EQ(left[1], -0.5f);  // one factor for both channels

  std::vector<float> silent = Filled(10, 0.0f), silentRight = Filled(10, 0.0f);
  EXPECT_FLOAT_EQ(NormalizePair(silent, silentRight), 1.0f);
  for (float v : silent) EXPECT_EQ(v, 0.0f);
}

TEST(XformAnalysisSource, TrimmingKeepsTheAudiblePartAndItsMinimum) {
  // Silence, 10,000 audible samples, silence.
  std::vector<float> left = Filled(30000, 0.001f), right = Filled(30000, 0.0f);
  for (int i = 1000; i < 11000; ++i) right[static_cast<size_t>(i)] = 0.5f;
  SignalRange range = FindSignalRange(left, right);
  EXPECT_EQ(range.first, 1000);
  EXPECT_EQ(range.length, 10000);

  // An audible part shorter than 4,097 samples still gives 4,097.
  std::fill(right.begin(), right.end(), 0.0f);
  for (int i = 2000; i < 2100; ++i) left[static_cast<size_t>(i)] = 0.5f;
  range = FindSignalRange(left, right);
  EXPECT_EQ(range.first, 2000);
  EXPECT_EQ(range.length, 4097);

  // Sound only in the last samples: the minimum range starts early enough
  // to stay within the pair.
  std::vector<float> tail = Filled(10000, 0.0f);
  for (int i = 9950; i < 10000; ++i) tail[static_cast<size_t>(i)] = -0.8f;
  range = FindSignalRange(tail, tail);
  EXPECT_EQ(range.length, 4097);
  EXPECT_EQ(range.first + range.length, 10000);

  // All silent, and shorter than the minimum.
  std::vector<float> quiet = Filled(9000, 0.0f);
  range = FindSignalRange(quiet, quiet);
  EXPECT_EQ(range.length, 4097);
  EXPECT_LE(range.first + range.length, 9000);
  std::vector<float> shortPair = Filled(3000, 0.5f);
  range = FindSignalRange(shortPair, shortPair);
  EXPECT_EQ(range.first, 0);
  EXPECT_EQ(range.length, 3000);
}

TEST(XformAnalysisSource, ThresholdButtonsMoveTheRange) {
  // 0.01 for 5,000 samples, then 0.5, then 0.01 for the last 3,000.
  std::vector<float> left = Filled(20000, 0.01f), right = Filled(20000, 0.0f);
  for (int i = 5000; i < 17000; ++i) left[static_cast<size_t>(i)] = 0.5f;
  AnalysisRange range = FullAnalysisRange(20000);
  EXPECT_EQ(PressRangeButton(range, RangeButton::LowerStart, left, right), kMsgMinValue);
  EXPECT_EQ(PressRangeButton(range, RangeButton::ResetStart, left, right), kMsgMinValue);
  EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseStart, left, right), kMsgNone);
  EXPECT_FLOAT_EQ(range.startThreshold, 1.0f / 64);
  EXPECT_EQ(range.start, 5000);
  EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseEnd, left, right), kMsgNone);
  EXPECT_EQ(range.end, 17000);
  EXPECT_EQ(range.Span(), 12000);

  // Raising the start past the loud part stops 4,097 before the end; a
  // further raise is refused.
  for (int i = 0; i < 40; ++i) PressRangeButton(range, RangeButton::RaiseStart, left, right);
  EXPECT_EQ(range.start, 17000 - 4097);
  EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseStart, left, right), kMsgMinimumAnalysisRange);
  EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseEnd, left, right), kMsgMinimumAnalysisRange);

  EXPECT_EQ(PressRangeButton(range, RangeButton::ResetStart, left, right), kMsgNone);
  EXPECT_EQ(range.start, 0);
  EXPECT_EQ(PressRangeButton(range, RangeButton::ResetEnd, left, right), kMsgNone);
  EXPECT_EQ(range.end, 20000);
  EXPECT_EQ(PressRangeButton(range, RangeButton::ResetEnd, left, right), kMsgMinValue);

  // Once the range is down to 4,097 samples the threshold stops rising.
  AnalysisRange narrow = FullAnalysisRange(20000);
  MessageCode last = kMsgNone;
  for (int i = 0; i < 70 && last == kMsgNone; ++i)
    last = PressRangeButton(narrow, RangeButton::RaiseEnd, left, right);
  EXPECT_EQ(last, kMsgMinimumAnalysisRange);
  EXPECT_EQ(narrow.Span(), 4097);

  // Over a full-scale signal the threshold tops out at 1.0 with "MAX VALUE".
  const std::vector<float> loud = Filled(20000, 1.0f);
  AnalysisRange top = FullAnalysisRange(20000);
  last = kMsgNone;
  int presses = 0;
  for (; presses < 70 && last == kMsgNone; ++presses)
    last = PressRangeButton(top, RangeButton::RaiseEnd, loud, loud);
  EXPECT_EQ(last, kMsgMaxValue);
  EXPECT_EQ(presses, 65);  // 64 steps of 1/64, then the refusal
  EXPECT_FLOAT_EQ(top.endThreshold, 1.0f);
  EXPECT_EQ(top.end, 20000);
}

TEST(XformAnalysisSource, TheSourceIsMixedNormalisedAndTrimmed) {
  std::vector<float> left = Filled(20000, 0.0f);
  std::vector<float> right = Filled(20000, 0.0f);
  for (int i = 3000; i < 15000; ++i) {
    left[static_cast<size_t>(i)] = 0.25f;
    right[static_cast<size_t>(i)] = -0.25f;  // cancels in the mono mix
  }
  XformAnalysisSource source;
  BuildXformAnalysisSource(left, right, XformSourceMode::StereoToMono, source);
  EXPECT_TRUE(source.stereoFile);
  EXPECT_EQ(source.fileFrames, 20000);
  ASSERT_EQ(source.left.size(), 12000u);
  EXPECT_FLOAT_EQ(source.left[0], 1.0f);
  EXPECT_FLOAT_EQ(source.right[0], 1.0f);
  EXPECT_EQ(source.range.start, 0);
  EXPECT_EQ(source.range.end, 12000);
  EXPECT_EQ(RangeOf(source, true).size(), 12000u);

  BuildXformAnalysisSource(left, right, XformSourceMode::Stereo, source);
  EXPECT_FLOAT_EQ(source.left[0], 1.0f);
  EXPECT_FLOAT_EQ(source.right[0], -1.0f);

  BuildXformAnalysisSource(left, {}, XformSourceMode::RightOnly, source);
  EXPECT_FALSE(source.stereoFile);
  EXPECT_EQ(source.left, source.right);
}

TEST(XformAnalysisSource, PreviewStretch) {
  EXPECT_EQ(PreviewStretchFor(4325376), 1);
  EXPECT_EQ(PreviewStretchFor(33 * 131072 * 3), 1);
  EXPECT_EQ(PreviewStretchFor(8448), 512);
  EXPECT_EQ(PreviewStretchFor(4097), 512);  // 1,056 clamped
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
