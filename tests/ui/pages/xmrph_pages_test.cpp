#include <cstdlib>
#include <optional>

#include "files/wave_fixtures.h"
#include "platform/window_link.h"
#include "support/temp_folder.h"
#include "ui/pages/page_harness.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/sound_pages.h"
#include "ui/segment_graph.h"

namespace {

using namespace wave_fixtures;

constexpr uint16_t kSynthScreen = 2;
constexpr int kCompute = 10;  // "fCOMPUTE" on the options page
constexpr int kCancel = 11;
constexpr int kEnvelopeCentre = 520;

// A is mono with 6,000 frames, B stereo with 9,000: L = 6,000.
class XmrphPages : public PageHarness {
 protected:
  void SetUp() override {
    PageHarness::SetUp();
    module.emplace(STATE_XMRPH);
    if (!SoxAvailable()) GTEST_SKIP() << "sox is needed for the input files";
    ASSERT_TRUE(SoxSine(fileA, 6000, "-b 16", 1));
    ASSERT_TRUE(SoxSine(fileB, 9000, "-b 16", 2));
  }
  // Loads A and B; the options page then runs the scripted presses.
  int Load(const std::string& b) {
    PageRun run;
    run.session = module->session.get();
    return RunXmrphLoad(run, fileA, b);
  }
  void LoadAndCompute() {
    PressUpper(kCompute);
    ASSERT_EQ(Load(fileB), kMsgDone);
  }
  CrossSynthesis& Cross() { return module->session->xmrph->cross; }
  void Visit() {
    PressLower(0);
    Headless().texts.clear();
    EXPECT_EQ(module->RunScreen(kSynthScreen), kPageNavigated);
  }

  TempFolder folder;
  std::string fileA = folder / "A.WAV";
  std::string fileB = folder / "B.WAV";
  // Entered after the harness started the run afresh (gKept).
  std::optional<ModuleRun> module;
};

TEST_F(XmrphPages, OptionsStepTheirSettingsAndComputeStoresThem) {
  PressUpper(1);  // FFT_SIZE: 1024 -> 2048 -> 4096
  PressUpper(1);
  PressUpper(1);  // 8192 is not below L = 6000: 64
  PressUpper(0);  // OVERLAP 16 -> 32
  PressUpper(0);  // 32 is not below N / 2 = 32: 4
  for (int i = 0; i < 5; ++i) PressUpper(2);  // 0.5 down to 0.25, then "MIN VALUE"
  PressUpper(5);  // PH_CORR off
  PressUpper(9);  // LOOP without loops
  PressUpper(kCompute);
  ASSERT_EQ(Load(fileB), kMsgDone);
  EXPECT_TRUE(DrawnAll({"FILE A: A.WAV", "FILE B: B.WAV", "4096", "0.50", "OFF", "NONE"}));
  EXPECT_TRUE(Drawn(Message("MIN VALUE")));
  EXPECT_TRUE(Drawn(Message("NO LOOP DATA")));
  EXPECT_EQ(StatusValue(0, 0), "4");
  EXPECT_EQ(StatusValue(0, 1), "64");
  EXPECT_EQ(Cross().length, 6000);
  EXPECT_EQ(module->session->xmrph->channels, 2);
  // Kept for the whole run.
  EXPECT_EQ(gKept.crossFrameSize, 64);
  EXPECT_EQ(gKept.crossOverlap, 4);
  EXPECT_FLOAT_EQ(gKept.crossContrast, 0.25f);
  EXPECT_FALSE(gKept.crossPhaseCorrection);
  SaveArtefact("xmrph_resynthesis_options");

  // Equal lengths with a loop in A: "LOOP" changes nothing.
  Smpl loop;
  loop.start = 100;
  loop.end = 5999;
  AppendChunk(fileA, SmplChunk(loop));
  PressUpper(9);
  PressUpper(kCancel);
  EXPECT_EQ(Load(fileA), kMsgAborted);
  EXPECT_TRUE(Drawn(Message("EQUAL FILE LENGTH, PADDING NOT REQUIRED")));
  EXPECT_TRUE(Drawn("NORMAL"));
}

TEST_F(XmrphPages, CancelRestoresTheResultsBitForBit) {
  LoadAndCompute();
  const std::vector<float> ab = Cross().abLeft;
  const std::vector<float> ba = Cross().baRight;
  // Options again: a new frame size, a computation stopped early (the
  // results then hold what was added so far), and "fCANCEL".
  PressUpper(9);  // "fFFT<>"
  PressUpper(1);
  ScriptKeyDown(FunctionKey(kCompute + 1));
  ScriptKeyUp(FunctionKey(kCompute + 1), 50);
  ScriptKeyDown(kKeyF12);
  ScriptKeyUp(kKeyF12, 0);
  ScriptWait(kHoldMillis);
  PressUpper(kCancel);
  Visit();
  EXPECT_TRUE(Drawn(Message("ABORTED")));
  EXPECT_EQ(Cross().settings.frameSize, 1024);
  EXPECT_EQ(Cross().abLeft, ab);
  EXPECT_EQ(Cross().baRight, ba);
}

TEST_F(XmrphPages, EnvelopeEditsRemixTheOutput) {
  PressUpper(0);
  PressUpper(9);
  Visit();
  EXPECT_EQ(DrawnCount(Message("NO DATA")), 2);
  LoadAndCompute();
  // "SET" on a flat envelope: 0 -> 42 -> 127 -> -127 -> -42 -> 0.
  for (int expected : {42, 127, -127, -42, 0}) {
    PressUpper(0);
    Visit();
    EXPECT_EQ(Cross().envelope[16], expected);
    if (expected == 127) {
      EXPECT_EQ(Cross().outLeft, Cross().aLeft) << "all A";
    }
    if (expected == -127) {
      EXPECT_EQ(Cross().outRight, Cross().bRight) << "all B";
    }
  }
  EXPECT_TRUE(DrawnAll({"A", "A*B", "A*B+B*A", "B*A", "B", "RAM A:", "OUTPUT"}));
  struct Sweep {
    int limitPresses;
    int first;
    int last;
  };
  // "SWEEP" in limit mode 0, then two "LIMIT" later in mode 2.
  for (const Sweep& sweep : {Sweep{0, 127, -127}, Sweep{2, 42, -42}}) {
    for (int i = 0; i < sweep.limitPresses; ++i) PressUpper(11);
    PressUpper(5);
    Visit();
    EXPECT_EQ(Cross().envelope[0], sweep.first);
    EXPECT_EQ(Cross().envelope[32], sweep.last);
  }
  EXPECT_EQ(Cross().limitMode, 2);
  SaveArtefact("xmrph_cross_synthesis");
  // Drawing reaches only the limit range: node 20 pulled to the top stays
  // at 42.
  const std::vector<float> before = Cross().outLeft;
  ScriptDrag(SegmentX(20), kEnvelopeCentre, SegmentX(20), kEnvelopeCentre - 127, 6);
  Visit();
  EXPECT_EQ(Cross().envelope[20], 42);
  EXPECT_NE(Cross().outLeft, before);
  EXPECT_EQ(gKept.crossEnvelope[20], 42);
  // "FLUSH" releases the files and the output; the envelope stays.
  FlushModule(*module->session);
  EXPECT_FALSE(Cross().HasOutput());
  EXPECT_EQ(Cross().envelope[20], 42);
  EXPECT_TRUE(module->session->xmrph->ramNameA.empty());
}

TEST_F(XmrphPages, RenderingWritesWhatTheCommandLineWrites) {
  LoadAndCompute();
  PressUpper(0);  // SET: all 42, "A*B"
  Visit();
  PageRun run;
  run.session = module->session.get();
  PressUpper(10);
  ASSERT_EQ(RunXmrphRendering(run, folder / "OUT.WAV"), kMsgDone);
  EXPECT_TRUE(DrawnAll({"RESYNTHESIS RESULT", "OUTPUT PREVIEW <LEVEL ALIGNED>", "16 <PCM>", "FULL RANGE"}));
  SaveArtefact("xmrph_file_rendering");

  std::string nodes;
  for (int i = 0; i < 33; ++i) nodes += " 42";
  const std::string command = std::string(SONICLOOM_CLI_PATH) + " xmrph --envelope '" + nodes + "' --out '" +
                              folder.path + "' --name CLI '" + fileA + "' '" + fileB + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadAllBytes(folder / "OUT.WAV"), ReadAllBytes(folder / "CLI.WAV"));
  LoadedSample back;
  ASSERT_EQ(LoadSampleAtPath(folder / "OUT.WAV", back), kMsgDone);
  EXPECT_EQ(back.descriptor.frames, 6000u);
  EXPECT_EQ(back.descriptor.channels, 2);

  PressUpper(6);  // BITS: 32 <PCM>
  PressUpper(8);  // LEVEL: UNCHANGED
  PressUpper(11);
  EXPECT_EQ(RunXmrphRendering(run, folder / "NOT.WAV"), kMsgAborted);
  EXPECT_TRUE(DrawnAll({"32 <PCM>", "UNCHANGED"}));
  EXPECT_FALSE(std::filesystem::exists(folder / "NOT.WAV"));
}

}  // namespace
