#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/folder_table.h"
#include "files/library_paths.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/module_session.h"
#include "ui/pages/xform/xform_pages.h"
#include "ui/segment_graph.h"
#include "wavetable/xform_file.h"

namespace {

std::vector<uint8_t> Bytes(const XformTable& table) {
  const auto bytes = SpectrumBytes(table);
  return {bytes.begin(), bytes.end()};
}

class XformPagesTest : public PageHarness {
 protected:
  XformPagesTest() : module(STATE_XFORM) {}
  void SetUp() override {
    PageHarness::SetUp();
    gApp.programState = STATE_XFORM;
  }

  XformWorkspace& Ram() { return module.session->xform->ram; }

  // A table of `slices` slices made from seeded noise, as a loaded XFORM file.
  void FillTable(int slices) {
    const int64_t frames = static_cast<int64_t>(slices) * kXformSliceLength;
    std::srand(7);
    for (size_t i = 0; i < 2 * static_cast<size_t>(frames); ++i) {
      Ram().table.noise[i] = static_cast<float>(std::rand() % 2001 - 1000) / 1000.0f * (1.0f + i % 3);
    }
    ASSERT_EQ(LoadXformSource(Ram(), frames, "NOISE", {}), kMsgDone);
  }

  // Runs an option page with the module's record pointing at `pages`.
  int RunOption(const Page& page) {
    PageRun run;
    run.session = module.session.get();
    module.session->xform->pages = &pages;
    const int result = RunXformOptionPage(page, run);
    module.session->xform->pages = nullptr;
    return result;
  }

  PageRun Caller() {
    PageRun run;
    run.session = module.session.get();
    return run;
  }

  ModuleRun module;
  XformOptionPages pages;
};

TEST_F(XformPagesTest, TableEditingButtonsAndSystemSettings) {
  FillTable(3);
  Ram().table.speed = 512;
  struct Row {
    int column;
    int row;
    const char* message;
  };
  const Row rows[] = {
      {9, 0, nullptr},              // +SPEED 512 -> 1024
      {9, 0, "MAX VALUE"},          // and no further
      {10, 0, "ON SCREEN"},         // SPECTRUM is shown
      {11, 1, "UNDO LIST EMPTY"},
  };
  for (const Row& row : rows) row.row == 0 ? PressUpper(row.column) : PressLower(row.column);
  PressLower(0);
  EXPECT_EQ(module.RunScreen(2), kPageNavigated);
  for (const Row& row : rows) {
    if (row.message) {
      EXPECT_TRUE(Drawn(Message(row.message))) << row.message;
    }
  }
  EXPECT_EQ(Ram().table.speed, kXformMaxSpeed);
  EXPECT_EQ(StatusValue(2, 2), "1024");
  EXPECT_TRUE(TitleDrawn("TABLE EDITING FUNCTIONS"));
  SaveArtefact("xform_tef_spectrum");

  PressUpper(11);  // WAVEFORM
  PressLower(0);
  EXPECT_EQ(module.RunScreen(2), kPageNavigated);
  EXPECT_EQ(StatusValue(2, 0), "WAVEFORM");
  SaveArtefact("xform_tef_waveform");

  // 0.0.0: the speed of the XFORM table and "FLUSH".
  PressUpper(8);    // -SPEED
  PressUpper(11);   // FLUSH
  PressLower(1);
  EXPECT_EQ(module.RunScreen(0), kPageNavigated);
  EXPECT_EQ(Labels(1)[9], "pRAM_WT");
  EXPECT_EQ(XformUsedSlices(Ram().table), 0);
  EXPECT_EQ(Ram().table.speed, 512);
  EXPECT_TRUE(Drawn(Message("DONE")));
}

// Each option page: "fCANCEL" leaves the spectra as they were, "fAPPLY"
// changes them and "s UNDO " brings them back.
TEST_F(XformPagesTest, OptionPagesCancelApplyAndUndo) {
  FillTable(5);
  struct Row {
    int open;       // column on 2.0.0
    int operation;  // column of the option page
  };
  for (const Row row : {Row{0, 1} /* ZERO */, Row{1, 5} /* REVERSE */}) {
    const std::vector<uint8_t> before = Bytes(Ram().table);
    PressUpper(row.open);
    PressUpper(row.operation);
    PressUpper(11);  // fCANCEL
    PressUpper(row.open);
    PressUpper(row.operation);
    PressUpper(10);  // fAPPLY
    PressLower(0);
    EXPECT_EQ(module.RunScreen(2), kPageNavigated);
    EXPECT_NE(Bytes(Ram().table), before) << row.open;
    EXPECT_TRUE(Drawn(Message("ABORTED")));
    EXPECT_EQ(UndoUsedEntries(Ram().undo), 1);

    PressLower(11);  // s UNDO
    PressLower(0);
    EXPECT_EQ(module.RunScreen(2), kPageNavigated);
    EXPECT_EQ(Bytes(Ram().table), before) << row.open;
  }
}

TEST_F(XformPagesTest, ProfileAndOrderPagesEditTheirCopy) {
  FillTable(33);
  const std::vector<uint8_t> before = Bytes(Ram().table);
  // Drag the profile down over the first slices, then leave.
  ScriptDrag(SegmentX(0), 300 - 100, SegmentX(6), 300 + 60, 6);
  PressUpper(11);
  EXPECT_EQ(RunOption(kXformProfilePage), kMsgAborted);
  EXPECT_EQ(pages.scaling.profile[6], -60);
  EXPECT_LT(pages.output.slicePeaks[6], Ram().table.slicePeaks[6]);
  EXPECT_TRUE(TitleDrawn("AMPLITUDE PROFILE SCALING"));
  SaveArtefact("xform_profile");

  ScriptClick(116 + 24 * 3 + 5, 132 + 12 * 30 + 5);  // output slice 3 takes input slice 30
  PressUpper(7);                                     // STATIC
  PressUpper(11);
  EXPECT_EQ(RunOption(kXformOrderPage), kMsgAborted);
  for (int16_t entry : pages.order) EXPECT_EQ(entry, 30);
  EXPECT_EQ(Bytes(Ram().table), before);
  SaveArtefact("xform_order");
}

// sox sample -> 1.1.0 -> 1.1.1 with a slider drag -> apply -> folder 13 -> reload.
TEST_F(XformPagesTest, SampleJourney) {
  const std::string sample = folder.path + "/journey.wav";
  const std::string command = "sox -n -r 44100 -c 2 -b 16 '" + sample + "' synth 3 sine 300:3000 pinknoise vol 0.5 fade 0.6 3 0.6";
  ASSERT_EQ(std::system(command.c_str()), 0);
  ASSERT_EQ(LoadXformSample(sample, pages), kMsgNone);
  PageRun caller = Caller();

  // 1.1.0: both thresholds raised by 8/64; 1.1.1 opened and cancelled
  // (back on 1.1.0 with "ABORTED" and an empty table), then 1.1.0 left.
  for (int press = 0; press < 8; ++press) {
    PressUpper(1);
    PressUpper(5);
  }
  PressUpper(10);
  PressUpper(11);
  PressUpper(11);
  module.session->xform->pages = &pages;
  EXPECT_EQ(RunXformAnalysisOptions(caller, pages), kMsgAborted);
  EXPECT_TRUE(DrawnAll({"INPUT FILE <NORMALIZED>", "ANALYSIS RANGE", "STEREO", "*** SAMPLE ANALYSIS OPTIONS II ***"}));
  EXPECT_TRUE(Drawn(Message("ABORTED")));
  EXPECT_EQ(XformUsedSlices(Ram().table), 0);
  EXPECT_EQ(StatusValue(1, 1), "4096");
  EXPECT_GT(pages.source.range.start, 0);
  EXPECT_LT(pages.source.range.EndShift(), 0);
  EXPECT_EQ(StatusValue(2, 0).substr(0, 3), "-00");  // "END SHIFT:" as a negative number
  SaveArtefact("xform_analysis_options");

  // 1.1.1: "SMOOTHNESS" stepped with its digit key held and RIGHT (one
  // rebuild when the keys are let go), a drag of 20 steps over "PEAK BOOST"
  // whose moves arrive faster than the rebuilds, then "fAPPLY".
  ScriptKeyDown(kKeyDigit0 + 2);
  ScriptKeyPress(kKeyRight, 100);
  ScriptKeyUp(kKeyDigit0 + 2);
  ScriptDrag(65, 547, 65 + 300, 547, 20, 0);
  PressUpper(10);
  EXPECT_EQ(RunXformResynthesisOptions(caller, pages), kMsgDone);
  EXPECT_GT(pages.analysis.controls.smoothness, 0.0);
  EXPECT_LE(pages.sliderRebuilds, 1 + 2);
  EXPECT_NEAR(pages.analysis.controls.peakBoost, 300.0 / 350.0, 0.01);
  EXPECT_TRUE(DrawnAll({"RESYNTHESIS OUTPUT <SPECTRUM>", "RESYNTHESIS OUTPUT <WAVEFORM>", "RESYNTHESIS CONTROL",
                        "PEAK DETECTION CONTROL", "PEAK BOOST", "SMOOTHNESS", "PEAK STEREO LINK"}));
  SaveArtefact("xform_resynthesis_options");
  EXPECT_EQ(Ram().table.ramName, "journey");
  EXPECT_EQ(XformUsedSlices(Ram().table), kXformFrameCount);

  // The table shown last is a single rebuild at the final value.
  XformAnalysis single;
  XformTable table;
  AllocateXformTable(table);
  ASSERT_EQ(XformFrameAnalysis(RangeOf(pages.source, false), RangeOf(pages.source, true), single, Ram().engine, {}),
            kMsgDone);
  ASSERT_EQ(MeasureLayerGains(single, Ram().engine, {}), kMsgDone);
  single.controls = pages.analysis.controls;
  ASSERT_EQ(RebuildFilterSpectra(single, table, Ram().engine, {}), kMsgDone);
  EXPECT_EQ(std::memcmp(table.noise.data(), Ram().table.noise.data(), table.noise.size() * sizeof(float)), 0);

  // Saved into folder 13 and loaded back.
  ASSERT_EQ(WriteXformWave(gApp, "JOURNEY.WAV", Ram().table), kMsgDone);
  XformWorkspace reloaded;
  EnterXform(reloaded, 0, 1);
  ASSERT_EQ(LoadXformWave(gApp, {kCategoryXformWav, "JOURNEY.WAV"}, reloaded, {}), kMsgDone);
  EXPECT_EQ(XformUsedSlices(reloaded.table), kXformFrameCount);
  double worst = 0.0;
  for (size_t i = 0; i < table.noise.size(); ++i) {
    worst = std::max(worst, static_cast<double>(std::fabs(reloaded.table.noise[i] - Ram().table.noise[i])));
  }
  EXPECT_LT(worst, 1e-4);
  LeaveXform(reloaded);
}

TEST_F(XformPagesTest, SampleHandOffRefusesWhatItCannotAnalyse) {
  const std::string shortSample = folder.path + "/short.wav";
  ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + shortSample + "' synth 0.05 sine 440").c_str()), 0);
  PageRun run = Caller();
  struct Row {
    std::string path;
    int result;
  };
  // The short file is too short for a sample and has no loop for a cycle.
  for (const Row& row : {Row{folder.path + "/missing.wav", kMsgAccessDenied}, Row{shortSample, kMsgAccessDenied}}) {
    EXPECT_EQ(RunXformSampleAnalysis(run, row.path), row.result) << row.path;
  }
  EXPECT_EQ(XformUsedSlices(Ram().table), 0);
}

}  // namespace
