// sonic-loom-cli import: lines, refusals and exit codes, the library's
// category folders, and the same result for any number of jobs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli/cli_fixture.h"

using cli_fixture::RunCli;
namespace fs = std::filesystem;

namespace {

bool Sox(const std::string& arguments) { return std::system(("sox -q -D " + arguments + " 2>/dev/null").c_str()) == 0; }

TEST(CliImport, ImportsInInputOrderForAnyJobCountAndRefusesWhatItCannotRead) {
  if (!Sox("--version >/dev/null")) GTEST_SKIP() << "sox is not installed";
  const TempFolder folder;
  ASSERT_TRUE(Sox("-n -r 48000 -c 2 -b 24 '" + (folder / "Take one.wav") + "' synth 0.5 sine 441 vol 0.5"));
  ASSERT_TRUE(Sox("-n -r 44100 -c 1 -b 16 '" + (folder / "plain.wav") + "' synth 0.5 sine 441 vol 0.5"));
  ASSERT_TRUE(Sox("-n -r 22050 -c 1 -b 16 '" + (folder / "low.flac") + "' synth 0.5 sine 441 vol 0.5"));
  WriteAllBytes(folder / "notes.wav", {'n', 'o'});
  const std::vector<std::string> inputs = {"Take one.wav", "notes.wav", "plain.wav", "low.flac", "gone.wav"};

  const char* expectedOut =
      "Take one.wav -> @/TAKE_ONE.WAV (converted: 48000 Hz 24-bit -> 44100 Hz float)\n"
      "plain.wav -> @/PLAIN.WAV (copied)\n"
      "low.flac -> @/LOW.WAV (converted: 22050 Hz 16-bit -> 44100 Hz 16-bit)\n";
  std::string firstOut;
  for (const char* jobs : {"1", "4"}) {
    SCOPED_TRACE(jobs);
    const std::string out = std::string("out") + jobs;
    fs::create_directory(folder / out);
    std::vector<std::string> args = {"import", "--jobs", jobs, "--out", out};
    args.insert(args.end(), inputs.begin(), inputs.end());
    const auto run = RunCli(folder, args);
    EXPECT_EQ(run.status, 1);
    std::string expected = expectedOut;
    for (size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, folder / out);
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "notes.wav: UNSUPPORTED AUDIO FORMAT\ngone.wav: FILE NOT FOUND\n");
    EXPECT_EQ(ReadAllBytes(folder / (out + "/PLAIN.WAV")), ReadAllBytes(folder / "plain.wav"));
    if (firstOut.empty()) {
      firstOut = out;
    } else {
      for (const char* name : {"TAKE_ONE.WAV", "PLAIN.WAV", "LOW.WAV"}) {
        EXPECT_EQ(ReadAllBytes(folder / (out + "/" + name)), ReadAllBytes(folder / (firstOut + "/" + name))) << name;
      }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / out), fs::directory_iterator()), 3);
  }

  // Into a library: the category folder the result reads as; a second
  // import of the same file finds it there.
  fs::create_directory(folder / "lib");
  const auto library = RunCli(folder, {"import", "--library", "lib", "Take one.wav"});
  EXPECT_EQ(library.status, 0) << library.err;
  EXPECT_TRUE(fs::exists(folder / "lib/data/01 Samples (WAV)/TAKE_ONE.WAV"));
  const auto again = RunCli(folder, {"import", "--library", "lib", "Take one.wav"});
  EXPECT_NE(again.out.find("(already there)"), std::string::npos) << again.out;

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"import"},
           {"import", "--jobs", "0", "plain.wav"},
           {"import", "--library", "lib", "--out", "out1", "plain.wav"},
           {"import", "--out", "missing", "plain.wav"},
       }) {
    EXPECT_EQ(RunCli(folder, args).status, 2) << args.size();
  }
}

}  // namespace
