#include "core/startup_checks.h"

#include <gtest/gtest.h>

#include "core/fatal_error.h"
#include "core/phase_table.h"
#include "platform/headless/headless_platform.h"
#include "support/temp_folder.h"

#include <unistd.h>

#include <filesystem>
#include <string>
#include <tuple>

namespace {

// Each check at its limit, and the first failing check decides. A case changes the facts of a good installation.
TEST(StartupChecks, LimitsAndTheirFatalCodes) {
  struct Case {
    uint64_t memory = 8ULL << 30;
    std::string path = "/home/user/Sonic-Loom/Sonic-Loom";
    ScreenSize screen = {true, 1920, 1080};
    bool network = false, writable = true;
    size_t tableBytes = kPhaseTableBytes;
    int code = -1;
  };
  const std::string dirs(175 - 11 - 1, 'd');  // with "/" and "/Sonic-Loom": 175 characters, the longest path
  const ScreenSize small = {true, 640, 480};
  const Case cases[] = {
      {}, {.memory = 400ULL << 20}, {.memory = (400ULL << 20) - 1, .code = kFatalMemoryTooSmall},
      {.path = "/home/user/Sonic-Loom/sonic-loom", .code = 11}, {.path = "/" + dirs + "/Sonic-Loom"},
      {.path = "/x" + dirs + "/Sonic-Loom", .code = kFatalInstallPath}, {.path = "", .code = kFatalInstallPath},
      // ".zip" in the folder's last five characters is refused; a shorter folder is read whole, not before it.
      {.path = "/tmp/download.zip/Sonic-Loom", .code = 8}, {.path = "/tmp/a.zip1/Sonic-Loom", .code = 8},
      {.path = "/tmp/a.zip12/Sonic-Loom"}, {.path = "/zip/Sonic-Loom"}, {.path = ".zip/Sonic-Loom", .code = 8},
      {.path = "/opt/Sonic-Loom/system/backup/Sonic-Loom", .code = 9},
      {.path = "/opt/Sonic-Loom/system/backups/Sonic-Loom", .code = 9}, {.path = "/opt/system/back/Sonic-Loom"},
      {.screen = {true, 1024, 768}}, {.screen = {true, 1024, 767}, .code = 2},
      {.screen = {true, 1023, 1200}, .code = 2}, {.screen = {false, 0, 0}, .code = 2},
      {.network = true, .code = 10}, {.writable = false, .code = 1}, {.tableBytes = kPhaseTableBytes - 4, .code = 12},
      {.memory = 1, .path = "/x.zip/other", .screen = small, .code = 13},
      {.path = "/x.zip/other", .screen = small, .code = 11}, {.path = "/x.zip/Sonic-Loom", .screen = small, .code = 8},
      {.screen = small, .code = 2},
  };
  for (const Case& c : cases) {
    const StartupVerdict verdict = EvaluateStartupChecks({.physicalMemory = c.memory, .programPath = c.path,
                                                          .installDirOnNetwork = c.network, .screen = c.screen,
                                                          .installDirWritable = c.writable,
                                                          .phaseTableBytes = c.tableBytes});
    EXPECT_EQ(verdict.fatalCode, c.code) << c.path << " " << c.memory;
    if (c.path == Case{}.path && c.code == -1) {
      EXPECT_EQ(std::tie(verdict.installDir, verdict.exeName), std::tuple("/home/user/Sonic-Loom", "Sonic-Loom"));
    }
  }
}

// A processor count of 0 (none found) counts as one; an unknown name leaves the default.
TEST(HostFacts, NameIsShortenedAndApplianceModeMatchedWithoutCase) {
  // {facts, name shown, appliance mode, processors counted}
  const std::tuple<HostFacts, const char*, bool, int> cases[] = {
      {{123, 8, true, "a-very-long-host-name"}, "a-very-long-hos~", false, 8},
      {{123, 0, true, "sixteen-chars-ok"}, "sixteen-chars-ok", false, 1},
      {{123, 8, true, "sonicloom-pc"}, "sonicloom-pc", true, 8},
      {{123, 8, true, "SONICLOOM-PC"}, "SONICLOOM-PC", true, 8},
      {{123, 8, true, "SONICLOOM-PC2"}, "SONICLOOM-PC2", false, 8},
      {{123, 8, false, "sonicloom-pc"}, "", false, 8},
  };
  for (const auto& [facts, shown, appliance, counted] : cases) {
    AppGlobals app;
    ApplyHostFacts(facts, app);
    EXPECT_EQ(std::tie(app.hostName, app.applianceMode, app.processorCount, app.physicalMemory),
              std::tuple(shown, appliance, counted, 123u)) << facts.hostName;
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
  EXPECT_EQ(std::tuple(app.installDir, app.phaseTable), std::tuple(folder.path, kPhaseTableResource));
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

// Cancel, and a failing check after its message box, end with result zero without creating any folder.
TEST_F(FirstRun, CancelOrAFailingCheckEndsWithResultZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  AppGlobals app;
  Headless().okCancelAnswer = false;
  EXPECT_EXIT(RunStartupChecks(app), ::testing::ExitedWithCode(kHeadlessExitBase), "");
  EXPECT_TRUE(std::filesystem::is_empty(folder.path));
  Headless().okCancelAnswer = true;
  Headless().screen = {true, 1024, 767};
  EXPECT_EXIT(RunStartupChecks(app), ::testing::ExitedWithCode(kHeadlessExitBase), "minimal screen resolution of 1024x768");
  EXPECT_TRUE(std::filesystem::is_empty(folder.path));
}

}  // namespace
