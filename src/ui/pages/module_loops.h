#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/program_state.h"

struct VortaWorkspace;

// One screen a module's selector can name: its navigation button (lower
// row, column = selector value), its row in the SCREEN INDEX box, its title
// and page number.
struct ModuleScreen {
  const char* button;
  const char* indexName;
  const char* indexDescription;
  const char* title;
  const char* number;
};

// The working data of the open module, from its entry to its exit.
struct ModuleSession {
  ProgramState state = STATE_VORTA;
  uint16_t selector = 0;
  VortaWorkspace* vorta = nullptr;  // VORTA only
  std::string ramName;              // XMRPH: RAM A
  std::string ramNameB;             // XMRPH only
};

inline constexpr int kMenuColumn = 11;

// The screens of a synthesis module (VORTA .. XMRPH); empty for others.
std::span<const ModuleScreen> ModuleScreens(ProgramState state);

// The navigation row of a module screen: every screen's button but the open
// one's, and "iMENU<>" on the 0.0.0 screen.
void SetNavigationRow(ProgramState state, uint16_t current);

// A press on the navigation row: sets the selector (65535 for "iMENU<>");
// true when the press was one.
bool FollowNavigation(ProgramState state, uint16_t current, uint8_t code, uint16_t& selector);

// The module loops, one per state 6..11. Each returns with the state word
// set to the main menu.
void RunVortaModule();
void RunXformModule();
void RunSloopModule();
void RunXmrphModule();
void RunRecycleBinModule();
void RunUtilityModule();

// The screens later work adds: until then a module screen other than 0.0.0
// shows its title and page number and the navigation row.
void RunPendingScreen(ModuleSession& session);
