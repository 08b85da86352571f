#include "core/random.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/shared/sound_pages.h"
#include "ui/pages/sloop/sloop_module.h"

namespace {

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

TEST_F(SloopPages, ButtonsKeepTheirLimits) {
  module->Visit(kSynthScreen, {0});
  EXPECT_TRUE(Shown("NO DATA"));
  ASSERT_EQ(Load(input), kMsgDone);
  EXPECT_EQ(module->session->sloop->ramName, "SINE.WAV");
  struct Step { int column; const char* message; int32_t density, smear; };  // message nullptr: none
  // L = 44,100 starts at D = S = 128; "+DENSITY" stops below L / 128 = 344.
  const Step steps[] = {{1, nullptr, 256, 256}, {1, nullptr, 512, 512}, {1, "MAX VALUE", 512, 512},
                        {3, "MAX VALUE", 512, 512}, {2, nullptr, 512, 256}, {0, nullptr, 256, 128},
                        {9, "ENVELOPE IS FLAT", 256, 128}};
  EXPECT_EQ(Loop().density, 128);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.column);
    module->Visit(kSynthScreen, {step.column});
    EXPECT_EQ(std::pair(Loop().density, Loop().smear), std::pair(step.density, step.smear));
    EXPECT_TRUE(!step.message || Shown(step.message));
  }
  EXPECT_EQ(StatusValue(1, 0), "256");
  module->Visit(kSynthScreen, {5, 6});
  EXPECT_EQ(StatusValues({{2, 0}, {2, 1}}), (std::vector<std::string>{"ON", "ON"}));
  // Files that cannot be loaded leave the input as it was.
  WriteAllBytes(folder / "BAD.WAV", {'R', 'I', 'F', 'F'});
  for (const auto& [name, code] : {std::pair{"NONE.WAV", kMsgFileNotFound}, std::pair{"BAD.WAV", kMsgNoData}}) {
    EXPECT_EQ(Load(folder / name), code) << name;
    EXPECT_EQ(Loop().length, static_cast<int32_t>(kFrames));
  }
}

TEST_F(SloopPages, ComputeCancelEnvelopeAndOutputDiscarded) {
  ASSERT_EQ(Load(input), kMsgDone);
  StartAndCancel(11);  // "fCOMPUTE"
  module->Visit(kSynthScreen);
  EXPECT_TRUE(Shown("ABORTED"));
  EXPECT_FALSE(Loop().HasOutput());

  Compute();
  EXPECT_TRUE(ShownAll({"PREPARING CALCULATIONS, PLEASE WAIT", "DONE"}));

  // Drawing nodes 5 to 10 down to the bottom of the graph.
  ScriptDrag(SegmentX(5), 390 - 127, SegmentX(10), 390 + 127, 12);
  module->Visit(kSynthScreen);
  EXPECT_FALSE(Loop().HasOutput());
  EXPECT_EQ(Loop().envelope[10], -127);
  EXPECT_EQ(Loop().envelope[4], 127);
  EXPECT_FLOAT_EQ(Loop().envelopedLeft.back(), Loop().inputLeft.back());

  module->Visit(kSynthScreen, {7});  // "REVERSE": node 10 goes to 22
  EXPECT_EQ(Loop().envelope[22], -127);
  EXPECT_EQ(Loop().envelope[10], 127);
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
  // Options first: BITS four times is the start format; the loop start
  // steps with the arrows and LS_RESET puts it back; then p = 460.
  PressTimes(6, 4);
  ScriptKeyDown(kKeyRight);
  ScriptKeyUp(kKeyRight, 100);
  ScriptWait(200);
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

  RunCli("sloop --seed " + std::to_string(kSeed) + " --loop-start 460 --out '" + folder.path + "' --name CLI '" +
         input + "'");
  EXPECT_EQ(ReadAllBytes(folder / "OUT.WAV"), ReadAllBytes(folder / "CLI.WAV"));

  // The file starts at sample 22,050 of the loop (stereo: 2 x 0.494265 of full scale).
  LoadedSample back;
  ASSERT_EQ(LoadSampleAtPath(folder / "OUT.WAV", back), kMsgDone);
  EXPECT_EQ(back.descriptor.frames, kFrames);
  EXPECT_EQ(back.descriptor.channels, 2);
  EXPECT_NEAR(back.left[0] / (2 * 0.494265), Loop().outputLeft[22050], 2e-4);
  EXPECT_NEAR(back.left[kFrames - 22050] / (2 * 0.494265), Loop().outputLeft[0], 2e-4);
}

}  // namespace
