#include <filesystem>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_reader.h"
#include "formats/blofeld_sysex.h"
#include "formats/vorta_import.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/shared/file_handoffs.h"
#include "wavetable/vorta_synthesis.h"

namespace {

namespace fs = std::filesystem;

// The RAM table: slices 0..24 filled with a falling spectrum, 25..32 empty.
PartialTable TestTable() {
  PartialTable table;
  for (int s = 0; s <= 24; ++s) {
    for (int p = 0; p < 24; ++p) table.at(p, s) = static_cast<int16_t>(120 - 4 * p + s % 5);
  }
  return table;
}

class VortaTablePagesTest : public PageHarness {
 protected:
  void SetUp() override {
    PageHarness::SetUp();
    module = std::make_unique<ModuleRun>(STATE_VORTA);
    VortaWorkspace& ram = module->session->vorta->ram;
    LoadVortaTable(ram, TestTable(), 12, "TEST");
    RenderRamWavetable(ram.table, ram.ram, ram.playbackStretch);
    run.session = module->session.get();
  }
  void TearDown() override {
    module.reset();
    PageHarness::TearDown();
  }
  std::string Path(int category, const std::string& name) { return CategoryFilePath(gApp, category, name); }
  // A keypad answer replacing the offered value, typed once the keypad
  // stands (it drops what was typed before).
  static void Answer(const std::string& digits) {
    ScriptWait(kKeypadWait);
    for (int i = 0; i < 3; ++i) ScriptKeyPress(kKeyBackspace);
    ScriptType(digits);
    ScriptKeyPress(kKeyReturn);
  }
  static constexpr int64_t kKeypadWait = 200;
  std::unique_ptr<ModuleRun> module;
  PageRun run;
};

TEST_F(VortaTablePagesTest, ViewerShowsEachViewAndRefusesMagnificationBeyondItsLimits) {
  struct Case { int column; const char* viewing; bool modeButton; };
  const Case cases[] = {{7, "WAVETABLE <VIEW B>", true},  {8, "MAGNITUDE SPECTRUM", false},
                        {9, "MAGNITUDE SPECTRUM", false}, {10, "MAGNITUDE PROFILES", false},
                        {11, "MAGNITUDE PROFILES", false}, {6, "WAVETABLE <VIEW A>", true}};
  for (const Case& c : cases) {
    Headless().texts.clear();
    PressUpper(c.column);
    PressUpper(c.column);  // the view already shown
    PressLower(0);
    EXPECT_EQ(module->RunScreen(2), kPageNavigated);
    EXPECT_EQ(StatusValue(2, 0), c.viewing);
    EXPECT_TRUE(Drawn(Message("ON SCREEN")));
    EXPECT_EQ(Labels(0)[3] == "V_MODE", c.modeButton) << c.column;
    EXPECT_EQ(StatusValue(0, 0), "08");  // empty slices
    SaveArtefact(std::string("viewer_view_") + std::to_string(c.column - 6));
  }
  struct Limit { int column; int presses; const char* shown; const char* message; };
  const Limit limits[] = {{0, 5, "6.25", "MIN VALUE"}, {1, 5, "100.00", "MAX VALUE"}};
  for (const Limit& limit : limits) {
    Headless().texts.clear();
    for (int i = 0; i < limit.presses; ++i) PressUpper(limit.column);
    PressUpper(3);  // V_MODE: slices only
    PressLower(0);
    module->RunScreen(2);
    EXPECT_EQ(StatusValue(1, 0), limit.shown);
    EXPECT_TRUE(Drawn(Message(limit.message)));
  }
  EXPECT_EQ(StatusValue(1, 1), "FULL TABLE");  // V_MODE pressed twice
}

// "1.4.0": what each setting writes, read back by the library's reader.
TEST_F(VortaTablePagesTest, WavetableRenderingWritesTheChosenSlicesAndSamples) {
  struct Case { std::vector<int> presses; const char* slices; uint32_t samples; };
  constexpr int kBase = 3, kSlices = 7, kSamples = 8;
  const Case cases[] = {
      {{}, "1025 <INTERPOLATION>", 262400},
      {{kBase}, "1024 <INTERPOLATION>", 262144},
      {{kBase, kSlices}, "64 <INTERPOLATION>", 64 * 256},
      {{kSlices}, "33 <RAW>", 33 * 256},
      {{kSamples, kSamples, kSamples, kSamples}, "1025 <INTERPOLATION>", 1025 * 128},
  };
  const std::string path = Path(kCategoryVortaWav, "T.WAV");
  for (const Case& c : cases) {
    gKept = KeptForRun{};
    Headless().texts.clear();
    for (int column : c.presses) PressUpper(column);
    PressUpper(10);  // fSTORE
    ASSERT_EQ(RunVortaRendering(run, kCategoryVortaWav, path), kMsgDone);
    EXPECT_TRUE(Drawn(c.slices)) << c.slices;
    if (!c.presses.empty() && c.presses[0] == kBase) {
      EXPECT_TRUE(Drawn(Message(
          "ALTERNATE BASE, NUMBER OF SLICES IS TRUNCATED TO A MULTIPLE OF 64 <USE ONLY IF REQUIRED>")));
    }
    const std::vector<uint8_t> bytes = ReadAllBytes(path);
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(ReadU32LE(&bytes[40]), c.samples * 2);  // 16-bit PCM
    PartialTable loaded;
    int32_t stretch = 0;
    ASSERT_EQ(LoadVortaFile(gApp, LibraryEntry{kCategoryVortaWav, "T.WAV"}, loaded, stretch), kMsgDone);
    EXPECT_EQ(loaded.codes, TableForOutput(TestTable()).codes);
    EXPECT_EQ(stretch, 12);
  }
  SaveArtefact("wavetable_rendering_wav");
}

TEST_F(VortaTablePagesTest, BitsCyclesBackAndCancelLeavesTheOldFile) {
  const std::string path = Path(kCategoryVortaWav, "OLD.WAV");
  WriteAllBytes(path, {1, 2, 3});
  for (int i = 0; i < 4; ++i) PressUpper(5);
  PressUpper(11);  // fCANCEL
  EXPECT_EQ(RunVortaRendering(run, kCategoryVortaWav, path), kMsgAborted);
  EXPECT_TRUE(DrawnAll({"8 <PCM>", "32 <PCM>", "32 <FLOAT>"}));
  EXPECT_EQ(StatusValue(0, 2), "16 <PCM>");
  EXPECT_EQ(ReadAllBytes(path), (std::vector<uint8_t>{1, 2, 3}));
  // The format is kept for the next time the page opens.
  PressUpper(5);
  PressUpper(11);
  RunVortaRendering(run, kCategoryVortaWav, path);
  PressUpper(11);
  RunVortaRendering(run, kCategoryVortaWav, path);
  EXPECT_EQ(StatusValue(0, 2), "32 <PCM>");
  EXPECT_EQ(RunVortaRendering(run, kCategorySample, path), kMsgAborted);  // no page for samples

  // A target that cannot be replaced (a folder of that name) stays as it is.
  const std::string blocked = Path(kCategoryVortaWav, "BLOCKED.WAV");
  fs::create_directories(blocked + "/inside");
  PressUpper(10);
  EXPECT_EQ(RunVortaRendering(run, kCategoryVortaWav, blocked), kMsgAccessDenied);
  EXPECT_TRUE(fs::is_directory(blocked + "/inside"));
}

// "1.3.0": the selected slice as a looped single cycle, polarity and length
// as chosen.
TEST_F(VortaTablePagesTest, SingleCycleRenderingWritesTheSelectedSlice) {
  struct Case { std::vector<int> presses; int samples; int slice; bool inverted; };
  constexpr int kBack1 = 0, kForward8 = 2, kPolarity = 7, kSamples = 8;
  const Case cases[] = {
      {{}, 256, 0, false},
      {{kForward8, kForward8, kBack1, kPolarity}, 256, 15, true},
      {{kSamples, kSamples, kSamples, kSamples}, 4096, 15, false},
      {{kSamples, kSamples, kSamples, kSamples, kSamples}, 128, 15, false},
      {std::vector<int>(16, kBack1), 256, 32, false},  // back from 0 wraps to the last slice
  };
  const std::string path = Path(kCategorySingleCycle, "C.WAV");
  for (const Case& c : cases) {
    gKept = KeptForRun{};
    for (int column : c.presses) PressUpper(column);
    PressUpper(10);
    ASSERT_EQ(RunVortaRendering(run, kCategorySingleCycle, path), kMsgDone);
    EXPECT_EQ(module->session->vorta->destinationSlice, c.slice);
    if (c.samples == 4096) SaveArtefact("single_cycle_rendering_wav");
    FileInfo info;
    ASSERT_EQ(TestSoundFile(path, &info, ReadRulesOf(gApp)), kCategorySingleCycle);
    EXPECT_EQ(info.length, std::to_string(c.samples));
    const std::vector<uint8_t> bytes = ReadAllBytes(path);
    ASSERT_EQ(ReadU32LE(&bytes[40]), static_cast<uint32_t>(c.samples * 2));
    if (c.slice == 15 && c.samples == 256) {
      // INVERTED: the synthesised slice negated.
      const PartialTable table = TableForOutput(TestTable());
      std::vector<float> cycle(256);
      RenderSlice(table, 15, cycle, 1.0);
      const auto value = static_cast<int16_t>(bytes[44 + 2 * 64] | bytes[45 + 2 * 64] << 8);
      EXPECT_NEAR(value, -cycle[64] * 32391.0, 1.0);
    }
  }
}

// "1.5.0" writes a dump with the entered device id and slot; "1.6.0"
// rewrites them; a cancelled question writes nothing.
TEST_F(VortaTablePagesTest, SysexRenderingAndModificationAskForDeviceAndSlot) {
  const std::string path = Path(kCategoryBlofeld, "TEST.SYX");
  ScriptWait(kKeypadWait);
  ScriptKeyPress(kKeyEscape);
  EXPECT_EQ(RunVortaRendering(run, kCategoryBlofeld, path), kMsgAborted);
  EXPECT_FALSE(fs::exists(path));

  Answer("17");
  Answer("99");
  ASSERT_EQ(RunVortaRendering(run, kCategoryBlofeld, path), kMsgDone);
  SaveArtefact("sysex_rendering");
  FileInfo info;
  ASSERT_EQ(TestSoundFile(path, &info, ReadRulesOf(gApp)), kCategoryBlofeld);
  EXPECT_EQ(info.device, "017");
  EXPECT_EQ(info.slot, "099");
  const std::vector<uint8_t> written = ReadAllBytes(path);

  struct Case { const char* device; const char* slot; int result; uint8_t deviceByte; uint8_t slotByte; };
  const Case cases[] = {{"5", "118", kMsgDone, 5, 118}, {"128", nullptr, kMsgAborted, 5, 118}};
  for (const Case& c : cases) {
    Answer(c.device);
    if (c.slot) {
      Answer(c.slot);
    } else {
      ScriptWait(kKeypadWait);
      ScriptKeyPress(kKeyEscape);  // 128 is refused, then the question is left
    }
    EXPECT_EQ(RunVortaSysexModify(run, path), c.result);
    const std::vector<uint8_t> bytes = ReadAllBytes(path);
    ASSERT_EQ(bytes.size(), kBlofeldDumpBytes);
    EXPECT_EQ(ValidateBlofeldDump(BlofeldDump(bytes.data(), kBlofeldDumpBytes)), nullptr);
    for (size_t m = 0; m < kBlofeldDumpBytes; m += kBlofeldMessageBytes) {
      EXPECT_EQ(bytes[m + 3], c.deviceByte);
      EXPECT_EQ(bytes[m + 5], c.slotByte);
      EXPECT_EQ(bytes[m + 408], written[m + 408]);  // checksums untouched
    }
  }
  SaveArtefact("sysex_modification");
  EXPECT_TRUE(Drawn("*** SYSEX PARAMETER MODIFICATION <SYX> ***"));
  EXPECT_EQ(RunVortaSysexModify(run, ""), kMsgNoFileSelected);
  EXPECT_EQ(RunVortaSysexModify(run, Path(kCategoryBlofeld, "NONE.SYX")), kMsgAccessDenied);
}

}  // namespace
