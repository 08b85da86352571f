#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/program_state.h"
#include "ui/page.h"
#include "ui/pages/shared/module_session.h"

// The screens of a synthesis module (VORTA .. XMRPH); empty for others.
std::span<const ModuleScreen> ModuleScreens(ProgramState state);

// The navigation row of a module screen: every screen's button but the open
// one's, and "iMENU<>" on the 0.0.0 screen.
std::vector<NavigationButton> NavigationRow(std::span<const ModuleScreen> screens, uint16_t current);

// The selector loop of a module: the page the selector names runs until it
// changes the selector; 65535 ends the loop.
void RunModuleScreens(ModuleSession& session);

// The module loops, one per state 6..11. Each returns with the state word
// set to the main menu.
void RunVortaModule();
void RunXformModule();
void RunSloopModule();
void RunXmrphModule();
void RunRecycleBinModule();
void RunUtilityModule();
