#include "modules/cross_synthesis.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <numeric>
#include <vector>

#include "core/random.h"
#include "dsp/fft_tables.h"
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

std::vector<float> Padded(const SourceLoop& loop, const std::vector<float>& source, size_t target) {
  std::vector<float> out(target, -1.0f);
  LoopPad(loop, source, out);
  return out;
}

CrossSourceInput Input(const std::vector<float>& left, const std::vector<float>& right, int channels, SourceLoop loop = {},
                       const char* name = "A") {
  return {left, right, static_cast<int32_t>(left.size()), channels, loop, name};
}

void FillConstant(std::vector<float>& channel, float value) { std::fill(channel.begin(), channel.end(), value); }

}  // namespace

using CrossSynthesisTest = ModuleTest;

TEST(LoopPad, AllFourLoopTypes) {
  const std::vector<float> source = Ramp(10);
  const struct {
    SourceLoop loop;
    size_t target;
    std::vector<float> padded;
  } cases[] = {
      {{kLoopTypeNormal, 2, 4}, 12, {0, 1, 2, 3, 4, 2, 3, 4, 2, 3, 4, 2}},
      {{kLoopTypeAlternate, 2, 4}, 13, {0, 1, 2, 3, 4, 4, 3, 2, 2, 3, 4, 4, 3}},
      {{kLoopTypeReverse, 2, 4}, 9, {0, 1, 4, 3, 2, 4, 3, 2, 4}},
      {{kLoopTypeNone, 2, 4}, 12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0}},
      {{kLoopTypeNormal, 2, 4}, 4, {0, 1, 2, 3}},
      {{kLoopTypeNormal, 5, 7}, 3, {0, 1, 5}},  // a loop starting beyond the target: target - 1, then the loop
      {{kLoopTypeReverse, 5, 7}, 3, {0, 1, 7}},
      {{kLoopTypeAlternate, 9, 9}, 12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9}},  // one-sample loop
      {{kLoopTypeNormal, 2, 50}, 12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0}},  // outside the source: none
      {{kLoopTypeNormal, 2, 4}, 0, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Padded(c.loop, source, c.target), c.padded) << c.loop.type << " " << c.target;
  // A loop outside the source counts as none; never more than the source is read.
  for (const SourceLoop& loop : {SourceLoop{kLoopTypeNormal, 2, 10}, SourceLoop{kLoopTypeNormal, 5, 4},
                                 SourceLoop{kLoopTypeNormal, -1, 4}, SourceLoop{4, 1, 4}})
    EXPECT_FALSE(LoopIsValid(loop, 10)) << loop.type << " " << loop.start << " " << loop.end;
  EXPECT_TRUE(LoopIsValid({kLoopTypeReverse, 0, 9}, 10));
  const int types[] = {kLoopTypeNormal, kLoopTypeAlternate, kLoopTypeReverse, kLoopTypeNone};
  for (int fileType = 0; fileType < 4; ++fileType) EXPECT_EQ(LoopTypeFromFile(true, fileType), types[fileType]);
  EXPECT_EQ(LoopTypeFromFile(false, 0), kLoopTypeNone);
  EXPECT_STREQ(LoopTypeText(kLoopTypeAlternate), "ALTERNATE");
}

TEST(CrossSynthesis, LoadingAndLoopModes) {
  const std::vector<float> a = Ramp(100);
  const std::vector<float> b(160, 0.5f);
  CrossSynthesis cross;
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1, {kLoopTypeNormal, 90, 99}), Input(b, b, 1)), kMsgDone);
  EXPECT_EQ(cross.loopMode, kLoopActiveNone);
  EXPECT_EQ(cross.length, 100);
  EXPECT_EQ(cross.abLeft.size(), 100u + 65536u);
  EXPECT_TRUE(cross.HasOutput());
  EXPECT_EQ(cross.aRight, cross.aLeft);  // mono fills both channels
  // A has a loop and B is longer: "FILE A", then back to "NONE" (B has no loop).
  EXPECT_EQ(CycleLoopMode(cross), kMsgNone);
  EXPECT_EQ(cross.loopMode, kLoopActiveFileA);
  EXPECT_STREQ(LoopActiveText(cross.loopMode), "FILE A");
  EXPECT_EQ(cross.length, 160);
  EXPECT_EQ(cross.aLeft[99], 99.0f);
  EXPECT_EQ(cross.aLeft[100], 90.0f);
  EXPECT_EQ(cross.aLeft[159], 99.0f);
  EXPECT_EQ(cross.bLeft[159], 0.5f);
  EXPECT_EQ(CycleLoopMode(cross), kMsgNone);
  EXPECT_EQ(cross.loopMode, kLoopActiveNone);
  EXPECT_EQ(cross.length, 100);

  // Both with loops: 0 -> 1 -> 2? B's loop start must lie before A's end.
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1, {kLoopTypeNormal, 10, 20}), Input(b, b, 1, {kLoopTypeReverse, 120, 150})),
            kMsgDone);
  CycleLoopMode(cross);
  EXPECT_EQ(cross.loopMode, kLoopActiveFileA);
  CycleLoopMode(cross);
  EXPECT_EQ(cross.loopMode, kLoopActiveBoth);  // 2 needs 100 - 1 > 120
  EXPECT_EQ(cross.length, 160);
  EXPECT_EQ(cross.bLeft.size(), 160u);
  CycleLoopMode(cross);
  EXPECT_EQ(cross.loopMode, kLoopActiveNone);
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1, {kLoopTypeNormal, 10, 20}), Input(b, b, 1, {kLoopTypeReverse, 50, 60})),
            kMsgDone);
  CycleLoopMode(cross);
  CycleLoopMode(cross);
  EXPECT_EQ(cross.loopMode, kLoopActiveFileB);
  EXPECT_EQ(cross.length, 100);

  // No loops at all; equal lengths.
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1), Input(b, b, 1)), kMsgDone);
  EXPECT_EQ(CycleLoopMode(cross), kMsgNoLoopData);
  const std::vector<float> c(100, 0.25f);
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1, {kLoopTypeNormal, 10, 20}), Input(c, c, 1)), kMsgDone);
  EXPECT_EQ(CycleLoopMode(cross), kMsgEqualFileLength);
  EXPECT_EQ(cross.loopMode, kLoopActiveNone);
  // A loop beyond the file counts as none.
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1, {kLoopTypeNormal, 10, 200}), Input(b, b, 1)), kMsgDone);
  EXPECT_EQ(cross.a.loop.type, kLoopTypeNone);
  EXPECT_EQ(CycleLoopMode(cross), kMsgNoLoopData);

  EXPECT_EQ(LoadCrossSources(cross, Input(a, a, 1), CrossSourceInput{}), kMsgNoData);
  EXPECT_FALSE(cross.HasOutput());
  for (int code = 1; code <= 12; ++code) EXPECT_EQ(PressCrossSynthesisButton(cross, code), kMsgNoData);
  EXPECT_EQ(DrawCrossEnvelope(cross, 3, 10), kMsgNoData);
}

TEST(CrossSynthesis, EnvelopeMovesTheOutputAlongTheChain) {
  const std::vector<float> a(50, 0.0f);
  CrossSynthesis cross;
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 2), Input(a, a, 2)), kMsgDone);
  FillConstant(cross.aLeft, 1.0f);
  FillConstant(cross.abLeft, 2.0f);
  FillConstant(cross.baLeft, 3.0f);
  FillConstant(cross.bLeft, 4.0f);
  FillConstant(cross.aRight, -1.0f);
  FillConstant(cross.bRight, -4.0f);
  const struct {
    int16_t node;
    float left;
  } cases[] = {{-127, 4.0f}, {127, 1.0f}, {-42, 3.0f}, {42, 2.0f}, {0, 2.5f}};
  for (const auto& c : cases) {
    cross.envelope = FlatEnvelope(c.node);
    RemixCrossOutput(cross);
    for (size_t i = 0; i < 50; ++i) ASSERT_FLOAT_EQ(cross.outLeft[i], c.left) << c.node << " " << i;
  }
  cross.envelope = FlatEnvelope(127);
  RemixCrossOutput(cross);
  EXPECT_EQ(cross.outRight[7], -1.0f);
  cross.envelope = FlatEnvelope(-127);
  RemixCrossOutput(cross);
  EXPECT_EQ(cross.outRight[7], -4.0f);
}

TEST(CrossEnvelope, EditsAndLimitModes) {
  EnvelopeNodes nodes = FlatEnvelope(0);
  int16_t mode = 2;
  const int16_t cycle[] = {42, 127, -127, -42, 0, 42};
  for (int16_t expected : cycle) {
    EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Set);
    EXPECT_EQ(nodes, FlatEnvelope(expected));
    EXPECT_EQ(mode, 0);
  }
  nodes = FlatEnvelope(17);
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Set);
  EXPECT_EQ(nodes, FlatEnvelope(17));
  nodes[4] = 3;
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Set);
  EXPECT_EQ(nodes, FlatEnvelope(0));

  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Sweep);
  EXPECT_EQ(nodes[0], 127);
  EXPECT_EQ(nodes[16], 0);
  EXPECT_EQ(nodes[32], -127);
  mode = 2;
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Sweep);
  EXPECT_EQ(nodes[0], 42);
  EXPECT_EQ(nodes[32], -42);
  for (int16_t node : nodes) EXPECT_TRUE(node >= -42 && node <= 42);
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Reverse);
  EXPECT_EQ(nodes[0], -42);
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Normal);
  EXPECT_EQ(nodes[0], -127);
  EXPECT_EQ(nodes[32], 127);
  EXPECT_EQ(mode, 0);
  mode = 1;
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Invert);
  EXPECT_EQ(nodes[0], 127);
  EXPECT_EQ(mode, 0);

  SeedRandom(4);
  mode = 1;
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Random);
  for (int16_t node : nodes) EXPECT_TRUE(node >= 42 && node <= 127) << node;
  mode = 3;
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Random);
  for (int16_t node : nodes) EXPECT_TRUE(node >= -127 && node <= -42) << node;

  nodes = FlatEnvelope(0);
  nodes[0] = 90;
  nodes[16] = 100;
  nodes[32] = -30;
  EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Smooth);
  EXPECT_EQ(nodes[0], 60);    // (180 + 0) / 3
  EXPECT_EQ(nodes[1], 23);    // (90 + 0 + 0) / 4 = 22.5, away from zero
  EXPECT_EQ(nodes[15], 25);
  EXPECT_EQ(nodes[16], 50);
  EXPECT_EQ(nodes[32], -20);  // (-60 + 0) / 3
  EXPECT_EQ(nodes[31], -8);   // -7.5

  EnvelopeNodes silent = FlatEnvelope(0);
  EditCrossEnvelope(silent, mode, CrossEnvelopeEdit::Normal);
  EXPECT_EQ(silent, FlatEnvelope(0));

  for (int expected : {0, 1, 2, 3, 0}) {
    mode = static_cast<int16_t>((expected + 3) % 4);
    EditCrossEnvelope(nodes, mode, CrossEnvelopeEdit::Limit);
    EXPECT_EQ(mode, expected);
  }
  nodes = FlatEnvelope(0);
  DrawCrossEnvelopeNode(nodes, 1, 5, -100);
  EXPECT_EQ(nodes[5], 42);
  DrawCrossEnvelopeNode(nodes, 0, 5, -100);
  EXPECT_EQ(nodes[5], -100);
  DrawCrossEnvelopeNode(nodes, 0, 33, 50);  // no such node
  EXPECT_EQ(CrossLimitRange(3).high, -42);
}

TEST(ResynthesisOptions, WrapRules) {
  // Frame size doubles up to the length, then back to 64; overlap 4 .. 64, at most the frame size.
  const std::array<int, 3> frames[] = {{8192, 1000000, 64}, {1024, 3000, 2048}, {2048, 3000, 64}, {64, 3000, 128},
                                       {64, 100, 64}};
  for (const auto& [size, length, next] : frames) EXPECT_EQ(NextFrameSize(size, length), next) << size << " " << length;
  const std::array<int, 3> overlaps[] = {{32, 64, 4}, {16, 1024, 32}, {32, 1024, 64}, {64, 1024, 4}, {4, 1024, 8}};
  for (const auto& [overlap, size, next] : overlaps) EXPECT_EQ(NextOverlap(overlap, size), next) << overlap << " " << size;
  char shown[16];
  std::snprintf(shown, sizeof shown, "%1.2f", ShownSpectralContrast(ResynthesisSettings{}.contrast));
  EXPECT_STREQ(shown, "1.00");

  CrossSynthesis cross;
  ResynthesisOptions options;
  OpenResynthesisOptions(options, cross);
  int presses = 0;
  while (PressResynthesisOption(options, cross, kOptionLowerContrast, {}) == kMsgNone) ++presses;
  EXPECT_EQ(presses, 4);
  EXPECT_EQ(options.edited.contrast, 0.25f);
  presses = 0;
  while (PressResynthesisOption(options, cross, kOptionRaiseContrast, {}) == kMsgNone) ++presses;
  EXPECT_EQ(presses, 12);
  EXPECT_EQ(options.edited.contrast, 1.0f);
  EXPECT_EQ(PressResynthesisOption(options, cross, kOptionRaiseContrast, {}), kMsgMaxValue);
  PressResynthesisOption(options, cross, kOptionPhaseCorrection, {});
  EXPECT_FALSE(options.edited.phaseCorrection);
  EXPECT_TRUE(cross.settings.phaseCorrection);  // stored only by "fCOMPUTE"
  EXPECT_EQ(PressResynthesisOption(options, cross, kOptionCompute, {}), kMsgNoData);
  EXPECT_FALSE(cross.settings.phaseCorrection);
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
    EXPECT_EQ(progress.calls.back().done, progress.calls.back().total);
    EXPECT_EQ(progress.calls.back().total, static_cast<int64_t>(length) - 1 + 1024);
    const double peak = PairPeak(cross.aLeft, cross.aRight);
    for (size_t i = 0; i < length; ++i) {
      ASSERT_NEAR(cross.abLeft[i], left[i], 0.02 * peak) << i;
      ASSERT_NEAR(cross.abRight[i], right[i], 0.02 * peak) << i;
      ASSERT_NEAR(cross.baLeft[i], left[i], 0.02 * peak) << i;
    }
    EXPECT_EQ(cross.abLeft[length], 0.0f);  // only L samples are kept
    EXPECT_NEAR(PairPeak(std::span<const float>(cross.abLeft).first(length), std::span<const float>(cross.abRight).first(length)), peak, 1e-5);
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
  EXPECT_EQ(one.abLeft, two.abLeft);  // the same sums in the same order
  EXPECT_EQ(one.baRight, two.baRight);
  const double peakA = PairPeak(one.aLeft, one.aRight), peakB = PairPeak(one.bLeft, one.bRight);
  const auto used = [&](const std::vector<float>& v) { return std::span<const float>(v).first(length); };
  EXPECT_NEAR(PairPeak(used(one.abLeft), used(one.abRight)), peakA - (peakA - peakB) / 3, 1e-5);
  EXPECT_NEAR(PairPeak(used(one.baLeft), used(one.baRight)), peakB + (peakA - peakB) / 3, 1e-5);
  EXPECT_TRUE(AllFinite(one.abLeft));

  // Cancelled: what was added so far stays, unscaled; the frames are not all there.
  ScriptedProgress progress;
  progress.cancelAtCall = 1;
  CrossSynthesis cancelled = two;
  ASSERT_EQ(Resynthesize(cancelled, progress.Hooks(), 2), kMsgAborted);
  EXPECT_GT(MaxAbsOf(cancelled.abLeft), 0.0);
  EXPECT_EQ(cancelled.abLeft[length - 100], 0.0f);

  // Silent files: no peak to divide by, no NaN.
  const std::vector<float> silent(5000, 0.0f);
  CrossSynthesis quiet;
  ASSERT_EQ(LoadCrossSources(quiet, Input(silent, silent, 1), Input(silent, silent, 1)), kMsgDone);
  ASSERT_EQ(Resynthesize(quiet, {}, 1), kMsgDone);
  EXPECT_TRUE(AllFinite(quiet.abLeft));
  EXPECT_TRUE(AllFinite(quiet.baRight));
  EXPECT_EQ(MaxAbsOf(quiet.abLeft), 0.0);
  // One silent file: the other's hybrid magnitude is 0 everywhere as well.
  ASSERT_EQ(LoadCrossSources(quiet, Input(aLeft, aRight, 2), Input(silent, silent, 1)), kMsgDone);
  ASSERT_EQ(Resynthesize(quiet, {}, 1), kMsgDone);
  EXPECT_TRUE(AllFinite(quiet.abLeft));
  RemixCrossOutput(quiet);
  EXPECT_TRUE(AllFinite(quiet.outLeft));
}

TEST_F(CrossSynthesisTest, OptionsComputeAndCancelRestore) {
  const std::vector<float> a = Noise(6000, 5, 0.7f), b = Noise(9000, 6, 0.4f);
  CrossSynthesis cross;
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1, {kLoopTypeNormal, 1000, 5999}), Input(b, b, 1)), kMsgDone);
  ResynthesisOptions options;
  OpenResynthesisOptions(options, cross);
  PressResynthesisOption(options, cross, kOptionOverlap, {});
  EXPECT_EQ(options.edited.overlap, 32);
  ASSERT_EQ(PressResynthesisOption(options, cross, kOptionCompute, {}), kMsgDone);
  EXPECT_EQ(cross.settings.overlap, 32);
  const std::vector<float> computed = cross.abLeft;
  const std::vector<float> mixed = cross.outLeft;
  ASSERT_GT(MaxAbsOf(computed), 0.0);

  // The next visit: "LOOP" and settings change, then "fCANCEL" restores all.
  OpenResynthesisOptions(options, cross);
  PressResynthesisOption(options, cross, kOptionFrameSize, {});
  EXPECT_EQ(options.edited.frameSize, 2048);
  EXPECT_EQ(PressResynthesisOption(options, cross, kOptionLoop, {}), kMsgNone);
  EXPECT_EQ(cross.loopMode, kLoopActiveFileA);
  EXPECT_EQ(cross.length, 9000);
  EXPECT_EQ(MaxAbsOf(cross.abLeft), 0.0);
  EXPECT_EQ(PressResynthesisOption(options, cross, kOptionCancel, {}), kMsgAborted);
  EXPECT_EQ(cross.loopMode, kLoopActiveNone);
  EXPECT_EQ(cross.length, 6000);
  EXPECT_EQ(cross.settings.frameSize, 1024);
  EXPECT_EQ(cross.abLeft, computed);
  EXPECT_EQ(cross.outLeft, mixed);

  // A cancelled computation keeps the page open; "fCANCEL" then restores.
  OpenResynthesisOptions(options, cross);
  ScriptedProgress progress;
  progress.cancelAtCall = 0;
  EXPECT_EQ(ComputeResynthesisOptions(options, cross, progress.Hooks()), kMsgAborted);
  EXPECT_NE(cross.abLeft, computed);
  CancelResynthesisOptions(options, cross);
  EXPECT_EQ(cross.abLeft, computed);

  // Leaving the module keeps the settings and the envelope.
  cross.envelope = FlatEnvelope(42);
  LeaveCrossSynthesis(cross);
  EXPECT_EQ(gFftTables.maxLength, 0);
  EnterCrossSynthesis(cross, 1);
  EXPECT_EQ(gFftTables.maxLength, 8192);
  EXPECT_EQ(cross.settings.overlap, 32);
  EXPECT_EQ(cross.envelope, FlatEnvelope(42));
  EXPECT_EQ(cross.length, 0);
  EXPECT_FALSE(cross.HasOutput());
  // Entering starts empty even when the last visit did not leave cleanly.
  ASSERT_EQ(LoadCrossSources(cross, Input(a, a, 1), Input(b, b, 1)), kMsgDone);
  EnterCrossSynthesis(cross, 1);
  EXPECT_FALSE(cross.HasOutput());
  EXPECT_EQ(cross.envelope, FlatEnvelope(42));
}

TEST(Resynthesis, HybridBinsFollowThePhaseRules) {
  // Bins as measured, including the exact-zero cases of the phase rule and
  // pairs whose phase difference passes pi; then random bins.
  std::vector<float> a = {0, 0, -2, 0, 0, 3, 1, -1, -0.5f, 0.25f, 4, 2, 1e-30f, 1e-30f, -1, 1, -1, -1, 0, 0};
  std::vector<float> b = {0, 0, 1, 1, -1, 0, 0, -2, 2, 2, -3, -1, 1, 1, -1, -1, -1, 1, 5, 5};
  const std::vector<float> noiseA = Noise(400, 71), noiseB = Noise(400, 72);
  a.insert(a.end() - 2, noiseA.begin(), noiseA.end());
  b.insert(b.end() - 2, noiseB.begin(), noiseB.end());
  const auto bins = static_cast<int32_t>(a.size() / 2 - 1);
  for (bool correction : {false, true}) {
    for (float contrast : {0.25f, 0.5f, 1.0f}) {
      std::vector<float> ab(2 * static_cast<size_t>(bins + 1), 9.0f), ba(2 * static_cast<size_t>(bins + 1), 9.0f);
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
        const double tolerance = 1e-5 * std::max(1.0, magnitude);
        EXPECT_NEAR(ab[2 * k], magnitude * std::cos(pa), tolerance) << k;
        EXPECT_NEAR(ab[2 * k + 1], magnitude * std::sin(pa), tolerance) << k;
        EXPECT_NEAR(ba[2 * k], magnitude * std::cos(pb), tolerance) << k;
        EXPECT_NEAR(ba[2 * k + 1], magnitude * std::sin(pb), tolerance) << k;
      }
      EXPECT_EQ(ab[2 * bins], 0.0f);
      EXPECT_EQ(ba[2 * bins + 1], 0.0f);
      EXPECT_TRUE(AllFinite(ab));
    }
  }
  // Bin 1 of A is -2 + 0i: phase 0, so "A*B" points along +re.
  std::vector<float> ab(a.size()), ba(a.size());
  CombineHybridBins(a.data(), b.data(), bins, 0.5f, false, ab.data(), ba.data());
  EXPECT_GT(ab[2], 0.0f);
  EXPECT_EQ(ab[3], 0.0f);
}
