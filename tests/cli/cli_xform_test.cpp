// xform: a sox-made sample through the real executable, compared with the
// XFORM analysis and file writer called directly.
#include "cli/cli_fixture.h"
#include "modules/loaded_sample.h"
#include "modules/xform_analysis.h"
#include "modules/xform_analysis_source.h"
#include "wavetable/xform_file.h"
#include "wavetable/xform_workspace.h"

using namespace cli_fixture;

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

TEST_F(CliTest, XformMatchesTheEngineByteForByte) {
  MakeSample("Wind Noise.wav", 2, 40000, "pinknoise synth 40000s sine amod 3 vol 0.4");
  const EngineSample sample = LoadForEngine(folder / "Wind Noise.wav");
  MakeFolder("out");
  EXPECT_EQ(Run({"xform", "--out", "out", "Wind Noise.wav"}), (CliRun{0, "out/WIND_NOI.WAV\n", ""}));
  const std::vector<uint8_t> expected = EngineXform(sample, XformSourceMode::Stereo, 0.0);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(Bytes("out/WIND_NOI.WAV"), expected);
  // The library takes it for an XFORM table of 33 slices.
  const CliRun info = Run({"info", "out/WIND_NOI.WAV"});
  EXPECT_NE(info.out.find("\t13\t"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("count=33"), std::string::npos) << info.out;

  EXPECT_EQ(Run({"xform", "--source", "left", "--smoothness", "0.5", "--name", "left", "Wind Noise.wav"}),
            (CliRun{0, "./LEFT.WAV\n", ""}));
  const std::vector<uint8_t> tunedBytes = EngineXform(sample, XformSourceMode::LeftOnly, 0.5);
  EXPECT_EQ(Bytes("LEFT.WAV"), tunedBytes);
  EXPECT_NE(tunedBytes, expected);

  MakeSample("short.wav", 1, 3000, "sine 440 vol 0.5");
  EXPECT_EQ(Run({"xform", "--no-force-loop", "short.wav"}), (CliRun{1, "", Refused("short.wav", kMsgMinimumAnalysisRange)}));
}
