// xmrph: two sox-made samples through the real executable, compared with
// cross synthesis and its rendering called directly.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "cli/cli_fixture.h"
#include "cli/cli_sample_fixture.h"
#include "core/message_codes.h"
#include "core/message_texts.h"
#include "files/folder_table.h"
#include "files/sample_loader.h"
#include "files/wave_fixtures.h"
#include "modules/cross_rendering.h"
#include "modules/loaded_sample.h"
#include "modules/resynthesis.h"
#include "wavetable/vorta_wave_output.h"

using cli_fixture::EngineSample;
using cli_fixture::LoadForEngine;
using cli_fixture::RunCli;
using cli_fixture::Sox;
using namespace wave_fixtures;
namespace fs = std::filesystem;

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

TEST(CliXmrph, CrossSynthesisMatchesTheEngineByteForByte) {
  ASSERT_TRUE(SoxAvailable()) << "sox is installed by scripts/setup.sh";
  TempFolder folder;
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + (folder / "noise.wav") + "' synth 20000s pinknoise vol 0.4"));
  ASSERT_TRUE(Sox("-r 44100 -c 2 -n -b 16 '" + (folder / "chord.wav") + "' synth 26000s sine 300 sine 450 vol 0.6"));
  EngineSample a, b;
  ASSERT_TRUE(LoadForEngine(folder / "noise.wav", a));
  ASSERT_TRUE(LoadForEngine(folder / "chord.wav", b));
  fs::create_directory(folder / "out");

  const auto plain = RunCli(folder, {"xmrph", "--out", "out", "noise.wav", "chord.wav"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, "out/NOISE.WAV\n");
  EXPECT_EQ(plain.err, "");
  const std::vector<uint8_t> expected = EngineCross(a, b, {}, FlatEnvelope(0), {});
  ASSERT_GT(expected.size(), 44u);
  EXPECT_EQ(ReadAllBytes(folder / "out/NOISE.WAV"), expected);
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
  const auto tuned = RunCli(folder, {"xmrph", "--overlap", "8", "--fft", "2048", "--contrast", "1.5",
                                     "--no-phase-correction", "--envelope", envelopeText, "--level", "unchanged",
                                     "--bits", "float", "--name", "morph", "noise.wav", "chord.wav"});
  EXPECT_EQ(tuned.status, 0) << tuned.err;
  EXPECT_EQ(tuned.out, "./MORPH.WAV\n");
  const std::vector<uint8_t> tunedBytes = EngineCross(a, b, settings, envelope, options);
  EXPECT_EQ(ReadAllBytes(folder / "MORPH.WAV"), tunedBytes);
  EXPECT_NE(tunedBytes, expected);
}

TEST(CliXmrph, RefusalsAndUsage) {
  ASSERT_TRUE(SoxAvailable()) << "sox is installed by scripts/setup.sh";
  TempFolder folder;
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + (folder / "a.wav") + "' synth 20000s pinknoise vol 0.4"));
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + (folder / "b.wav") + "' synth 6000s sine 200 vol 0.4"));

  const auto noLoop = RunCli(folder, {"xmrph", "--loop-active", "a", "a.wav", "b.wav"});
  EXPECT_EQ(noLoop.status, 1);
  EXPECT_EQ(noLoop.err, "a.wav: " + std::string(MessageText(kMsgNoLoopData)) + " <LOOP ACTIVE FOR>\n");
  const auto bigFrame = RunCli(folder, {"xmrph", "--fft", "8192", "--overlap", "4", "a.wav", "b.wav"});
  EXPECT_EQ(bigFrame.status, 1) << bigFrame.err;
  EXPECT_EQ(bigFrame.err, "a.wav: " + std::string(MessageText(kMsgMaxValue)) + " <FFT FRAME SIZE>\n");
  const auto missing = RunCli(folder, {"xmrph", "a.wav", "none.wav"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "none.wav: " + std::string(MessageText(kMsgFileNotFound)) + "\n");
  EXPECT_FALSE(fs::exists(folder / "A.WAV"));

  ASSERT_EQ(RunCli(folder, {"xmrph", "a.wav", "b.wav"}).status, 0);
  const auto again = RunCli(folder, {"xmrph", "a.wav", "b.wav"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.err, "a.wav: " + std::string(MessageText(kMsgFileAlreadyExists)) + " <A.WAV>\n");

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"xmrph", "a.wav"},
           {"xmrph", "a.wav", "b.wav", "a.wav"},
           {"xmrph", "--fft", "1000", "a.wav", "b.wav"},
           {"xmrph", "--overlap", "128", "a.wav", "b.wav"},
           {"xmrph", "--fft", "64", "--overlap", "64", "a.wav", "b.wav"},
           {"xmrph", "--contrast", "3", "a.wav", "b.wav"},
           {"xmrph", "--envelope", "1 2 3", "a.wav", "b.wav"},
           {"xmrph", "--loop-active", "c", "a.wav", "b.wav"},
           {"xmrph", "--level", "high", "a.wav", "b.wav"}}) {
    const auto run = RunCli(folder, args);
    EXPECT_EQ(run.status, 2) << args[1] << " " << run.err;
    EXPECT_NE(run.err.find("sonic-loom-cli xmrph: "), std::string::npos) << run.err;
  }
  EXPECT_EQ(RunCli(folder, {"xmrph", "--help"}).status, 0);
}
