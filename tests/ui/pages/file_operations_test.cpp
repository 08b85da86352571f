// The file operations screen of each module on samples made by sox and tables from the engine's writers.
#include <sys/stat.h>

#include "cli/cli_fixture.h"
#include "formats/blofeld_sysex.h"
#include "formats/wavegenerator_wts.h"
#include "ui/pages/page_harness.h"

namespace {

constexpr int kLoad = 5, kSave = 6;

class FileOperationsTest : public PageHarness {
 protected:
  static constexpr int kLeave = Lower(0);  // "fSYSTEM<>"
  static std::string SampleName(int i) { return "S" + std::string(i < 10 ? "00" : "0") + std::to_string(i) + ".WAV"; }
  // S000.WAV, S001.WAV, ...: mono sines of 8,000 frames (cycles of 2,048, which need no loop data).
  void PutSamples(int count, bool cycle = false) {
    if (cycle) gApp.settings.noForceLoop = 1;
    const int category = cycle ? kCategorySingleCycle : kCategorySample;
    const std::string first = LibraryPath(category, SampleName(0));
    Sox(first, 1, cycle ? "synth 2048s sine 21.533203125 vol 0.5" : "synth 8000s sine 440 vol 0.5");
    for (int i = 1; i < count; ++i) fs::copy_file(first, LibraryPath(category, SampleName(i)));
  }

  // "1.0.0" of a fresh module run on folder `category` with the presses; only its texts are kept.
  struct FilesRun : ModuleRun {
    FilesRun(ProgramState state, int category, std::initializer_list<int> presses = {},
             const PartialTable* table = nullptr, int32_t stretch = 0)
        : ModuleRun(state) {
      Headless().texts.clear();
      Press(presses);
      if (table) LoadVortaTable(session->vorta->ram, *table, stretch, "SWEEP");
      session->fileScreen.list.category = static_cast<uint16_t>(category);
      session->fileScreen.opened = true;
      result = RunScreen(1);
    }
    int result;
  };
};

TEST_F(FileOperationsTest, PagesWrapAndRowsStepWithinThePage) {
  struct Case { int files; std::initializer_list<int> presses; std::vector<std::string> onPage; const char* message; };
  const Case cases[] = {
      {40, {0, kLeave}, {"32 - 39", "2", "3"}, nullptr}, {40, {0, 1, kLeave}, {"0 - 15", "0", "3"}, nullptr},
      {17, {1, kLeave}, {"16 - 16", "1", "2"}, nullptr}, {16, {1, kLeave}, {"0 - 15", "0", "1"}, "SINGLE PAGE"}};
  PutSamples(40);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.files);
    for (int i = c.files; i < 40; ++i) fs::remove(LibraryPath(kCategorySample, SampleName(i)));
    EXPECT_EQ(FilesRun(STATE_VORTA, kCategorySample, c.presses).result, kPageNavigated);
    EXPECT_EQ(StatusValues({{0, 3}, {1, 3}, {1, 2}}), c.onPage);
    EXPECT_TRUE(!c.message || Shown(c.message));
  }
  // UP from no selection: the page's last row; DOWN there: its first.
  ScriptKeyPress(kKeyUp, kHoldMillis);
  FilesRun(STATE_VORTA, kCategorySample, {kArrowDown, kLeave});
  EXPECT_EQ(MarkedRows(), (std::vector{15, 0}));
  EXPECT_EQ(StatusValue(2, 0), "S000.WAV");
  SaveArtefact("file_operations_vorta");
}

TEST_F(FileOperationsTest, VortaSavesAndLoadsEveryTableFolderAndRefusesATakenName) {
  const PartialTable table = cli_fixture::SweepTable();
  // The folders without a direct save get their file from the engine.
  WriteAllBytes(LibraryPath(kCategoryVortaWav, "T.WAV"), cli_fixture::VortaWaveBytes(TableForOutput(table), 9));
  WriteBlofeldTable(gApp, TableForOutput(table), 9, "T.SYX", SanitizeBlofeldParameters(0, 80), true);
  struct Case { int category; const char* fileName; bool save; };
  const Case cases[] = {{kCategoryVortaWav, "T.WAV", false}, {kCategoryKomplexer, "T.WT", true},
                        {kCategoryBlofeld, "T.SYX", false},  {kCategoryEfe, "T.EFE", true},
                        {kCategorySurge, "T.WT", true},      {kCategoryWaveGenerator, "T.WTS", true},
                        {kCategoryDune2, "T.WT", true},      {kCategorySerum, "T.WAV", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.category);
    if (c.save) {
      PressUpper(kSave);
      Type("T");
      FilesRun(STATE_VORTA, c.category, {kLeave}, &table, 7);
      EXPECT_EQ(TableIn(c.category, c.fileName), std::pair(TableForOutput(table), 7));
    }
    // Loaded into a fresh RAM as the reader reads it, then on to the viewer.
    const auto [expected, expectedStretch] = TableIn(c.category, c.fileName);
    const FilesRun vorta(STATE_VORTA, c.category, {kArrowDown, kLoad});
    EXPECT_EQ(std::pair(vorta.result, vorta.session->selector), std::pair(int{kPageNavigated}, uint16_t{2}));
    const VortaWorkspace& ram = vorta.session->vorta->ram;
    EXPECT_EQ(std::tie(ram.ramName, ram.table, ram.playbackStretch), std::tie(c.fileName, expected, expectedStretch));
  }
  // "fRPLACE<>" writes over the selected file after "REPLACE FILE?".
  FilesRun(STATE_VORTA, kCategoryWaveGenerator, {kArrowDown, 7, kYes, kLeave}, &table, 3);
  EXPECT_TRUE(Shown("REPLACE FILE?"));
  EXPECT_EQ(TableIn(kCategoryWaveGenerator, "T.WTS"), std::pair(TableForOutput(table), 3));
  // Through "fF_TYPE<>" (-->08): ABC.WTS twice; a 9th character is ignored.
  Press({3, 7, kSave});
  Type("ABC");
  PressUpper(kSave);
  Type("ABC");
  ScriptKeyPress(kKeyEscape);
  PressUpper(kSave);
  Type("LONGNAMEX");
  FilesRun(STATE_VORTA, kCategorySample, {kLeave}, &table, 7);
  for (const char* name : {"ABC.WTS", "LONGNAME.WTS"}) EXPECT_TRUE(fs::exists(LibraryPath(kCategoryWaveGenerator, name)));
  EXPECT_TRUE(ShownAll({"FILE ALREADY EXISTS <ABC.WTS>", "ABORTED"}));
  EXPECT_TRUE(DrawnAll({"01 <CURRENT>", "08 VORTA - WAVETABLES <WAVEGENERATOR, WTS>"}));
}

TEST_F(FileOperationsTest, VortaSingleCycleFillsOrGoesToTheAssembler) {
  PutSamples(1, true);
  PutSamples(1);
  // fFILL: the sine's partial 1 at full scale in all 33 slices.
  const FilesRun fill(STATE_VORTA, kCategorySingleCycle, {kArrowDown, kLoad, 10});
  EXPECT_EQ(std::pair(fill.result, fill.session->selector), std::pair(int{kPageNavigated}, uint16_t{2}));
  EXPECT_TRUE(Shown("FILL ENTIRE TABLE OR INSERT TO A CERTAIN SLOT?"));
  for (int slice = 0; slice < kSliceCount; ++slice) EXPECT_EQ(fill.session->vorta->ram.table.at(0, slice), 127);
  EXPECT_EQ(fill.session->vorta->ram.ramName, "S000.WAV");
  // fINSERT hands the file to the table assembler.
  const FilesRun insert(STATE_VORTA, kCategorySingleCycle, {kArrowDown, kLoad, 11});
  EXPECT_EQ(std::pair(insert.session->selector, insert.session->vorta->insertPath),
            std::pair(uint16_t{4}, LibraryPath(kCategorySingleCycle, "S000.WAV")));
  // A sample goes to the analysis pages; fCANCEL on 1.1.0 leaves the RAM.
  FilesRun(STATE_VORTA, kCategorySample, {kLoad, kArrowDown, kLoad, 11, kLeave});
  EXPECT_TRUE(ShownAll({"NO FILE SELECTED", "ABORTED"}));
}

TEST_F(FileOperationsTest, XformSloopAndXmrphTakeTheirFiles) {
  WriteAllBytes(LibraryPath(kCategoryXformWav, "NOISE.WAV"), cli_fixture::XformWaveBytes(2));
  // fSAVE: nothing to save in the samples folder, no button; -->13.
  const FilesRun xform(STATE_XFORM, kCategorySample, {kSave, 3, 1, kArrowDown, kLoad});
  EXPECT_EQ(std::pair(xform.result, xform.session->selector), std::pair(int{kPageNavigated}, uint16_t{2}));
  EXPECT_EQ(xform.session->xform->ram.table.ramName, "NOISE.WAV");
  EXPECT_FALSE(Shown("ABORTED"));

  PutSamples(2);
  const FilesRun sloop(STATE_SLOOP, kCategorySample, {kLoad, kArrowDown, kLoad});
  EXPECT_TRUE(Shown("NO FILE SELECTED"));
  EXPECT_EQ(std::pair(sloop.result, sloop.session->selector), std::pair(int{kPageNavigated}, uint16_t{2}));
  EXPECT_EQ(sloop.session->sloop->ramName, "S000.WAV");
  EXPECT_TRUE(sloop.session->sloop->loop.HasInput());

  // fLOAD<> with nothing picked, PLOAD_A, PLOAD_B, fLOAD<>, fCANCEL on 2.1.0.
  const FilesRun xmrph(STATE_XMRPH, kCategorySample, {6, kArrowDown, 4, kArrowDown, 5, 6, 11, kLeave});
  EXPECT_TRUE(ShownAll({"CHOOSE 2 FILES FOR ANALYSIS", "ABORTED"}));
  EXPECT_EQ(std::pair(xmrph.session->xmrph->fileA, xmrph.session->xmrph->fileB),
            std::pair(LibraryPath(kCategorySample, "S000.WAV"), LibraryPath(kCategorySample, "S001.WAV")));
  EXPECT_EQ(StatusValue(3, 1), "S001.WAV");
  SaveArtefact("file_operations_xmrph");
}

TEST_F(FileOperationsTest, PlaysEveryKindOfFileAndNothingWithoutADevice) {
  PutSamples(1, true);
  PutSamples(1);
  WriteWtsTable(gApp, cli_fixture::SweepTable(), 4, "T.WTS");
  WriteAllBytes(LibraryPath(kCategoryXformWav, "NOISE.WAV"), cli_fixture::XformWaveBytes(2));
  struct Case { int category; const char* shown; };
  const Case cases[] = {{kCategorySample, "PLAYING FILE <WAVE DATA>"},
                        {kCategorySingleCycle, "PLAYING FILE <WAVE DATA, RESAMPLED TO 172.265625 HZ>"},
                        {kCategoryWaveGenerator, "PLAYING FILE <USING SYNTHESIS>"},
                        {kCategoryXformWav, "PLAYING FILE <USING REALTIME WAVE INTERPOLATION>"}};
  for (bool device : {true, false}) {
    UseSoundDevices(device ? std::vector<std::string>{"card"} : std::vector<std::string>{});
    for (const Case& c : cases) {
      SCOPED_TRACE(c.shown);
      EXPECT_EQ(FilesRun(STATE_VORTA, c.category, {kArrowDown, Lower(9), kLeave}).result, kPageNavigated);  // pFILE
      EXPECT_EQ(Shown(c.shown), device);
      EXPECT_EQ(Shown("SOUND DEVICE NOT AVAILABLE"), !device);
    }
  }
}

TEST_F(FileOperationsTest, ClearKeepsReadOnlyFilesAndRenameNeverReplaces) {
  PutSamples(3);
  chmod(LibraryPath(kCategorySample, "S001.WAV").c_str(), 0444);
  Press({kArrowDown, 4});  // fRENAME<> onto a taken name, then a free one
  Type("S002");
  ScriptKeyPress(kKeyEscape);
  PressUpper(4);
  Type("NEW");
  FilesRun(STATE_VORTA, kCategorySample, {9, kYes, kLeave});  // fCLR_DIR<>
  EXPECT_TRUE(ShownAll({"FILE ALREADY EXISTS <S002.WAV>", "SOME FILES COULD NOT BE DELETED"}) && Drawn("NEW.WAV"));
  for (const char* name : {"NEW.WAV", "S000.WAV", "S001.WAV", "S002.WAV"})
    EXPECT_EQ(fs::exists(LibraryPath(kCategorySample, name)), name == std::string("S001.WAV")) << name;
  EXPECT_EQ(StatusValue(0, 2), "1");  // drawn again from the folder
}

}  // namespace
