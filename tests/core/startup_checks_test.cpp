#include "core/startup_checks.h"

#include <gtest/gtest.h>

#include "core/fatal_error.h"
#include "core/phase_table.h"
#include "platform/headless/headless_platform.h"
#include "support/temp_folder.h"

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>

namespace {

StartupFacts GoodFacts() {
  StartupFacts facts;
  facts.physicalMemory = 8ULL << 30;
  facts.programPath = "/home/user/Sonic-Loom/Sonic-Loom";
  facts.screen = {true, 1920, 1080};
  facts.installDirWritable = true;
  facts.phaseTableBytes = kPhaseTableBytes;
  return facts;
}

// Each check at its limit, and the first failing check decides.
TEST(StartupChecks, LimitsAndTheirFatalCodes) {
  const StartupVerdict good = EvaluateStartupChecks(GoodFacts());
  EXPECT_EQ(std::tie(good.fatalCode, good.installDir, good.exeName),
            std::tuple(-1, "/home/user/Sonic-Loom", "Sonic-Loom"));
  const std::string dirs(175 - 11, 'd');  // with "/Sonic-Loom": 175 characters, the longest path
  const struct {
    std::function<void(StartupFacts&)> change;
    int code;
  } cases[] = {
      {[](StartupFacts& f) { f.physicalMemory = 400ULL << 20; }, -1},
      {[](StartupFacts& f) { f.physicalMemory = (400ULL << 20) - 1; }, kFatalMemoryTooSmall},
      {[](StartupFacts& f) { f.programPath = "/home/user/Sonic-Loom/sonic-loom"; }, 11},
      {[&](StartupFacts& f) { f.programPath = "/" + dirs.substr(1) + "/Sonic-Loom"; }, -1},
      {[&](StartupFacts& f) { f.programPath = "/x" + dirs.substr(1) + "/Sonic-Loom"; }, kFatalInstallPath},
      {[](StartupFacts& f) { f.programPath.clear(); }, kFatalInstallPath},
      {[](StartupFacts& f) { f.programPath = "/tmp/download.zip/Sonic-Loom"; }, 8},
      {[](StartupFacts& f) { f.programPath = "/tmp/a.zip1/Sonic-Loom"; }, 8},  // ".zip" within the last five characters
      {[](StartupFacts& f) { f.programPath = "/tmp/a.zip12/Sonic-Loom"; }, -1},  // further in: fine
      // A folder shorter than five characters is tested whole, without
      // reading before the string.
      {[](StartupFacts& f) { f.programPath = "/zip/Sonic-Loom"; }, -1},
      {[](StartupFacts& f) { f.programPath = ".zip/Sonic-Loom"; }, 8},
      {[](StartupFacts& f) { f.programPath = "/opt/Sonic-Loom/system/backup/Sonic-Loom"; }, 9},
      {[](StartupFacts& f) { f.programPath = "/opt/Sonic-Loom/system/backups/Sonic-Loom"; }, 9},
      {[](StartupFacts& f) { f.programPath = "/opt/system/back/Sonic-Loom"; }, -1},
      {[](StartupFacts& f) { f.installDirOnNetwork = true; }, 10},
      {[](StartupFacts& f) { f.screen = {true, 1024, 768}; }, -1},
      {[](StartupFacts& f) { f.screen = {true, 1024, 767}; }, 2},
      {[](StartupFacts& f) { f.screen = {true, 1023, 1200}; }, 2},
      {[](StartupFacts& f) { f.screen = {false, 0, 0}; }, 2},
      {[](StartupFacts& f) { f.installDirWritable = false; }, 1},
      {[](StartupFacts& f) { f.phaseTableBytes = kPhaseTableBytes - 4; }, 12},
      {[](StartupFacts& f) { f.physicalMemory = 1, f.programPath = "/x.zip/other", f.screen = {true, 640, 480}; }, 13},
      {[](StartupFacts& f) { f.programPath = "/x.zip/other", f.screen = {true, 640, 480}; }, 11},
      {[](StartupFacts& f) { f.programPath = "/x.zip/Sonic-Loom", f.screen = {true, 640, 480}; }, 8},
      {[](StartupFacts& f) { f.screen = {true, 640, 480}; }, 2},
  };
  for (const auto& c : cases) {
    StartupFacts facts = GoodFacts();
    c.change(facts);
    EXPECT_EQ(EvaluateStartupChecks(facts).fatalCode, c.code) << facts.programPath << " " << facts.physicalMemory;
  }
}

TEST(HostFacts, NameIsShortenedAndApplianceModeMatchedWithoutCase) {
  HostFacts facts;
  facts.physicalMemory = 123;
  const struct {
    bool known;
    const char* name;
    const char* shown;  // unknown names leave the default
    bool appliance;
    int processors, counted;  // none found counts as one
  } cases[] = {
      {true, "a-very-long-host-name", "a-very-long-hos~", false, 8, 8},
      {true, "sixteen-chars-ok", "sixteen-chars-ok", false, 0, 1},
      {true, "sonicloom-pc", "sonicloom-pc", true, 8, 8},
      {true, "SONICLOOM-PC", "SONICLOOM-PC", true, 8, 8},
      {true, "SONICLOOM-PC2", "SONICLOOM-PC2", false, 8, 8},
      {false, "sonicloom-pc", "", false, 8, 8},
  };
  for (const auto& c : cases) {
    facts.nameKnown = c.known;
    facts.hostName = c.name;
    facts.processorCount = c.processors;
    AppGlobals app;
    ApplyHostFacts(facts, app);
    EXPECT_EQ(std::tie(app.hostName, app.applianceMode, app.processorCount, app.physicalMemory),
              std::tuple(c.shown, c.appliance, c.counted, 123u)) << c.name;
  }
}

TEST(IdentityStrings, TitlesAndNames) {
  AppGlobals app;
  BuildIdentityStrings(app);
  EXPECT_EQ((std::vector<std::string>{app.programTitle, app.screenTitle, app.windowClassName, app.manualFileName,
                                      app.pendingManualName}),
            (std::vector<std::string>{"Sonic-Loom 2.27", "SONIC-LOOM 2.27", "SonicLoomGDI", "Sonic-Loom.pdf",
                                      ".pending"}));
  EXPECT_NE(FirstRunText("/home/u/Sonic-Loom").find("root path:\n\n     /home/u/Sonic-Loom\n\nStep 2"),
            std::string::npos);
}

TEST(FatalErrorText, EveryCodeHasItsCauseAndTheContactNote) {
  AppGlobals app;
  app.exeName = "sonic-loom";  // as the start-up checks find a renamed program
  for (int code = 0; code < kFatalCodeCount; ++code) {
    const std::string text = FatalErrorText(code, app);
    EXPECT_GT(text.size(), 20u) << code;
    EXPECT_EQ(text.back(), '\n') << code;
  }
  EXPECT_EQ(FatalErrorText(3, app).rfind("\nError allocating memory!\n\n", 0), 0u);
  EXPECT_EQ(FatalErrorText(13, app).rfind("Sonic-Loom requires at least 512 MB physical memory.\n\n", 0), 0u);
  EXPECT_NE(FatalErrorText(11, app).find("Sonic-Loom was renamed to sonic-loom!"), std::string::npos);
  EXPECT_NE(FatalErrorText(2, app).find("minimal screen resolution of 1024x768!"), std::string::npos);
}

}  // namespace

namespace {

class FirstRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHeadless();
    Headless().executablePath = folder.path + "/Sonic-Loom";
    // Test processes run side by side: each claims a name of its own.
    SetSingleInstanceName("SonicLoomTest-" + std::to_string(getpid()));
  }
  void TearDown() override {
    ReleaseSingleInstance(ProgramInstance());
    ResetHeadless();
  }
  TempFolder folder;
};

TEST_F(FirstRun, OkReturnsWithThePhaseTableAndCreatesNothingYet) {
  AppGlobals app;
  Headless().okCancelAnswer = true;
  RunStartupChecks(app);
  EXPECT_EQ(app.installDir, folder.path);
  EXPECT_EQ(app.phaseTable, kPhaseTableResource);
  ASSERT_EQ(Headless().questions.size(), 1u);
  EXPECT_EQ(Headless().questions[0].caption, "Welcome to Sonic-Loom!");
  EXPECT_FALSE(std::filesystem::exists(folder / "system"));

  // Once the system folder exists the question does not come again.
  std::filesystem::create_directories(folder / "system");
  RunStartupChecks(app);
  EXPECT_EQ(Headless().questions.size(), 1u);
}

TEST_F(FirstRun, CancelEndsWithResultZeroWithoutCreatingAnyFolder) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Headless().okCancelAnswer = false;
  AppGlobals app;
  EXPECT_EXIT(RunStartupChecks(app), ::testing::ExitedWithCode(kHeadlessExitBase), "");
  EXPECT_TRUE(std::filesystem::is_empty(folder.path));
}

TEST_F(FirstRun, AFailingCheckShowsTheBoxAndEndsWithResultZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Headless().screen = {true, 1024, 767};
  AppGlobals app;
  EXPECT_EXIT(RunStartupChecks(app), ::testing::ExitedWithCode(kHeadlessExitBase), "minimal screen resolution of 1024x768");
  Headless().screen = {true, 1920, 1080};
  Headless().host.physicalMemory = 399ULL << 20;
  EXPECT_EXIT(RunStartupChecks(app), ::testing::ExitedWithCode(kHeadlessExitBase), "at least 512 MB physical memory");
}

}  // namespace
