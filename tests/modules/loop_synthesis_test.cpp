#include "modules/loop_synthesis.h"

#include "dsp/signal_kernels.h"
#include "module_fixture.h"
#include "modules/loop_voices.h"
#include "wavetable/partial_table.h"

namespace {

// Every voice added sample by sample in double precision; returns the loudest sum.
double ReferenceSum(const LoopVoicePlan& plan, const std::vector<float>& leftInput, const std::vector<float>& rightInput,
                    bool stereo, std::vector<double>& left, std::vector<double>& right) {
  const size_t length = leftInput.size();
  std::vector<float> leftTripled(3 * length), rightTripled(3 * length);
  TripleLoopSegment(leftInput.data(), leftTripled.data(), plan.voiceCount, static_cast<int32_t>(length));
  TripleLoopSegment(rightInput.data(), rightTripled.data(), plan.voiceCount, static_cast<int32_t>(length));
  left.assign(length, 0.0);
  right.assign(length, 0.0);
  for (size_t v = 0; v < plan.offsets.size(); ++v) {
    // Every voice reads inside the three copies.
    const int64_t last = plan.offsets[v] + static_cast<int64_t>(length - 1) * plan.directions[v];
    EXPECT_TRUE(std::min(plan.offsets[v], last) >= 0 && std::max(plan.offsets[v], last) < int64_t(3 * length)) << v;
    for (size_t i = 0; i < length; ++i) {
      const auto at = static_cast<size_t>(plan.offsets[v] + static_cast<int64_t>(i) * plan.directions[v]);
      if (plan.channels[v] & kVoiceFeedsLeft) left[i] += leftTripled[at];
      if (stereo && (plan.channels[v] & kVoiceFeedsRight)) right[i] += rightTripled[at];
    }
  }
  double peak = 0.0;
  for (size_t i = 0; i < length; ++i) peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
  return peak;
}

double MaxDifference(const std::vector<float>& got, const std::vector<double>& expected) {
  double worst = 0.0;
  for (size_t i = 0; i < expected.size(); ++i) worst = std::max(worst, std::fabs(got[i] - expected[i]));
  return worst;
}

LoopSynthesis Loaded(const std::vector<float>& left, const std::vector<float>& right, int channels) {
  LoopSynthesis loop;
  EXPECT_EQ(LoadLoopInput(loop, left, right, static_cast<int32_t>(left.size()), channels, 0, 0, "TEST"), kMsgDone);
  return loop;
}

}  // namespace

using LoopSynthesisTest = ModuleTest;

// Each new draw is compared with the absolute value of every earlier one; voice 0 has none.
TEST(LoopVoices, JittersFollowTheLiteralRule) {
  SeedRandom(9);
  std::vector<int32_t> literal = {0};
  for (int v = 1; v < 3000; ++v) {
    int32_t r = 0;
    do r = RandomBelow(32767) - 16383;
    while (std::ranges::any_of(literal, [r](int32_t earlier) { return r == std::abs(earlier); }));
    literal.push_back(r);
  }
  SeedRandom(9);
  EXPECT_EQ(DrawVoiceJitters(3000), literal);
  EXPECT_EQ(DrawVoiceJitters(32768).size(), 32768u);  // the largest density draws in time
}

TEST(LoopVoices, OffsetsDirectionsChannelsSumMethodAndSegment) {
  LoopVoicePlan plan = PlanLoopVoices(44100, 128, 128, false, false);
  EXPECT_EQ(std::tuple(plan.widening, plan.voiceCount, plan.spacing, plan.offsets[0]), std::tuple(0, 128, 344, 88200));
  // Jitter around 2 L - v x spacing: at most half a spacing, and 128 draws come close.
  int64_t widest = 0;
  for (size_t v = 0; v < 128; ++v)
    widest = std::max(widest, std::abs(plan.offsets[v] - 88200 + 344 * static_cast<int64_t>(v)));
  EXPECT_TRUE(widest > 150 && widest <= 172) << widest;
  EXPECT_EQ(plan.directions, std::vector<int8_t>(128, 1));
  EXPECT_EQ(plan.channels, std::vector<uint8_t>(128, kVoiceFeedsLeft | kVoiceFeedsRight));
  plan = PlanLoopVoices(44100, 128, 64, true, false);
  EXPECT_EQ(std::vector<int8_t>(plan.directions.begin(), plan.directions.begin() + 3), (std::vector<int8_t>{1, -1, 1}));
  plan = PlanLoopVoices(44100, 128, 64, true, true);
  EXPECT_EQ(std::tuple(plan.widening, plan.voiceCount, plan.spacing), std::tuple(1, 128, 172));
  EXPECT_EQ(std::vector<int8_t>(plan.directions.begin(), plan.directions.begin() + 8),
            (std::vector<int8_t>{1, 1, -1, -1, 1, 1, -1, -1}));
  EXPECT_EQ(std::pair(plan.channels[0], plan.channels[1]), std::pair(kVoiceFeedsRight, kVoiceFeedsLeft));
  plan = PlanLoopVoices(44100, 4, 1, true, true);
  EXPECT_EQ(std::tuple(plan.widening, plan.voiceCount, plan.directions[0]), std::tuple(0, 1, int8_t{1}));
  EXPECT_EQ(ChooseVoiceSumMethod(PlanLoopVoices(44100, 2, 2, false, false), 44100, true), VoiceSumMethod::Direct);
  EXPECT_EQ(ChooseVoiceSumMethod(PlanLoopVoices(3969000, 16384, 16384, true, true), 3969000, true),
            VoiceSumMethod::Spectral);

  for (size_t length : {1u, 5u, 100u, 128u, 1000u}) {
    const std::vector<float> input = Noise(length, 11);
    std::vector<float> tripled(3 * length), segment;
    for (bool fade : {false, true}) {
      TripleLoopSegment(input.data(), tripled.data(), fade ? 2 : 1, static_cast<int32_t>(length));
      MakeLoopSegment(input, fade, segment);
      for (size_t i = 0; i < 3 * length; ++i) ASSERT_EQ(segment[i % length], tripled[i]) << length << " " << i;
    }
  }
}

TEST_F(LoopSynthesisTest, FastSumMatchesTheVoiceByVoiceSum) {
  // {length, density, smear, bidirectional, widening, channels}
  const std::tuple<int32_t, int32_t, int32_t, bool, bool, int> cases[] = {
      {5000, 32, 32, false, false, 1}, {5000, 32, 16, true, false, 2}, {7001, 64, 64, true, true, 1},
      {7001, 16, 8, false, true, 2},   {3000, 2, 1, true, true, 2},    {44100, 512, 512, true, true, 2},
  };
  for (const auto& [length, density, smear, bidirectional, widening, channels] : cases) {
    SCOPED_TRACE(testing::Message() << length << " " << density << " " << smear);
    const std::vector<float> left = Noise(static_cast<size_t>(length), 21);
    const std::vector<float> right = Noise(static_cast<size_t>(length), 22, 0.5f);
    SeedRandom(77);
    const LoopVoicePlan plan = PlanLoopVoices(length, density, smear, bidirectional, widening);
    const bool stereo = plan.widening == 1 || channels == 2;
    const std::vector<float>& second = stereo ? right : left;
    std::vector<double> expectedLeft, expectedRight;
    const double scale = ReferenceSum(plan, left, second, stereo, expectedLeft, expectedRight);
    std::vector<float> leftSegment, rightSegment;
    MakeLoopSegment(left, plan.voiceCount > 1, leftSegment);
    MakeLoopSegment(second, plan.voiceCount > 1, rightSegment);
    for (VoiceSumMethod method : {VoiceSumMethod::Direct, VoiceSumMethod::Spectral}) {
      std::vector<float> outLeft(static_cast<size_t>(length)), outRight(static_cast<size_t>(length));
      ASSERT_EQ(SumLoopVoices(plan, leftSegment, rightSegment, outLeft, outRight, stereo, method, {}), kMsgDone);
      // Relative to the loudest sum; measured up to 4e-7 and 1.2e-6.
      const double tolerance = (method == VoiceSumMethod::Direct ? 2e-6 : 5e-6) * scale;
      EXPECT_LT(MaxDifference(outLeft, expectedLeft), tolerance);
      if (stereo) {
        EXPECT_LT(MaxDifference(outRight, expectedRight), tolerance);
      }
    }
  }
}

TEST(LoopSynthesis, StartDensityAndTheDensityButtons) {
  // L / 512 rounded up to a power of two, 1 .. 16,384.
  const std::pair<int64_t, int32_t> densities[] = {{44100, 128},     {1023, 1},       {1024, 2},
                                                   {512 * 128, 128}, {3969000, 8192}, {100000000, 16384}};
  for (const auto& [length, density] : densities) EXPECT_EQ(StartDensity(length), density) << length;

  const std::vector<float> input = Noise(44100, 3);
  LoopSynthesis loop = Loaded(input, input, 1);
  EXPECT_EQ(std::pair(loop.density, loop.smear), std::pair(128, 128));
  // S follows D (the upper limit is pressed on the page).
  EXPECT_EQ(PressLoopSynthesisButton(loop, kLoopRaiseDensity, {}), kMsgNone);
  EXPECT_EQ(std::pair(loop.density, loop.smear), std::pair(256, 256));
  for (int i = 0; i < 8; ++i) ASSERT_EQ(PressLoopSynthesisButton(loop, kLoopLowerDensity, {}), kMsgNone);
  EXPECT_EQ(std::pair(loop.density, loop.smear), std::pair(1, 1));
  EXPECT_EQ(PressLoopSynthesisButton(loop, kLoopLowerDensity, {}), kMsgMinValue);
  EXPECT_EQ(PressLoopSynthesisButton(loop, kLoopLowerSmear, {}), kMsgMinValue);
  ASSERT_EQ(ComputeLoop(loop, {}), kMsgDone);
  ASSERT_TRUE(loop.HasOutput());
  PressLoopSynthesisButton(loop, kLoopBidirectional, {});
  EXPECT_TRUE(loop.bidirectional);
  EXPECT_FALSE(loop.HasOutput());
}

TEST_F(LoopSynthesisTest, SingleVoiceStereoAndWidening) {
  std::vector<float> input = Noise(1000, 8, 0.3f);  // 1000 / 512 = 1: D = S = 1
  for (float& v : input) v += 0.2f;  // a mean to remove
  LoopSynthesis loop = Loaded(input, input, 1);
  ASSERT_EQ(loop.density, 1);
  EXPECT_NEAR(loop.inputPeak, MaxAbsOf(input), 1e-7);
  EXPECT_NEAR(MaxAbsOf(loop.inputLeft), 1.0, 1e-6);
  loop.widening = true;  // S = 1: no widening applies
  ASSERT_EQ(ComputeLoop(loop, {}), kMsgDone);
  EXPECT_FALSE(loop.widened);
  std::vector<float> expected = loop.inputLeft;
  RemoveMean(expected.data(), static_cast<int32_t>(expected.size()));
  const double peak = MaxAbsOf(expected);
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_NEAR(loop.outputLeft[i], expected[i] / peak, 1e-6) << i;
    ASSERT_EQ(loop.outputRight[i], loop.outputLeft[i]);
  }

  // Mono with widening: odd voices left, even voices right.
  const std::vector<float> left = Noise(20000, 31), right = Noise(20000, 32);
  loop = Loaded(left, left, 1);
  loop.widening = true;
  ASSERT_EQ(ComputeLoop(loop, {}), kMsgDone);
  EXPECT_TRUE(loop.widened);
  EXPECT_NE(loop.outputLeft, loop.outputRight);
  EXPECT_NEAR(std::max(MaxAbsOf(loop.outputLeft), MaxAbsOf(loop.outputRight)), 1.0, 1e-6);
  // Stereo without widening: the right channel made mean-free on its own.
  loop = Loaded(left, right, 2);
  ASSERT_EQ(ComputeLoop(loop, {}), kMsgDone);
  EXPECT_FALSE(loop.widened);
  EXPECT_NE(loop.outputLeft, loop.outputRight);
  EXPECT_NEAR(std::accumulate(loop.outputRight.begin(), loop.outputRight.end(), 0.0), 0.0, 1e-2);
}

TEST_F(LoopSynthesisTest, EnvelopeNodesToSamplesButtonsAndOutputToInput) {
  const std::vector<float> input = Noise(20000, 41);
  LoopSynthesis loop = Loaded(input, input, 1);
  EXPECT_EQ(PressLoopSynthesisButton(loop, kLoopOutToIn, {}), kMsgNoData);
  EnvelopeNodes nodes = FlatEnvelope();
  nodes[0] = -127;
  nodes[32] = 0;
  ASSERT_EQ(SetLoopEnvelope(loop, nodes), kMsgNone);
  EXPECT_EQ(std::pair(loop.envelopedLeft[0], loop.envelopedLeft[10000]), std::pair(0.0f, loop.inputLeft[10000]));
  EXPECT_FLOAT_EQ(loop.envelopedLeft[19999], loop.inputLeft[19999] * 0.5f);
  const float first = loop.inputLeft[19999];
  ASSERT_EQ(PressLoopSynthesisButton(loop, kLoopReverse, {}), kMsgNone);  // the envelope's reversal is the page's
  EXPECT_EQ(std::pair(loop.inputLeft[0], loop.envelopedLeft[19999]), std::pair(first, 0.0f));
  EXPECT_EQ(PressLoopSynthesisButton(loop, kLoopEnvelopeReset, {}), kMsgNone);
  EXPECT_EQ(loop.envelope, FlatEnvelope());
  SetLoopEnvelope(loop, nodes);
  loop.widening = true;
  ASSERT_EQ(PressLoopSynthesisButton(loop, kLoopCompute, {}), kMsgDone);
  const std::vector<float> outLeft = loop.outputLeft, outRight = loop.outputRight;
  ASSERT_EQ(PressLoopSynthesisButton(loop, kLoopOutToIn, {}), kMsgNone);
  EXPECT_EQ(std::tuple(loop.channels, loop.widening, loop.envelope), std::tuple(2, false, FlatEnvelope()));
  EXPECT_EQ(std::tuple(loop.inputLeft, loop.inputRight, loop.envelopedRight), std::tuple(outLeft, outRight, outRight));
  EXPECT_FALSE(loop.HasOutput());

  EnvelopeNodes peak = FlatEnvelope(-127), last = FlatEnvelope(0);
  peak[1] = 127;
  last[32] = 127;
  // {nodes, length, {sample, value}...}: linear between nodes; with all nodes on sample 0 the last stays.
  const std::tuple<const EnvelopeNodes&, size_t, std::vector<std::pair<size_t, float>>> cases[] = {
      {peak, 33, {{0, 0.0f}, {1, 1.0f}, {2, 0.0f}}}, {peak, 65, {{1, 0.5f}, {2, 1.0f}, {3, 0.5f}}},
      {last, 1000, {{0, 0.5f}, {999, 1.0f}}},        {last, 1, {{0, 1.0f}}}, {last, 0, {}}};
  std::vector<float> samples;
  for (const auto& [envelope, length, expected] : cases) {
    EnvelopeToSamples(static_cast<int64_t>(length), envelope, samples);
    ASSERT_EQ(samples.size(), length);
    for (const auto& [at, value] : expected) EXPECT_FLOAT_EQ(samples[at], value) << length << " " << at;
  }
}

TEST_F(LoopSynthesisTest, SilenceNoInputAndCancel) {
  const std::vector<float> silent(5000, 0.0f);
  LoopSynthesis loop = Loaded(silent, silent, 1);
  ASSERT_EQ(ComputeLoop(loop, {}), kMsgDone);
  EXPECT_EQ(std::pair(loop.inputPeak, MaxAbsOf(loop.outputLeft)), std::pair(0.0, 0.0));
  const std::vector<float> input = Noise(5000, 51);
  loop = Loaded(input, input, 1);
  SetLoopEnvelope(loop, FlatEnvelope(-127));
  for (VoiceSumMethod method : {VoiceSumMethod::Direct, VoiceSumMethod::Spectral}) {
    loop.sumMethod = method;
    ASSERT_EQ(ComputeLoop(loop, {}), kMsgDone);
    EXPECT_TRUE(std::isfinite(MaxAbsOf(loop.outputLeft) + MaxAbsOf(loop.outputRight)));
  }

  LoopSynthesis empty;
  for (int code = 1; code <= 12; ++code) EXPECT_EQ(PressLoopSynthesisButton(empty, code, {}), kMsgNoData) << code;
  EXPECT_EQ(SetLoopEnvelope(empty, FlatEnvelope()), kMsgNoData);
  EXPECT_EQ(LoadLoopInput(empty, {}, {}, 0, 1, 0, 0), kMsgNoData);

  // Cancel between voices, and between transform stages: no output.
  loop = Loaded(input, input, 1);
  loop.sumMethod = VoiceSumMethod::Direct;
  ScriptedProgress progress(3);
  EXPECT_EQ(ComputeLoop(loop, progress.Hooks()), kMsgAborted);
  EXPECT_FALSE(loop.HasOutput());
  EXPECT_EQ(std::pair(progress.calls[2].done, progress.calls[2].total), std::pair(int64_t{2}, int64_t{loop.smear}));
  EXPECT_EQ(progress.calls[0].label, kCalculationProgressLabel);
  loop.sumMethod = VoiceSumMethod::Spectral;
  ScriptedProgress stages(2);
  EXPECT_EQ(ComputeLoop(loop, stages.Hooks()), kMsgAborted);
  EXPECT_FALSE(loop.HasOutput());
  ScriptedProgress complete;
  ASSERT_EQ(ComputeLoop(loop, complete.Hooks()), kMsgDone);
  EXPECT_EQ(complete.calls.back().done, complete.calls.back().total);
}
