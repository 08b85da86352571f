// xmrph: two sox-made samples through the real executable, compared with
// cross synthesis and its rendering called directly.
#include "cli/cli_fixture.h"
#include "modules/cross_rendering.h"
#include "modules/loaded_sample.h"
#include "modules/resynthesis.h"

using namespace cli_fixture;

namespace {

std::vector<uint8_t> EngineCross(const EngineSample& a, const EngineSample& b, const ResynthesisSettings& settings,
                                 const EnvelopeNodes& envelope, const CrossRenderOptions& options) {
  CrossSynthesis cross;
  EnterCrossSynthesis(cross, 1);
  if (LoadCrossSources(cross, CrossSourceOf(a.left, a.right, a.descriptor, "A"),
                       CrossSourceOf(b.left, b.right, b.descriptor, "B")) != kMsgDone) {
    return {};
  }
  cross.settings = settings;
  if (Resynthesize(cross, {}, 1) != kMsgDone) return {};
  cross.envelope = envelope;
  RemixCrossOutput(cross);
  std::vector<uint8_t> bytes = BuildCrossWaveFile(cross, options);
  LeaveCrossSynthesis(cross);
  return bytes;
}

}  // namespace

TEST_F(CliTest, XmrphMatchesTheEngineByteForByte) {
  MakeSample("noise.wav", 1, 20000, "pinknoise vol 0.4");
  MakeSample("chord.wav", 2, 26000, "sine 300 sine 450 vol 0.6");
  const EngineSample a = LoadForEngine(folder / "noise.wav");
  const EngineSample b = LoadForEngine(folder / "chord.wav");
  MakeFolder("out");
  EXPECT_EQ(Run({"xmrph", "--out", "out", "noise.wav", "chord.wav"}), (CliRun{0, "out/NOISE.WAV\n", ""}));
  const std::vector<uint8_t> expected = EngineCross(a, b, {}, FlatEnvelope(0), {});
  ASSERT_GT(expected.size(), 44u);
  EXPECT_EQ(Bytes("out/NOISE.WAV"), expected);
  EXPECT_EQ(GetU32(expected, 20) >> 16, 2u);        // B has two channels
  EXPECT_EQ(GetU32(expected, 40), 20000u * 2 * 2);  // the shorter length, 16 bits

  ResynthesisSettings settings;
  settings.overlap = 8;
  settings.frameSize = 2048;
  settings.contrast = 0.75f;
  settings.phaseCorrection = false;
  EnvelopeNodes envelope{};
  std::string envelopeText;
  for (size_t i = 0; i < envelope.size(); ++i) {
    envelope[i] = static_cast<int16_t>(-127 + static_cast<int>(i) * 254 / 32);
    envelopeText += std::to_string(envelope[i]) + " ";
  }
  CrossRenderOptions options;
  options.level = CrossLevelMode::Unchanged;
  options.bitsMode = kBitsModeFloat;
  EXPECT_EQ(Run({"xmrph", "--overlap", "8", "--fft", "2048", "--contrast", "1.5", "--no-phase-correction", "--envelope",
                 envelopeText, "--level", "unchanged", "--bits", "float", "--name", "morph", "noise.wav", "chord.wav"}),
            (CliRun{0, "./MORPH.WAV\n", ""}));
  const std::vector<uint8_t> tunedBytes = EngineCross(a, b, settings, envelope, options);
  EXPECT_EQ(Bytes("MORPH.WAV"), tunedBytes);
  EXPECT_NE(tunedBytes, expected);

  // Settings the page would refuse for these files: no loop, a frame longer than B.
  MakeSample("b.wav", 1, 6000, "sine 200 vol 0.4");
  EXPECT_EQ(Run({"xmrph", "--loop-active", "a", "noise.wav", "b.wav"}),
            (CliRun{1, "", Refused("noise.wav", kMsgNoLoopData, " <LOOP ACTIVE FOR>")}));
  EXPECT_EQ(Run({"xmrph", "--fft", "8192", "--overlap", "4", "--name", "big", "noise.wav", "b.wav"}),
            (CliRun{1, "", Refused("noise.wav", kMsgMaxValue, " <FFT FRAME SIZE>")}));
  EXPECT_FALSE(Exists("BIG.WAV"));
}
