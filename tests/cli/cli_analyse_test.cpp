// analyse: sox-made samples and a hand-laid scan loop through the real
// executable, compared with the analysis engine called directly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>

#include "cli/cli_fixture.h"
#include "cli/cli_tables_fixture.h"
#include "core/message_codes.h"
#include "core/message_texts.h"
#include "dsp/dft_tables.h"
#include "formats/blofeld_sysex.h"
#include "files/folder_table.h"
#include "files/sample_loader.h"
#include "files/wave_fixtures.h"
#include "modules/analysis_range.h"
#include "modules/loaded_sample.h"
#include "modules/scanloop_analysis.h"
#include "modules/spectral_analysis.h"
#include "wavetable/vorta_synthesis.h"

using cli_fixture::RunCli;
using namespace wave_fixtures;
namespace fs = std::filesystem;

namespace {

constexpr size_t kBufferFrames = 100000;

struct EngineSample {
  std::vector<float> left = std::vector<float>(kBufferFrames, 0.0f);
  std::vector<float> right = std::vector<float>(kBufferFrames, 0.0f);
  SampleDescriptor descriptor;
};

bool LoadForEngine(const std::string& path, EngineSample& sample) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  const bool ok = LoadSampleStream(file, path.substr(path.rfind('/') + 1), kCategorySample, sample.left, sample.right,
                                   sample.descriptor, ReadRules{true});
  std::fclose(file);
  return ok;
}

bool Sox(const std::string& arguments) { return std::system(("sox -q " + arguments + " 2>/dev/null").c_str()) == 0; }

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
  return cli_fixture::VortaWaveBytes(table, stretch);
}

}  // namespace

TEST(CliAnalyse, SamplesMatchTheEngineByteForByte) {
  ASSERT_TRUE(SoxAvailable()) << "sox is installed by scripts/setup.sh";
  TempFolder folder;
  const std::string path = folder / "Stereo Pad.wav";
  // Left a sine, right a sawtooth rising in pitch: the source choice matters.
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + (folder / "l.wav") + "' synth 40000s sine 220 vol 0.5"));
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + (folder / "r.wav") + "' synth 40000s sawtooth 300:900 vol 0.4"));
  ASSERT_TRUE(Sox("-M '" + (folder / "l.wav") + "' '" + (folder / "r.wav") + "' '" + path + "'"));
  fs::create_directory(folder / "out");
  EngineSample sample;
  ASSERT_TRUE(LoadForEngine(path, sample));
  ASSERT_EQ(sample.descriptor.channels, 2);

  const auto plain = RunCli(folder, {"analyse", "--to", "wav,syx", "--out", "out", "Stereo Pad.wav"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, "out/STEREO_P.WAV\nout/STEREO_P.SYX\n");
  EXPECT_EQ(plain.err, "");
  const std::vector<uint8_t> expected = EngineAnalysis(sample, SourceMode::StereoToMono, 0.0f, AnalysisSettings{});
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(ReadAllBytes(folder / "out/STEREO_P.WAV"), expected);
  EXPECT_EQ(ReadAllBytes(folder / "out/STEREO_P.SYX").size(), static_cast<size_t>(kBlofeldDumpBytes));

  // The analysis table converts to itself: it is a VORTA table like any other.
  const auto converted = RunCli(folder, {"convert", "--to", "wav", "out/STEREO_P.WAV"});
  EXPECT_EQ(converted.status, 0) << converted.err;
  EXPECT_EQ(ReadAllBytes(folder / "STEREO_P.WAV"), expected);

  // Every analysis option, against the pages' buttons pressed by hand.
  AnalysisSettings tuned;
  tuned.sliceFill = SliceFill::Excerpts;
  tuned.polarityLock = false;
  tuned.sharpenAttack = true;
  tuned.contrast = 1.5f;
  tuned.cents = 700;
  const auto options = RunCli(folder, {"analyse", "--to=wav", "--out=out", "--name", "tuned", "--source", "right",
                                       "--threshold-start", "0.25", "--cents", "700", "--contrast", "1.5", "--fill",
                                       "excerpts", "--no-polarity-lock", "--sharpen", "Stereo Pad.wav"});
  EXPECT_EQ(options.status, 0) << options.err;
  EXPECT_EQ(options.out, "out/TUNED.WAV\n");
  const std::vector<uint8_t> tunedBytes = EngineAnalysis(sample, SourceMode::RightOnly, 0.25f, tuned);
  EXPECT_EQ(ReadAllBytes(folder / "out/TUNED.WAV"), tunedBytes);
  EXPECT_NE(tunedBytes, expected);

  // Existing files are kept unless --force.
  const auto again = RunCli(folder, {"analyse", "--to", "wav", "--out", "out", "--name", "tuned", "Stereo Pad.wav"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.err, "Stereo Pad.wav: " + std::string(MessageText(kMsgFileAlreadyExists)) + " <TUNED.WAV>\n");
  EXPECT_EQ(ReadAllBytes(folder / "out/TUNED.WAV"), tunedBytes);
  const auto forced =
      RunCli(folder, {"analyse", "--to", "wav", "--out", "out", "--name", "tuned", "--force", "Stereo Pad.wav"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(ReadAllBytes(folder / "out/TUNED.WAV"), expected);
}

TEST(CliAnalyse, ScanLoopsAndRefusedInputs) {
  ASSERT_TRUE(SoxAvailable()) << "sox is installed by scripts/setup.sh";
  TempFolder folder;
  // Twenty 256-sample cycles, cycle c holding harmonic c + 1; the first is looped.
  std::vector<uint8_t> audio;
  for (int c = 0; c < 20; ++c) {
    for (int j = 0; j < 256; ++j) {
      const double v = 0.5 * std::sin(2 * std::numbers::pi * (c + 1) * j / 256.0);
      PutU16(audio, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767.0))));
    }
  }
  HandWave wave;
  wave.frames = 20 * 256;
  wave.audio = audio;
  Smpl smpl;
  smpl.end = 255;
  wave.chunksAfterData = SmplChunk(smpl);
  WriteAllBytes(folder / "scan.wav", BuildWave(wave));

  const auto scan = RunCli(folder, {"analyse", "--scanloop", "--contrast", "0.8", "--to", "wav", "scan.wav"});
  EXPECT_EQ(scan.status, 0) << scan.err;
  EXPECT_EQ(scan.out, "./SCAN.WAV\n");
  EngineSample sample;
  ASSERT_TRUE(LoadForEngine(folder / "scan.wav", sample));
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
  EXPECT_EQ(ReadAllBytes(folder / "SCAN.WAV"), cli_fixture::VortaWaveBytes(table, stretch));

  // A sample too short for the range page, a plain sample read as a scan
  // loop, a wavetable and a missing file: each reported, the others written.
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + (folder / "short.wav") + "' synth 3000s sine 440 vol 0.5"));
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + (folder / "long.wav") + "' synth 20000s sine 440 vol 0.5"));
  WriteAllBytes(folder / "table.wav", cli_fixture::VortaWaveBytes(cli_fixture::SweepTable(), 8));
  fs::create_directory(folder / "o");
  const auto mixed = RunCli(folder, {"analyse", "--jobs", "1", "--to", "wav", "--out", "o", "short.wav", "table.wav",
                                     "nothing.wav", "long.wav"});
  EXPECT_EQ(mixed.status, 1);
  EXPECT_EQ(mixed.out, "o/LONG.WAV\n");
  // Short files without a loop are no samples unless FORCE LOOP is off.
  EXPECT_NE(mixed.err.find("short.wav: " + std::string("LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION") + "\n"),
            std::string::npos)
      << mixed.err;
  const auto tooShort = RunCli(folder, {"analyse", "--no-force-loop", "--to", "wav", "--out", "o", "short.wav"});
  EXPECT_EQ(tooShort.status, 1);
  EXPECT_EQ(tooShort.err, "short.wav: " + std::string(MessageText(kMsgMinimumAnalysisRange)) + "\n");
  EXPECT_NE(mixed.err.find("table.wav: "), std::string::npos) << mixed.err;
  EXPECT_NE(mixed.err.find("nothing.wav: " + std::string(MessageText(kMsgFileNotFound)) + "\n"), std::string::npos)
      << mixed.err;
  EXPECT_FALSE(fs::exists(folder / "o/SHORT.WAV"));
  EXPECT_FALSE(fs::exists(folder / "o/TABLE.WAV"));
  // Several files at once: the same lines in the same order, the same file.
  fs::create_directory(folder / "p");
  const auto parallel = RunCli(folder, {"analyse", "--jobs", "3", "--to", "wav", "--out", "p", "short.wav", "table.wav",
                                        "nothing.wav", "long.wav"});
  EXPECT_EQ(parallel.status, 1);
  EXPECT_EQ(parallel.err, mixed.err);
  EXPECT_EQ(parallel.out, "p/LONG.WAV\n");
  EXPECT_EQ(ReadAllBytes(folder / "p/LONG.WAV"), ReadAllBytes(folder / "o/LONG.WAV"));

  const auto notScan = RunCli(folder, {"analyse", "--scanloop", "--to", "wav", "--out", "o", "long.wav"});
  EXPECT_EQ(notScan.status, 1);
  EXPECT_EQ(notScan.err, "long.wav: " + std::string(MessageText(kMsgNoData)) + " <NOT A SCAN LOOP>\n");

  // Usage faults change nothing and exit with 2.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"analyse", "long.wav"},
           {"analyse", "--to", "wav"},
           {"analyse", "--to", "wav", "--contrast", "2.5", "long.wav"},
           {"analyse", "--to", "wav", "--cents", "1300", "long.wav"},
           {"analyse", "--to", "wav", "--source", "middle", "long.wav"},
           {"analyse", "--to", "wav", "--fill", "half", "long.wav"},
           {"analyse", "--to", "wav", "--threshold-end", "1.5", "long.wav"},
           {"analyse", "--to", "wav", "--scanloop", "--cents", "5", "scan.wav"},
           {"analyse", "--to", "wav", "--name", "x", "long.wav", "scan.wav"},
           {"analyse", "--to", "wav", "--bogus", "long.wav"}}) {
    const auto run = RunCli(folder, args);
    EXPECT_EQ(run.status, 2) << args.back() << " " << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("sonic-loom-cli analyse: "), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(folder / "LONG.WAV"));

  const auto help = RunCli(folder, {"analyse", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--scanloop"), std::string::npos);
}
