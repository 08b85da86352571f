// The sample commands' refusals: inputs that are no samples, settings the
// pages would refuse, outputs that exist, inputs that are missing.
#include "cli/cli_fixture.h"

using namespace cli_fixture;

// Refused inputs are reported each against its own name, the others written alike for any number
// of jobs; an existing output is kept unless --force; settings the page would refuse write nothing.
TEST_F(CliTest, SampleCommandsReportRefusedInputsAndKeepExistingFiles) {
  MakeSample("a.wav", 1, 20000, "pinknoise vol 0.4");
  MakeSample("b.wav", 1, 6000, "sine 200 vol 0.4");
  MakeSample("short.wav", 1, 3000, "sine 440 vol 0.5");
  MakeSample("long.wav", 1, 20000, "sine 440 vol 0.5");
  WriteAllBytes(folder / "table.wav", VortaWaveBytes(SweepTable(), 8));
  // A sample too short for the range page, a wavetable and a missing file.
  std::string firstErr;
  for (const char* jobs : {"1", "3"}) {
    const std::string out = std::string("o") + jobs;
    MakeFolder(out);
    const CliRun mixed = Run({"analyse", "--jobs", jobs, "--to", "wav", "--out", out, "short.wav", "table.wav",
                              "nothing.wav", "long.wav"});
    EXPECT_EQ(std::pair(mixed.status, mixed.out), std::pair(1, out + "/LONG.WAV\n"));
    EXPECT_EQ(mixed.err.rfind("short.wav: LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION\ntable.wav: ", 0), 0u)
        << mixed.err;
    EXPECT_NE(mixed.err.find(Refused("nothing.wav", kMsgFileNotFound)), std::string::npos) << mixed.err;
    EXPECT_FALSE(Exists(out + "/SHORT.WAV") || Exists(out + "/TABLE.WAV"));
    if (firstErr.empty()) firstErr = mixed.err;
    EXPECT_EQ(mixed.err, firstErr);
  }
  EXPECT_EQ(Bytes("o1/LONG.WAV"), Bytes("o3/LONG.WAV"));

  // Outputs are named after the first input.
  const std::vector<std::vector<std::string>> commands = {
      {"analyse", "--to", "wav", "a.wav"}, {"xform", "a.wav"}, {"sloop", "--seed", "1", "a.wav"}, {"xmrph", "a.wav", "b.wav"}};
  for (std::vector<std::string> args : commands) {
    SCOPED_TRACE(args[0]);
    WriteAllBytes(folder / "A.WAV", {'o', 'l', 'd'});
    EXPECT_EQ(Run(args), (CliRun{1, "", Refused("a.wav", kMsgFileAlreadyExists, " <A.WAV>")}));
    EXPECT_EQ(Bytes("A.WAV"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    args.insert(args.begin() + 1, "--force");
    EXPECT_EQ(Run(args), (CliRun{0, "./A.WAV\n", ""}));
    EXPECT_GT(Bytes("A.WAV").size(), 44u);
    args.back() = "none.wav";
    EXPECT_EQ(Run(args), (CliRun{1, "", Refused("none.wav", kMsgFileNotFound)}));
  }
  const std::pair<std::vector<std::string>, std::string> refused[] = {
      // Short files without a loop are no samples unless FORCE LOOP is off; then too short.
      {{"analyse", "--no-force-loop", "--to", "wav", "short.wav"}, Refused("short.wav", kMsgMinimumAnalysisRange)},
      {{"xform", "--no-force-loop", "short.wav"}, Refused("short.wav", kMsgMinimumAnalysisRange)},
      {{"analyse", "--scanloop", "--to", "wav", "long.wav"}, Refused("long.wav", kMsgNoData, " <NOT A SCAN LOOP>")},
      // The page raises D only while it lies below L / 128 (156 here): 256 is reached, 512 is not.
      {{"sloop", "--density", "512", "--name", "far", "a.wav"}, Refused("a.wav", kMsgMaxValue, " <SPECTRAL DENSITY>")},
      {{"sloop", "--density", "256", "--smear", "1", "--name", "near", "a.wav"}, ""},
      // No loop, and a frame longer than B.
      {{"xmrph", "--loop-active", "a", "--name", "far", "a.wav", "b.wav"}, Refused("a.wav", kMsgNoLoopData, " <LOOP ACTIVE FOR>")},
      {{"xmrph", "--fft", "8192", "--overlap", "4", "--name", "far", "a.wav", "b.wav"},
       Refused("a.wav", kMsgMaxValue, " <FFT FRAME SIZE>")},
  };
  for (const auto& [args, err] : refused) {
    EXPECT_EQ(Run(args), (err.empty() ? CliRun{0, "./NEAR.WAV\n", ""} : CliRun{1, "", err})) << args[0];
  }
  EXPECT_FALSE(Exists("FAR.WAV") || Exists("SHORT.WAV") || Exists("LONG.WAV"));
}
