#include <gtest/gtest.h>

#include "cli/cli_fixture.h"
#include "cli/cli_tables_fixture.h"
#include "files/folder_table.h"
#include "files/wave_fixtures.h"
#include "files/wave_reader.h"

using cli_fixture::RunCli;
using namespace wave_fixtures;

namespace {

// The line the tool must print, built from the reader's own record.
std::string ExpectedLine(const std::string& name, const std::string& path, bool forceLoop = true) {
  FileInfo info;
  ReadRules rules;
  rules.forceLoopForSingleCycle = forceLoop;
  const int category = TestSoundFile(path, &info, rules);
  std::string line = name + "\t" + std::to_string(category) + "\t" + kFolderTable[category].folderName;
  const std::pair<const char*, const std::string*> fields[] = {
      {"remark", &info.remark}, {"loop", &info.loop},   {"family", &info.family},
      {"channels", &info.channels}, {"format", &info.format}, {"count", &info.count},
      {"length", &info.length}, {"slot", &info.slot},   {"device", &info.device}};
  for (const auto& [key, value] : fields) {
    if (!value->empty()) line += std::string("\t") + key + "=" + *value;
  }
  return line + "\n";
}

}  // namespace

TEST(CliInfo, EveryKindOfFileAsTheBrowserShowsIt) {
  if (!SoxAvailable()) GTEST_SKIP() << "sox is not installed";
  TempFolder folder;
  ASSERT_TRUE(SoxSine(folder / "pad.wav", 88200, "-b 16", 2));
  ASSERT_TRUE(SoxSine(folder / "cycle.wav", 256, "-b 16", 1));
  Smpl loop;
  loop.end = 255;
  AppendChunk(folder / "cycle.wav", SmplChunk(loop));
  ASSERT_TRUE(SoxSine(folder / "short.wav", 600, "-e floating-point -b 32", 1));
  WriteAllBytes(folder / "table.wav", cli_fixture::VortaWaveBytes(cli_fixture::SweepTable(), 8));
  WriteAllBytes(folder / "noise.wav", cli_fixture::XformWaveBytes(33));

  const auto run = RunCli(folder, {"info", "pad.wav", "cycle.wav", "table.wav", "noise.wav"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, ExpectedLine("pad.wav", folder / "pad.wav") + ExpectedLine("cycle.wav", folder / "cycle.wav") +
                         ExpectedLine("table.wav", folder / "table.wav") +
                         ExpectedLine("noise.wav", folder / "noise.wav"));
  // What those lines are, spelled out for the sample and the VORTA table.
  EXPECT_NE(run.out.find("pad.wav\t1\t01 Samples (WAV)\tchannels=STEREO\tformat=16 PCM\tlength=2.00 SEC\n"),
            std::string::npos);
  EXPECT_NE(run.out.find("table.wav\t3\t03 VORTA - Wavetables (Audio, WAV)\t"), std::string::npos);
  EXPECT_NE(run.out.find("cycle.wav\t2\t"), std::string::npos);
  EXPECT_NE(run.out.find("noise.wav\t13\t"), std::string::npos);

  // A short file without loop is refused while FORCE LOOP is on, and is a
  // single cycle when it is set to NO.
  const auto strict = RunCli(folder, {"info", "short.wav"});
  EXPECT_EQ(strict.status, 1);
  EXPECT_EQ(strict.out, ExpectedLine("short.wav", folder / "short.wav"));
  EXPECT_EQ(strict.err, "short.wav: LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION\n");
  const auto loose = RunCli(folder, {"info", "--no-force-loop", "short.wav"});
  EXPECT_EQ(loose.status, 0);
  EXPECT_EQ(loose.out, ExpectedLine("short.wav", folder / "short.wav", false));
  EXPECT_EQ(loose.out.rfind("short.wav\t2\t", 0), 0u);

  const auto json = RunCli(folder, {"info", "--json", "pad.wav"});
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out,
            "{\"file\":\"pad.wav\",\"category\":1,\"folder\":\"01 Samples (WAV)\",\"channels\":\"STEREO\","
            "\"format\":\"16 PCM\",\"length\":\"2.00 SEC\"}\n");
}

TEST(CliInfo, RejectedFilesAreListedAndReported) {
  TempFolder folder;
  WriteAllBytes(folder / "notes.txt", {'h', 'i', '\n'});
  WriteAllBytes(folder / "broken.wav", {'R', 'I', 'F', 'F', 1, 0, 0, 0, 'W', 'A', 'V', 'E'});
  HandWave eightKilo;
  eightKilo.sampleRate = 8000;
  eightKilo.frames = 5000;
  WriteAllBytes(folder / "slow \"rate\".wav", BuildWave(eightKilo));
  std::filesystem::create_directory(folder / "folder.wav");

  const auto run = RunCli(folder, {"info", "notes.txt", "missing.wav", "broken.wav", "slow \"rate\".wav", "folder.wav"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, ExpectedLine("notes.txt", folder / "notes.txt") + ExpectedLine("broken.wav", folder / "broken.wav") +
                         ExpectedLine("slow \"rate\".wav", folder / "slow \"rate\".wav"));
  FileInfo broken, slow;
  TestSoundFile(folder / "broken.wav", &broken, ReadRules{});
  TestSoundFile(folder / "slow \"rate\".wav", &slow, ReadRules{});
  EXPECT_FALSE(slow.remark.empty());
  EXPECT_EQ(run.err, "notes.txt: UNKNOWN FILE TYPE OR EXTENSION\nmissing.wav: FILE NOT FOUND\nbroken.wav: " +
                         broken.remark + "\nslow \"rate\".wav: " + slow.remark +
                         "\nfolder.wav: NOT A REGULAR FILE <DIRECTORY>\n");

  const auto json = RunCli(folder, {"info", "--json", "slow \"rate\".wav"});
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(json.out, "{\"file\":\"slow \\\"rate\\\".wav\",\"category\":0,\"folder\":\"00 Currently Unrecognized "
                      "Files\",\"remark\":\"" + slow.remark + "\"}\n");
}
