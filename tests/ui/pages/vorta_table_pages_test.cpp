#include "core/byte_order.h"
#include "files/file_classification.h"
#include "files/wave_reader.h"
#include "ui/pages/page_harness.h"
#include "wavetable/vorta_synthesis.h"

namespace {

constexpr int kStore = 10;

// The RAM table: slices 0..24 filled with a falling spectrum, 25..32 empty.
PartialTable TestTable() {
  PartialTable table;
  for (int s = 0; s <= 24; ++s) {
    for (int p = 0; p < 24; ++p) table.at(p, s) = static_cast<int16_t>(120 - 4 * p + s % 5);
  }
  return table;
}

class VortaTablePagesTest : public ModulePageTest<STATE_VORTA> {
 protected:
  void SetUp() override {
    ModulePageTest::SetUp();
    LoadVortaTable(module->session->vorta->ram, TestTable(), 12, "TEST");  // rendered as loaded
    run = Caller();
  }
  // A keypad answer replacing the offered value, once the keypad stands; nullptr: Escape.
  static void Answer(const char* digits) {
    ScriptWait(200);
    if (!digits) return ScriptKeyPress(kKeyEscape);
    for (int i = 0; i < 3; ++i) ScriptKeyPress(kKeyBackspace);
    ScriptType(digits);
    ScriptKeyPress(kKeyReturn);
  }
  // The sample count of a 16-bit PCM file's data chunk.
  static uint32_t DataSamples(const std::vector<uint8_t>& bytes) {
    EXPECT_GT(bytes.size(), 44u);
    return bytes.size() > 44 ? ReadU32LE(&bytes[40]) / 2 : 0;
  }
  PageRun run;
};

TEST_F(VortaTablePagesTest, ViewerShowsEachViewAndRefusesMagnificationBeyondItsLimits) {
  struct Case { int column; const char* viewing; bool modeButton; };
  const Case cases[] = {{7, "WAVETABLE <VIEW B>", true},  {8, "MAGNITUDE SPECTRUM", false},
                        {9, "MAGNITUDE SPECTRUM", false}, {10, "MAGNITUDE PROFILES", false},
                        {11, "MAGNITUDE PROFILES", false}, {6, "WAVETABLE <VIEW A>", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    module->Visit(2, {c.column, c.column});  // the second: the view already shown
    EXPECT_TRUE(StatusValue(2, 0) == c.viewing && Shown("ON SCREEN"));
    EXPECT_EQ(ButtonLabel(3, 0) == "V_MODE", c.modeButton);
    EXPECT_EQ(StatusValue(0, 0), "08");  // empty slices
  }
  struct Limit { int column; const char* shown; const char* message; };
  for (const Limit& limit : {Limit{0, "6.25", "MIN VALUE"}, Limit{1, "100.00", "MAX VALUE"}}) {
    PressTimes(limit.column, 5);
    module->Visit(2, {3});  // V_MODE: slices only
    EXPECT_TRUE(StatusValue(1, 0) == limit.shown && Shown(limit.message));
  }
  EXPECT_EQ(StatusValue(1, 1), "FULL TABLE");  // V_MODE pressed twice
}

// "1.4.0": what each setting writes, read back by the library's reader; BITS cycles back, and a cancel or a
// target that cannot be replaced leaves the old file.
TEST_F(VortaTablePagesTest, WavetableRenderingWritesTheChosenSlicesAndSamplesOrLeavesTheOldFile) {
  struct Case { std::initializer_list<int> presses; const char* slices; uint32_t samples; bool alternateBase; };
  constexpr int kBase = 3, kSlices = 7, kSamples = 8;
  const Case cases[] = {{{}, "1025 <INTERPOLATION>", 262400, false}, {{kBase}, "1024 <INTERPOLATION>", 262144, true},
                        {{kBase, kSlices}, "64 <INTERPOLATION>", 16384, true}, {{kSlices}, "33 <RAW>", 8448, false},
                        {{kSamples, kSamples, kSamples, kSamples}, "1025 <INTERPOLATION>", 1025 * 128, false}};
  const std::string path = LibraryPath(kCategoryVortaWav, "T.WAV");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slices);
    gKept = KeptForRun{};
    Headless().texts.clear();
    Press(c.presses);
    PressUpper(kStore);
    ASSERT_EQ(RunVortaRendering(run, kCategoryVortaWav, path), kMsgDone);
    EXPECT_TRUE(Drawn(c.slices));
    EXPECT_EQ(Shown("ALTERNATE BASE, NUMBER OF SLICES IS TRUNCATED TO A MULTIPLE OF 64 <USE ONLY IF REQUIRED>"),
              c.alternateBase);
    EXPECT_EQ(DataSamples(ReadAllBytes(path)), c.samples);
    EXPECT_EQ(TableIn(kCategoryVortaWav, "T.WAV"), std::pair(TableForOutput(TestTable()), 12));
  }
  SaveArtefact("wavetable_rendering_wav");

  const std::vector<uint8_t> rendered = ReadAllBytes(path);
  PressTimes(5, 4);
  PressUpper(kCancel);
  EXPECT_EQ(RunVortaRendering(run, kCategoryVortaWav, path), kMsgAborted);
  EXPECT_TRUE(DrawnAll({"8 <PCM>", "32 <PCM>", "32 <FLOAT>"}) && StatusValue(0, 2) == "16 <PCM>");
  EXPECT_EQ(ReadAllBytes(path), rendered);
  Press({5, kCancel});
  RunVortaRendering(run, kCategoryVortaWav, path);
  PressUpper(kCancel);
  RunVortaRendering(run, kCategoryVortaWav, path);
  EXPECT_EQ(StatusValue(0, 2), "32 <PCM>");
  EXPECT_EQ(RunVortaRendering(run, kCategorySample, path), kMsgAborted);  // no page for samples

  // A target that cannot be replaced (a folder) stays as it is.
  const std::string blocked = LibraryPath(kCategoryVortaWav, "BLOCKED.WAV");
  fs::create_directories(blocked + "/inside");
  PressUpper(kStore);
  EXPECT_EQ(RunVortaRendering(run, kCategoryVortaWav, blocked), kMsgAccessDenied);
  EXPECT_TRUE(fs::is_directory(blocked + "/inside"));
}

// "1.3.0": the selected slice as a looped single cycle, polarity and length as chosen.
TEST_F(VortaTablePagesTest, SingleCycleRenderingWritesTheSelectedSlice) {
  struct Case { std::vector<int> presses; int samples; int slice; bool inverted; };
  constexpr int kBack1 = 0, kForward8 = 2, kPolarity = 7, kSamples = 8;
  const Case cases[] = {{{}, 256, 0, false}, {{kForward8, kForward8, kBack1, kPolarity}, 256, 15, true},
                        {{kSamples, kSamples, kSamples, kSamples}, 4096, 15, false},
                        {{kSamples, kSamples, kSamples, kSamples, kSamples}, 128, 15, false},
                        {std::vector<int>(16, kBack1), 256, 32, false}};  // back from 0 wraps to the last slice
  const std::string path = LibraryPath(kCategorySingleCycle, "C.WAV");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.samples);
    gKept = KeptForRun{};
    for (int column : c.presses) PressUpper(column);
    PressUpper(kStore);
    ASSERT_EQ(RunVortaRendering(run, kCategorySingleCycle, path), kMsgDone);
    EXPECT_EQ(module->session->vorta->destinationSlice, c.slice);
    ASSERT_EQ(TestSoundFile(path, nullptr, ReadRulesOf(gApp)), kCategorySingleCycle);  // looped
    const std::vector<uint8_t> bytes = ReadAllBytes(path);
    ASSERT_EQ(DataSamples(bytes), static_cast<uint32_t>(c.samples));
    if (c.inverted) {  // the synthesised slice negated
      std::vector<float> cycle(256);
      RenderSlice(TableForOutput(TestTable()), 15, cycle, 1.0);
      const auto value = static_cast<int16_t>(bytes[44 + 2 * 64] | bytes[45 + 2 * 64] << 8);
      EXPECT_NEAR(value, -cycle[64] * 32391.0, 1.0);
    }
  }
}

// "1.5.0" writes a dump with the entered device id and slot; "1.6.0"
// rewrites them; a cancelled question writes nothing.
TEST_F(VortaTablePagesTest, SysexRenderingAndModificationAskForDeviceAndSlot) {
  const std::string path = LibraryPath(kCategoryBlofeld, "TEST.SYX");
  Answer(nullptr);
  EXPECT_EQ(RunVortaRendering(run, kCategoryBlofeld, path), kMsgAborted);
  EXPECT_FALSE(fs::exists(path));

  // The dump's own bytes are the format tests'; here: what the questions hand over.
  auto ExpectIds = [&](const char* ids) {
    FileInfo info;
    ASSERT_EQ(TestSoundFile(path, &info, ReadRulesOf(gApp)), kCategoryBlofeld);
    EXPECT_EQ(info.device + "/" + info.slot, ids);
  };
  Answer("17");
  Answer("99");
  ASSERT_EQ(RunVortaRendering(run, kCategoryBlofeld, path), kMsgDone);
  ExpectIds("017/099");
  Answer("5");
  Answer("118");
  EXPECT_EQ(RunVortaSysexModify(run, path), kMsgDone);
  ExpectIds("005/118");
  Answer("128");  // refused as a device id, then the question is left
  Answer(nullptr);
  const std::vector<uint8_t> before = ReadAllBytes(path);
  EXPECT_EQ(RunVortaSysexModify(run, path), kMsgAborted);
  EXPECT_EQ(ReadAllBytes(path), before);
  EXPECT_EQ(RunVortaSysexModify(run, ""), kMsgNoFileSelected);
  EXPECT_EQ(RunVortaSysexModify(run, LibraryPath(kCategoryBlofeld, "NONE.SYX")), kMsgAccessDenied);
}

}  // namespace
