// The frame of the tool: usage, help, version, and every command's bad usage,
// which changes nothing and exits with 2.
#include <sstream>

#include "cli/cli_fixture.h"

using namespace cli_fixture;

TEST_F(CliTest, UsageHelpAndVersion) {
  const CliRun bare = Run({});
  EXPECT_EQ(bare.status, 2);
  EXPECT_EQ(bare.out.rfind("Usage: sonic-loom-cli COMMAND", 0), 0u);
  const CliRun help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* command : {"info", "sort", "convert", "analyse", "xform", "sloop", "xmrph", "import"}) {
    EXPECT_NE(help.out.find(std::string("  ") + command + " "), std::string::npos) << command;
    const CliRun commandHelp = Run({command, "--help"});
    EXPECT_EQ(std::pair(commandHelp.status, commandHelp.err), std::pair(0, std::string())) << command;
    EXPECT_EQ(commandHelp.out.rfind(std::string("Usage: sonic-loom-cli ") + command, 0), 0u) << command;
  }
  EXPECT_EQ(Run({"frobnicate"}), (CliRun{2, "", "sonic-loom-cli: unknown command 'frobnicate'\nTry 'sonic-loom-cli --help'.\n"}));
  EXPECT_EQ(Run({"info", "--colour", "x.wav"}),
            (CliRun{2, "", "sonic-loom-cli info: unknown option '--colour'\nTry 'sonic-loom-cli info --help'.\n"}));
  EXPECT_EQ(Run({"--version"}), (CliRun{0, "sonic-loom-cli 2.27\n", ""}));
}

TEST_F(CliTest, BadUsageOfEveryCommand) {
  // Each fault one command line, its words split at blanks.
  const char* faults[] = {
      "info", "sort", "sort a b", "info --json=yes x.wav", "analyse long.wav", "analyse --to wav",
      "analyse --to wav --contrast 2.5 long.wav", "analyse --to wav --cents 1300 long.wav",
      "analyse --to wav --source middle long.wav", "analyse --to wav --fill half long.wav",
      "analyse --to wav --threshold-end 1.5 long.wav", "analyse --to wav --scanloop --cents 5 scan.wav",
      "analyse --to wav --name x long.wav scan.wav", "analyse --to wav --bogus long.wav", "convert a.wav",
      "convert --to mp3 a.wav", "convert --to wav --samples 300 a.wav", "convert --to wav --samples 4096 a.wav",
      "convert --to wav --slices-per-step 1 --base alternate a.wav", "convert --to wav --bits 24 a.wav",
      "convert --to wav --base odd a.wav", "convert --to wav --out nowhere a.wav", "convert --to wav --name x a.wav a.wav",
      "convert --to wav", "convert --to syx --slot 79 a.wav", "convert --to syx --device-id 128 a.wav",
      "convert --to wav --slot 80 a.wav", "convert --to syx --samples 512 a.wav", "xmrph a.wav", "xmrph a.wav b.wav a.wav",
      "xmrph --fft 1000 a.wav b.wav", "xmrph --overlap 128 a.wav b.wav", "xmrph --fft 64 --overlap 64 a.wav b.wav",
      "xmrph --contrast 3 a.wav b.wav", "xmrph --envelope 1_2_3 a.wav b.wav", "xmrph --loop-active c a.wav b.wav",
      "xmrph --level high a.wav b.wav", "xform", "xform --source both a.wav", "xform --peak-boost 2 a.wav",
      "xform --smoothness -0.1 a.wav", "xform --out nowhere a.wav", "xform --name x a.wav a.wav", "sloop",
      "sloop --density 12 a.wav", "sloop --density 8 --smear 16 a.wav", "sloop --loop-start 921 a.wav",
      "sloop --level loud a.wav", "sloop --bits 24 a.wav", "sloop --out nowhere a.wav", "sloop --name x a.wav a.wav",
      "import", "import --jobs 0 plain.wav", "import --library lib --out out1 plain.wav", "import --out missing plain.wav",
  };
  // The inputs exist, so that a fault let through would be written.
  MakeSample("long.wav", 1, 20000, "sine 440 vol 0.5");
  MakeSample("b.wav", 1, 6000, "sine 200 vol 0.4");
  for (const char* name : {"a.wav", "plain.wav", "scan.wav"}) fs::copy_file(folder / "long.wav", folder / name);
  for (const char* sub : {"lib", "out1"}) MakeFolder(sub);
  for (const std::string fault : faults) {
    std::vector<std::string> args;
    std::istringstream words(fault);
    for (std::string word; words >> word;) args.push_back(word == "1_2_3" ? "1 2 3" : word);  // an envelope of three values
    const CliRun run = Run(args);
    EXPECT_EQ(run.status, 2) << fault << ": " << run.err;
    EXPECT_EQ(run.out, "") << fault;
    EXPECT_EQ(run.err.rfind("sonic-loom-cli " + args[0] + ": ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("Try 'sonic-loom-cli " + args[0] + " --help'.\n"), std::string::npos) << run.err;
  }
  EXPECT_EQ(Run({"convert", "--to", "komplexer,surge", "a.wav"}).err,
            "sonic-loom-cli convert: two of the formats write .WT files; write them to different --out folders\n"
            "Try 'sonic-loom-cli convert --help'.\n");
  for (const char* written : {"A.WAV", "LONG.WAV", "SCAN.WAV", "PLAIN.WAV", "out1/PLAIN.WAV"}) EXPECT_FALSE(Exists(written));
}
