#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

#include "cli/cli_fixture.h"
#include "core/settings.h"
#include "files/library_lock.h"
#include "files/read_only_folder.h"
#include "files/wave_fixtures.h"

using cli_fixture::RunCli;
using namespace wave_fixtures;
namespace fs = std::filesystem;

TEST(CliSort, SortsALibraryAsTheBootDoesAndPrintsEachMove) {
  if (!SoxAvailable()) GTEST_SKIP() << "sox is not installed";
  TempFolder folder;
  const std::string root = folder / "lib";
  const std::string samples = root + "/data/01 Samples (WAV)";
  const std::string cycles = root + "/data/02 Single Cycles (WAV)";
  fs::create_directories(samples);
  fs::create_directories(cycles);
  ASSERT_TRUE(SoxSine(root + "/drop.wav", 44100, "-b 16", 2));       // loose in the root: moves
  WriteAllBytes(root + "/readme.txt", {'x'});                          // not a sound file: stays
  WriteAllBytes(root + "/data/junk.wav", {'R', 'I', 'F', 'F'});       // damaged: recycle bin
  ASSERT_TRUE(SoxSine(samples + "/kept.wav", 20000, "-b 16", 1));       // already home
  ASSERT_TRUE(SoxSine(cycles + "/kept.wav", 30000, "-b 16", 2));        // a sample with a taken name
  const std::vector<uint8_t> stray = ReadAllBytes(cycles + "/kept.wav");

  const auto run = RunCli(folder, {"sort", "lib"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "drop.wav -> data/01 Samples (WAV)/drop.wav\n"
            "data/junk.wav -> data/00 Currently Unrecognized Files/junk.wav\n"
            "data/02 Single Cycles (WAV)/kept.wav -> data/01 Samples (WAV)/kept (1).wav\n");
  EXPECT_TRUE(fs::exists(root + "/readme.txt"));
  EXPECT_TRUE(fs::exists(samples + "/drop.wav"));
  EXPECT_TRUE(fs::exists(samples + "/kept.wav"));
  EXPECT_EQ(ReadAllBytes(samples + "/kept (1).wav"), stray);
  EXPECT_FALSE(fs::exists(cycles + "/kept.wav"));
  EXPECT_TRUE(fs::is_directory(root + "/data/13 XFORM - Wavetables (Audio, WAV)"));

  // A sorted library stays as it is.
  const auto again = RunCli(folder, {"sort", "lib"});
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.out, "");
}

TEST(CliSort, ForceLoopSettingComesFromTheLibraryOrTheOption) {
  if (!SoxAvailable()) GTEST_SKIP() << "sox is not installed";
  TempFolder folder;
  const std::string root = folder / "lib";
  fs::create_directories(root + "/system");
  ASSERT_TRUE(SoxSine(root + "/short.wav", 600, "-b 16", 1));

  // The library's own settings say FORCE LOOP: NO.
  AppGlobals app;
  app.settings.noForceLoop = 1;
  WriteAllBytes(root + "/system/" + kSettingsFileName, EncodeSettingsFile(app.settings, app.folderUserPath));
  const auto run = RunCli(folder, {"sort", "lib"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "short.wav -> data/02 Single Cycles (WAV)/short.wav\n");

  // Without settings the rule is on, unless the option turns it off.
  TempFolder plain;
  fs::create_directories(plain / "lib");
  ASSERT_TRUE(SoxSine(plain / "lib/short.wav", 600, "-b 16", 1));
  EXPECT_EQ(RunCli(plain, {"sort", "lib"}).out, "short.wav -> data/00 Currently Unrecognized Files/short.wav\n");
  EXPECT_FALSE(fs::exists(plain / "lib/system"));  // reading the settings creates nothing
  ASSERT_TRUE(SoxSine(plain / "lib/again.wav", 600, "-b 16", 1));
  EXPECT_EQ(RunCli(plain, {"sort", "--no-force-loop", "lib"}).out,
            "again.wav -> data/02 Single Cycles (WAV)/again.wav\n"
            "data/00 Currently Unrecognized Files/short.wav -> data/02 Single Cycles (WAV)/short.wav\n");

  const auto missing = RunCli(folder, {"sort", "nowhere"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "nowhere: FILE NOT FOUND\n");
  EXPECT_FALSE(fs::exists(folder / "nowhere"));
}

TEST(CliSort, RefusedMoveIsReportedAndTheFileStays) {
  if (!SoxAvailable()) GTEST_SKIP() << "sox is not installed";
  TempFolder folder;
  const std::string root = folder / "lib";
  const std::string cycles = root + "/data/02 Single Cycles (WAV)";
  fs::create_directories(cycles);
  fs::create_directories(root + "/data/01 Samples (WAV)");
  ASSERT_TRUE(SoxSine(cycles + "/long.wav", 30000, "-b 16", 2));
  const std::vector<uint8_t> before = ReadAllBytes(cycles + "/long.wav");
  {
    ReadOnlyFolder locked(cycles);
    if (!locked.active) GTEST_SKIP() << "folders cannot be locked here";
    const auto run = RunCli(folder, {"sort", "lib"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "data/02 Single Cycles (WAV)/long.wav: ACCESS DENIED\n");
  }
  EXPECT_EQ(ReadAllBytes(cycles + "/long.wav"), before);
}

// One sort at a time per library: a second one waits and says so, or with
// --no-wait moves nothing and fails.
TEST(CliSort, WaitsForAnotherHolderOfTheLibraryOrRefusesWithNoWait) {
  TempFolder folder;
  const std::string root = folder / "lib";
  fs::create_directories(root);
  wave_fixtures::HandWave w;
  w.frames = 5000;
  WriteAllBytes(root + "/loose.wav", BuildWave(w));
  const int holder = open((root + "/" + kLibraryLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);

  const auto refused = RunCli(folder, {"sort", "--no-wait", "lib"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "lib: another process is changing the library; nothing was moved (--no-wait)\n");
  EXPECT_EQ(refused.out, "");
  EXPECT_TRUE(fs::exists(root + "/loose.wav"));

  std::thread release([holder] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    close(holder);
  });
  const auto waited = RunCli(folder, {"sort", "lib"});
  release.join();
  EXPECT_EQ(waited.status, 0);
  EXPECT_EQ(waited.err, "lib: UPDATING FILE SYSTEM, PLEASE WAIT <ANOTHER PROCESS HOLDS THE LIBRARY>\n");
  EXPECT_EQ(waited.out, "loose.wav -> data/01 Samples (WAV)/loose.wav\n");
}

// A file with a second name (hard link) in its right folder loses the
// stray name once, instead of being reported moved on every run.
TEST(CliSort, HardLinkedStrayIsSettledOnce) {
  TempFolder folder;
  const std::string samples = folder / "lib/data/01 Samples (WAV)";
  const std::string cycles = folder / "lib/data/02 Single Cycles (WAV)";
  fs::create_directories(samples);
  fs::create_directories(cycles);
  wave_fixtures::HandWave w;
  w.frames = 5000;
  WriteAllBytes(samples + "/twin.wav", BuildWave(w));
  fs::create_hard_link(samples + "/twin.wav", cycles + "/twin.wav");
  const auto first = RunCli(folder, {"sort", "lib"});
  EXPECT_EQ(first.out, "data/02 Single Cycles (WAV)/twin.wav -> data/01 Samples (WAV)/twin.wav\n");
  EXPECT_EQ(RunCli(folder, {"sort", "lib"}).out, "");
  EXPECT_FALSE(fs::exists(cycles + "/twin.wav"));
  EXPECT_EQ(ReadAllBytes(samples + "/twin.wav"), BuildWave(w));
}

// Two sorts at once with opposite FORCE LOOP rules over files that each
// have an identical twin in the other's target folder: every file must
// survive somewhere: the library lock keeps one sort's compare-and-remove
// of a redundant copy from interleaving with the other's.
TEST(CliSort, ConcurrentSortsWithOppositeRulesLoseNothing) {
  constexpr int kTrials = 20;
  constexpr int kTwins = 200;
  TempFolder folder;
  const std::string root = folder / "lib";
  const std::string bin = root + "/data/00 Currently Unrecognized Files/";
  const std::string cycles = root + "/data/02 Single Cycles (WAV)/";
  const std::string cli = cli_fixture::ShellQuoted(SONICLOOM_CLI_PATH);
  std::mt19937 random(26);
  for (int trial = 0; trial < kTrials; ++trial) {
    fs::remove_all(root);
    fs::create_directories(bin);
    fs::create_directories(cycles);
    std::set<std::vector<uint8_t>> contents;
    for (int i = 0; i < kTwins; ++i) {
      wave_fixtures::HandWave w;  // mono, no loop: refused with FORCE LOOP, a single cycle without
      w.frames = 600;
      std::vector<uint8_t> bytes = BuildWave(w);
      bytes[44] = static_cast<uint8_t>(i);
      bytes[45] = static_cast<uint8_t>(i >> 8);
      bytes[46] = static_cast<uint8_t>(trial);
      const std::string name = "twin" + std::to_string(i) + ".wav";
      WriteAllBytes(bin + name, bytes);
      WriteAllBytes(cycles + name, bytes);
      contents.insert(bytes);
    }
    char delays[2][8];
    for (auto& delay : delays) std::snprintf(delay, sizeof delay, "0.%03u", static_cast<unsigned>(random() % 80));
    const std::string script = "cd " + cli_fixture::ShellQuoted(folder.path) + " && (sleep " + delays[0] + "; " + cli +
                               " sort lib) >/dev/null 2>&1 & (sleep " + delays[1] + "; " + cli +
                               " sort --no-force-loop lib) >/dev/null 2>&1 & wait";
    ASSERT_EQ(std::system(("sh -c " + cli_fixture::ShellQuoted(script)).c_str()), 0);
    for (const std::string& folderPath : {bin, cycles}) {
      for (const auto& entry : fs::directory_iterator(folderPath)) contents.erase(ReadAllBytes(entry.path()));
    }
    ASSERT_TRUE(contents.empty()) << contents.size() << " files lost in trial " << trial;
  }
}
