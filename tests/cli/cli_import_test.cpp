// import: lines, refusals and exit codes, the library's category folders,
// and the same result for any number of jobs.
#include "cli/cli_fixture.h"

using namespace cli_fixture;

TEST_F(CliTest, ImportsInInputOrderForAnyJobCountAndRefusesWhatItCannotRead) {
  ASSERT_TRUE(Sox("-D -n -r 48000 -c 2 -b 24 '" + (folder / "Take one.wav") + "' synth 0.5 sine 441 vol 0.5"));
  ASSERT_TRUE(Sox("-D -n -r 44100 -c 1 -b 16 '" + (folder / "plain.wav") + "' synth 0.5 sine 441 vol 0.5"));
  ASSERT_TRUE(Sox("-D -n -r 22050 -c 1 -b 16 '" + (folder / "low.flac") + "' synth 0.5 sine 441 vol 0.5"));
  WriteAllBytes(folder / "notes.wav", {'n', 'o'});
  for (const char* jobs : {"1", "4"}) {
    const std::string out = std::string("out") + jobs;
    MakeFolder(out);
    const std::string at = folder / out;
    EXPECT_EQ(Run({"import", "--jobs", jobs, "--out", out, "Take one.wav", "notes.wav", "plain.wav", "low.flac", "gone.wav"}),
              (CliRun{1,
                      "Take one.wav -> " + at + "/TAKE_ONE.WAV (converted: 48000 Hz 24-bit -> 44100 Hz float)\n"
                      "plain.wav -> " + at + "/PLAIN.WAV (copied)\n"
                      "low.flac -> " + at + "/LOW.WAV (converted: 22050 Hz 16-bit -> 44100 Hz 16-bit)\n",
                      "notes.wav: UNSUPPORTED AUDIO FORMAT\ngone.wav: FILE NOT FOUND\n"}))
        << jobs;
    EXPECT_EQ(Bytes(out + "/PLAIN.WAV"), Bytes("plain.wav"));
    EXPECT_EQ(std::distance(fs::directory_iterator(at), fs::directory_iterator()), 3);
  }
  for (const char* name : {"TAKE_ONE.WAV", "PLAIN.WAV", "LOW.WAV"})
    EXPECT_EQ(Bytes(std::string("out4/") + name), Bytes(std::string("out1/") + name)) << name;

  // Into a library: the category folder the result reads as; a second
  // import of the same file finds it there.
  MakeFolder("lib");
  EXPECT_EQ(Run({"import", "--library", "lib", "Take one.wav"}).status, 0);
  EXPECT_TRUE(Exists("lib/data/01 Samples (WAV)/TAKE_ONE.WAV"));
  const CliRun again = Run({"import", "--library", "lib", "Take one.wav"});
  EXPECT_NE(again.out.find("(already there)"), std::string::npos) << again.out;
}
