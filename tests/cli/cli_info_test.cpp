// info: one line per file as the browser shows it, refusals on standard error,
// and what the tool says about inputs that are no regular files, names with
// control characters and data shorter than its header.
#include <sys/stat.h>

#include "cli/cli_fixture.h"
#include "files/wave_reader.h"

using namespace cli_fixture;

namespace {

// The line the tool must print, built from the reader's own record.
std::string ExpectedLine(const TempFolder& folder, const std::string& name, bool forceLoop = true) {
  FileInfo info;
  ReadRules rules;
  rules.forceLoopForSingleCycle = forceLoop;
  const int category = TestSoundFile(folder / name, &info, rules);
  std::string line = name + "\t" + std::to_string(category) + "\t" + kFolderTable[category].folderName;
  const std::pair<const char*, const std::string*> fields[] = {
      {"remark", &info.remark}, {"loop", &info.loop},     {"family", &info.family},
      {"channels", &info.channels}, {"format", &info.format}, {"count", &info.count},
      {"length", &info.length}, {"slot", &info.slot},     {"device", &info.device}};
  for (const auto& [key, value] : fields) {
    if (!value->empty()) line += std::string("\t") + key + "=" + *value;
  }
  return line + "\n";
}

std::string Remark(const TempFolder& folder, const std::string& name) {
  FileInfo info;
  TestSoundFile(folder / name, &info, ReadRules{});
  return info.remark;
}

}  // namespace

TEST_F(CliTest, InfoShowsEveryKindOfFileAsTheBrowserDoes) {
  ASSERT_TRUE(SoxSine(folder / "pad.wav", 88200, "-b 16", 2));
  ASSERT_TRUE(SoxSine(folder / "cycle.wav", 256, "-b 16", 1));
  Smpl loop;
  loop.end = 255;
  AppendChunk(folder / "cycle.wav", SmplChunk(loop));
  ASSERT_TRUE(SoxSine(folder / "short.wav", 600, "-e floating-point -b 32", 1));
  WriteAllBytes(folder / "table.wav", VortaWaveBytes(SweepTable(), 8));
  WriteAllBytes(folder / "noise.wav", XformWaveBytes(33));

  const CliRun run = Run({"info", "pad.wav", "cycle.wav", "table.wav", "noise.wav"});
  EXPECT_EQ(run, (CliRun{0,
                         ExpectedLine(folder, "pad.wav") + ExpectedLine(folder, "cycle.wav") +
                             ExpectedLine(folder, "table.wav") + ExpectedLine(folder, "noise.wav"),
                         ""}));
  // What those lines are, spelled out for the sample and the tables.
  for (const char* part : {"pad.wav\t1\t01 Samples (WAV)\tchannels=STEREO\tformat=16 PCM\tlength=2.00 SEC\n",
                           "table.wav\t3\t03 VORTA - Wavetables (Audio, WAV)\t", "cycle.wav\t2\t", "noise.wav\t13\t"})
    EXPECT_NE(run.out.find(part), std::string::npos) << part;
  EXPECT_EQ(Run({"info", "--json", "pad.wav"}).out,
            "{\"file\":\"pad.wav\",\"category\":1,\"folder\":\"01 Samples (WAV)\",\"channels\":\"STEREO\","
            "\"format\":\"16 PCM\",\"length\":\"2.00 SEC\"}\n");

  // A short file without loop is refused while FORCE LOOP is on, and is a
  // single cycle when it is set to NO.
  EXPECT_EQ(Run({"info", "short.wav"}),
            (CliRun{1, ExpectedLine(folder, "short.wav"), "short.wav: LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION\n"}));
  const CliRun loose = Run({"info", "--no-force-loop", "short.wav"});
  EXPECT_EQ(loose, (CliRun{0, ExpectedLine(folder, "short.wav", false), ""}));
  EXPECT_EQ(loose.out.rfind("short.wav\t2\t", 0), 0u);
}

TEST_F(CliTest, InfoListsAndReportsRejectedFiles) {
  WriteAllBytes(folder / "notes.txt", {'h', 'i', '\n'});
  WriteAllBytes(folder / "broken.wav", {'R', 'I', 'F', 'F', 1, 0, 0, 0, 'W', 'A', 'V', 'E'});
  HandWave eightKilo;
  eightKilo.sampleRate = 8000;
  eightKilo.frames = 5000;
  const std::string slow = "slow \"rate\".wav";
  WriteAllBytes(folder / slow, BuildWave(eightKilo));
  ASSERT_FALSE(Remark(folder, slow).empty());
  EXPECT_EQ(Run({"info", "notes.txt", "missing.wav", "broken.wav", slow}),
            (CliRun{1, ExpectedLine(folder, "notes.txt") + ExpectedLine(folder, "broken.wav") + ExpectedLine(folder, slow),
                    "notes.txt: UNKNOWN FILE TYPE OR EXTENSION\nmissing.wav: FILE NOT FOUND\nbroken.wav: " +
                        Remark(folder, "broken.wav") + "\n" + slow + ": " + Remark(folder, slow) + "\n"}));
  EXPECT_EQ(Run({"info", "--json", slow}),
            (CliRun{1, "{\"file\":\"slow \\\"rate\\\".wav\",\"category\":0,\"folder\":\"00 Currently Unrecognized Files\",\"remark\":\"" +
                           Remark(folder, slow) + "\"}\n",
                    slow + ": " + Remark(folder, slow) + "\n"}));
}

TEST_F(CliTest, InputsThatAreNoRegularFilesSaySo) {
  MakeFolder("dir.wav");
  ASSERT_EQ(mkfifo((folder / "pipe.wav").c_str(), 0644), 0);
  fs::create_symlink("loop.wav", folder / "loop.wav");
  const std::pair<const char*, const char*> cases[] = {
      {"dir.wav", "NOT A REGULAR FILE <DIRECTORY>"}, {"pipe.wav", "NOT A REGULAR FILE <FIFO>"},
      {"/dev/zero", "NOT A REGULAR FILE <DEVICE>"},  {"loop.wav", "NOT A REGULAR FILE <SYMBOLIC LINK LOOP>"},
      {"gone.wav", "FILE NOT FOUND"},
  };
  for (const auto& [input, text] : cases) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"info", input}, {"sloop", input}, {"convert", "--to", "syx", input}})
      EXPECT_EQ(Run(args), (CliRun{1, "", std::string(input) + ": " + text + "\n"})) << args[0];
  }
}

TEST_F(CliTest, ControlCharactersInNamesAreEscaped) {
  HandWave w;
  w.frames = 5000;
  WriteAllBytes(folder / "a\tb\nc\x1b.wav", BuildWave(w));
  WriteAllBytes(folder / "back\\slash.txt", {1});
  const CliRun run = Run({"info", "a\tb\nc\x1b.wav", "back\\slash.txt"});
  EXPECT_EQ(run.out.rfind("a\\tb\\nc\\x1b.wav\t1\t01 Samples (WAV)\t", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("\nback\\\\slash.txt\t0\t"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "back\\\\slash.txt: UNKNOWN FILE TYPE OR EXTENSION\n");
}

// A header that promises more frames than the file holds: classified as
// before, with a warning that tells both counts; the sample commands warn
// alike and go on.
TEST_F(CliTest, DataShorterThanItsHeaderIsWarnedAbout) {
  HandWave w;
  w.frames = 88200;
  const std::vector<uint8_t> whole = BuildWave(w);
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
