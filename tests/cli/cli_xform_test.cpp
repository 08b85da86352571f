// xform: sox-made samples through the real executable, compared with the
// XFORM analysis and file writer called directly.
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
#include "modules/loaded_sample.h"
#include "modules/xform_analysis.h"
#include "modules/xform_analysis_source.h"
#include "wavetable/xform_file.h"
#include "wavetable/xform_workspace.h"

using cli_fixture::EngineSample;
using cli_fixture::LoadForEngine;
using cli_fixture::RunCli;
using cli_fixture::Sox;
using namespace wave_fixtures;
namespace fs = std::filesystem;

namespace {


std::vector<uint8_t> EngineXform(const EngineSample& loaded, XformSourceMode mode, double smoothness) {
  XformWorkspace workspace;
  EnterXform(workspace, gApp.physicalMemory, 1);
  const SampleChannels sample = SampleChannelsOf(loaded.left, loaded.right, loaded.descriptor);
  XformAnalysisSource source;
  if (BuildXformAnalysisSource(sample, mode, source) != kMsgNone) return {};
  XformAnalysis record;
  if (RunXformAnalysis(RangeOf(source, false), RangeOf(source, true), record, workspace.table, workspace.engine, {}) !=
      kMsgDone) {
    return {};
  }
  if (smoothness > 0.0) {
    record.controls.smoothness = smoothness;
    if (RebuildFilterSpectra(record, workspace.table, workspace.engine, {}) != kMsgDone) return {};
  }
  ApplyXformAnalysis(workspace, record, "X");
  std::vector<uint8_t> bytes = EncodeXformWave(workspace.table);
  LeaveXform(workspace);
  return bytes;
}

}  // namespace

TEST(CliXform, TablesMatchTheEngineByteForByte) {
  ASSERT_TRUE(SoxAvailable()) << "sox is installed by scripts/setup.sh";
  TempFolder folder;
  ASSERT_TRUE(Sox("-r 44100 -c 2 -n -b 16 '" + (folder / "Wind Noise.wav") +
                  "' synth 40000s pinknoise synth 40000s sine amod 3 vol 0.4"));
  EngineSample sample;
  ASSERT_TRUE(LoadForEngine(folder / "Wind Noise.wav", sample));
  fs::create_directory(folder / "out");

  const auto plain = RunCli(folder, {"xform", "--out", "out", "Wind Noise.wav"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, "out/WIND_NOI.WAV\n");
  const std::vector<uint8_t> expected = EngineXform(sample, XformSourceMode::Stereo, 0.0);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(ReadAllBytes(folder / "out/WIND_NOI.WAV"), expected);

  // The library takes it for an XFORM table of 33 slices.
  const auto info = RunCli(folder, {"info", "out/WIND_NOI.WAV"});
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("\t13\t"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("count=33"), std::string::npos) << info.out;

  const auto tuned =
      RunCli(folder, {"xform", "--source", "left", "--smoothness", "0.5", "--name", "left", "Wind Noise.wav"});
  EXPECT_EQ(tuned.status, 0) << tuned.err;
  EXPECT_EQ(tuned.out, "./LEFT.WAV\n");
  const std::vector<uint8_t> tunedBytes = EngineXform(sample, XformSourceMode::LeftOnly, 0.5);
  EXPECT_EQ(ReadAllBytes(folder / "LEFT.WAV"), tunedBytes);
  EXPECT_NE(tunedBytes, expected);
}

TEST(CliXform, RefusalsAndUsage) {
  ASSERT_TRUE(SoxAvailable()) << "sox is installed by scripts/setup.sh";
  TempFolder folder;
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + (folder / "a.wav") + "' synth 20000s pinknoise vol 0.4"));
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + (folder / "short.wav") + "' synth 3000s sine 440 vol 0.5"));
  const auto tooShort = RunCli(folder, {"xform", "--no-force-loop", "short.wav"});
  EXPECT_EQ(tooShort.status, 1);
  EXPECT_EQ(tooShort.err, "short.wav: " + std::string(MessageText(kMsgMinimumAnalysisRange)) + "\n");
  ASSERT_EQ(RunCli(folder, {"xform", "a.wav"}).status, 0);
  const auto again = RunCli(folder, {"xform", "a.wav"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.err, "a.wav: " + std::string(MessageText(kMsgFileAlreadyExists)) + " <A.WAV>\n");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"xform"},
           {"xform", "--source", "both", "a.wav"},
           {"xform", "--peak-boost", "2", "a.wav"},
           {"xform", "--smoothness", "-0.1", "a.wav"},
           {"xform", "--out", "nowhere", "a.wav"},
           {"xform", "--name", "x", "a.wav", "a.wav"}}) {
    const auto run = RunCli(folder, args);
    EXPECT_EQ(run.status, 2) << args.back() << " " << run.err;
    EXPECT_NE(run.err.find("sonic-loom-cli xform: "), std::string::npos) << run.err;
  }
  EXPECT_EQ(RunCli(folder, {"xform", "--help"}).status, 0);
}
