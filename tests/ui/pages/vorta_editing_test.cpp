#include <cmath>

#include "ui/graph_markers.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/vorta/vorta_editing_pages.h"
#include "wavetable/filter_shape.h"
#include "wavetable/slice_editor.h"
#include "wavetable/symmetry_modulation.h"
#include "wavetable/vorta_synthesis.h"
#include "wavetable/vorta_workspace.h"

namespace {

// Every slice filled: a falling spectrum, signs alternating, fading across the slices.
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
  };
};

// Every screen and option page draws; "fCANCEL" keeps the RAM table.
TEST_F(VortaEditing, EveryPageDrawsAndCancelKeepsTheTable) {
  struct Case { const char* name; int selector; int (*option)(PageRun&); int change; };
  const Case cases[] = {
      {"vorta_3_0_0_slice_editor", 3, nullptr, 3},  {"vorta_5_0_0_partial_envelopes", 5, nullptr, 3},
      {"vorta_6_0_0_table_editing", 6, nullptr, -1}, {"vorta_3_1_0_waveform_drawing", -1, RunWaveformDrawing, 2},
      {"vorta_6_1_0_profile_scaling", -1, RunProfileScaling, 3}, {"vorta_6_2_0_slice_order", -1, RunSliceOrderMatrix, 6},
      {"vorta_6_3_0_filter_shape", -1, RunFilterShapeEditor, 0}, {"vorta_6_3_2_shift_envelope", -1, RunShiftEnvelopePage, 0},
      {"vorta_6_4_0_formant_shifter", -1, RunFormantShifter, 0}, {"vorta_6_5_0_symmetry", -1, RunSymmetryGenerator, 1},
      {"vorta_6_6_0_interpolation", -1, RunTableInterpolation, 5}, {"vorta_6_3_1_filter_import", -1, RunFilterShapeImport, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Module m;
    if (c.change >= 0) PressUpper(c.change);
    if (c.option) {
      EXPECT_EQ(m.RunOption(c.option, {kCancel}), kMsgAborted);
      EXPECT_EQ(m.Ram().table, SampleTable());
    } else {
      m.Visit(static_cast<uint16_t>(c.selector));
    }
    SaveArtefact(c.name);
  }
}

// Each editing function changes the RAM table (option pages on "fAPPLY"); "s UNDO " brings it back byte for
// byte and "s REDO " the change. The symmetry generator's table replaces the RAM table with no history.
TEST_F(VortaEditing, TableEditingChangesUndoAndRedoButAGeneratedTableHasNoHistory) {
  struct Case { const char* name; std::initializer_list<int> upper; };  // open, change, apply
  const Case cases[] = {
      {"POLARITY INVERT", {0, 3}},     {"SCALE ZERO", {1, 1, 10}},     {"ORDER REVERSE", {2, 5, 10}},
      {"FILTER RAND", {3, 0, 10}},     {"SHIFT RAND", {4, 0, 10}},     {"IPOL ONE ANCHOR", {6, 5, 4, 10}},
      {"OPTIMIZE", {9}},               {"BLUR", {10}},                 {"RNDDATA", {11}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Module m;
    m.Visit(6, c.upper);
    const PartialTable changed = m.Ram().table;
    EXPECT_NE(changed, SampleTable());
    EXPECT_EQ(UndoUsedEntries(m.Ram().undo), 1);
    m.Visit(6, {Lower(11)});  // s UNDO
    EXPECT_EQ(m.Ram().table, SampleTable());
    m.Visit(6, {Lower(6)});  // s REDO
    EXPECT_EQ(m.Ram().table, changed);
  }
  Module m;
  Press({5, 1});         // fSYMOD<>, +WIDTH: 1.1
  PressTimes(7, 17);     // +SHIFT to 16, then MAX VALUE
  m.Visit(6, {kApply, kUndo});
  EXPECT_EQ(m.Ram().table, GenerateSymmetryTable({.widthTenths = 11, .shift = 16}));
  EXPECT_TRUE(m.Ram().ramName.empty() && ShownAll({"MAX VALUE", "UNDO LIST EMPTY"}));
}

TEST_F(VortaEditing, EnvelopeButtonsAtTheirEdgesAndTheGraph) {
  Module m;
  PartialEnvelopes& envelopes = m.session->vorta->edit.envelopes;
  m.Visit(5, {0});  // "<<1_ENV" from 0 wraps
  EXPECT_EQ(envelopes.current, 63);
  envelopes.current = 40;  // a silent partial: 127 at slice 0 only
  m.Ram().table.at(40, 0) = 127;
  const PartialTable before = m.Ram().table;
  m.Visit(5, {6});  // SMOOTH
  for (int s = 0; s < kSliceCount; ++s) EXPECT_EQ(m.Ram().table.at(40, s) != before.at(40, s), s < 2) << s;

  // Keys and the pointer on the graph of partial 1, then undo.
  LoadVortaTable(m.Ram(), SampleTable(), kDefaultStretch, "SAMPLE");
  envelopes.current = 0;
  ScriptKeyPress(kKeyRight, 10);  // segment 1
  ScriptKeyPress(kKeyDown, 10);   // one code down
  ScriptClick(SegmentX(5), kHighGraphBracket.centre - 40, 40);  // segment 5 to 40
  m.Visit(5);
  EXPECT_EQ(m.Ram().table.at(0, 1), SampleTable().at(0, 1) - 1);
  EXPECT_EQ(m.Ram().table.at(0, 5), 40);
  EXPECT_EQ(UndoUsedEntries(m.Ram().undo), 2);
  m.Visit(5, {kUndo, kUndo});
  EXPECT_EQ(m.Ram().table, SampleTable());
  // A table loaded since the undo is never overwritten by a redo.
  LoadVortaTable(m.Ram(), PartialTable{}, kDefaultStretch, "EMPTY");
  m.Visit(5, {Lower(5)});  // s REDO
  EXPECT_TRUE(m.Ram().table == PartialTable{} && Shown("NO DATA"));
}

TEST_F(VortaEditing, SliceEditorStepsBarsAndTools) {
  Module m;
  SliceEditor& editor = m.session->vorta->edit.slice;
  editor.slice = 3;
  m.Visit(3, {1});  // "<<8_SLC" wraps
  EXPECT_EQ(editor.slice, 28);
  // Partials 21 to 30 dragged to 100; the slice dialog's "ZERO" (fTOOLS<>); two undo steps.
  editor.slice = 7;
  ScriptDrag(471 + 7 * 20 + 3, 556 - 66, 471 + 7 * 29 + 3, 556 - 66, 9);
  m.Visit(3);
  for (int row = 20; row < 30; ++row) EXPECT_EQ(m.Ram().table.at(row, 7), 100) << row;
  EXPECT_EQ(m.Ram().table.at(19, 7), 0);
  m.Visit(3, {8, 1});
  EXPECT_FALSE(SliceIsFilled(m.Ram().table, 7));
  m.Visit(3, {kUndo, kUndo});
  EXPECT_EQ(m.Ram().table, SampleTable());
}

// A half sine drawn on the pad: the slice's cycle follows it as far as 64 partials can.
TEST_F(VortaEditing, DrawnCurveBecomesTheSlicesPartials) {
  Module m;
  constexpr double kPeak = 0.8;
  auto yAt = [&](int k) { return 562 - static_cast<int>(std::lround(92 * kPeak * std::sin(M_PI * k / 256.0))); };
  ScriptMouseMove(255, yAt(0));
  ScriptLeftDown(255, yAt(0), 5);
  for (int k = 4; k <= 256; k += 4) ScriptMouseMove(255 + k, yAt(k), 5);
  ScriptLeftUp(512, yAt(256), 5);
  EXPECT_EQ(m.RunOption(RunWaveformDrawing, {kApply}), kMsgDone);
  std::array<float, 512> cycle{};
  RenderSlice(m.Ram().table, 0, cycle, 0.5);
  for (int n = 0; n < 512; n += 8) EXPECT_NEAR(cycle[static_cast<size_t>(n)], kPeak * std::sin(2 * M_PI * n / 512), 0.08) << n;
}

// One sine period in the single cycle folder: handed over by "fINSERT", "SRC>DEST" copies it, normalised, into
// the slice; clicked on the filter import (no "fAPPLY" without a file), its partials at full scale become the filter.
TEST_F(VortaEditing, ASingleCycleIsAssembledIntoASliceOrImportedAsTheFilter) {
  gApp.settings.noForceLoop = 1;  // a cycle without loop data counts as one
  const std::string path = Sox(LibraryPath(kCategorySingleCycle, "SINE.WAV"), 1, "synth 256s sine 172.265625 vol 0.49");
  Module m;
  m.Visit(4, {11, 9, 10, 10});  // SRC>DEST without a file; <<DEST: 0 -> 32; DEST>> twice: 1
  EXPECT_TRUE(Shown("NO FILE SELECTED"));
  EXPECT_EQ(m.session->vorta->edit.assembly.destination, 1);
  EXPECT_EQ(UndoUsedEntries(m.Ram().undo), 0);

  m.session->vorta->insertPath = path;
  m.Visit(4, {11});  // SRC>DEST
  EXPECT_TRUE(m.session->vorta->insertPath.empty());
  EXPECT_EQ(ButtonLabel(7, 1), "pFILE_IN");
  EXPECT_EQ(m.Ram().table.at(0, 1), 127);  // normalised
  EXPECT_EQ(UndoUsedEntries(m.Ram().undo), 1);
  SaveArtefact("vorta_4_0_0_table_assembling");
  m.Visit(4, {Lower(11)});
  EXPECT_EQ(m.Ram().table, SampleTable());

  m.session->vorta->edit.tool.filter = StartFilterShapeEditor(m.Ram().table);
  PressUpper(kApply);          // without a file: stays
  ScriptClick(200, 151, 40);   // the cycle in row 0
  EXPECT_EQ(m.RunOption(RunFilterShapeImport, {kApply}), kMsgDone);
  EXPECT_TRUE(Shown("NO FILE SELECTED"));
  EXPECT_EQ(m.session->vorta->edit.tool.filter.shape.at(0, 0), 127);
}

}  // namespace
