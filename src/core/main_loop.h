#pragma once
#include <array>

#include "core/app_globals.h"

// What the main control loop calls for each state. The pages and the display
// live above the core, so the program fills this table in main(); an empty
// slot means that part of the program is not there and the loop goes back
// to the main menu.
struct StateHandlers {
  void (*startupDone)() = nullptr;          // after the start-up checks and the settings file
  void (*registerWindowClass)() = nullptr;  // before the first pass; clears pending input
  void (*createWindow)() = nullptr;    // window and display thread up, colour mode applied
  void (*destroyWindow)() = nullptr;   // closes the window; writes the settings
  void (*leaveWindow)() = nullptr;     // the same when the program ends (destroyWindow when null)
  void (*drawScreenFrame)() = nullptr;
  void (*mainMenu)() = nullptr;
  void (*credits)() = nullptr;
  void (*bootSequence)() = nullptr;
  void (*releasePlayback)() = nullptr;
  std::array<void (*)(), kProgramStateCount> modules{};  // indexed by STATE_VORTA .. STATE_UTILITY
};

// The state machine: passes while the state is 4 or more. Returns the final
// state (0..3).
ProgramState RunStateMachine(AppGlobals& app, const StateHandlers& handlers);

// After the loop: reboot, restart or power off as the final state asks.
void ActOnFinalState(const AppGlobals& app, ProgramState finalState);

// The whole program: start-up checks, settings, the state machine, the
// final action. Returns 0.
int RunMainControlLoop(AppGlobals& app, const StateHandlers& handlers);
