#include "core/main_loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "core/settings.h"
#include "platform/headless/headless_platform.h"
#include "support/temp_folder.h"

namespace {

std::vector<std::string> gCalls;  // what the handlers saw, in order
std::vector<int16_t> gMenuScript;  // states the main menu picks, one per visit
size_t gMenuVisit = 0;

StateHandlers RecordingHandlers() {
  StateHandlers handlers;
  handlers.createWindow = [] { gCalls.emplace_back(gApp.settings.fullScreen ? "create full" : "create"); };
  handlers.destroyWindow = [] { gCalls.emplace_back("destroy"); WriteSettings(gApp); };
  handlers.drawScreenFrame = [] { gCalls.emplace_back("frame"); };
  handlers.credits = [] { gCalls.emplace_back("credits"); };
  handlers.bootSequence = [] { gCalls.emplace_back("boot"); };
  handlers.releasePlayback = [] { gCalls.emplace_back("release"); };
  handlers.mainMenu = [] {
    gCalls.emplace_back("menu");
    gApp.programState = static_cast<ProgramState>(gMenuVisit < gMenuScript.size() ? gMenuScript[gMenuVisit++]
                                                                                   : int16_t{STATE_EXIT});
  };
  handlers.modules[STATE_VORTA] = [] { gCalls.emplace_back("vorta"); gApp.programState = STATE_MAIN_MENU; };
  return handlers;
}

class MainLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHeadless();
    gApp = AppGlobals{};
    gApp.installDir = folder.path;
    gApp.exeName = "Sonic-Loom";
  }
  TempFolder folder;
};

TEST_F(MainLoop, StatesFollowTheMenusChoices) {
  const std::tuple<const char*, std::vector<int16_t>, std::vector<std::string>> cases[] = {
      {"first start, then exit", {}, {"create", "credits", "boot", "frame", "menu", "release", "destroy"}},
      // Modules return to the menu; missing ones fall back to it.
      {"modules", {STATE_VORTA, STATE_XMRPH, STATE_UTILITY, STATE_EXIT},
       {"create", "credits", "boot", "frame", "menu", "vorta", "menu", "menu", "menu", "release", "destroy"}},
  };
  for (const auto& [what, script, calls] : cases) {
    std::filesystem::remove_all(folder / "system");
    gApp.programState = STATE_FIRST_START;
    gCalls.clear();
    gMenuScript = script;
    gMenuVisit = 0;
    EXPECT_EQ(RunStateMachine(gApp, RecordingHandlers()), STATE_EXIT) << what;
    EXPECT_EQ(gCalls, calls) << what;
    EXPECT_EQ(gApp.settings.fullScreen, 0) << what;
  }
}

TEST_F(MainLoop, FinalStatesRunTheirCommands) {
  for (ProgramState state : {STATE_REBOOT, STATE_OFF, STATE_RESTART, STATE_EXIT}) ActOnFinalState(gApp, state);
  EXPECT_EQ(Headless().powerCommands, (std::vector<PowerCommand>{PowerCommand::Reboot, PowerCommand::PowerOff}));
  EXPECT_EQ(Headless().restarts, (std::vector<std::string>{folder.path + "/Sonic-Loom"}));
}

TEST_F(MainLoop, WithoutAWindowTheLoopStillWritesTheSettings) {
  gApp.settings.colourMode = 2;
  EXPECT_EQ(RunStateMachine(gApp, StateHandlers{}), STATE_EXIT);  // no display, no menu: the menu leaves at once
  EXPECT_EQ(DecodeSettingsBlock(ReadAllBytes(folder / "system/sonicloom_system.dat").data()).colourMode, 2);
}

}  // namespace
