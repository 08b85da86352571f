// The file operations screen of each module against a library of real
// files: samples made by sox, tables written by the engine's own writers.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "cli/cli_fixture.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "formats/blofeld_sysex.h"
#include "formats/dune2_wt.h"
#include "formats/efe_file.h"
#include "formats/komplexer_wt.h"
#include "formats/serum_wav.h"
#include "formats/surge_wt.h"
#include "formats/vorta_import.h"
#include "formats/wavegenerator_wts.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/shared/module_session.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLoad = 5;
constexpr int kSave = 6;

class FileOperationsTest : public PageHarness {
 protected:
  std::string PathIn(int category, const std::string& name) { return CategoryFilePath(gApp, category, name); }

  // A 16-bit mono sine sample of 8,000 frames (a single cycle of 2,048
  // frames when cycle is set), copied as S000.WAV, S001.WAV, ...
  void PutSamples(int count, bool cycle = false) {
    const int category = cycle ? kCategorySingleCycle : kCategorySample;
    const std::string first = PathIn(category, "S000.WAV");
    const std::string length = cycle ? "2048s sine 21.533203125" : "8000s sine 440";
    ASSERT_EQ(std::system(("sox -q -n -r 44100 -c 1 -b 16 '" + first + "' synth " + length + " vol 0.5").c_str()), 0);
    for (int i = 1; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "S%03d.WAV", i);
      fs::copy_file(first, PathIn(category, name));
    }
  }

  static void Down(int times = 1) {
    for (int i = 0; i < times; ++i) ScriptKeyPress(kKeyDown, kHoldMillis);
  }
  static void Type(const char* text) {
    ScriptType(text);
    ScriptKeyPress(kKeyReturn);
    ScriptWait(300);
  }
  static void Leave() { PressLower(0); }  // to SYSTEM
  static int RowY(int row) { return 151 + 32 * row; }

  // Runs "1.0.0" of the module with the list on folder `category`.
  int RunFiles(ModuleRun& module, int category) {
    FileScreenMemory& memory = module.session->fileScreen;
    memory.list = BrowserList{};
    memory.list.category = static_cast<uint16_t>(category);
    memory.opened = true;
    return module.RunScreen(1);
  }
};

TEST_F(FileOperationsTest, PagesWrapAndRowsStepWithinThePage) {
  struct Case {
    int files;
    void (*script)();
    const char* onPage;
    const char* page;
    const char* pages;
    const char* message;
  };
  const Case cases[] = {
      {40, [] { PressUpper(0); }, "32 - 39", "2", "3", nullptr},
      {40, [] { PressUpper(0); PressUpper(1); }, "0 - 15", "0", "3", nullptr},
      {17, [] { PressUpper(1); }, "16 - 16", "1", "2", nullptr},
      {16, [] { PressUpper(1); }, "0 - 15", "0", "1", "SINGLE PAGE"},
  };
  PutSamples(40);
  for (const Case& c : cases) {
    for (int i = c.files; i < 40; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "S%03d.WAV", i);
      fs::remove(PathIn(kCategorySample, name));
    }
    Headless().texts.clear();
    c.script();
    Leave();
    ModuleRun vorta(STATE_VORTA);
    EXPECT_EQ(RunFiles(vorta, kCategorySample), kPageNavigated);
    EXPECT_EQ(StatusValue(0, 3), c.onPage) << c.files;
    EXPECT_EQ(StatusValue(1, 3), c.page) << c.files;
    EXPECT_EQ(StatusValue(1, 2), c.pages) << c.files;
    if (c.message) {
      EXPECT_TRUE(Drawn(Message(c.message)));
    }
  }
  // UP from no selection takes the last row, DOWN there the first row of
  // the same page.
  Headless().texts.clear();
  ScriptKeyPress(kKeyUp, kHoldMillis);
  Down();
  Leave();
  ModuleRun vorta(STATE_VORTA);
  RunFiles(vorta, kCategorySample);
  const auto marks = TextsContaining(">>>>>>");
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0].y, RowY(15));
  EXPECT_EQ(marks[1].y, RowY(0));
  EXPECT_EQ(StatusValue(2, 0), "S000.WAV");
  SaveArtefact("file_operations_vorta");
}

TEST_F(FileOperationsTest, VortaSavesEveryDirectFormatAndRefusesATakenName) {
  const PartialTable table = cli_fixture::SweepTable();
  struct Case {
    int category;
    const char* fileName;
  };
  const Case cases[] = {{kCategoryKomplexer, "T.WT"}, {kCategoryEfe, "T.EFE"},        {kCategorySurge, "T.WT"},
                        {kCategoryWaveGenerator, "T.WTS"}, {kCategoryDune2, "T.WT"}, {kCategorySerum, "T.WAV"}};
  for (const Case& c : cases) {
    PressUpper(kSave);
    Type("T");
    Leave();
    ModuleRun vorta(STATE_VORTA);
    LoadVortaTable(vorta.session->vorta->ram, table, 7, "SWEEP");
    RunFiles(vorta, c.category);
    PartialTable back;
    int32_t stretch = 0;
    ASSERT_EQ(LoadVortaFile(gApp, {c.category, c.fileName}, back, stretch), kMsgDone) << c.category;
    EXPECT_EQ(back, TableForOutput(table)) << c.category;
    EXPECT_EQ(stretch, 7) << c.category;
  }
  // "fRPLACE<>" writes over the selected file after "REPLACE FILE?".
  Down();
  PressUpper(7);
  PressUpper(10);  // fYES
  Leave();
  {
    ModuleRun vorta(STATE_VORTA);
    LoadVortaTable(vorta.session->vorta->ram, table, 3, "SWEEP");
    RunFiles(vorta, kCategoryWaveGenerator);
    EXPECT_TRUE(Drawn(Message("REPLACE FILE?")));
    PartialTable back;
    int32_t stretch = 0;
    ASSERT_EQ(LoadVortaFile(gApp, {kCategoryWaveGenerator, "T.WTS"}, back, stretch), kMsgDone);
    EXPECT_EQ(stretch, 3);
  }
  // The WaveGenerator folder through "fF_TYPE<>": ABC.WTS, then the same
  // name again; a 9th character is ignored.
  Headless().texts.clear();
  PressUpper(3);
  PressUpper(7);  // -->08
  PressUpper(kSave);
  Type("ABC");
  PressUpper(kSave);
  Type("ABC");
  ScriptKeyPress(kKeyEscape);
  PressUpper(kSave);
  Type("LONGNAMEX");
  Leave();
  ModuleRun vorta(STATE_VORTA);
  LoadVortaTable(vorta.session->vorta->ram, table, 7, "SWEEP");
  RunFiles(vorta, kCategorySample);
  EXPECT_TRUE(Drawn("DIRECTORY / FILE TYPE INDEX"));
  EXPECT_TRUE(fs::exists(PathIn(kCategoryWaveGenerator, "ABC.WTS")));
  EXPECT_TRUE(fs::exists(PathIn(kCategoryWaveGenerator, "LONGNAME.WTS")));
  EXPECT_TRUE(Drawn(Message("FILE ALREADY EXISTS <ABC.WTS>")));
  EXPECT_TRUE(Drawn(Message("ABORTED")));
  EXPECT_TRUE(Drawn("01 <CURRENT>"));
  EXPECT_TRUE(Drawn("08 VORTA - WAVETABLES <WAVEGENERATOR, WTS>"));
}

TEST_F(FileOperationsTest, VortaLoadsEveryTableFolderAndLandsOnTheViewer) {
  const PartialTable table = TableForOutput(cli_fixture::SweepTable());
  const int32_t stretch = 9;
  struct Case {
    int category;
    const char* fileName;
  };
  const Case cases[] = {{kCategoryVortaWav, "T.WAV"}, {kCategoryKomplexer, "T.WT"},  {kCategoryBlofeld, "T.SYX"},
                        {kCategoryEfe, "T.EFE"},      {kCategorySurge, "T.WT"},      {kCategoryWaveGenerator, "T.WTS"},
                        {kCategoryDune2, "T.WT"},     {kCategorySerum, "T.WAV"}};
  WriteAllBytes(PathIn(kCategoryVortaWav, "T.WAV"), cli_fixture::VortaWaveBytes(table, stretch));
  WriteKomplexerTable(gApp, table, stretch, "T.WT");
  WriteBlofeldTable(gApp, table, stretch, "T.SYX", SanitizeBlofeldParameters(0, 80), true);
  WriteEfeTable(gApp, table, stretch, "T.EFE");
  WriteSurgeTable(gApp, table, stretch, "T.WT");
  WriteWtsTable(gApp, table, stretch, "T.WTS");
  WriteDune2Table(gApp, table, stretch, "T.WT");
  WriteSerumTable(gApp, table, stretch, "T.WAV");
  for (const Case& c : cases) {
    PartialTable expected;
    int32_t expectedStretch = 0;
    ASSERT_EQ(LoadVortaFile(gApp, {c.category, c.fileName}, expected, expectedStretch), kMsgDone) << c.category;
    Down();
    PressUpper(kLoad);
    ModuleRun vorta(STATE_VORTA);
    EXPECT_EQ(RunFiles(vorta, c.category), kPageNavigated);
    EXPECT_EQ(vorta.session->selector, 2) << c.category;
    const VortaWorkspace& ram = vorta.session->vorta->ram;
    EXPECT_EQ(ram.ramName, c.fileName);
    EXPECT_EQ(ram.table, expected) << c.category;
    EXPECT_EQ(ram.playbackStretch, expectedStretch) << c.category;
  }
}

TEST_F(FileOperationsTest, VortaSingleCycleFillsOrGoesToTheAssembler) {
  gApp.settings.noForceLoop = 1;
  PutSamples(1, true);
  PutSamples(1);
  // fFILL: the sine's partial 1 at full scale in all 33 slices.
  Down();
  PressUpper(kLoad);
  PressUpper(10);
  ModuleRun fill(STATE_VORTA);
  EXPECT_EQ(RunFiles(fill, kCategorySingleCycle), kPageNavigated);
  EXPECT_TRUE(Drawn(Message("FILL ENTIRE TABLE OR INSERT TO A CERTAIN SLOT?")));
  EXPECT_EQ(fill.session->selector, 2);
  for (int slice = 0; slice < kSliceCount; ++slice) EXPECT_EQ(fill.session->vorta->ram.table.at(0, slice), 127);
  EXPECT_EQ(fill.session->vorta->ram.ramName, "S000.WAV");
  // fINSERT hands the file to the table assembler.
  Down();
  PressUpper(kLoad);
  PressUpper(11);
  ModuleRun insert(STATE_VORTA);
  RunFiles(insert, kCategorySingleCycle);
  EXPECT_EQ(insert.session->selector, 4);
  EXPECT_EQ(insert.session->vorta->insertPath, PathIn(kCategorySingleCycle, "S000.WAV"));
  // A sample goes to the analysis pages; cancelled there, the RAM stays as it was.
  PressUpper(kLoad);
  Down();
  PressUpper(kLoad);
  PressUpper(11);  // fCANCEL on 1.1.0
  Leave();
  ModuleRun sample(STATE_VORTA);
  RunFiles(sample, kCategorySample);
  EXPECT_TRUE(Drawn(Message("NO FILE SELECTED")));
  EXPECT_TRUE(Drawn(Message("ABORTED")));
}

TEST_F(FileOperationsTest, XformRebuildsItsTableFromTheFile) {
  WriteAllBytes(PathIn(kCategoryXformWav, "NOISE.WAV"), cli_fixture::XformWaveBytes(2));
  PressUpper(kSave);  // nothing to save in the samples folder: no button
  PressUpper(3);
  PressUpper(1);  // -->13
  Down();
  PressUpper(kLoad);
  ModuleRun xform(STATE_XFORM);
  EXPECT_EQ(RunFiles(xform, kCategorySample), kPageNavigated);
  EXPECT_EQ(xform.session->selector, 2);
  EXPECT_EQ(xform.session->xform->ram.table.ramName, "NOISE.WAV");
  EXPECT_FALSE(Drawn(Message("ABORTED")));
  SaveArtefact("file_operations_xform");
}

TEST_F(FileOperationsTest, SloopAndXmrphHandTheirFilesOn) {
  PutSamples(2);
  PressUpper(kLoad);
  Down();
  PressUpper(kLoad);
  ModuleRun sloop(STATE_SLOOP);
  EXPECT_EQ(RunFiles(sloop, kCategorySample), kPageNavigated);
  EXPECT_TRUE(Drawn(Message("NO FILE SELECTED")));
  EXPECT_EQ(sloop.session->selector, 2);  // LOOP SYNTHESIS with the file as input
  EXPECT_EQ(sloop.session->sloop->ramName, "S000.WAV");
  EXPECT_TRUE(sloop.session->sloop->loop.HasInput());
  SaveArtefact("file_operations_sloop");

  Headless().texts.clear();
  PressUpper(6);  // fLOAD<> with nothing picked
  Down();
  PressUpper(4);  // PLOAD_A
  Down();
  PressUpper(5);  // PLOAD_B
  PressUpper(6);
  PressUpper(11);  // fCANCEL on 2.1.0
  Leave();
  ModuleRun xmrph(STATE_XMRPH);
  RunFiles(xmrph, kCategorySample);
  EXPECT_TRUE(Drawn(Message("CHOOSE 2 FILES FOR ANALYSIS")));
  EXPECT_EQ(xmrph.session->xmrph->fileA, PathIn(kCategorySample, "S000.WAV"));
  EXPECT_EQ(xmrph.session->xmrph->fileB, PathIn(kCategorySample, "S001.WAV"));
  EXPECT_EQ(StatusValue(3, 1), "S001.WAV");
  EXPECT_TRUE(Drawn(Message("ABORTED")));
  SaveArtefact("file_operations_xmrph");
}

TEST_F(FileOperationsTest, PlaysEveryKindOfFileAndNothingWithoutADevice) {
  gApp.settings.noForceLoop = 1;
  PutSamples(1, true);
  PutSamples(1);
  WriteWtsTable(gApp, cli_fixture::SweepTable(), 4, "T.WTS");
  WriteAllBytes(PathIn(kCategoryXformWav, "NOISE.WAV"), cli_fixture::XformWaveBytes(2));
  struct Case {
    int category;
    const char* shown;
  };
  const Case cases[] = {{kCategorySample, "PLAYING FILE <WAVE DATA>"},
                        {kCategorySingleCycle, "PLAYING FILE <WAVE DATA, RESAMPLED TO 172.265625 HZ>"},
                        {kCategoryWaveGenerator, "PLAYING FILE <USING SYNTHESIS>"},
                        {kCategoryXformWav, "PLAYING FILE <USING REALTIME WAVE INTERPOLATION>"}};
  for (bool device : {true, false}) {
    UseSoundDevices(device ? std::vector<std::string>{"card"} : std::vector<std::string>{});
    for (const Case& c : cases) {
      Headless().texts.clear();
      Down();
      PressLower(9);  // pFILE
      Leave();
      ModuleRun vorta(STATE_VORTA);
      EXPECT_EQ(RunFiles(vorta, c.category), kPageNavigated);
      EXPECT_EQ(Drawn(Message(c.shown)), device) << c.category;
      EXPECT_EQ(Drawn(Message("SOUND DEVICE NOT AVAILABLE")), !device) << c.category;
    }
  }
}

TEST_F(FileOperationsTest, ClearKeepsReadOnlyFilesAndRenameNeverReplaces) {
  PutSamples(3);
  chmod(PathIn(kCategorySample, "S001.WAV").c_str(), 0444);
  Down();
  PressUpper(4);  // fRENAME<> onto a taken name, then a free one
  Type("S002");
  ScriptKeyPress(kKeyEscape);
  PressUpper(4);
  Type("NEW");
  PressUpper(9);   // fCLR_DIR<>
  PressUpper(10);  // fYES
  Leave();
  ModuleRun vorta(STATE_VORTA);
  RunFiles(vorta, kCategorySample);
  EXPECT_TRUE(Drawn(Message("FILE ALREADY EXISTS <S002.WAV>")));
  EXPECT_TRUE(Drawn("NEW.WAV"));
  EXPECT_TRUE(Drawn(Message("SOME FILES COULD NOT BE DELETED")));
  EXPECT_FALSE(fs::exists(PathIn(kCategorySample, "NEW.WAV")));
  EXPECT_FALSE(fs::exists(PathIn(kCategorySample, "S002.WAV")));
  EXPECT_TRUE(fs::exists(PathIn(kCategorySample, "S001.WAV")));
  EXPECT_EQ(StatusValue(0, 2), "1");  // drawn again from the folder
}

}  // namespace
