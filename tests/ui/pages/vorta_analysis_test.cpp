// The VORTA analysis pages through the file operations hand-off: the RAM table
// must be what the engine makes of the same file with the settings chosen on the pages.
#include <cmath>
#include <numbers>

#include "files/wave_fixtures.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/vorta/analysis_graphs.h"
#include "ui/pages/vorta/analysis_run.h"

namespace {

using namespace wave_fixtures;

constexpr int kAnalyze = 10;

class VortaAnalysisPages : public ModulePageTest<STATE_VORTA> {
 protected:
  // 40 cycles of 256 samples (harmonic c % 8 + 1); the first one looped: a scan loop.
  std::string ScanLoop() {
    std::vector<uint8_t> audio;
    for (int c = 0; c < 40; ++c) {
      for (int j = 0; j < 256; ++j) {
        const double v = 0.5 * std::sin(2 * std::numbers::pi * (c % 8 + 1) * j / 256.0);
        PutU16(audio, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767.0))));
      }
    }
    WriteAllBytes(folder / "scan.wav",
                  BuildWave({.frames = 40 * 256, .chunksAfterData = SmplChunk({.end = 255}), .audio = audio}));
    return folder / "scan.wav";
  }

  int Run(const std::string& path, bool scan) { PageRun run = Caller(); return RunVortaSampleAnalysis(run, path, scan); }
  VortaWorkspace& Ram() { return module->session->vorta->ram; }
  static void ClickKey(int column, bool whiteBand) { ScriptClick(TuningKeyX(column), TuningKeyY(whiteBand), 60); }
};

TEST_F(VortaAnalysisPages, CancelsOnTheFirstPageKeepTheTableAndOnTheSecondClearIt) {
  // 3,000 audible samples in 10,000: the range is the minimum of 4,097.
  const std::string path = Sox(folder / "short.wav", 1, "synth 3000s sine 440 pad 0 7000s");
  Ram().table.at(0, 0) = 100;
  PressUpper(1);  // "+THR_S"
  StartAndCancel(kAnalyze);  // cancelled under the progress display, still on "1.1.0"
  PressUpper(kCancel);
  EXPECT_EQ(Run(path, false), kMsgAborted);
  EXPECT_TRUE(ShownAll({"MINIMUM ANALYSIS RANGE <4097 SAMPLES>", "CALCULATING, PLEASE WAIT", "ABORTED"}));
  EXPECT_FALSE(Drawn("*** SAMPLE ANALYSIS OPTIONS II ***"));
  EXPECT_EQ(StatusValues({{0, 3}, {1, 1}}), (std::vector<std::string>{"0004097", "0"}));
  EXPECT_EQ(Ram().table.at(0, 0), 100);  // the RAM untouched

  Ram().playbackStretch = 4;
  Headless().texts.clear();
  // "+THR_E" twice: 2/64 of full scale; "1.1.1" cancelled back to "1.1.0".
  Press({5, 5, kAnalyze, kCancel, kCancel});
  EXPECT_EQ(Run(Sox(folder / "tone.wav", 1, "synth 0.5 sawtooth 220"), false), kMsgAborted);
  EXPECT_TRUE(ShownAll({"CALCULATING, PLEASE WAIT", "ABORTED"}) && Drawn("*** SAMPLE ANALYSIS OPTIONS II ***"));
  EXPECT_EQ(DrawnCount("*** SAMPLE ANALYSIS OPTIONS I ***"), 2);
  EXPECT_EQ(StatusValue(2, 1), "1024");
  EXPECT_EQ(std::tie(Ram().table, Ram().playbackStretch), std::make_tuple(PartialTable{}, kDefaultStretch));
}

// Stereo sample -> "SOURCE" -> "fANALYZE" -> tuning -> "fAPPLY".
TEST_F(VortaAnalysisPages, StereoJourneyTunesAndApplies) {
  const std::string path = Sox(folder / "stereo.wav", 2, "synth 2 sawtooth 220 square 330");
  struct Step { void (*input)(); const char* frequency; const char* offset; };
  const Step steps[] = {
      {[] { ClickKey(29, false); }, "344.5313", "+12.00"},
      {[] { ScriptKeyPress(kKeyRight, kHoldMillis); }, "86.1328", "-12.00"},  // wraps to the bottom
      {[] { PressUpper(7); }, "86.3819", "-11.95"},                          // "+5_CENT"
      {[] { ClickKey(7, true); }, "114.9735", "-7.00"},                      // below F#: the white key F
  };
  Press({8, kAnalyze});  // "SOURCE": LEFT ONLY
  for (const Step& step : steps) step.input();
  Press({4, kApply});  // "+CNTRST"
  EXPECT_EQ(Run(path, false), kMsgDone);
  EXPECT_TRUE(Drawn("LEFT ONLY"));
  for (const Step& step : steps) EXPECT_TRUE(Drawn(step.frequency) && Drawn(step.offset)) << step.frequency;
  EXPECT_EQ(StatusValue(1, 0), "105");
  SaveArtefact("vorta_sample_analysis_1_1_1");

  VortaAnalysisRun direct;
  ASSERT_EQ(LoadAnalysisSample(path, direct), kMsgDone);
  OpenAnalysisRange(direct.range, direct.sample);
  CycleAnalysisSource(direct.range, direct.sample);
  direct.spectral.settings.cents = -700;
  direct.spectral.settings.contrast += kContrastStep;
  ASSERT_EQ(StartSpectralAnalysis(direct.spectral, direct.range.Range(), ProgressHooks{}), kMsgDone);
  EXPECT_EQ(std::tie(Ram().table, Ram().playbackStretch), std::tie(direct.spectral.table, direct.spectral.stretch));
  EXPECT_NE(Ram().table, PartialTable{});
}

TEST_F(VortaAnalysisPages, RefusedFilesThenAScanLoopJourney) {
  WriteAllBytes(folder / "text.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
  const struct { std::string path; bool scanLoop; int result; } refused[] = {
      {folder / "missing.wav", false, kMsgAccessDenied}, {folder / "text.wav", false, kMsgAccessDenied},
      {Sox(folder / "plain.wav", 1, "synth 0.5 sine 440"), true, kMsgNoData}};  // the last: not a scan loop
  for (const auto& c : refused) EXPECT_EQ(Run(c.path, c.scanLoop), c.result) << c.path;
  EXPECT_EQ(Ram().table, PartialTable{});

  const std::string path = ScanLoop();
  Press({2, kApply});  // "SF_MODE": 40 steps offer it
  EXPECT_EQ(Run(path, true), kMsgDone);
  EXPECT_EQ(StatusValues({{0, 1}, {0, 2}}), (std::vector<std::string>{"40", "256"}));
  SaveArtefact("vorta_scanloop_analysis_1_2_0");

  VortaAnalysisRun direct;
  ASSERT_EQ(LoadAnalysisSample(path, direct), kMsgDone);
  ASSERT_EQ(StartScanloopAnalysis(direct.scanloop, direct.sample.left, 256, 40, ProgressHooks{}), kMsgDone);
  PressScanloopButton(direct.scanloop, ScanloopButton::SliceFillMode);
  EXPECT_EQ(std::tie(Ram().table, Ram().playbackStretch), std::tie(direct.scanloop.table, direct.scanloop.stretch));
}

}  // namespace
