#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_fixture.h"
#include "core/settings.h"
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
