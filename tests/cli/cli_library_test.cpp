// sort: a library sorted as the boot does, each move printed; the library's
// own FORCE LOOP setting, refused moves, the library lock, hard links.
// import: lines, refusals and exit codes, the library's category folders,
// and the same result for any number of jobs.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>
#include <tuple>

#include "cli/cli_fixture.h"
#include "core/settings.h"
#include "files/library_lock.h"
#include "files/read_only_folder.h"

using namespace cli_fixture;

namespace {

const std::string kSamples = "lib/data/01 Samples (WAV)/";
const std::string kCycles = "lib/data/02 Single Cycles (WAV)/";

std::vector<uint8_t> MonoWave(uint32_t frames) { return BuildWave(HandWave{.frames = frames}); }

}  // namespace

TEST_F(CliTest, SortMovesEachFileWhereTheBootWouldAndPrintsEachMove) {
  for (const std::string& sub : {kSamples, kCycles}) MakeFolder(sub);
  ASSERT_TRUE(SoxSine(folder / "lib/drop.wav", 44100, "-b 16", 2));         // loose in the root: moves
  WriteAllBytes(folder / "lib/readme.txt", {'x'});                           // not a sound file: stays
  WriteAllBytes(folder / "lib/data/junk.wav", {'R', 'I', 'F', 'F'});         // damaged: recycle bin
  ASSERT_TRUE(SoxSine(folder / kSamples + "kept.wav", 20000, "-b 16", 1));  // already home
  ASSERT_TRUE(SoxSine(folder / kCycles + "kept.wav", 30000, "-b 16", 2));   // a sample with a taken name
  EXPECT_EQ(Run({"sort", "lib"}), (CliRun{0,
                                          "drop.wav -> data/01 Samples (WAV)/drop.wav\n"
                                          "data/junk.wav -> data/00 Currently Unrecognized Files/junk.wav\n"
                                          "data/02 Single Cycles (WAV)/kept.wav -> data/01 Samples (WAV)/kept (1).wav\n",
                                          ""}));
  EXPECT_TRUE(Exists("lib/readme.txt") && fs::is_directory(folder / "lib/data/13 XFORM - Wavetables (Audio, WAV)"));
  EXPECT_EQ(Run({"sort", "lib"}), (CliRun{0, "", ""}));  // a sorted library stays as it is
  EXPECT_EQ(Run({"sort", "nowhere"}), (CliRun{1, "", "nowhere: FILE NOT FOUND\n"}));
  EXPECT_FALSE(Exists("nowhere"));

  // A file with a second name (hard link) in its right folder loses the
  // stray name once, instead of being reported moved on every run.
  WriteAllBytes(folder / kSamples + "twin.wav", MonoWave(5000));
  fs::create_hard_link(folder / kSamples + "twin.wav", folder / kCycles + "twin.wav");
  EXPECT_EQ(Run({"sort", "lib"}).out, "data/02 Single Cycles (WAV)/twin.wav -> data/01 Samples (WAV)/twin.wav\n");
  EXPECT_EQ(Run({"sort", "lib"}).out, "");
  EXPECT_FALSE(Exists(kCycles + "twin.wav"));
  EXPECT_EQ(Bytes(kSamples + "twin.wav"), MonoWave(5000));

  // A refused move is reported and the file stays.
  WriteAllBytes(folder / kCycles + "long.wav", MonoWave(30000));
  ReadOnlyFolder locked(folder / kCycles);
  if (!locked.active) return;
  EXPECT_EQ(Run({"sort", "lib"}), (CliRun{1, "", "data/02 Single Cycles (WAV)/long.wav: ACCESS DENIED\n"}));
  EXPECT_EQ(Bytes(kCycles + "long.wav"), MonoWave(30000));
}

TEST_F(CliTest, SortTakesForceLoopFromTheLibraryOrTheOption) {
  MakeFolder("lib/system");
  ASSERT_TRUE(SoxSine(folder / "lib/short.wav", 600, "-b 16", 1));
  // The library's own settings say FORCE LOOP: NO.
  AppGlobals app;
  app.settings.noForceLoop = 1;
  WriteAllBytes(folder / "lib/system/" + kSettingsFileName, EncodeSettingsFile(app.settings, app.folderUserPath));
  EXPECT_EQ(Run({"sort", "lib"}), (CliRun{0, "short.wav -> data/02 Single Cycles (WAV)/short.wav\n", ""}));

  // Without settings the rule is on, unless the option turns it off.
  MakeFolder("plain");
  ASSERT_TRUE(SoxSine(folder / "plain/short.wav", 600, "-b 16", 1));
  EXPECT_EQ(Run({"sort", "plain"}).out, "short.wav -> data/00 Currently Unrecognized Files/short.wav\n");
  EXPECT_FALSE(Exists("plain/system"));  // reading the settings creates nothing
  ASSERT_TRUE(SoxSine(folder / "plain/again.wav", 600, "-b 16", 1));
  EXPECT_EQ(Run({"sort", "--no-force-loop", "plain"}).out,
            "again.wav -> data/02 Single Cycles (WAV)/again.wav\n"
            "data/00 Currently Unrecognized Files/short.wav -> data/02 Single Cycles (WAV)/short.wav\n");
}

// One sort at a time per library: a second one waits and says so, or with
// --no-wait moves nothing and fails.
TEST_F(CliTest, SortWaitsForAnotherHolderOfTheLibraryOrRefusesWithNoWait) {
  MakeFolder("lib");
  WriteAllBytes(folder / "lib/loose.wav", MonoWave(5000));
  const int holder = open((folder / "lib/" + kLibraryLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  EXPECT_EQ(Run({"sort", "--no-wait", "lib"}),
            (CliRun{1, "", "lib: another process is changing the library; nothing was moved (--no-wait)\n"}));
  EXPECT_TRUE(Exists("lib/loose.wav"));
  std::thread release([holder] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    close(holder);
  });
  const CliRun waited = Run({"sort", "lib"});
  release.join();
  EXPECT_EQ(waited, (CliRun{0, "loose.wav -> data/01 Samples (WAV)/loose.wav\n",
                            "lib: UPDATING FILE SYSTEM, PLEASE WAIT <ANOTHER PROCESS HOLDS THE LIBRARY>\n"}));
}

// Two sorts at once with opposite FORCE LOOP rules over files that each
// have an identical twin in the other's target folder: every file must
// survive somewhere: the library lock keeps one sort's compare-and-remove
// of a redundant copy from interleaving with the other's.
TEST_F(CliTest, ConcurrentSortsWithOppositeRulesLoseNothing) {
  const std::string bin = folder / "lib/data/00 Currently Unrecognized Files/";
  const std::string cycles = folder / kCycles;
  const std::string cli = ShellQuoted(SONICLOOM_CLI_PATH);
  for (int trial = 0; trial < 20; ++trial) {
    fs::remove_all(folder / "lib");
    for (const std::string& made : {bin, cycles}) fs::create_directories(made);
    std::set<std::vector<uint8_t>> contents;
    for (int i = 0; i < 200; ++i) {
      std::vector<uint8_t> bytes = MonoWave(600);  // no loop: refused with FORCE LOOP, a single cycle without
      std::tie(bytes[44], bytes[45], bytes[46]) = std::tuple(i & 255, i >> 8, trial);
      const std::string name = "twin" + std::to_string(i) + ".wav";
      WriteAllBytes(bin + name, bytes);
      WriteAllBytes(cycles + name, bytes);
      contents.insert(bytes);
    }
    // The second sort starts 0 to 9.5 ms after the first: the race needs both at the same twin at once,
    // and without the lock several of these offsets lose dozens of files.
    char delay[16];
    std::snprintf(delay, sizeof delay, "0.%04d", trial * 5);
    const std::string lib = ShellQuoted(folder / "lib");
    const std::string script = "(" + cli + " sort " + lib + ") >/dev/null 2>&1 & (sleep " + delay + "; " + cli +
                               " sort --no-force-loop " + lib + ") >/dev/null 2>&1 & wait";
    ASSERT_EQ(std::system(("sh -c " + ShellQuoted(script)).c_str()), 0);
    for (const std::string& folderPath : {bin, cycles}) {
      for (const auto& entry : fs::directory_iterator(folderPath)) contents.erase(ReadAllBytes(entry.path()));
    }
    ASSERT_TRUE(contents.empty()) << contents.size() << " files lost in trial " << trial;
  }
}

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
