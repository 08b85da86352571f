// sloop: sox-made samples through the real executable, compared with loop
// synthesis and its rendering called directly with the same seed.
#include "cli/cli_fixture.h"
#include "core/random.h"
#include "modules/loaded_sample.h"
#include "modules/loop_rendering.h"

using namespace cli_fixture;

namespace {

std::vector<uint8_t> EngineLoop(const EngineSample& sample, int32_t density, int32_t smear, bool bidirectional,
                                bool widening, uint32_t seed, const LoopRenderOptions& options, LoopSynthesis& loop) {
  if (LoadLoopInputFromSample(loop, sample.left, sample.right, sample.descriptor, "x.wav") != kMsgDone) return {};
  if (density > 0) loop.density = density;
  loop.smear = smear > 0 ? smear : loop.density;
  loop.bidirectional = bidirectional;
  loop.widening = widening;
  SeedRandom(seed);
  if (ComputeLoop(loop, {}) != kMsgDone) return {};
  return BuildLoopWaveFile(loop, options, sample.descriptor.unityNote, sample.descriptor.pitchFraction);
}

}  // namespace

TEST_F(CliTest, SloopMatchesTheEngineByteForByte) {
  MakeSample("Mono Noise.wav", 1, 30000, "pinknoise vol 0.4");
  MakeSample("pad.wav", 2, 24000, "sine 300 sine 450 vol 0.3");
  MakeFolder("out");
  // Defaults: D = S from the length, FULL RANGE, offset 0, 16 bits, mono stays mono.
  const EngineSample mono = LoadForEngine(folder / "Mono Noise.wav");
  EXPECT_EQ(Run({"sloop", "--seed", "7", "--out", "out", "Mono Noise.wav"}), (CliRun{0, "out/MONO_NOI.WAV\n", ""}));
  LoopSynthesis plainLoop;
  const std::vector<uint8_t> expected = EngineLoop(mono, 0, 0, false, false, 7, {}, plainLoop);
  ASSERT_GT(expected.size(), 44u);
  EXPECT_EQ(plainLoop.density, 64);  // 30,000 / 512 rounded up to a power of two
  EXPECT_EQ(Bytes("out/MONO_NOI.WAV"), expected);
  EXPECT_EQ(GetU32(expected, 20) >> 16, 1u);    // one channel
  EXPECT_EQ(GetU32(expected, 40), 30000u * 2);  // 16-bit frames, as long as the input

  // Every option: widening makes two channels, the rotation and TO SOURCE level.
  LoopRenderOptions options;
  options.startOffset = 460;
  options.level = LoopLevelMode::ToSource;
  options.bitsMode = kBitsModeFloat;
  EXPECT_EQ(Run({"sloop", "--seed", "99", "--density", "16", "--smear", "4", "--bidir", "--wide", "--loop-start", "460",
                 "--level", "source", "--bits", "float", "--out", "out", "--name", "wide", "Mono Noise.wav"}),
            (CliRun{0, "out/WIDE.WAV\n", ""}));
  LoopSynthesis tunedLoop;
  const std::vector<uint8_t> tunedBytes = EngineLoop(mono, 16, 4, true, true, 99, options, tunedLoop);
  ASSERT_GT(tunedBytes.size(), 44u);
  EXPECT_EQ(Bytes("out/WIDE.WAV"), tunedBytes);
  EXPECT_EQ(GetU32(tunedBytes, 20) >> 16, 2u);
  EXPECT_EQ(GetU32(tunedBytes, 40), 30000u * 8);
  // Offset 460 of 920 starts the file half-way into the computed loop.
  std::vector<float> left, right;
  RenderLoopPreview(tunedLoop, options, left, right);
  ASSERT_EQ(left.size(), 30000u);
  const double gain = left[0] / tunedLoop.outputLeft[15000];
  EXPECT_NEAR(gain, tunedLoop.inputPeak, 1e-4);
  EXPECT_NEAR(left[14999] / tunedLoop.outputLeft[29999], gain, 1e-4);

  // A stereo input stays stereo, as sox reads it.
  const EngineSample stereo = LoadForEngine(folder / "pad.wav");
  EXPECT_EQ(Run({"sloop", "--seed=3", "--bits", "8", "pad.wav"}).status, 0);
  LoopRenderOptions eight;
  eight.bitsMode = kBitsMode8;
  LoopSynthesis padLoop;
  EXPECT_EQ(Bytes("PAD.WAV"), EngineLoop(stereo, 0, 0, false, false, 3, eight, padLoop));
  ASSERT_EQ(std::system(("soxi -c '" + (folder / "PAD.WAV") + "' > '" + (folder / "probe") + "'").c_str()), 0);
  EXPECT_EQ(ReadText(folder / "probe"), "2\n");

  // The page raises D only while it lies below L / 128 (234 here): 256 is
  // reached, 512 is not.
  EXPECT_EQ(Run({"sloop", "--density", "512", "--name", "far", "Mono Noise.wav"}),
            (CliRun{1, "", Refused("Mono Noise.wav", kMsgMaxValue, " <SPECTRAL DENSITY>")}));
  EXPECT_FALSE(Exists("FAR.WAV"));
  EXPECT_EQ(Run({"sloop", "--density", "256", "--smear", "1", "--seed", "1", "Mono Noise.wav"}).status, 0);
}
