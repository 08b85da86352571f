// analyse: sox-made samples and a hand-laid scan loop through the real
// executable, compared with the analysis engine called directly; and the
// refusals the sample commands share.
#include <cmath>
#include <numbers>

#include "cli/cli_fixture.h"
#include "dsp/dft_tables.h"
#include "formats/blofeld_sysex.h"
#include "modules/analysis_range.h"
#include "modules/loaded_sample.h"
#include "modules/scanloop_analysis.h"
#include "modules/spectral_analysis.h"
#include "wavetable/vorta_synthesis.h"

using namespace cli_fixture;

namespace {

// The range page and the analysis page driven by hand: source, thresholds,
// then the settings; the table as "fAPPLY" hands it over, in WAV form.
std::vector<uint8_t> EngineAnalysis(const EngineSample& sample, SourceMode source, float startThreshold,
                                    const AnalysisSettings& settings) {
  AllocateDftTables(kVortaDftLength);
  const SampleChannels channels = SampleChannelsOf(sample.left, sample.right, sample.descriptor);
  AnalysisRange range;
  if (OpenAnalysisRange(range, channels) != kMsgNone) return {};
  while (range.source != source) CycleAnalysisSource(range, channels);
  range.startThreshold = startThreshold;
  RecomputeRangeStart(range);
  SpectralAnalysis analysis;
  if (StartSpectralAnalysis(analysis, range.Range(), {}) != kMsgDone) return {};
  if (settings.sliceFill != analysis.settings.sliceFill) PressSpectralButton(analysis, SpectralButton::SliceFillMode);
  if (settings.polarityLock != analysis.settings.polarityLock) PressSpectralButton(analysis, SpectralButton::PolarityLock);
  if (settings.sharpenAttack != analysis.settings.sharpenAttack) PressSpectralButton(analysis, SpectralButton::SharpenAttack);
  // Contrast values between the buttons' 0.05 steps are the command line's own.
  analysis.settings.contrast = settings.contrast;
  RefreshSpectralAnalysis(analysis, AnalysisStage::Table);
  SetAnalysisCents(analysis, settings.cents);
  PartialTable table;
  int32_t stretch = 0;
  ApplySpectralAnalysis(analysis, table, stretch);
  return VortaWaveBytes(table, stretch);
}

}  // namespace

TEST_F(CliTest, AnalyseMatchesTheEngineByteForByte) {
  // Left a sine, right a sawtooth rising in pitch: the source choice matters.
  MakeSample("l.wav", 1, 40000, "sine 220 vol 0.5");
  MakeSample("r.wav", 1, 40000, "sawtooth 300:900 vol 0.4");
  ASSERT_TRUE(Sox("-M '" + (folder / "l.wav") + "' '" + (folder / "r.wav") + "' '" + (folder / "Stereo Pad.wav") + "'"));
  MakeFolder("out");
  const EngineSample sample = LoadForEngine(folder / "Stereo Pad.wav");
  ASSERT_EQ(sample.descriptor.channels, 2);

  EXPECT_EQ(Run({"analyse", "--to", "wav,syx", "--out", "out", "Stereo Pad.wav"}),
            (CliRun{0, "out/STEREO_P.WAV\nout/STEREO_P.SYX\n", ""}));
  const std::vector<uint8_t> expected = EngineAnalysis(sample, SourceMode::StereoToMono, 0.0f, AnalysisSettings{});
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(Bytes("out/STEREO_P.WAV"), expected);
  EXPECT_EQ(Bytes("out/STEREO_P.SYX").size(), static_cast<size_t>(kBlofeldDumpBytes));

  // Every analysis option, against the pages' buttons pressed by hand.
  AnalysisSettings tuned;
  tuned.sliceFill = SliceFill::Excerpts;
  tuned.polarityLock = false;
  tuned.sharpenAttack = true;
  tuned.contrast = 1.5f;
  tuned.cents = 700;
  EXPECT_EQ(Run({"analyse", "--to=wav", "--out=out", "--name", "tuned", "--source", "right", "--threshold-start", "0.25",
                 "--cents", "700", "--contrast", "1.5", "--fill", "excerpts", "--no-polarity-lock", "--sharpen",
                 "Stereo Pad.wav"}),
            (CliRun{0, "out/TUNED.WAV\n", ""}));
  const std::vector<uint8_t> tunedBytes = EngineAnalysis(sample, SourceMode::RightOnly, 0.25f, tuned);
  EXPECT_EQ(Bytes("out/TUNED.WAV"), tunedBytes);
  EXPECT_NE(tunedBytes, expected);
}

TEST_F(CliTest, AnalyseScanLoopsAndRefusedInputs) {
  // Twenty 256-sample cycles, cycle c holding harmonic c + 1; the first is looped.
  HandWave wave;
  for (int c = 0; c < 20; ++c)
    for (int j = 0; j < 256; ++j)
      PutU16(wave.audio, static_cast<uint16_t>(static_cast<int16_t>(
                             std::lround(0.5 * std::sin(2 * std::numbers::pi * (c + 1) * j / 256.0) * 32767.0))));
  wave.frames = 20 * 256;
  Smpl smpl;
  smpl.end = 255;
  wave.chunksAfterData = SmplChunk(smpl);
  WriteAllBytes(folder / "scan.wav", BuildWave(wave));
  EXPECT_EQ(Run({"analyse", "--scanloop", "--contrast", "0.8", "--to", "wav", "scan.wav"}), (CliRun{0, "./SCAN.WAV\n", ""}));
  const EngineSample sample = LoadForEngine(folder / "scan.wav");
  const ScanLoopShape shape = ScanLoopShapeOf(sample.descriptor);
  ScanloopAnalysis analysis;
  ASSERT_EQ(StartScanloopAnalysis(analysis, std::span<const float>(sample.left).first(sample.descriptor.frames),
                                  shape.stepSize, shape.steps, {}),
            kMsgDone);
  analysis.settings.contrast = 0.8f;
  RefreshScanloopAnalysis(analysis, false);
  PartialTable table;
  int32_t stretch = 0;
  ApplyScanloopAnalysis(analysis, table, stretch);
  EXPECT_EQ(Bytes("SCAN.WAV"), VortaWaveBytes(table, stretch));

  // A sample too short for the range page, a wavetable and a missing file:
  // each reported, the others written, the same for any number of jobs.
  MakeSample("short.wav", 1, 3000, "sine 440 vol 0.5");
  MakeSample("long.wav", 1, 20000, "sine 440 vol 0.5");
  WriteAllBytes(folder / "table.wav", VortaWaveBytes(SweepTable(), 8));
  std::string firstErr;
  for (const char* jobs : {"1", "3"}) {
    const std::string out = std::string("o") + jobs;
    MakeFolder(out);
    const CliRun mixed = Run({"analyse", "--jobs", jobs, "--to", "wav", "--out", out, "short.wav", "table.wav",
                              "nothing.wav", "long.wav"});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.out, out + "/LONG.WAV\n");
    EXPECT_EQ(mixed.err.rfind("short.wav: LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION\ntable.wav: ", 0), 0u)
        << mixed.err;
    EXPECT_NE(mixed.err.find(Refused("nothing.wav", kMsgFileNotFound)), std::string::npos) << mixed.err;
    EXPECT_FALSE(Exists(out + "/SHORT.WAV") || Exists(out + "/TABLE.WAV"));
    if (firstErr.empty()) firstErr = mixed.err;
    EXPECT_EQ(mixed.err, firstErr);
  }
  EXPECT_EQ(Bytes("o1/LONG.WAV"), Bytes("o3/LONG.WAV"));
  // Short files without a loop are no samples unless FORCE LOOP is off; then too short.
  EXPECT_EQ(Run({"analyse", "--no-force-loop", "--to", "wav", "--out", "o1", "short.wav"}),
            (CliRun{1, "", Refused("short.wav", kMsgMinimumAnalysisRange)}));
  EXPECT_EQ(Run({"analyse", "--scanloop", "--to", "wav", "--out", "o1", "long.wav"}),
            (CliRun{1, "", Refused("long.wav", kMsgNoData, " <NOT A SCAN LOOP>")}));
}

// The sample commands keep an existing output (named after the first input)
// unless --force, and report a missing input against its own name.
TEST_F(CliTest, SampleCommandsKeepExistingFilesAndReportMissingInputs) {
  MakeSample("a.wav", 1, 20000, "pinknoise vol 0.4");
  MakeSample("b.wav", 1, 6000, "sine 200 vol 0.4");
  const std::vector<std::vector<std::string>> commands = {
      {"analyse", "--to", "wav", "a.wav"}, {"xform", "a.wav"}, {"sloop", "--seed", "1", "a.wav"}, {"xmrph", "a.wav", "b.wav"}};
  for (std::vector<std::string> args : commands) {
    SCOPED_TRACE(args[0]);
    WriteAllBytes(folder / "A.WAV", {'o', 'l', 'd'});
    EXPECT_EQ(Run(args), (CliRun{1, "", Refused("a.wav", kMsgFileAlreadyExists, " <A.WAV>")}));
    EXPECT_EQ(Bytes("A.WAV"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    args.insert(args.begin() + 1, "--force");
    EXPECT_EQ(Run(args), (CliRun{0, "./A.WAV\n", ""}));
    EXPECT_GT(Bytes("A.WAV").size(), 44u);
    args.back() = "none.wav";
    EXPECT_EQ(Run(args), (CliRun{1, "", Refused("none.wav", kMsgFileNotFound)}));
  }
}
