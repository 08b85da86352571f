// info: one line per file as the browser shows it, refusals on standard error,
// and what the tool says about inputs that are no regular files, names with
// control characters and data shorter than its header.
#include <sys/stat.h>

#include "cli/cli_fixture.h"

using namespace cli_fixture;

TEST_F(CliTest, InfoShowsEveryKindOfFileAsTheBrowserDoes) {
  ASSERT_TRUE(SoxSine(folder / "pad.wav", 88200, "-b 16", 2));
  ASSERT_TRUE(SoxSine(folder / "cycle.wav", 256, "-b 16", 1));
  AppendChunk(folder / "cycle.wav", SmplChunk(Smpl{.end = 255}));
  ASSERT_TRUE(SoxSine(folder / "short.wav", 600, "-e floating-point -b 32", 1));
  WriteAllBytes(folder / "table.wav", VortaWaveBytes(SweepTable(), 8));
  WriteAllBytes(folder / "notes.txt", {'h', 'i', '\n'});
  const std::string slow = "slow \"rate\".wav";
  WriteAllBytes(folder / slow, BuildWave(HandWave{.sampleRate = 8000, .frames = 5000}));

  const std::string pad = "pad.wav\t1\t01 Samples (WAV)\tchannels=STEREO\tformat=16 PCM\tlength=2.00 SEC\n";
  EXPECT_EQ(Run({"info", "pad.wav", "cycle.wav", "table.wav"}),
            (CliRun{0,
                    pad + "cycle.wav\t2\t02 Single Cycles (WAV)\tloop=YES\tformat=16 PCM\tlength=256\n"
                          "table.wav\t3\t03 VORTA - Wavetables (Audio, WAV)\tremark=SYNTHESIS DATA\tfamily=VORTA\t"
                          "format=16 PCM\tcount=1025\tlength=256\n",
                    ""}));
  EXPECT_EQ(Run({"info", "--json", "pad.wav"}).out,
            "{\"file\":\"pad.wav\",\"category\":1,\"folder\":\"01 Samples (WAV)\",\"channels\":\"STEREO\","
            "\"format\":\"16 PCM\",\"length\":\"2.00 SEC\"}\n");
  // A short file without loop is refused while FORCE LOOP is on, and is a
  // single cycle when it is set to NO.
  const std::string noLoop = "LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION";
  EXPECT_EQ(Run({"info", "short.wav"}),
            (CliRun{1, "short.wav\t0\t00 Currently Unrecognized Files\tremark=" + noLoop + "\n", "short.wav: " + noLoop + "\n"}));
  EXPECT_EQ(Run({"info", "--no-force-loop", "short.wav"}),
            (CliRun{0, "short.wav\t2\t02 Single Cycles (WAV)\tformat=32 FLOAT\tlength=600\n", ""}));

  // Rejected files are listed in category 0 and reported; a missing one only reported.
  const std::string unknown = "00 Currently Unrecognized Files\tremark=";
  EXPECT_EQ(Run({"info", "notes.txt", "missing.wav", slow}),
            (CliRun{1,
                    "notes.txt\t0\t" + unknown + "UNKNOWN FILE TYPE OR EXTENSION\n" + slow + "\t0\t" + unknown +
                        "WRONG SAMPLE RATE <MUST BE 44.1 KHZ>\n",
                    "notes.txt: UNKNOWN FILE TYPE OR EXTENSION\nmissing.wav: FILE NOT FOUND\n" + slow +
                        ": WRONG SAMPLE RATE <MUST BE 44.1 KHZ>\n"}));
  EXPECT_EQ(Run({"info", "--json", slow}),
            (CliRun{1,
                    "{\"file\":\"slow \\\"rate\\\".wav\",\"category\":0,\"folder\":\"00 Currently Unrecognized "
                    "Files\",\"remark\":\"WRONG SAMPLE RATE <MUST BE 44.1 KHZ>\"}\n",
                    slow + ": WRONG SAMPLE RATE <MUST BE 44.1 KHZ>\n"}));

  // Control characters in names are escaped.
  WriteAllBytes(folder / "a\tb\nc\x1b.wav", BuildWave(HandWave{.frames = 5000}));
  WriteAllBytes(folder / "back\\slash.txt", {1});
  const CliRun escaped = Run({"info", "a\tb\nc\x1b.wav", "back\\slash.txt"});
  EXPECT_EQ(escaped.out.rfind("a\\tb\\nc\\x1b.wav\t1\t01 Samples (WAV)\t", 0), 0u) << escaped.out;
  EXPECT_NE(escaped.out.find("\nback\\\\slash.txt\t0\t"), std::string::npos) << escaped.out;
  EXPECT_EQ(escaped.err, "back\\\\slash.txt: UNKNOWN FILE TYPE OR EXTENSION\n");
}

TEST_F(CliTest, InputsThatAreNoRegularFilesSaySo) {
  MakeFolder("dir.wav");
  ASSERT_EQ(mkfifo((folder / "pipe.wav").c_str(), 0644), 0);
  fs::create_symlink("loop.wav", folder / "loop.wav");
  const std::pair<const char*, const char*> cases[] = {
      {"dir.wav", "NOT A REGULAR FILE <DIRECTORY>"}, {"pipe.wav", "NOT A REGULAR FILE <FIFO>"},
      {"/dev/zero", "NOT A REGULAR FILE <DEVICE>"},  {"loop.wav", "NOT A REGULAR FILE <SYMBOLIC LINK LOOP>"},
  };
  for (const auto& [input, text] : cases) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"info", input}, {"sloop", input}, {"convert", "--to", "syx", input}})
      EXPECT_EQ(Run(args), (CliRun{1, "", std::string(input) + ": " + text + "\n"})) << args[0];
  }
}

// A header that promises more frames than the file holds: classified as
// before, with a warning that tells both counts; the sample commands warn
// alike and go on.
TEST_F(CliTest, DataShorterThanItsHeaderIsWarnedAbout) {
  const std::vector<uint8_t> whole = BuildWave(HandWave{.frames = 88200});
  WriteAllBytes(folder / "bare.wav", std::vector<uint8_t>(whole.begin(), whole.begin() + 44));
  WriteAllBytes(folder / "half.wav", std::vector<uint8_t>(whole.begin(), whole.begin() + 44 + 88200));
  WriteAllBytes(folder / "whole.wav", whole);
  const auto warning = [](const std::string& name, int frames) {
    return name + ": warning: the data holds " + std::to_string(frames) +
           " of the 88200 frames its header announces; the rest reads as silence\n";
  };
  const std::pair<std::string, std::string> cases[] = {
      {"bare.wav", warning("bare.wav", 0)}, {"half.wav", warning("half.wav", 44100)}, {"whole.wav", ""}};
  for (const auto& [name, text] : cases) {
    EXPECT_EQ(Run({"info", name}),
              (CliRun{0, name + "\t1\t01 Samples (WAV)\tchannels=MONO\tformat=16 PCM\tlength=2.00 SEC\n", text}));
  }
  EXPECT_EQ(Run({"sloop", "half.wav"}), (CliRun{0, "./HALF.WAV\n", warning("half.wav", 44100)}));
}
