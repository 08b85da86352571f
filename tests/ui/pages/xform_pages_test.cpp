#include "ui/pages/page_harness.h"
#include "ui/pages/xform/xform_pages.h"
#include "wavetable/xform_file.h"

namespace {

std::vector<uint8_t> Bytes(const XformTable& table) {
  const auto bytes = SpectrumBytes(table);
  return {bytes.begin(), bytes.end()};
}

class XformPagesTest : public ModulePageTest<STATE_XFORM> {
 protected:
  XformWorkspace& Ram() { return module->session->xform->ram; }

  // A table of `slices` slices made from seeded noise, as a loaded XFORM file.
  void FillTable(int slices) {
    const int64_t frames = static_cast<int64_t>(slices) * kXformSliceLength;
    std::srand(7);
    for (size_t i = 0; i < 2 * static_cast<size_t>(frames); ++i) {
      Ram().table.noise[i] = static_cast<float>(std::rand() % 2001 - 1000) / 1000.0f * (1.0f + i % 3);
    }
    ASSERT_EQ(LoadXformSource(Ram(), frames, "NOISE", {}), kMsgDone);
  }

  // Runs an option page, after `presses`, with the module's record pointing at `pages`.
  int RunOption(const Page& page, std::initializer_list<int> presses) {
    Press(presses);
    PageRun run = Caller();
    module->session->xform->pages = &pages;
    const int result = RunXformOptionPage(page, run);
    module->session->xform->pages = nullptr;
    return result;
  }
  XformOptionPages pages;
};

TEST_F(XformPagesTest, TableEditingButtonsAndSystemSettings) {
  FillTable(3);
  Ram().table.speed = 512;
  // +SPEED 512 -> 1024 and no further; SPECTRUM already shown; UNDO.
  module->Visit(2, {9, 9, 10, kUndo});
  EXPECT_TRUE(ShownAll({"MAX VALUE", "ON SCREEN", "UNDO LIST EMPTY"}));
  EXPECT_EQ(Ram().table.speed, kXformMaxSpeed);
  EXPECT_EQ(StatusValue(2, 2), "1024");

  module->Visit(2, {11});  // WAVEFORM
  EXPECT_EQ(StatusValue(2, 0), "WAVEFORM");
  // 0.0.0: -SPEED and "FLUSH".
  Press({8, 11, Lower(1)});
  EXPECT_EQ(module->RunScreen(0), kPageNavigated);
  EXPECT_EQ(ButtonLabel(9, 1), "pRAM_WT");
  EXPECT_EQ(std::pair(XformUsedSlices(Ram().table), Ram().table.speed), std::pair(0, 512));
  EXPECT_TRUE(Shown("DONE"));
}

// Option pages edit their copy: "fCANCEL" leaves the spectra, "fAPPLY" changes them, "s UNDO " restores.
TEST_F(XformPagesTest, OptionPagesEditTheirCopyCancelApplyAndUndo) {
  FillTable(33);
  const std::vector<uint8_t> before = Bytes(Ram().table);
  ScriptDrag(SegmentX(0), 300 - 100, SegmentX(6), 300 + 60, 6);
  EXPECT_EQ(RunOption(kXformProfilePage, {kCancel}), kMsgAborted);
  EXPECT_EQ(pages.scaling.profile[6], -60);
  EXPECT_LT(pages.output.slicePeaks[6], Ram().table.slicePeaks[6]);
  SaveArtefact("xform_profile");

  ScriptClick(116 + 24 * 3 + 5, 132 + 12 * 30 + 5);  // output slice 3 takes input slice 30
  EXPECT_EQ(RunOption(kXformOrderPage, {7, kCancel}), kMsgAborted);  // STATIC
  for (int16_t entry : pages.order) EXPECT_EQ(entry, 30);
  EXPECT_EQ(Bytes(Ram().table), before);

  struct Row { int open, operation; };  // columns on 2.0.0 and on the option page
  for (const Row row : {Row{0, 1} /* ZERO */, Row{1, 5} /* REVERSE */}) {
    SCOPED_TRACE(row.open);
    module->Visit(2, {row.open, row.operation, kCancel, row.open, row.operation, kApply});
    EXPECT_TRUE(Bytes(Ram().table) != before && Shown("ABORTED"));
    EXPECT_EQ(UndoUsedEntries(Ram().undo), 1);
    module->Visit(2, {Lower(11)});
    EXPECT_EQ(Bytes(Ram().table), before);
  }
}

// sox sample -> 1.1.0 -> 1.1.1 with a slider drag -> apply.
TEST_F(XformPagesTest, SampleJourney) {
  PageRun caller = Caller();
  // Refused: a missing file, and one too short for a sample with no loop for a cycle.
  for (const std::string& path : {folder / "missing.wav", Sox(folder / "short.wav", 2, "synth 0.05 sine 440")})
    EXPECT_EQ(RunXformSampleAnalysis(caller, path), kMsgAccessDenied) << path;
  EXPECT_EQ(XformUsedSlices(Ram().table), 0);

  const std::string sample = Sox(folder / "journey.wav", 2, "synth 3 sine 300:3000 pinknoise vol 0.5 fade 0.6 3 0.6");
  ASSERT_EQ(LoadXformSample(sample, pages), kMsgNone);

  // 1.1.0: both thresholds up 8/64; 1.1.1 cancelled (back on 1.1.0), then 1.1.0 left.
  for (int press = 0; press < 8; ++press) Press({1, 5});
  Press({kApply, kCancel, kCancel});
  module->session->xform->pages = &pages;
  EXPECT_EQ(RunXformAnalysisOptions(caller, pages), kMsgAborted);
  EXPECT_TRUE(Drawn("*** SAMPLE ANALYSIS OPTIONS II ***") && Shown("ABORTED"));
  EXPECT_EQ(XformUsedSlices(Ram().table), 0);
  EXPECT_EQ(StatusValue(1, 1), "4096");
  EXPECT_GT(pages.source.range.start, 0);
  EXPECT_EQ(StatusValue(2, 0).substr(0, 3), "-00");  // "END SHIFT:" negative

  // 1.1.1: "SMOOTHNESS" stepped by digit key + RIGHT (one rebuild on release), a drag
  // over "PEAK BOOST" whose 20 moves come faster than the rebuilds, then "fAPPLY".
  ScriptKeyDown(kKeyDigit0 + 2);
  ScriptKeyPress(kKeyRight, 100);
  ScriptKeyUp(kKeyDigit0 + 2);
  ScriptDrag(65, 547, 65 + 300, 547, 20, 0);
  PressUpper(kApply);
  EXPECT_EQ(RunXformResynthesisOptions(caller, pages), kMsgDone);
  EXPECT_GT(pages.analysis.controls.smoothness, 0.0);
  EXPECT_LE(pages.sliderRebuilds, 1 + 2);
  EXPECT_NEAR(pages.analysis.controls.peakBoost, 300.0 / 350.0, 0.01);
  SaveArtefact("xform_resynthesis_options");
  EXPECT_EQ(Ram().table.ramName, "journey");
  EXPECT_EQ(XformUsedSlices(Ram().table), kXformFrameCount);

  // The table shown last is one fresh analysis at the final values (it keeps a set peak boost).
  XformAnalysis fresh;
  fresh.controls = pages.analysis.controls;
  XformTable table;
  AllocateXformTable(table);
  ASSERT_EQ(RunXformAnalysis(RangeOf(pages.source, false), RangeOf(pages.source, true), fresh, table, Ram().engine, {}),
            kMsgDone);
  EXPECT_TRUE(table.noise == Ram().table.noise);
}

}  // namespace
