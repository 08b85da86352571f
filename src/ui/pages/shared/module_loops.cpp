#include "ui/pages/shared/module_loops.h"

#include "core/app_globals.h"
#include "ui/pages/recbin/recycle_bin.h"
#include "ui/pages/sloop/sloop_module.h"
#include "ui/pages/sloop/sloop_screens.h"
#include "ui/pages/utility/utility_pages.h"
#include "ui/pages/vorta/vorta_screens.h"
#include "ui/pages/xform/xform_screens.h"
#include "ui/pages/xmrph/xmrph_module.h"
#include "ui/pages/xmrph/xmrph_screens.h"

namespace {

void RunSynthesisModule(ProgramState state) {
  const std::unique_ptr<ModuleSession> session = EnterModule(state);
  RunModuleScreens(*session);
  LeaveModule(*session);
  gApp.programState = STATE_MAIN_MENU;
}

}  // namespace

std::span<const ModuleScreen> ModuleScreens(ProgramState state) {
  switch (state) {
    case STATE_VORTA:
      return VortaScreens();
    case STATE_XFORM:
      return XformScreens();
    case STATE_SLOOP:
      return SloopScreens();
    case STATE_XMRPH:
      return XmrphScreens();
    default:
      return {};
  }
}

std::vector<NavigationButton> NavigationRow(std::span<const ModuleScreen> screens, uint16_t current) {
  std::vector<NavigationButton> row;
  for (size_t column = 0; column < screens.size(); ++column) {
    if (column != current) row.push_back({static_cast<int>(column), screens[column].button, static_cast<uint16_t>(column)});
  }
  if (current == 0) row.push_back({kMenuColumn, "iMENU<>", kLeaveModule});
  return row;
}

void RunModuleScreens(ModuleSession& session) {
  session.selector = 0;
  while (session.selector != kLeaveModule) {
    if (session.selector >= session.screens.size()) session.selector = 0;
    const uint16_t current = session.selector;
    const std::vector<NavigationButton> navigation = NavigationRow(session.screens, current);
    PageRun run;
    run.session = &session;
    run.selector = &session.selector;
    run.navigation = navigation;
    RunPage(*session.screens[current].page, run);
  }
}

std::unique_ptr<ModuleSession> EnterModule(ProgramState state) {
  auto session = std::make_unique<ModuleSession>();
  session->state = state;
  session->screens = ModuleScreens(state);
  switch (state) {
    case STATE_VORTA:
      // The workspaces hold large buffers: they live on the heap from entry
      // to exit.
      session->vorta = std::make_unique<VortaModule>();
      EnterVorta(session->vorta->ram);
      break;
    case STATE_XFORM:
      session->xform = std::make_unique<XformModule>();
      EnterXform(session->xform->ram, gApp.physicalMemory, gApp.processorCount);
      break;
    case STATE_SLOOP:
      session->sloop = std::make_unique<SloopModule>();
      break;
    case STATE_XMRPH:
      session->xmrph = std::make_unique<XmrphModule>();
      EnterXmrphModule(*session->xmrph);
      break;
    default:
      break;
  }
  return session;
}

void LeaveModule(ModuleSession& session) {
  if (session.vorta) LeaveVorta(session.vorta->ram);
  if (session.xform) LeaveXform(session.xform->ram);
  if (session.xmrph) LeaveXmrphModule(*session.xmrph);
  session.vorta.reset();
  session.xform.reset();
  session.sloop.reset();
  session.xmrph.reset();
}

void FlushModule(ModuleSession& session) {
  if (session.vorta) FlushVorta(session.vorta->ram);  // renders the empty table at R = 16
  if (session.xform) FlushXform(session.xform->ram);
  if (session.sloop) FlushSloopModule(*session.sloop);
  if (session.xmrph) FlushXmrphModule(*session.xmrph);
}

void RunVortaModule() { RunSynthesisModule(STATE_VORTA); }
void RunXformModule() { RunSynthesisModule(STATE_XFORM); }
void RunSloopModule() { RunSynthesisModule(STATE_SLOOP); }
void RunXmrphModule() { RunSynthesisModule(STATE_XMRPH); }

void RunRecycleBinModule() {
  RunRecycleBinPage();
  gApp.programState = STATE_MAIN_MENU;
}

void RunUtilityModule() {
  RunUtilityPages();
  gApp.programState = STATE_MAIN_MENU;
}
