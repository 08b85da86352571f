// sloop: sox-made samples through the real executable, compared with loop
// synthesis and its rendering called directly with the same seed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "cli/cli_fixture.h"
#include "cli/cli_sample_fixture.h"
#include "core/byte_order.h"
#include "core/message_codes.h"
#include "core/message_texts.h"
#include "core/random.h"
#include "files/folder_table.h"
#include "files/sample_loader.h"
#include "files/wave_fixtures.h"
#include "modules/loaded_sample.h"
#include "modules/loop_rendering.h"
#include "wavetable/vorta_wave_output.h"

using cli_fixture::EngineSample;
using cli_fixture::LoadForEngine;
using cli_fixture::RunCli;
using cli_fixture::Sox;
using namespace wave_fixtures;
namespace fs = std::filesystem;

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

TEST(CliSloop, LoopsMatchTheEngineByteForByte) {
  ASSERT_TRUE(SoxAvailable()) << "sox is installed by scripts/setup.sh";
  TempFolder folder;
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + (folder / "Mono Noise.wav") + "' synth 30000s pinknoise vol 0.4"));
  ASSERT_TRUE(Sox("-r 44100 -c 2 -n -b 16 '" + (folder / "pad.wav") + "' synth 24000s sine 300 sine 450 vol 0.3"));
  fs::create_directory(folder / "out");

  // Defaults: D = S from the length, FULL RANGE, offset 0, 16 bits, mono stays mono.
  EngineSample mono;
  ASSERT_TRUE(LoadForEngine(folder / "Mono Noise.wav", mono));
  const auto plain = RunCli(folder, {"sloop", "--seed", "7", "--out", "out", "Mono Noise.wav"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, "out/MONO_NOI.WAV\n");
  LoopSynthesis plainLoop;
  const std::vector<uint8_t> expected = EngineLoop(mono, 0, 0, false, false, 7, {}, plainLoop);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(plainLoop.density, 64);  // 30,000 / 512 rounded up to a power of two
  const std::vector<uint8_t> written = ReadAllBytes(folder / "out/MONO_NOI.WAV");
  EXPECT_EQ(written, expected);
  ASSERT_GT(written.size(), 44u);
  EXPECT_EQ(GetU32(written, 20) >> 16, 1u);          // one channel
  EXPECT_EQ(GetU32(written, 40), 30000u * 2);  // 16-bit frames, as long as the input

  // Every option: widening makes two channels, the rotation and TO SOURCE level.
  LoopRenderOptions options;
  options.startOffset = 460;
  options.level = LoopLevelMode::ToSource;
  options.bitsMode = kBitsModeFloat;
  const auto tuned = RunCli(folder, {"sloop", "--seed", "99", "--density", "16", "--smear", "4", "--bidir", "--wide",
                                     "--loop-start", "460", "--level", "source", "--bits", "float", "--out", "out",
                                     "--name", "wide", "Mono Noise.wav"});
  EXPECT_EQ(tuned.status, 0) << tuned.err;
  EXPECT_EQ(tuned.out, "out/WIDE.WAV\n");
  LoopSynthesis tunedLoop;
  const std::vector<uint8_t> tunedBytes = EngineLoop(mono, 16, 4, true, true, 99, options, tunedLoop);
  const std::vector<uint8_t> tunedWritten = ReadAllBytes(folder / "out/WIDE.WAV");
  EXPECT_EQ(tunedWritten, tunedBytes);
  ASSERT_GT(tunedWritten.size(), 44u);
  EXPECT_EQ(GetU32(tunedWritten, 20) >> 16, 2u);
  EXPECT_EQ(GetU32(tunedWritten, 40), 30000u * 8);
  // Offset 460 of 920 starts the file half-way into the computed loop.
  std::vector<float> left, right;
  RenderLoopPreview(tunedLoop, options, left, right);
  ASSERT_EQ(left.size(), 30000u);
  const double gain = left[0] / tunedLoop.outputLeft[15000];
  EXPECT_NEAR(gain, tunedLoop.inputPeak, 1e-4);
  EXPECT_NEAR(left[14999] / tunedLoop.outputLeft[29999], gain, 1e-4);

  // A stereo input stays stereo.
  EngineSample stereo;
  ASSERT_TRUE(LoadForEngine(folder / "pad.wav", stereo));
  const auto pad = RunCli(folder, {"sloop", "--seed=3", "--bits", "8", "pad.wav"});
  EXPECT_EQ(pad.status, 0) << pad.err;
  LoopRenderOptions eight;
  eight.bitsMode = kBitsMode8;
  LoopSynthesis padLoop;
  EXPECT_EQ(ReadAllBytes(folder / "PAD.WAV"), EngineLoop(stereo, 0, 0, false, false, 3, eight, padLoop));
  if (SoxAvailable()) {
    const std::string probe = "soxi -c '" + (folder / "PAD.WAV") + "' > '" + (folder / "probe") + "'";
    ASSERT_EQ(std::system(probe.c_str()), 0);
    EXPECT_EQ(cli_fixture::ReadText(folder / "probe"), "2\n");
  }
}

TEST(CliSloop, RefusalsAndUsage) {
  ASSERT_TRUE(SoxAvailable()) << "sox is installed by scripts/setup.sh";
  TempFolder folder;
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + (folder / "a.wav") + "' synth 30000s pinknoise vol 0.4"));
  // The page raises D only while it lies below L / 128 (234 here): 256 is out of reach.
  const auto far = RunCli(folder, {"sloop", "--density", "512", "a.wav"});
  EXPECT_EQ(far.status, 1);
  EXPECT_EQ(far.err, "a.wav: " + std::string(MessageText(kMsgMaxValue)) + " <SPECTRAL DENSITY>\n");
  EXPECT_FALSE(fs::exists(folder / "A.WAV"));
  const auto reach = RunCli(folder, {"sloop", "--density", "256", "--smear", "1", "--seed", "1", "a.wav"});
  EXPECT_EQ(reach.status, 0) << reach.err;
  const auto again = RunCli(folder, {"sloop", "--seed", "1", "a.wav"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.err, "a.wav: " + std::string(MessageText(kMsgFileAlreadyExists)) + " <A.WAV>\n");
  const auto missing = RunCli(folder, {"sloop", "--out", "..", "none.wav"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "none.wav: " + std::string(MessageText(kMsgFileNotFound)) + "\n");

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"sloop"},
           {"sloop", "--density", "12", "a.wav"},
           {"sloop", "--density", "8", "--smear", "16", "a.wav"},
           {"sloop", "--loop-start", "921", "a.wav"},
           {"sloop", "--level", "loud", "a.wav"},
           {"sloop", "--bits", "24", "a.wav"},
           {"sloop", "--out", "nowhere", "a.wav"},
           {"sloop", "--name", "x", "a.wav", "a.wav"}}) {
    const auto run = RunCli(folder, args);
    EXPECT_EQ(run.status, 2) << args.back() << " " << run.err;
    EXPECT_NE(run.err.find("sonic-loom-cli sloop: "), std::string::npos) << run.err;
  }
  EXPECT_EQ(RunCli(folder, {"sloop", "--help"}).status, 0);
}
