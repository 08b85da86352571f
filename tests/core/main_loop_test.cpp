#include "core/main_loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/settings.h"
#include "platform/headless/headless_platform.h"
#include "support/temp_folder.h"

namespace {

// What the handlers saw, in order.
std::vector<std::string> gCalls;
std::vector<int16_t> gMenuScript;  // states the main menu picks, one per visit
size_t gMenuVisit = 0;
std::vector<uint16_t> gFullScreenAtCreate;

void Record(const char* name) { gCalls.emplace_back(name); }

StateHandlers RecordingHandlers() {
  StateHandlers handlers;
  handlers.createWindow = [] {
    Record("create");
    gFullScreenAtCreate.push_back(gApp.settings.fullScreen);
  };
  handlers.destroyWindow = [] {
    Record("destroy");
    WriteSettings(gApp);
  };
  handlers.drawScreenFrame = [] { Record("frame"); };
  handlers.credits = [] { Record("credits"); };
  handlers.bootSequence = [] { Record("boot"); };
  handlers.releasePlayback = [] { Record("release"); };
  handlers.mainMenu = [] {
    Record("menu");
    gApp.programState = static_cast<ProgramState>(gMenuVisit < gMenuScript.size() ? gMenuScript[gMenuVisit++]
                                                                                   : int16_t{STATE_EXIT});
  };
  handlers.modules[STATE_VORTA] = [] {
    Record("vorta");
    gApp.programState = STATE_MAIN_MENU;
  };
  return handlers;
}

class MainLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHeadless();
    gCalls.clear();
    gMenuScript.clear();
    gMenuVisit = 0;
    gFullScreenAtCreate.clear();
    gApp = AppGlobals{};
    gApp.installDir = folder.path;
    gApp.exeName = "Sonic-Loom";
    gApp.programState = STATE_FIRST_START;
  }
  TempFolder folder;
};

TEST_F(MainLoop, FirstStartRunsCreditsBootFrameAndMenuThenExitsWithSettingsWritten) {
  const ProgramState final = RunStateMachine(gApp, RecordingHandlers());
  EXPECT_EQ(final, STATE_EXIT);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"create", "credits", "boot", "frame", "menu", "release", "destroy"}));
  ActOnFinalState(gApp, final);
  EXPECT_TRUE(Headless().powerCommands.empty());
  EXPECT_TRUE(Headless().restarts.empty());
  EXPECT_TRUE(std::filesystem::exists(folder / "system/sonicloom_system.dat"));
}

TEST_F(MainLoop, ResizeTwiceReturnsToTheFirstModeRecreatingTheWindowEachTime) {
  gMenuScript = {STATE_RESIZE, STATE_RESIZE, STATE_EXIT};
  RunStateMachine(gApp, RecordingHandlers());
  EXPECT_EQ(gCalls, (std::vector<std::string>{"create", "credits", "boot", "frame", "menu", "destroy", "create",
                                              "frame", "menu", "destroy", "create", "frame", "menu", "release",
                                              "destroy"}));
  EXPECT_EQ(gFullScreenAtCreate, (std::vector<uint16_t>{0, 1, 0}));
  EXPECT_EQ(gApp.settings.fullScreen, 0);
}

TEST_F(MainLoop, ModulesReturnToTheMenuAndMissingModulesFallBackToIt) {
  gMenuScript = {STATE_VORTA, STATE_XMRPH, STATE_UTILITY, STATE_EXIT};
  RunStateMachine(gApp, RecordingHandlers());
  EXPECT_EQ(gCalls, (std::vector<std::string>{"create", "credits", "boot", "frame", "menu", "vorta", "menu", "menu",
                                              "menu", "release", "destroy"}));
}

TEST_F(MainLoop, FinalStatesRunTheirCommands) {
  ActOnFinalState(gApp, STATE_REBOOT);
  ActOnFinalState(gApp, STATE_OFF);
  ActOnFinalState(gApp, STATE_RESTART);
  ActOnFinalState(gApp, STATE_EXIT);
  EXPECT_EQ(Headless().powerCommands, (std::vector<PowerCommand>{PowerCommand::Reboot, PowerCommand::PowerOff}));
  EXPECT_EQ(Headless().restarts, (std::vector<std::string>{folder.path + "/Sonic-Loom"}));
}

TEST_F(MainLoop, WithoutAWindowTheLoopStillWritesTheSettings) {
  StateHandlers handlers;  // no display, no menu: the menu leaves at once
  gApp.settings.colourMode = 2;
  EXPECT_EQ(RunStateMachine(gApp, handlers), STATE_EXIT);
  AppGlobals reread;
  reread.installDir = folder.path;
  ReadSettings(reread);
  EXPECT_EQ(reread.settings.colourMode, 2);
}

}  // namespace
