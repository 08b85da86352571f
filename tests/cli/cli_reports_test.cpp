// What the tool says when inputs or outputs go wrong: names that are not
// regular files, control characters, data cut short, outputs of one run
// that collide, outputs that cannot be written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "cli/cli_fixture.h"
#include "cli/cli_tables_fixture.h"
#include "files/wave_fixtures.h"

using cli_fixture::RunCli;
using namespace wave_fixtures;
namespace fs = std::filesystem;

TEST(CliReports, InputsThatAreNoRegularFilesSaySo) {
  TempFolder folder;
  fs::create_directory(folder / "dir.wav");
  ASSERT_EQ(mkfifo((folder / "pipe.wav").c_str(), 0644), 0);
  fs::create_symlink("loop.wav", folder / "loop.wav");
  const struct {
    const char* input;
    const char* text;
  } cases[] = {
      {"dir.wav", "NOT A REGULAR FILE <DIRECTORY>"}, {"pipe.wav", "NOT A REGULAR FILE <FIFO>"},
      {"/dev/zero", "NOT A REGULAR FILE <DEVICE>"},  {"loop.wav", "NOT A REGULAR FILE <SYMBOLIC LINK LOOP>"},
      {"gone.wav", "FILE NOT FOUND"},
  };
  for (const auto& c : cases) {
    const std::string expected = std::string(c.input) + ": " + c.text + "\n";
    for (const char* command : {"info", "sloop", "convert"}) {
      std::vector<std::string> args = {command, c.input};
      if (std::string(command) == "convert") args.insert(args.begin() + 1, {"--to", "syx"});
      const auto run = RunCli(folder, args);
      EXPECT_EQ(run.status, 1) << command << " " << c.input;
      EXPECT_EQ(run.err, expected) << command;
      EXPECT_EQ(run.out, "") << command;
    }
  }
}

TEST(CliReports, ControlCharactersInNamesAreEscaped) {
  TempFolder folder;
  HandWave w;
  w.frames = 5000;
  WriteAllBytes(folder / "a\tb\nc\x1b.wav", BuildWave(w));
  WriteAllBytes(folder / "back\\slash.txt", {1});
  const auto run = RunCli(folder, {"info", "a\tb\nc\x1b.wav", "back\\slash.txt"});
  EXPECT_EQ(run.out.rfind("a\\tb\\nc\\x1b.wav\t1\t01 Samples (WAV)\t", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("\nback\\\\slash.txt\t0\t"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "back\\\\slash.txt: UNKNOWN FILE TYPE OR EXTENSION\n");
}

// A header that promises more frames than the file holds: classified as
// before, with a warning that tells both counts.
TEST(CliReports, DataShorterThanItsHeaderIsWarnedAbout) {
  TempFolder folder;
  HandWave w;
  w.frames = 88200;
  const std::vector<uint8_t> whole = BuildWave(w);
  WriteAllBytes(folder / "bare.wav", std::vector<uint8_t>(whole.begin(), whole.begin() + 44));
  WriteAllBytes(folder / "half.wav", std::vector<uint8_t>(whole.begin(), whole.begin() + 44 + 88200));
  WriteAllBytes(folder / "whole.wav", whole);
  const struct {
    const char* name;
    const char* warning;
  } cases[] = {
      {"bare.wav", "bare.wav: warning: the data holds 0 of the 88200 frames its header announces; the rest reads "
                   "as silence\n"},
      {"half.wav", "half.wav: warning: the data holds 44100 of the 88200 frames its header announces; the rest "
                   "reads as silence\n"},
      {"whole.wav", ""},
  };
  for (const auto& c : cases) {
    const auto run = RunCli(folder, {"info", c.name});
    EXPECT_EQ(run.status, 0) << c.name;
    EXPECT_EQ(run.out, std::string(c.name) + "\t1\t01 Samples (WAV)\tchannels=MONO\tformat=16 PCM\tlength=2.00 SEC\n");
    EXPECT_EQ(run.err, c.warning);
  }
  // The commands that load samples warn alike and go on.
  const auto loop = RunCli(folder, {"sloop", "half.wav"});
  EXPECT_EQ(loop.status, 0) << loop.err;
  EXPECT_EQ(loop.err, cases[1].warning);
}

// Inputs whose outputs land on one name: the first is written, every later
// one is refused, --force or not, naming both inputs.
TEST(CliReports, OutputsOfOneRunNeverOverwriteEachOther) {
  TempFolder folder;
  const std::vector<uint8_t> table = cli_fixture::VortaWaveBytes(cli_fixture::SweepTable(), 8);
  for (const char* name : {"longname_a.wav", "longname_b.wav", "longname_c.wav"}) WriteAllBytes(folder / name, table);
  for (const bool force : {false, true}) {
    std::vector<std::string> args = {"convert", "--to", "syx", "longname_a.wav", "longname_b.wav", "longname_c.wav"};
    if (force) args.insert(args.begin() + 1, "--force");
    fs::remove(folder / "LONGNAME.SYX");
    const auto run = RunCli(folder, args);
    EXPECT_EQ(run.status, 1) << force;
    EXPECT_EQ(run.out, "./LONGNAME.SYX\n");
    EXPECT_EQ(run.err,
              "longname_b.wav: FILE ALREADY EXISTS <LONGNAME.SYX> <ALSO THE OUTPUT OF longname_a.wav>\n"
              "longname_c.wav: FILE ALREADY EXISTS <LONGNAME.SYX> <ALSO THE OUTPUT OF longname_a.wav>\n");
  }
}

// A full disk (a tiny file system, where the tests may mount one) is named
// as such, against the output.
TEST(CliReports, FullDiskIsReportedAgainstTheOutput) {
  TempFolder folder;
  WriteAllBytes(folder / "table.wav", cli_fixture::VortaWaveBytes(cli_fixture::SweepTable(), 8));
  fs::create_directory(folder / "tiny");
  const std::string tiny = folder / "tiny";
  if (std::system(("mount -t tmpfs -o size=16k tmpfs '" + tiny + "' 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "no small file system can be mounted here";
  }
  const auto full = RunCli(folder, {"convert", "--to", "wav", "--out", "tiny", "table.wav"});
  EXPECT_EQ(std::system(("umount '" + tiny + "'").c_str()), 0);
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "tiny/TABLE.WAV: cannot write the output of table.wav: No space left on device\n");
}
