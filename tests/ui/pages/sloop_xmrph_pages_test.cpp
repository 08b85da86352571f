// The loop synthesis (SLOOP) and cross synthesis (XMRPH) pages on sox files.
#include "cli/cli_fixture.h"
#include "core/random.h"
#include "files/wave_fixtures.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/sloop/sloop_module.h"

namespace {

using cli_fixture::RunCli;  // in the test's folder

constexpr uint16_t kSynthScreen = 2;
constexpr uint32_t kFrames = 44100, kSeed = 7;

class SloopPages : public ModulePageTest<STATE_SLOOP> {
 protected:
  void SetUp() override {
    ModulePageTest::SetUp();
    Sox(input, 2, "synth 44100s sine 441 vol 0.5");
  }
  int Load(const std::string& path) { PageRun run = Caller(); return LoadSloopInput(run, path); }
  LoopSynthesis& Loop() { return module->session->sloop->loop; }
  void Compute() {
    SeedRandom(kSeed);
    module->Visit(kSynthScreen, {11});
    ASSERT_TRUE(Loop().HasOutput());
  }
  std::string input = folder / "SINE.WAV";
};

TEST_F(SloopPages, ButtonsKeepTheirLimitsComputeCancelsAndEditsDiscardTheOutput) {
  module->Visit(kSynthScreen, {0});
  EXPECT_TRUE(Shown("NO DATA"));
  ASSERT_EQ(Load(input), kMsgDone);
  EXPECT_EQ(module->session->sloop->ramName, "SINE.WAV");
  struct Step { int column; const char* message; int32_t density, smear; };
  // L = 44,100: D = S = 128 at first; "+DENSITY" stops below L / 128 = 344.
  const Step steps[] = {{1, nullptr, 256, 256}, {1, nullptr, 512, 512}, {1, "MAX VALUE", 512, 512},
                        {3, "MAX VALUE", 512, 512}, {2, nullptr, 512, 256}, {0, nullptr, 256, 128},
                        {9, "ENVELOPE IS FLAT", 256, 128}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.column);
    module->Visit(kSynthScreen, {step.column});
    EXPECT_EQ(std::pair(Loop().density, Loop().smear), std::pair(step.density, step.smear));
    EXPECT_TRUE(!step.message || Shown(step.message));
  }
  EXPECT_EQ(StatusValue(1, 0), "256");
  module->Visit(kSynthScreen, {5, 6});
  EXPECT_EQ(StatusValues({{2, 0}, {2, 1}}), (std::vector<std::string>{"ON", "ON"}));
  WriteAllBytes(folder / "BAD.WAV", {'R', 'I', 'F', 'F'});
  for (const auto& [name, code] : {std::pair{"NONE.WAV", kMsgFileNotFound}, std::pair{"BAD.WAV", kMsgNoData}}) {
    EXPECT_EQ(Load(folder / name), code) << name;
    EXPECT_EQ(Loop().length, static_cast<int32_t>(kFrames));
  }

  StartAndCancel(11);  // "fCOMPUTE"
  module->Visit(kSynthScreen);
  EXPECT_TRUE(Shown("ABORTED"));
  EXPECT_FALSE(Loop().HasOutput());

  Compute();
  EXPECT_TRUE(ShownAll({"PREPARING CALCULATIONS, PLEASE WAIT", "DONE"}));

  ScriptDrag(SegmentX(5), 390 - 127, SegmentX(10), 390 + 127, 12);
  module->Visit(kSynthScreen);
  EXPECT_FALSE(Loop().HasOutput());
  EXPECT_EQ(Loop().envelope[10], -127);

  module->Visit(kSynthScreen, {7});  // "REVERSE": node 10 goes to 22
  EXPECT_EQ(Loop().envelope[22], -127);
  Compute();
  module->Visit(kSynthScreen, {8});  // "OUT>IN": the envelope flat again, the loop the new input
  EXPECT_EQ(Loop().envelope, FlatEnvelope());
  EXPECT_FALSE(Loop().HasOutput());
  module->Visit(kSynthScreen, {8});
  EXPECT_TRUE(Shown("NO DATA"));
}

TEST_F(SloopPages, RenderingWritesWhatTheCommandLineWrites) {
  ASSERT_EQ(Load(input), kMsgDone);
  Compute();
  PageRun run = Caller();
  // BITS four times is the start format; RIGHT steps the loop start, LS_RESET puts it back.
  PressTimes(6, 4);
  ScriptKeyPress(kKeyRight, 100);
  ScriptWait(100);
  PressUpper(11);
  EXPECT_EQ(RunSloopRendering(run, folder / "OUT.WAV"), kMsgAborted);
  EXPECT_EQ(gKept.loopBitsMode, 1);
  EXPECT_GT(gKept.loopStartOffset, 1);
  EXPECT_FALSE(std::filesystem::exists(folder / "OUT.WAV"));
  Press({4, 11});
  RunSloopRendering(run, folder / "OUT.WAV");
  EXPECT_EQ(gKept.loopStartOffset, 0);

  ScriptDrag(51 + 100, 300, 51 + 460, 300, 8);
  PressUpper(10);
  ASSERT_EQ(RunSloopRendering(run, folder / "OUT.WAV"), kMsgDone);
  EXPECT_EQ(gKept.loopStartOffset, 460);
  EXPECT_TRUE(DrawnAll({"50 %", "50.000"}));
  SaveArtefact("sloop_file_rendering");

  const std::string seed = "--seed=" + std::to_string(kSeed);
  ASSERT_EQ(RunCli(folder, {"sloop", seed, "--loop-start=460", "--name=CLI", input}).status, 0);
  EXPECT_EQ(ReadAllBytes(folder / "OUT.WAV"), ReadAllBytes(folder / "CLI.WAV"));
}

constexpr int kCompute = 10, kEnvelopeCentre = 520;  // "fCOMPUTE" on the options page

// A is mono with 6,000 frames, B stereo with 9,000: L = 6,000.
class XmrphPages : public ModulePageTest<STATE_XMRPH> {
 protected:
  void SetUp() override {
    ModulePageTest::SetUp();
    Sox(fileA, 1, "synth 6000s sine 441 vol 0.5");
    Sox(fileB, 2, "synth 9000s sine 441 vol 0.5");
  }
  // A and B loaded; the options page runs the scripted presses.
  int Load(const std::string& b) { PageRun run = Caller(); return RunXmrphLoad(run, fileA, b); }
  void LoadAndCompute() {
    PressUpper(kCompute);
    ASSERT_EQ(Load(fileB), kMsgDone);
  }
  CrossSynthesis& Cross() { return module->session->xmrph->cross; }
  std::string fileA = folder / "A.WAV", fileB = folder / "B.WAV";
};

TEST_F(XmrphPages, OptionsStepTheirSettingsAndComputeStoresThem) {
  // FFT_SIZE: 1024 -> 2048 -> 4096, then 8192 is not below L = 6000: 64.
  // OVERLAP 16 -> 32, then 32 is not below N / 2 = 32: 4.
  Press({1, 1, 1, 0, 0});
  PressTimes(2, 5);  // 0.5 down to 0.25, then "MIN VALUE"
  Press({5, 9});     // PH_CORR off; LOOP without loops
  LoadAndCompute();
  EXPECT_TRUE(DrawnAll({"FILE A: A.WAV", "FILE B: B.WAV", "4096", "0.50", "OFF", "NONE"}));
  EXPECT_TRUE(ShownAll({"MIN VALUE", "NO LOOP DATA"}));
  EXPECT_EQ(StatusValues({{0, 0}, {0, 1}}), (std::vector<std::string>{"4", "64"}));
  EXPECT_EQ(std::tie(gKept.crossFrameSize, gKept.crossOverlap, gKept.crossContrast, gKept.crossPhaseCorrection),
            std::make_tuple(64, 4, 0.25f, false));

  // Equal lengths with a loop in A: "LOOP" changes nothing.
  wave_fixtures::AppendChunk(fileA, wave_fixtures::SmplChunk({.start = 100, .end = 5999}));
  Press({9, kCancel});
  EXPECT_EQ(Load(fileA), kMsgAborted);
  EXPECT_TRUE(Shown("EQUAL FILE LENGTH, PADDING NOT REQUIRED") && Drawn("NORMAL"));
}

TEST_F(XmrphPages, CancelRestoresTheResultsBitForBitAndEnvelopeEditsRemixThem) {
  module->Visit(kSynthScreen, {0, 9});
  EXPECT_EQ(DrawnCount("MESSAGE: NO DATA"), 2);
  LoadAndCompute();
  const std::vector<float> ab = Cross().abLeft;
  const std::vector<float> ba = Cross().baRight;
  // "fFFT<>": a new frame size, a computation stopped early, and "fCANCEL".
  Press({9, 1});
  StartAndCancel(kCompute);
  module->Visit(kSynthScreen, {kCancel});
  EXPECT_TRUE(Shown("ABORTED"));
  EXPECT_EQ(Cross().settings.frameSize, 1024);
  EXPECT_EQ(std::tie(Cross().abLeft, Cross().baRight), std::tie(ab, ba));
  // The edits' values are the engine's; here: "SET", two "LIMIT", then "SWEEP" within the limit.
  module->Visit(kSynthScreen, {0});
  EXPECT_EQ(Cross().envelope[16], 42);
  module->Visit(kSynthScreen, {11, 11, 5});
  EXPECT_EQ(Cross().limitMode, 2);
  EXPECT_EQ(std::pair(Cross().envelope[0], Cross().envelope[32]), std::pair(int16_t{42}, int16_t{-42}));
  SaveArtefact("xmrph_cross_synthesis");
  // Drawing reaches only the limit range: node 20 pulled to the top stays at 42.
  const std::vector<float> before = Cross().outLeft;
  ScriptDrag(SegmentX(20), kEnvelopeCentre, SegmentX(20), kEnvelopeCentre - 127, 6);
  module->Visit(kSynthScreen);
  EXPECT_EQ(Cross().envelope[20], 42);
  EXPECT_NE(Cross().outLeft, before);
  EXPECT_EQ(gKept.crossEnvelope[20], 42);
  // "FLUSH" releases the output (the file names: the module loop tests); the envelope stays.
  FlushModule(*module->session);
  EXPECT_FALSE(Cross().HasOutput());
  EXPECT_EQ(Cross().envelope[20], 42);
}

TEST_F(XmrphPages, RenderingWritesWhatTheCommandLineWrites) {
  LoadAndCompute();
  module->Visit(kSynthScreen, {0});  // SET: all 42, "A*B"
  PageRun run = Caller();
  PressUpper(10);
  ASSERT_EQ(RunXmrphRendering(run, folder / "OUT.WAV"), kMsgDone);
  SaveArtefact("xmrph_file_rendering");

  std::string nodes;
  for (int i = 0; i < 33; ++i) nodes += " 42";
  ASSERT_EQ(RunCli(folder, {"xmrph", "--envelope", nodes, "--name", "CLI", fileA, fileB}).status, 0);
  EXPECT_EQ(ReadAllBytes(folder / "OUT.WAV"), ReadAllBytes(folder / "CLI.WAV"));

  Press({6, 8, kCancel});  // BITS: 32 <PCM>; LEVEL: UNCHANGED
  EXPECT_EQ(RunXmrphRendering(run, folder / "NOT.WAV"), kMsgAborted);
  EXPECT_TRUE(DrawnAll({"32 <PCM>", "UNCHANGED"}));
  EXPECT_FALSE(std::filesystem::exists(folder / "NOT.WAV"));
}

}  // namespace
