#include "modules/analysis_range.h"
#include "modules/loaded_sample.h"
#include "modules/xform_analysis_source.h"

#include "module_fixture.h"

namespace {

SampleChannels Mono(const std::vector<float>& s) { return {s, s, static_cast<int32_t>(s.size()), 1}; }
SampleChannels Stereo(const std::vector<float>& l, const std::vector<float>& r) {
  return {l, r, static_cast<int32_t>(l.size()), 2};
}

}  // namespace

TEST(AnalysisRange, OpeningTrimsToTheAudibleStretchAndKeepsAtLeastTheMinimumRange) {
  // {name, length, audible samples [from, to) at level, answer, first kept, samples kept}.
  const std::tuple<const char*, int, int, int, float, MessageCode, int32_t, int32_t> cases[] = {
      {"short audible part", 20000, 1000, 2000, 0.5f, kMsgNone, 1000, 4097},
      {"silent", 10000, 0, 0, 0.0f, kMsgNone, 10000 - 4097, 4097},  // the search finds nothing
      {"audible in the last 4,096", 10000, 10000 - 4096, 10000, 0.25f, kMsgNone, 10000 - 4097, 4097},
      {"exactly the minimum", 4097, 0, 4097, 0.5f, kMsgNone, 0, 4097},
      {"one sample short", 4096, 0, 4096, 0.5f, kMsgMinimumAnalysisRange, 0, 0},
  };
  for (const auto& [name, length, from, to, level, answer, first, used] : cases) {
    SCOPED_TRACE(name);
    std::vector<float> samples(static_cast<size_t>(length), 0.0f);
    std::fill(samples.begin() + from, samples.begin() + to, level);
    AnalysisRange range;
    ASSERT_EQ(OpenAnalysisRange(range, Mono(samples)), answer);
    if (answer != kMsgNone) {
      EXPECT_TRUE(range.signal.empty());
      EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseStart), kMsgNoData);
      continue;
    }
    EXPECT_EQ(std::tuple(range.trimmedFirst, range.Used(), range.start, range.end, range.RangeLength()),
              std::tuple(first, used, 0, used, used));
    ASSERT_EQ(range.signal.size(), static_cast<size_t>(used));
    EXPECT_TRUE(std::equal(range.signal.begin(), range.signal.end(), samples.begin() + first));
  }

  std::vector<float> samples(30000, 0.0f);
  for (int i = 5000; i < 15000; ++i) samples[static_cast<size_t>(i)] = (i % 2) ? 0.3f : -0.3f;
  EXPECT_EQ(std::pair(TrimAudible(samples).first, TrimAudible(samples).used), std::pair(5000, 10000));
  // Exactly 1/254 is not audible; beyond n - 4097 nothing is searched.
  std::vector<float> edge(8000, kAudibleLevel);
  edge[6000] = 0.01f;
  EXPECT_EQ(std::pair(TrimAudible(edge).first, TrimAudible(edge).used), std::pair(8000 - 4097, 4097));
}

TEST(AnalysisRange, SourceModesAndTheCancellingFallback) {
  const std::vector<float> left = Sine(8000, 0.01, 0.8), right = Sine(8000, 0.02, 0.4);
  const std::vector<float> opposite = Sine(8000, 0.01, -0.8);
  EXPECT_FLOAT_EQ(BuildWorkingSignal(Stereo(left, right), SourceMode::StereoToMono)[123], (left[123] + right[123]) / 2);
  // Exact opposites cancel: the left channel is analysed instead.
  AnalysisRange range;
  ASSERT_EQ(OpenAnalysisRange(range, Stereo(left, opposite)), kMsgNone);
  EXPECT_TRUE(range.stereoFile);
  EXPECT_EQ(range.signal[100], left[100 + static_cast<size_t>(range.trimmedFirst)]);

  // "SOURCE" cycles the three modes and rebuilds the signal; mono files have none.
  ASSERT_EQ(OpenAnalysisRange(range, Stereo(left, right)), kMsgNone);
  const std::pair<SourceMode, const std::vector<float>*> cycle[] = {
      {SourceMode::LeftOnly, &left}, {SourceMode::RightOnly, &right}, {SourceMode::StereoToMono, nullptr}};
  for (const auto& [mode, channel] : cycle) {
    CycleAnalysisSource(range, Stereo(left, right));
    EXPECT_EQ(range.source, mode);
    if (channel) {
      EXPECT_EQ(range.signal[10], (*channel)[10 + static_cast<size_t>(range.trimmedFirst)]);
    }
  }
  ASSERT_EQ(OpenAnalysisRange(range, Mono(left)), kMsgNone);
  CycleAnalysisSource(range, Mono(left));
  EXPECT_EQ(range.source, SourceMode::StereoToMono);

  // Non-finite samples from a file never reach the analysis.
  std::vector<float> broken = left;
  broken[50] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(BuildWorkingSignal(Mono(broken), SourceMode::LeftOnly)[50], 0.0f);
}

TEST(AnalysisRange, StartAndEndThresholdButtonsAndLimits) {
  std::vector<float> samples(20000, 1.0f);
  for (int i = 0; i < 1000; ++i) samples[static_cast<size_t>(i)] = 0.005f + i * 0.0005f;
  AnalysisRange range;
  ASSERT_EQ(OpenAnalysisRange(range, Mono(samples)), kMsgNone);
  ASSERT_EQ(range.trimmedFirst, 0);
  // {button, presses, answer of the last, threshold, start after}: 1/64 is first reached at i = 22.
  const std::tuple<RangeButton, int, MessageCode, float, int32_t> steps[] = {
      {RangeButton::LowerStart, 1, kMsgMinValue, 0.0f, 0},   {RangeButton::ResetStart, 1, kMsgMinValue, 0.0f, 0},
      {RangeButton::RaiseStart, 1, kMsgNone, 1.0f / 64, 22}, {RangeButton::LowerStart, 1, kMsgNone, 0.0f, 0},
      {RangeButton::RaiseStart, 64, kMsgNone, 1.0f, 1000}, {RangeButton::RaiseStart, 1, kMsgMaxValue, 1.0f, 1000},
      {RangeButton::ResetStart, 1, kMsgNone, 0.0f, 0}};
  for (const auto& [button, presses, answer, threshold, start] : steps) {
    MessageCode last = kMsgNone;
    for (int press = 0; press < presses; ++press) last = PressRangeButton(range, button);
    EXPECT_EQ(std::tuple(last, range.startThreshold, range.start), std::tuple(answer, threshold, start))
        << static_cast<int>(button) << " x " << presses;
  }
  EXPECT_EQ(ShownThreshold(1.0f / 64), 512);

  samples.assign(6000, 0.001f);
  for (int i = 0; i < 5000; ++i) samples[static_cast<size_t>(i)] = 0.8f;
  samples[5500] = 0.5f;  // keeps the trim from cutting the quiet tail
  range = AnalysisRange{};
  ASSERT_EQ(OpenAnalysisRange(range, Mono(samples)), kMsgNone);
  ASSERT_EQ(range.Used(), 5501);
  EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseEnd), kMsgNone);
  EXPECT_EQ(range.end, 5501);  // the last sample, 0.5, is above 1/64
  for (int press = 0; press < 32; ++press) PressRangeButton(range, RangeButton::RaiseEnd);
  EXPECT_EQ(std::pair(range.end, range.EndShift()), std::pair(5000, -501));
  // The start cannot eat into the last 4,097 samples of the range.
  samples.assign(9000, 0.1f);
  for (int i = 8000; i < 9000; ++i) samples[static_cast<size_t>(i)] = 0.9f;
  ASSERT_EQ(OpenAnalysisRange(range, Mono(samples)), kMsgNone);
  MessageCode last = kMsgNone;
  for (int press = 0; press < 40 && last == kMsgNone; ++press) last = PressRangeButton(range, RangeButton::RaiseStart);
  EXPECT_EQ(std::tuple(range.start, range.RangeLength(), last), std::tuple(9000 - 4097, 4097, kMsgMinimumAnalysisRange));
  const float threshold = range.startThreshold;
  EXPECT_EQ(PressRangeButton(range, RangeButton::RaiseEnd), kMsgMinimumAnalysisRange);
  EXPECT_EQ(range.startThreshold, threshold);
  for (RangeButton button : {RangeButton::ResetEnd, RangeButton::LowerEnd})
    EXPECT_EQ(PressRangeButton(range, button), kMsgMinValue);
}

TEST(XformAnalysisSource, ModesMixTheChannels) {
  const std::pair<XformSourceMode, const char*> modes[] = {
      {XformSourceMode::Stereo, "STEREO"}, {XformSourceMode::StereoToMono, "STEREO->MONO"},
      {XformSourceMode::LeftOnly, "LEFT ONLY"}, {XformSourceMode::RightOnly, "RIGHT ONLY"}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(XformSourceModeName(modes[i].first), modes[i].second);
    EXPECT_EQ(NextXformSourceMode(modes[i].first), modes[(i + 1) % 4].first);
  }
  using Samples = std::vector<float>;
  const Samples left = {0.5f, -0.25f, 0.125f, NAN}, right = {0.1f, 0.25f, -0.5f, 0.0f};
  const Samples leftRead = {0.5f, -0.25f, 0.125f, 0.0f};  // not a number: 0
  const Samples opposite = {-0.5f, 0.25f, -0.125f, 0.0f};
  const Samples mix = {0.3f, 0.0f, -0.1875f, 0.0f};
  // Mono feeds both channels; opposite channels cancel in the mix, so the left is taken.
  const struct {
    SampleChannels channels;
    XformSourceMode mode;
    const Samples &l, &r;
  } cases[] = {
      {Stereo(left, right), XformSourceMode::Stereo, leftRead, right},
      {Stereo(left, right), XformSourceMode::StereoToMono, mix, mix},
      {Stereo(left, right), XformSourceMode::LeftOnly, leftRead, leftRead},
      {Stereo(left, right), XformSourceMode::RightOnly, right, right},
      {Mono(right), XformSourceMode::Stereo, right, right},
      {Stereo(leftRead, opposite), XformSourceMode::StereoToMono, leftRead, leftRead},
  };
  for (const auto& c : cases) {
    Samples l, r;
    MixSourceChannels(c.channels, c.mode, l, r);
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_FLOAT_EQ(l[i], c.l[i]) << XformSourceModeName(c.mode) << " " << i;
      EXPECT_FLOAT_EQ(r[i], c.r[i]) << XformSourceModeName(c.mode) << " " << i;
    }
  }
}

TEST(XformAnalysisSource, ThePairIsNormalisedTogetherThenTrimmedByEitherChannel) {
  std::vector<float> left(30000, 0.0f), right(30000, 0.0f);
  std::fill(left.begin() + 2000, left.begin() + 6000, 0.1f);
  std::fill(right.begin() + 9000, right.begin() + 15000, -0.4f);
  // 0.002 is below the audible level (1/254) before normalising, above it after (x 2.5).
  std::fill(right.begin() + 15000, right.begin() + 16000, 0.002f);
  XformAnalysisSource source;
  ASSERT_EQ(BuildXformAnalysisSource(Stereo(left, right), XformSourceMode::Stereo, source), kMsgNone);
  EXPECT_EQ(std::tuple(source.range.stereoFile, source.range.fileLength, source.range.trimmedFirst, source.range.Used()),
            std::tuple(true, 30000, 2000, 14000));
  ASSERT_EQ(source.left.size(), 14000u);
  // One gain for both: 1 / 0.4.
  EXPECT_EQ(std::tuple(source.left[0], source.right[7000], source.range.signal[0], source.range.signal[7000]),
            std::tuple(0.25f, -1.0f, 0.25f, 1.0f));

  EXPECT_EQ(PressRangeButton(source.range, RangeButton::RaiseStart), kMsgNone);
  EXPECT_EQ(source.range.start, 0);  // 0.25 is above 1/64
  for (int i = 0; i < 20; ++i) PressRangeButton(source.range, RangeButton::RaiseStart);
  EXPECT_EQ(source.range.start, 7000);  // the right channel's loud part
  EXPECT_EQ(RangeOf(source, false).size(), 7000u);
  EXPECT_FLOAT_EQ(RangeOf(source, true)[0], -1.0f);

  EXPECT_EQ(CycleXformSource(source, Stereo(left, right)), kMsgNone);
  EXPECT_EQ(std::pair(source.mode, source.range.start), std::pair(XformSourceMode::StereoToMono, 0));
  EXPECT_EQ(source.left, source.right);
}

TEST(XformAnalysisSource, ShortAndSilentFilesAndThePreviewStretch) {
  XformAnalysisSource source;
  EXPECT_EQ(BuildXformAnalysisSource(Mono(std::vector<float>(4096, 0.5f)), XformSourceMode::LeftOnly, source),
            kMsgMinimumAnalysisRange);
  EXPECT_TRUE(source.left.empty() && RangeOf(source, true).empty());

  const std::vector<float> silent(9000, 0.0f), half(5000, 0.5f);
  ASSERT_EQ(BuildXformAnalysisSource(Stereo(silent, silent), XformSourceMode::Stereo, source), kMsgNone);
  EXPECT_EQ(std::pair(source.range.Used(), source.range.trimmedFirst), std::pair(4097, 9000 - 4097));
  EXPECT_EQ(MaxAbsOf(source.left), 0.0);
  EXPECT_FALSE(std::isnan(source.range.signal[0]));

  // A mono file has no source choice.
  ASSERT_EQ(BuildXformAnalysisSource(Mono(half), XformSourceMode::RightOnly, source), kMsgNone);
  EXPECT_EQ(std::pair(source.range.stereoFile, source.mode), std::pair(false, XformSourceMode::Stereo));
  EXPECT_EQ(CycleXformSource(source, Mono(half)), kMsgNone);
  EXPECT_EQ(source.mode, XformSourceMode::Stereo);

  // 4,325,376 samples of preview over the range, as a power of two in 1..512.
  const std::pair<int64_t, int32_t> cases[] = {{4325376, 1}, {33 * 131072 * 3, 1}, {8448, 512}, {4097, 512},
                                               {100000, 32}, {200000, 16}};  // log2 43.25 = 5.43; 21.6 = 4.43
  for (const auto& [length, stretch] : cases) EXPECT_EQ(PreviewStretchFor(length), stretch) << length;
  const std::tuple<bool, int32_t, MessageCode, int32_t> presses[] = {
      {true, 512, kMsgMaxValue, 512}, {false, 512, kMsgNone, 256}, {true, 256, kMsgNone, 512}, {false, 1, kMsgMinValue, 1}};
  for (auto [doubling, stretch, answer, after] : presses) {
    EXPECT_EQ(doubling ? DoublePreviewStretch(stretch) : HalvePreviewStretch(stretch), answer) << after;
    EXPECT_EQ(stretch, after);
  }
}

TEST(LoadedSample, DescriptorsBecomeModuleInputs) {
  const std::vector<float> left = Noise(30000, 1), right = Noise(30000, 2);
  SampleDescriptor descriptor{.frames = 20000, .channels = 2, .loopStart = 5000, .loopEnd = 19999, .loopCount = 1,
                              .loopType = 1, .family = {}};
  const SampleChannels channels = SampleChannelsOf(left, right, descriptor);
  EXPECT_EQ(std::pair(channels.length, channels.channels), std::pair(20000, 2));
  EXPECT_EQ(ScanLoopShapeOf(descriptor).steps, 0);  // one loop is no scan loop

  LoopSynthesis loop;
  ASSERT_EQ(LoadLoopInputFromSample(loop, left, right, descriptor, "A.WAV"), kMsgDone);
  EXPECT_EQ(std::tuple(loop.length, loop.channels, loop.loopStart, loop.loopEnd, loop.name),
            std::tuple(20000, 2, 5000, 19999, std::string("A.WAV")));
  const CrossSourceInput cross = CrossSourceOf(left, right, descriptor, "A.WAV");
  EXPECT_EQ(std::tuple(cross.length, cross.channels, cross.loop.type, cross.loop.start, cross.loop.end),
            std::tuple(20000, 2, kLoopTypeAlternate, 5000, 19999));

  // Twenty 256-sample cycles with the first looped: a scan loop.
  descriptor.channels = 1;
  descriptor.loopStart = 0;
  descriptor.loopEnd = 255;
  descriptor.scanLoopCount = 20;
  EXPECT_EQ(std::pair(ScanLoopShapeOf(descriptor).stepSize, ScanLoopShapeOf(descriptor).steps), std::pair(256, 20));
  EXPECT_EQ(SampleChannelsOf(left, right, descriptor).channels, 1);
  descriptor.loopCount = 0;
  EXPECT_EQ(CrossSourceOf(left, right, descriptor, "A.WAV").loop.type, kLoopTypeNone);
}
