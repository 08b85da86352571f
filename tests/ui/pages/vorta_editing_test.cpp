#include "ui/pages/page_harness.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "wavetable/vorta_workspace.h"

namespace {

// A table with something in every slice: a falling spectrum whose partials
// alternate in sign and fade across the slices.
PartialTable SampleTable() {
  PartialTable table;
  for (int row = 0; row < 16; ++row) {
    for (int s = 0; s < kSliceCount; ++s) {
      const int code = 127 - 4 * row - s;
      table.at(row, s) = static_cast<int16_t>(row % 3 == 2 ? -code : code);
    }
  }
  return table;
}

class VortaEditing : public PageHarness {
 protected:
  // A module with the sample table loaded (undo history empty).
  struct Module : ModuleRun {
    Module() : ModuleRun(STATE_VORTA) { LoadVortaTable(Ram(), SampleTable(), kDefaultStretch, "SAMPLE"); }
    VortaWorkspace& Ram() { return session->vorta->ram; }
    // An option page run on its own, as its calling page runs it.
    int RunOption(int (*page)(PageRun&)) {
      PageRun run;
      run.session = session.get();
      return page(run);
    }
  };
};

TEST_F(VortaEditing, EveryPageDrawsItsGraphs) {
  struct Case {
    const char* name;
    int selector;                 // a screen, or -1 for the option page
    int (*option)(PageRun&);
  };
  const Case cases[] = {
      {"vorta_3_0_0_slice_editor", 3, nullptr},  {"vorta_5_0_0_partial_envelopes", 5, nullptr},
      {"vorta_6_0_0_table_editing", 6, nullptr}, {"vorta_3_1_0_waveform_drawing", -1, RunWaveformDrawing},
      {"vorta_6_1_0_profile_scaling", -1, RunProfileScaling}, {"vorta_6_2_0_slice_order", -1, RunSliceOrderMatrix},
      {"vorta_6_3_0_filter_shape", -1, RunFilterShapeEditor}, {"vorta_6_3_2_shift_envelope", -1, RunShiftEnvelopePage},
      {"vorta_6_4_0_formant_shifter", -1, RunFormantShifter}, {"vorta_6_5_0_symmetry", -1, RunSymmetryGenerator},
      {"vorta_6_6_0_interpolation", -1, RunTableInterpolation},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Module m;
    if (c.option) {
      PressUpper(11);
      EXPECT_EQ(m.RunOption(c.option), kMsgAborted);
    } else {
      PressLower(0);
      EXPECT_EQ(m.RunScreen(static_cast<uint16_t>(c.selector)), kPageNavigated);
    }
    EXPECT_EQ(m.Ram().table, SampleTable());
    SaveArtefact(c.name);
  }
}

}  // namespace
