#include "modules/cross_synthesis.h"

#include "module_fixture.h"
#include "modules/resynthesis.h"
#include "modules/resynthesis_options.h"
#include "modules/spectral_phase.h"
#include "modules/stereo_pair.h"

namespace {

std::vector<float> Ramp(size_t count) {
  std::vector<float> out(count);
  std::iota(out.begin(), out.end(), 0.0f);
  return out;
}

CrossSourceInput Input(const std::vector<float>& left, const std::vector<float>& right, int channels, SourceLoop loop = {},
                       const char* name = "A") {
  return {left, right, static_cast<int32_t>(left.size()), channels, loop, name};
}

}  // namespace

using CrossSynthesisTest = ModuleTest;

TEST(LoopPad, AllFourLoopTypes) {
  const std::vector<float> source = Ramp(10);
  const std::tuple<SourceLoop, size_t, std::vector<float>> cases[] = {
      {{kLoopTypeNormal, 2, 4}, 12, {0, 1, 2, 3, 4, 2, 3, 4, 2, 3, 4, 2}},
      {{kLoopTypeAlternate, 2, 4}, 13, {0, 1, 2, 3, 4, 4, 3, 2, 2, 3, 4, 4, 3}},
      {{kLoopTypeReverse, 2, 4}, 9, {0, 1, 4, 3, 2, 4, 3, 2, 4}},
      {{kLoopTypeNone, 2, 4}, 12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0}}, {{kLoopTypeNormal, 2, 4}, 4, {0, 1, 2, 3}},
      {{kLoopTypeNormal, 5, 7}, 3, {0, 1, 5}},  // a loop starting beyond the target: target - 1, then the loop
      {{kLoopTypeReverse, 5, 7}, 3, {0, 1, 7}},
      {{kLoopTypeAlternate, 9, 9}, 12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9}},  // one-sample loop
      {{kLoopTypeNormal, 2, 50}, 12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0}},  // outside the source: none
      {{kLoopTypeNormal, 2, 4}, 0, {}},
  };
  for (const auto& [loop, target, expected] : cases) {
    std::vector<float> padded(target, -1.0f);
    LoopPad(loop, source, padded);
    EXPECT_EQ(padded, expected) << loop.type << " " << target;
  }
  // A loop counts only with a known type and 0 <= start <= end < length.
  for (const SourceLoop& loop : {SourceLoop{kLoopTypeNormal, 2, 10}, SourceLoop{kLoopTypeNormal, 5, 4},
                                 SourceLoop{kLoopTypeNormal, -1, 4}, SourceLoop{4, 1, 4}})
    EXPECT_FALSE(LoopIsValid(loop, 10)) << loop.type << " " << loop.start << " " << loop.end;
  EXPECT_TRUE(LoopIsValid({kLoopTypeReverse, 0, 9}, 10));
  for (int16_t fileType = 0; fileType < 3; ++fileType) EXPECT_EQ(LoopTypeFromFile(true, fileType), fileType + 1);
  EXPECT_EQ(std::pair(LoopTypeFromFile(true, 3), LoopTypeFromFile(false, 0)), std::pair(kLoopTypeNone, kLoopTypeNone));
  EXPECT_STREQ(LoopTypeText(kLoopTypeAlternate), "ALTERNATE");
}

TEST(CrossSynthesis, LoadingAndLoopModes) {
  const std::vector<float> a = Ramp(100), b(160, 0.5f), same(100, 0.25f);
  // "LOOP" presses from a fresh load: each press's answer, mode and length.
  using Press = std::tuple<MessageCode, int16_t, int32_t>;
  // {name, A's loop, B's loop, B, presses}
  const std::tuple<const char*, SourceLoop, SourceLoop, const std::vector<float>&, std::vector<Press>> cases[] = {
      {"A loops, B longer", {kLoopTypeNormal, 90, 99}, {}, b,
       {{kMsgNone, kLoopActiveFileA, 160}, {kMsgNone, kLoopActiveNone, 100}}},
      // "BOTH" needs B's loop start before A's end (100 - 1 > 120 fails).
      {"both loop", {kLoopTypeNormal, 10, 20}, {kLoopTypeReverse, 120, 150}, b,
       {{kMsgNone, kLoopActiveFileA, 160}, {kMsgNone, kLoopActiveBoth, 160}, {kMsgNone, kLoopActiveNone, 100}}},
      {"B loops early", {kLoopTypeNormal, 10, 20}, {kLoopTypeReverse, 50, 60}, b,
       {{kMsgNone, kLoopActiveFileA, 160}, {kMsgNone, kLoopActiveFileB, 100}}},
      {"no loops", {}, {}, b, {{kMsgNoLoopData, kLoopActiveNone, 100}}},
      {"equal lengths", {kLoopTypeNormal, 10, 20}, {}, same, {{kMsgEqualFileLength, kLoopActiveNone, 100}}},
      {"loop beyond the file", {kLoopTypeNormal, 10, 200}, {}, b, {{kMsgNoLoopData, kLoopActiveNone, 100}}},
  };
  CrossSynthesis cross;
  for (const auto& [name, aLoop, bLoop, bSamples, presses] : cases) {
    SCOPED_TRACE(name);
    ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1, aLoop), Input(bSamples, bSamples, 1, bLoop)), kMsgDone);
    EXPECT_EQ(cross.loopMode, kLoopActiveNone);
    for (const Press& press : presses) {
      const MessageCode answer = CycleLoopMode(cross);
      EXPECT_EQ(Press(answer, cross.loopMode, cross.length), press);
      EXPECT_EQ(cross.bLeft.size(), static_cast<size_t>(cross.length));
    }
  }
  EXPECT_EQ(cross.a.loop.type, kLoopTypeNone);  // the loop beyond the file counts as none

  // A's loop pads it to B's length; mono fills both channels.
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1, {kLoopTypeNormal, 90, 99}), Input(b, b, 1)), kMsgDone);
  EXPECT_EQ(cross.abLeft.size(), 100u + 65536u);
  EXPECT_TRUE(cross.HasOutput());
  CycleLoopMode(cross);
  EXPECT_STREQ(LoopActiveText(cross.loopMode), "FILE A");
  EXPECT_EQ(cross.aRight, cross.aLeft);
  const std::array<float, 4> padded = {cross.aLeft[99], cross.aLeft[100], cross.aLeft[159], cross.bLeft[159]};
  EXPECT_EQ(padded, (std::array<float, 4>{99.0f, 90.0f, 99.0f, 0.5f}));

  EXPECT_EQ(LoadCrossSources(cross, Input(a, a, 1), CrossSourceInput{}), kMsgNoData);
  EXPECT_FALSE(cross.HasOutput());
  for (int code = 1; code <= 12; ++code) EXPECT_EQ(PressCrossSynthesisButton(cross, code), kMsgNoData);
  EXPECT_EQ(DrawCrossEnvelope(cross, 3, 10), kMsgNoData);
}

TEST(CrossEnvelope, MovesTheOutputAlongTheChainEditsAndLimitModes) {
  const std::vector<float> a(50, 0.0f);
  CrossSynthesis cross;
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 2), Input(a, a, 2)), kMsgDone);
  const std::pair<std::vector<float>*, float> fills[] = {{&cross.aLeft, 1.0f},  {&cross.abLeft, 2.0f},
                                                          {&cross.baLeft, 3.0f}, {&cross.bLeft, 4.0f},
                                                          {&cross.aRight, -1.0f}, {&cross.bRight, -4.0f}};
  for (auto [channel, value] : fills) std::ranges::fill(*channel, value);
  const std::array<float, 3> cases[] = {{-127, 4.0f, -4.0f}, {127, 1.0f, -1.0f}, {-42, 3.0f, 0.0f}, {42, 2.0f, 0.0f},
                                        {0, 2.5f, 0.0f}};
  for (const auto& [node, left, right] : cases) {
    cross.envelope = FlatEnvelope(static_cast<int16_t>(node));
    RemixCrossOutput(cross);
    for (size_t i = 0; i < 50; ++i) ASSERT_FLOAT_EQ(cross.outLeft[i], left) << node << " " << i;
    EXPECT_EQ(cross.outRight[7], right) << node;
  }

  // "SET" on a flat envelope steps through the page's list; an unlisted flat value stays, any other shape becomes 0.
  EnvelopeNodes nodes = FlatEnvelope(-42);  // the last of the list wraps to 0, back in limit mode 0
  int16_t mode = 2;
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Set);
  EXPECT_EQ(std::pair(nodes, mode), std::pair(FlatEnvelope(0), int16_t{0}));
  nodes = FlatEnvelope(17);
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Set);
  EXPECT_EQ(nodes, FlatEnvelope(17));
  nodes[4] = 3;
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Set);
  EXPECT_EQ(nodes, FlatEnvelope(0));

  // {edit, mode before, mode after (-1: any), nodes {index, value} after, range all lie in}
  const std::tuple<CrossEnvelopeEdit, int16_t, int16_t, std::vector<std::pair<int, int16_t>>, int16_t, int16_t> steps[] = {
      {CrossEnvelopeEdit::Sweep, 0, -1, {{0, 127}, {16, 0}, {32, -127}}, -127, 127},
      {CrossEnvelopeEdit::Sweep, 2, -1, {{0, 42}, {32, -42}}, -42, 42},
      {CrossEnvelopeEdit::Reverse, -1, -1, {{0, -42}}, -42, 42},
      {CrossEnvelopeEdit::Normal, -1, 0, {{0, -127}, {32, 127}}, -127, 127},
      {CrossEnvelopeEdit::Invert, 1, 0, {{0, 127}}, -127, 127}, {CrossEnvelopeEdit::Random, 1, -1, {}, 42, 127},
      {CrossEnvelopeEdit::Random, 3, -1, {}, -127, -42},
  };
  SeedRandom(4);
  for (const auto& [edit, modeIn, modeOut, expected, low, high] : steps) {
    SCOPED_TRACE(static_cast<int>(edit));
    if (modeIn >= 0) mode = modeIn;
    EditCrossEnvelope(nodes, mode, edit);
    for (const auto& [at, value] : expected) EXPECT_EQ(nodes[static_cast<size_t>(at)], value) << at;
    EXPECT_TRUE(std::ranges::all_of(nodes, [&](int16_t node) { return node >= low && node <= high; }));
    EXPECT_TRUE(modeOut < 0 || mode == modeOut) << mode;
  }

  nodes = FlatEnvelope(0);
  nodes[0] = 90;
  nodes[16] = 100;
  nodes[32] = -30;
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Smooth);
  // (180 + 0) / 3; 22.5 and -7.5 round away from zero.
  const std::array<int16_t, 6> smoothed = {nodes[0], nodes[1], nodes[15], nodes[16], nodes[31], nodes[32]};
  EXPECT_EQ(smoothed, (std::array<int16_t, 6>{60, 23, 25, 50, -8, -20}));
  EnvelopeNodes silent = FlatEnvelope(0);
  EditCrossEnvelope(silent, mode, CrossEnvelopeEdit::Normal);
  EXPECT_EQ(silent, FlatEnvelope(0));

  for (int expected : {0, 1, 2, 3, 0}) {
    mode = static_cast<int16_t>((expected + 3) % 4);
    EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Limit);
    EXPECT_EQ(mode, expected);
  }
  nodes = FlatEnvelope(0);
  DrawCrossEnvelopeNode(nodes, 0, 5, -100);
  DrawCrossEnvelopeNode(nodes, 0, 33, 50);  // no such node
  EXPECT_EQ(nodes[5], -100);
  EXPECT_EQ(CrossLimitRange(3).high, -42);
}

TEST(ResynthesisOptions, WrapRules) {
  // Frame size doubles below the length, overlap 4 .. 64 below the frame size, then wrap.
  const std::array<int, 3> frames[] = {{8192, 1000000, 64}, {1024, 3000, 2048}, {2048, 3000, 64}, {64, 3000, 128},
                                       {64, 100, 64}};
  for (const auto& [size, length, next] : frames) EXPECT_EQ(NextFrameSize(size, length), next) << size << " " << length;
  const std::array<int, 3> overlaps[] = {{32, 64, 4}, {16, 1024, 32}, {32, 1024, 64}, {64, 1024, 4}, {4, 1024, 8}};
  for (const auto& [overlap, size, next] : overlaps) EXPECT_EQ(NextOverlap(overlap, size), next) << overlap << " " << size;
  EXPECT_FLOAT_EQ(ShownSpectralContrast(ResynthesisSettings{}.contrast), 1.0f);

  CrossSynthesis cross;
  ResynthesisOptions options;
  OpenResynthesisOptions(options, cross);
  // The lower limit and "PH_CORR" kept by "fCOMPUTE" are pressed on the page (tests/ui/pages/xmrph_pages_test.cpp).
  int pressed = 0;
  while (PressResynthesisOption(options, cross, kOptionRaiseContrast, {}) == kMsgNone) ++pressed;
  EXPECT_EQ(std::pair(pressed, options.edited.contrast), std::pair(8, 1.0f));
  EXPECT_EQ(PressResynthesisOption(options, cross, kOptionRaiseContrast, {}), kMsgMaxValue);
}

TEST_F(CrossSynthesisTest, IdenticalFilesResynthesiseThemselves) {
  const size_t length = 20000;
  std::vector<float> left = Sine(length, 0.01, 0.6), right = Sine(length, 0.023, 0.4);
  const std::vector<float> extra = Sine(length, 0.071, 0.2);
  for (size_t i = 0; i < length; ++i) left[i] += extra[i];
  CrossSynthesis cross;
  ASSERT_EQ(LoadCrossSources(cross, Input(left, right, 2), Input(left, right, 2)), kMsgDone);
  for (bool correction : {false, true}) {
    cross.settings.phaseCorrection = correction;
    ScriptedProgress progress;
    ASSERT_EQ(Resynthesize(cross, progress.Hooks(), 1), kMsgDone);
    EXPECT_EQ(std::pair(progress.calls.back().done, progress.calls.back().total),
              std::pair(int64_t{length - 1 + 1024}, int64_t{length - 1 + 1024}));
    const double peak = PairPeak(cross.aLeft, cross.aRight);
    for (size_t i = 0; i < length; ++i) {
      ASSERT_NEAR(cross.abLeft[i], left[i], 0.02 * peak) << i;
      ASSERT_NEAR(cross.abRight[i], right[i], 0.02 * peak) << i;
      ASSERT_NEAR(cross.baLeft[i], left[i], 0.02 * peak) << i;
    }
    EXPECT_EQ(cross.abLeft[length], 0.0f);  // only L samples are kept
    EXPECT_NEAR(PairPeak(std::span(cross.abLeft).first(length), std::span(cross.abRight).first(length)), peak, 1e-5);
  }
}

TEST_F(CrossSynthesisTest, ThreadsLevelsCancelAndSilence) {
  const size_t length = 30000;
  const std::vector<float> aLeft = Noise(length, 1, 0.9f), aRight = Noise(length, 2, 0.5f);
  const std::vector<float> bLeft = Sine(length, 0.013, 0.3), bRight = Noise(length, 3, 0.2f);
  CrossSynthesis one;
  ASSERT_EQ(LoadCrossSources(one, Input(aLeft, aRight, 2), Input(bLeft, bRight, 2)), kMsgDone);
  one.settings.frameSize = 512;
  one.settings.overlap = 8;
  CrossSynthesis two = one;
  ASSERT_EQ(Resynthesize(one, {}, 1), kMsgDone);
  ASSERT_EQ(Resynthesize(two, {}, 2), kMsgDone);
  EXPECT_EQ(std::pair(one.abLeft, one.baRight), std::pair(two.abLeft, two.baRight));  // the same sums in the same order
  const double peakA = PairPeak(one.aLeft, one.aRight), peakB = PairPeak(one.bLeft, one.bRight);
  const auto used = [&](const std::vector<float>& v) { return std::span<const float>(v).first(length); };
  EXPECT_NEAR(PairPeak(used(one.abLeft), used(one.abRight)), peakA - (peakA - peakB) / 3, 1e-5);
  EXPECT_NEAR(PairPeak(used(one.baLeft), used(one.baRight)), peakB + (peakA - peakB) / 3, 1e-5);
  EXPECT_TRUE(std::isfinite(MaxAbsOf(one.abLeft)));

  // Cancelled: what was added so far stays, unscaled.
  ScriptedProgress progress(1);
  ASSERT_EQ(Resynthesize(two, progress.Hooks(), 2), kMsgAborted);
  EXPECT_GT(MaxAbsOf(two.abLeft), 0.0);
  EXPECT_EQ(two.abLeft[length - 100], 0.0f);

  // A silent file makes every hybrid magnitude 0, never NaN.
  const std::vector<float> silent(5000, 0.0f);
  for (const std::vector<float>* a : {&silent, &aLeft}) {
    CrossSynthesis quiet;
    ASSERT_EQ(LoadCrossSources(quiet, Input(*a, *a, 1), Input(silent, silent, 1)), kMsgDone);
    ASSERT_EQ(Resynthesize(quiet, {}, 1), kMsgDone);
    RemixCrossOutput(quiet);
    EXPECT_EQ(std::tuple(MaxAbsOf(quiet.abLeft), MaxAbsOf(quiet.baRight), MaxAbsOf(quiet.outLeft)),
              std::tuple(0.0, 0.0, 0.0));
  }
}

TEST_F(CrossSynthesisTest, CancelledLoopChangeAndLeavingRestore) {
  const std::vector<float> a = Noise(6000, 5, 0.7f), b = Noise(9000, 6, 0.4f);
  CrossSynthesis cross;
  cross.envelope = FlatEnvelope(42);
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1, {kLoopTypeNormal, 1000, 5999}), Input(b, b, 1)), kMsgDone);
  ResynthesisOptions options;
  OpenResynthesisOptions(options, cross);
  PressResynthesisOption(options, cross, kOptionOverlap, {});
  ASSERT_EQ(PressResynthesisOption(options, cross, kOptionCompute, {}), kMsgDone);
  const std::vector<float> computed = cross.abLeft, mixed = cross.outLeft;
  // "LOOP" pads A and clears the results; "fCANCEL" restores all.
  OpenResynthesisOptions(options, cross);
  EXPECT_EQ(PressResynthesisOption(options, cross, kOptionLoop, {}), kMsgNone);
  EXPECT_EQ(std::tuple(cross.loopMode, cross.length, MaxAbsOf(cross.abLeft)), std::tuple(kLoopActiveFileA, 9000, 0.0));
  EXPECT_EQ(PressResynthesisOption(options, cross, kOptionCancel, {}), kMsgAborted);
  EXPECT_EQ(std::pair(cross.loopMode, cross.length), std::pair(kLoopActiveNone, 6000));
  EXPECT_EQ(std::pair(cross.abLeft, cross.outLeft), std::pair(computed, mixed));

  // Leaving keeps the settings and the envelope; entering starts empty even after an unclean leave.
  LeaveCrossSynthesis(cross);
  EXPECT_EQ(std::pair(gFftTables.maxLength, cross.HasOutput()), std::pair(0, false));
  EnterCrossSynthesis(cross, 1);
  EXPECT_EQ(gFftTables.maxLength, 8192);
  EXPECT_EQ(std::pair(cross.settings.overlap, cross.envelope), std::pair(32, FlatEnvelope(42)));
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1, {kLoopTypeNormal, 1000, 5999}), Input(b, b, 1)), kMsgDone);
  CycleLoopMode(cross);
  EnterCrossSynthesis(cross, 1);
  EXPECT_EQ(std::tuple(cross.length, cross.loopMode, cross.HasOutput()), std::tuple(0, kLoopActiveNone, false));
}

TEST(Resynthesis, BinPhasesAndHybridBinsFollowThePhaseRules) {
  constexpr float pi = std::numbers::pi_v<float>;
  const std::array<float, 3> phases[] = {{-3, 0, 0}, {0, 0, 0}, {0, 2, pi / 2}, {0, -2, -pi / 2}, {-1, 1, 3 * pi / 4}};
  for (const auto& [re, im, phase] : phases) EXPECT_FLOAT_EQ(BinPhase(re, im), phase) << re << " " << im;
  EXPECT_EQ(BinPhase(-3.0, 0.0), 0.0);
  EXPECT_EQ(std::tuple(PhasePolarity(0.0f), PhasePolarity(-0.1f), PhasePolarity(3.0f)), std::tuple(1, -1, 1));

  // The exact-zero cases of the phase rule and differences past pi, then random bins.
  std::vector<float> a = {0, 0, -2, 0, 0, 3, 1, -1, -0.5f, 0.25f, 4, 2, 1e-30f, 1e-30f, -1, 1, -1, -1, 0, 0};
  std::vector<float> b = {0, 0, 1, 1, -1, 0, 0, -2, 2, 2, -3, -1, 1, 1, -1, -1, -1, 1, 5, 5};
  const std::vector<float> noiseA = Noise(400, 71), noiseB = Noise(400, 72);
  a.insert(a.end() - 2, noiseA.begin(), noiseA.end());
  b.insert(b.end() - 2, noiseB.begin(), noiseB.end());
  const auto bins = static_cast<int32_t>(a.size() / 2 - 1);
  for (bool correction : {false, true}) {
    for (float contrast : {0.25f, 0.5f, 1.0f}) {
      std::vector<float> ab(a.size(), 9.0f), ba(a.size(), 9.0f);
      CombineHybridBins(a.data(), b.data(), bins, contrast, correction, ab.data(), ba.data());
      for (int32_t k = 0; k < bins; ++k) {
        const double ar = a[2 * k], ai = a[2 * k + 1], br = b[2 * k], bi = b[2 * k + 1];
        const double magnitude = std::pow(std::hypot(ar, ai) * std::hypot(br, bi), contrast);
        double pa = BinPhase(ar, ai), pb = BinPhase(br, bi);
        if (correction) {
          const double d = std::fabs(pa - pb) / 2;
          pa += d;
          pb -= d;
        }
        const double tolerance = 1.5e-5 * std::max(1.0, magnitude);
        EXPECT_LT(std::abs(std::complex<double>(ab[2 * k], ab[2 * k + 1]) - std::polar(magnitude, pa)), tolerance) << k;
        EXPECT_LT(std::abs(std::complex<double>(ba[2 * k], ba[2 * k + 1]) - std::polar(magnitude, pb)), tolerance) << k;
      }
      EXPECT_EQ(std::pair(ab[2 * bins], ba[2 * bins + 1]), std::pair(0.0f, 0.0f));
      EXPECT_TRUE(std::isfinite(MaxAbsOf(ab)));
    }
  }
}
