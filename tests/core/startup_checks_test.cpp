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
  const std::string dirs(175 - 11 - 1, 'd');  // with "/" and "/Sonic-Loom": 175 characters, the longest path
  // ".zip" within the last five characters of the folder is refused; a folder
  // shorter than five characters is tested whole, without reading before it.
  const std::pair<std::string, int> paths[] = {
      {"/home/user/Sonic-Loom/sonic-loom", 11}, {"/" + dirs + "/Sonic-Loom", -1}, {"", kFatalInstallPath},
      {"/x" + dirs + "/Sonic-Loom", kFatalInstallPath}, {"/tmp/download.zip/Sonic-Loom", 8},
      {"/tmp/a.zip1/Sonic-Loom", 8}, {"/tmp/a.zip12/Sonic-Loom", -1}, {"/zip/Sonic-Loom", -1}, {".zip/Sonic-Loom", 8},
      {"/opt/Sonic-Loom/system/backup/Sonic-Loom", 9}, {"/opt/Sonic-Loom/system/backups/Sonic-Loom", 9},
      {"/opt/system/back/Sonic-Loom", -1},
  };
  for (const auto& [path, code] : paths) {
    StartupFacts facts = GoodFacts();
    facts.programPath = path;
    EXPECT_EQ(EvaluateStartupChecks(facts).fatalCode, code) << path;
  }
  const struct {
    std::function<void(StartupFacts&)> change;
    int code;
  } cases[] = {
      {[](StartupFacts& f) { f.physicalMemory = 400ULL << 20; }, -1},
      {[](StartupFacts& f) { f.physicalMemory = (400ULL << 20) - 1; }, kFatalMemoryTooSmall},
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

// A processor count of 0 (none found) counts as one; an unknown name leaves the default.
TEST(HostFacts, NameIsShortenedAndApplianceModeMatchedWithoutCase) {
  const struct {
    HostFacts facts;
    const char* shown;
    bool appliance;
    int counted;
  } cases[] = {
      {{123, 8, true, "a-very-long-host-name"}, "a-very-long-hos~", false, 8},
      {{123, 0, true, "sixteen-chars-ok"}, "sixteen-chars-ok", false, 1},
      {{123, 8, true, "sonicloom-pc"}, "sonicloom-pc", true, 8},
      {{123, 8, true, "SONICLOOM-PC"}, "SONICLOOM-PC", true, 8},
      {{123, 8, true, "SONICLOOM-PC2"}, "SONICLOOM-PC2", false, 8},
      {{123, 8, false, "sonicloom-pc"}, "", false, 8},
  };
  for (const auto& c : cases) {
    AppGlobals app;
    ApplyHostFacts(c.facts, app);
    EXPECT_EQ(std::tie(app.hostName, app.applianceMode, app.processorCount, app.physicalMemory),
              std::tuple(c.shown, c.appliance, c.counted, 123u)) << c.facts.hostName;
  }
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
  EXPECT_NE(Headless().questions[0].text.find("root path:\n\n     " + folder.path + "\n\nStep 2"), std::string::npos);
  EXPECT_EQ(std::tie(app.programTitle, app.windowClassName), std::tuple("Sonic-Loom 2.27", "SonicLoomGDI"));
  EXPECT_FALSE(std::filesystem::exists(folder / "system"));

  // Once the system folder exists the question does not come again.
  std::filesystem::create_directories(folder / "system");
  RunStartupChecks(app);
  EXPECT_EQ(Headless().questions.size(), 1u);
}

// Cancel, and a failing check after its message box, end with result zero
// without creating any folder.
TEST_F(FirstRun, CancelOrAFailingCheckEndsWithResultZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  AppGlobals app;
  Headless().okCancelAnswer = false;
  EXPECT_EXIT(RunStartupChecks(app), ::testing::ExitedWithCode(kHeadlessExitBase), "");
  EXPECT_TRUE(std::filesystem::is_empty(folder.path));
  Headless().okCancelAnswer = true;
  Headless().screen = {true, 1024, 767};
  EXPECT_EXIT(RunStartupChecks(app), ::testing::ExitedWithCode(kHeadlessExitBase), "minimal screen resolution of 1024x768");
  Headless().screen = {true, 1920, 1080};
  Headless().host.physicalMemory = 399ULL << 20;
  EXPECT_EXIT(RunStartupChecks(app), ::testing::ExitedWithCode(kHeadlessExitBase), "at least 512 MB physical memory");
  EXPECT_TRUE(std::filesystem::is_empty(folder.path));
}

}  // namespace
