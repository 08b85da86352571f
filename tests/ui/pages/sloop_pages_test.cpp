#include <cstdlib>
#include <optional>

#include "core/random.h"
#include "files/wave_fixtures.h"
#include "platform/window_link.h"
#include "support/temp_folder.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/sound_pages.h"
#include "ui/pages/sloop/sloop_module.h"
#include "ui/segment_graph.h"

namespace {

using namespace wave_fixtures;

constexpr uint16_t kSynthScreen = 2;
constexpr uint32_t kFrames = 44100;
constexpr uint32_t kSeed = 7;

class SloopPages : public PageHarness {
 protected:
  void SetUp() override {
    PageHarness::SetUp();
    module.emplace(STATE_SLOOP);
    if (!SoxAvailable()) GTEST_SKIP() << "sox is needed for the input files";
    ASSERT_TRUE(SoxSine(input, kFrames, "-b 16", 2));
  }
  PageRun Run() {
    PageRun run;
    run.session = module->session.get();
    return run;
  }
  int Load() {
    PageRun run = Run();
    return LoadSloopInput(run, input);
  }
  LoopSynthesis& Loop() { return module->session->sloop->loop; }
  // One visit of the synthesis screen with the scripted presses, left by
  // "fSYSTEM<>".
  void Visit() {
    PressLower(0);
    Headless().texts.clear();
    EXPECT_EQ(module->RunScreen(kSynthScreen), kPageNavigated);
  }
  void Compute() {
    SeedRandom(kSeed);
    PressUpper(11);
    Visit();
    ASSERT_TRUE(Loop().HasOutput());
  }

  TempFolder folder;
  std::string input = folder / "SINE.WAV";
  // Entered after the harness started the run afresh (gKept).
  std::optional<ModuleRun> module;
};

TEST_F(SloopPages, ButtonsKeepTheirLimits) {
  PressUpper(0);
  Visit();
  EXPECT_TRUE(Drawn(Message("NO DATA")));
  ASSERT_EQ(Load(), kMsgDone);
  EXPECT_EQ(module->session->sloop->ramName, "SINE.WAV");
  struct Step {
    int column;
    const char* message;  // nullptr: none
    int32_t density;
    int32_t smear;
  };
  // L = 44,100 starts at D = S = 128; "+DENSITY" stops below L / 128 = 344.
  const Step steps[] = {
      {1, nullptr, 256, 256},       {1, nullptr, 512, 512}, {1, "MAX VALUE", 512, 512}, {3, "MAX VALUE", 512, 512},
      {2, nullptr, 512, 256},       {0, nullptr, 256, 128}, {9, "ENVELOPE IS FLAT", 256, 128},
  };
  EXPECT_EQ(Loop().density, 128);
  for (const Step& step : steps) {
    PressUpper(step.column);
    Visit();
    EXPECT_EQ(Loop().density, step.density) << step.column;
    EXPECT_EQ(Loop().smear, step.smear) << step.column;
    if (step.message) {
      EXPECT_TRUE(Drawn(Message(step.message))) << step.message;
    }
  }
  EXPECT_EQ(StatusValue(1, 0), "256");
  PressUpper(5);
  PressUpper(6);
  Visit();
  EXPECT_EQ(StatusValue(2, 0), "ON");
  EXPECT_EQ(StatusValue(2, 1), "ON");
  // Files that cannot be loaded leave the input as it was.
  WriteAllBytes(folder / "BAD.WAV", {'R', 'I', 'F', 'F'});
  for (const auto& [name, code] : {std::pair{"NONE.WAV", kMsgFileNotFound}, std::pair{"BAD.WAV", kMsgNoData}}) {
    PageRun run = Run();
    EXPECT_EQ(LoadSloopInput(run, folder / name), code) << name;
    EXPECT_EQ(Loop().length, static_cast<int32_t>(kFrames));
  }
}

TEST_F(SloopPages, ComputeCancelEnvelopeAndOutputDiscarded) {
  ASSERT_EQ(Load(), kMsgDone);
  // "fCOMPUTE", and F12 again while it runs: the progress display's
  // "fCANCEL". The virtual clock stands still while the loop is computed,
  // so the second press is made during the first press's flash.
  ScriptKeyDown(kKeyF12);
  ScriptKeyUp(kKeyF12, 50);
  ScriptKeyDown(kKeyF12);
  ScriptKeyUp(kKeyF12, 0);
  ScriptWait(kHoldMillis);
  Visit();
  EXPECT_TRUE(Drawn(Message("ABORTED")));
  EXPECT_FALSE(Loop().HasOutput());

  Compute();
  EXPECT_TRUE(Drawn(Message("PREPARING CALCULATIONS, PLEASE WAIT")));
  EXPECT_TRUE(Drawn(Message("DONE")));
  SaveArtefact("sloop_loop_synthesis");

  // Drawing nodes 5 to 10 down to the bottom of the graph.
  ScriptDrag(SegmentX(5), 390 - 127, SegmentX(10), 390 + 127, 12);
  Visit();
  EXPECT_FALSE(Loop().HasOutput());
  EXPECT_EQ(Loop().envelope[10], -127);
  EXPECT_EQ(Loop().envelope[4], 127);
  EXPECT_FLOAT_EQ(Loop().envelopedLeft.back(), Loop().inputLeft.back());
  SaveArtefact("sloop_envelope_drawn");

  PressUpper(7);  // "REVERSE": node 10 goes to 22
  Visit();
  EXPECT_EQ(Loop().envelope[22], -127);
  EXPECT_EQ(Loop().envelope[10], 127);
  Compute();
  PressUpper(8);  // "OUT>IN": the envelope flat again, the loop the new input
  Visit();
  EXPECT_EQ(Loop().envelope, FlatEnvelope());
  EXPECT_FALSE(Loop().HasOutput());
  PressUpper(8);
  Visit();
  EXPECT_TRUE(Drawn(Message("NO DATA")));
}

TEST_F(SloopPages, RenderingWritesWhatTheCommandLineWrites) {
  ASSERT_EQ(Load(), kMsgDone);
  Compute();
  PageRun run = Run();

  // Options first: BITS four times is the start format; the loop start
  // steps with the arrows and LS_RESET puts it back; then p = 460.
  for (int i = 0; i < 4; ++i) PressUpper(6);
  ScriptKeyDown(kKeyRight);
  ScriptKeyUp(kKeyRight, 100);
  ScriptWait(200);
  PressUpper(11);
  EXPECT_EQ(RunSloopRendering(run, folder / "OUT.WAV"), kMsgAborted);
  EXPECT_EQ(gKept.loopBitsMode, 1);
  EXPECT_GT(gKept.loopStartOffset, 1);
  EXPECT_FALSE(std::filesystem::exists(folder / "OUT.WAV"));
  PressUpper(4);
  PressUpper(11);
  RunSloopRendering(run, folder / "OUT.WAV");
  EXPECT_EQ(gKept.loopStartOffset, 0);

  ScriptDrag(51 + 100, 300, 51 + 460, 300, 8);
  PressUpper(10);
  ASSERT_EQ(RunSloopRendering(run, folder / "OUT.WAV"), kMsgDone);
  EXPECT_EQ(gKept.loopStartOffset, 460);
  EXPECT_TRUE(DrawnAll({"LOOP START ADJUSTMENT", "OUTPUT PREVIEW <LEVEL ALIGNED>", "50 %", "50.000"}));
  SaveArtefact("sloop_file_rendering");

  const std::string command = std::string(SONICLOOM_CLI_PATH) + " sloop --seed " + std::to_string(kSeed) +
                              " --loop-start 460 --out '" + folder.path + "' --name CLI '" + input + "' >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadAllBytes(folder / "OUT.WAV"), ReadAllBytes(folder / "CLI.WAV"));

  // The file starts at sample 22,050 of the loop (stereo files carry
  // 2 x 0.494265 of full scale).
  LoadedSample back;
  ASSERT_EQ(LoadSampleAtPath(folder / "OUT.WAV", back), kMsgDone);
  EXPECT_EQ(back.descriptor.frames, kFrames);
  EXPECT_EQ(back.descriptor.channels, 2);
  EXPECT_NEAR(back.left[0] / (2 * 0.494265), Loop().outputLeft[22050], 2e-4);
  EXPECT_NEAR(back.left[kFrames - 22050] / (2 * 0.494265), Loop().outputLeft[0], 2e-4);
}

}  // namespace
