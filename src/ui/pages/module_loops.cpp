#include "ui/pages/module_loops.h"

#include <array>
#include <memory>

#include "core/app_globals.h"
#include "ui/button_bar.h"
#include "ui/input.h"
#include "ui/page_frame.h"
#include "ui/pages/page_support.h"
#include "ui/pages/recycle_bin.h"
#include "ui/pages/system_settings_page.h"
#include "ui/pages/utility_pages.h"
#include "wavetable/vorta_workspace.h"

namespace {

constexpr std::array<ModuleScreen, 7> kVortaScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", "SYSTEM SETTINGS", "0.0.0"},
    {"fDISK<>", "DISK", "FILE OPERATIONS", "FILE OPERATIONS", "1.0.0"},
    {"fVIEWER<>", "VIEWER", "TABLE VIEWER", "TABLE VIEWER", "2.0.0"},
    {"fSLICE<>", "SLICE", "SLICE EDITOR", "SLICE EDITOR", "3.0.0"},
    {"fASSEM<>", "ASSEM", "TABLE ASSEMBLER", "TABLE ASSEMBLING", "4.0.0"},
    {"fENV<>", "ENV", "ENVELOPE EDITOR", "PARTIAL ENVELOPES", "5.0.0"},
    {"fTEF<>", "TEF", "TABLE EDITING FUNCTIONS", "TABLE EDITING FUNCTIONS", "6.0.0"},
}};

constexpr std::array<ModuleScreen, 3> kXformScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", "SYSTEM SETTINGS", "0.0.0"},
    {"fDISK<>", "DISK", "FILE OPERATIONS", "FILE OPERATIONS", "1.0.0"},
    {"fTEF<>", "TEF", "TABLE EDITING FUNCTIONS", "TABLE EDITING FUNCTIONS", "2.0.0"},
}};

constexpr std::array<ModuleScreen, 3> kSloopScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", "SYSTEM SETTINGS", "0.0.0"},
    {"fDISK<>", "DISK", "FILE OPERATIONS", "FILE OPERATIONS", "1.0.0"},
    {"fSYNTH<>", "SYNTH", "LOOP SYNTHESIZER", "LOOP SYNTHESIS", "2.0.0"},
}};

constexpr std::array<ModuleScreen, 3> kXmrphScreens = {{
    {"fSYSTEM<>", "SYSTEM", "SYSTEM SETTINGS", "SYSTEM SETTINGS", "0.0.0"},
    {"fDISK<>", "DISK", "FILE OPERATIONS", "FILE OPERATIONS", "1.0.0"},
    {"fSYNTH<>", "SYNTH", "CROSS SYNTHESIZER", "CROSS SYNTHESIS", "2.0.0"},
}};

// The selector loop every synthesis module shares: the screen the selector
// names runs until it changes the selector; 65535 ends the module.
void RunModuleScreens(ModuleSession& session) {
  session.selector = 0;
  const auto screens = ModuleScreens(session.state);
  while (session.selector != kLeaveModule) {
    if (session.selector >= screens.size()) session.selector = 0;
    if (session.selector == 0) {
      RunSystemSettingsPage(session);
    } else {
      RunPendingScreen(session);
    }
  }
}

void RunSynthesisModule(ProgramState state) {
  ModuleSession session;
  session.state = state;
  FlushModule(session);
  RunModuleScreens(session);
  FlushModule(session);
  gApp.programState = STATE_MAIN_MENU;
}

}  // namespace

std::span<const ModuleScreen> ModuleScreens(ProgramState state) {
  switch (state) {
    case STATE_VORTA:
      return kVortaScreens;
    case STATE_XFORM:
      return kXformScreens;
    case STATE_SLOOP:
      return kSloopScreens;
    case STATE_XMRPH:
      return kXmrphScreens;
    default:
      return {};
  }
}

void SetNavigationRow(ProgramState state, uint16_t current) {
  const auto screens = ModuleScreens(state);
  for (size_t column = 0; column < screens.size(); ++column) {
    SetButton(static_cast<int>(column), 1, column == current ? "" : screens[column].button);
  }
  SetButton(kMenuColumn, 1, current == 0 ? "iMENU<>" : "");
}

bool FollowNavigation(ProgramState state, uint16_t current, uint8_t code, uint16_t& selector) {
  if (code < 13 || code > 24) return false;
  const int column = ButtonColumn(code);
  const auto screens = ModuleScreens(state);
  if (column == kMenuColumn && current == 0) {
    selector = kLeaveModule;
    return true;
  }
  if (column >= static_cast<int>(screens.size()) || column == current) return false;
  selector = static_cast<uint16_t>(column);
  return true;
}

void RunPendingScreen(ModuleSession& session) {
  const uint16_t current = session.selector;
  const ModuleScreen& screen = ModuleScreens(session.state)[current];
  DrawPageHeader(screen.title, screen.number, true);
  SetNavigationRow(session.state, current);
  while (session.selector == current) {
    const uint8_t code = NextButton();
    if (code != kNoEvent) FollowNavigation(session.state, current, code, session.selector);
  }
}

void RunVortaModule() {
  // The workspace holds large buffers: it lives on the heap from entry to
  // exit, so the module always opens on an empty table.
  auto workspace = std::make_unique<VortaWorkspace>();
  EnterVorta(*workspace);
  ModuleSession session;
  session.state = STATE_VORTA;
  session.vorta = workspace.get();
  RunModuleScreens(session);
  LeaveVorta(*workspace);
  gApp.programState = STATE_MAIN_MENU;
}

void RunXformModule() { RunSynthesisModule(STATE_XFORM); }
void RunSloopModule() { RunSynthesisModule(STATE_SLOOP); }
void RunXmrphModule() { RunSynthesisModule(STATE_XMRPH); }

void RunRecycleBinModule() {
  RunRecycleBinPage();
  gApp.programState = STATE_MAIN_MENU;
}

void RunUtilityModule() {
  uint16_t& selector = gUtilitySelector;
  if (selector > kUserPathsSelector) selector = kParametersSelector;
  bool leave = false;
  while (!leave) {
    const uint16_t next = selector == kParametersSelector ? RunSystemParametersPage() : RunUserPathsPage();
    if (next == kLeaveModule) {
      leave = true;
    } else {
      selector = next;
    }
  }
  gApp.programState = STATE_MAIN_MENU;
}
