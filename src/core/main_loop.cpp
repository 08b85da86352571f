#include "core/main_loop.h"

#include "core/settings.h"
#include "core/startup_checks.h"
#include "platform/process.h"

namespace {

void Call(void (*handler)()) {
  if (handler) handler();
}

// Without a display window there is no window procedure to save the
// settings, so the loop writes them itself.
void CloseWindow(AppGlobals& app, const StateHandlers& handlers, bool leaving) {
  if (leaving && handlers.leaveWindow) {
    handlers.leaveWindow();
  } else if (handlers.destroyWindow) {
    handlers.destroyWindow();
  } else {
    WriteSettings(app);
  }
}

void RunMainMenu(AppGlobals& app, const StateHandlers& handlers) {
  if (handlers.mainMenu) {
    handlers.mainMenu();
  } else {
    app.programState = STATE_EXIT;
  }
}

void RunState(AppGlobals& app, const StateHandlers& handlers) {
  const ProgramState state = app.programState;
  switch (state) {
    case STATE_RESIZE:
      Call(handlers.drawScreenFrame);
      RunMainMenu(app, handlers);
      return;
    case STATE_MAIN_MENU:
      RunMainMenu(app, handlers);
      return;
    case STATE_FIRST_START:
      Call(handlers.credits);
      Call(handlers.bootSequence);
      Call(handlers.drawScreenFrame);
      RunMainMenu(app, handlers);
      return;
    default:
      if (state >= STATE_VORTA && state <= STATE_UTILITY && handlers.modules[state]) {
        handlers.modules[state]();
      } else {
        app.programState = STATE_MAIN_MENU;
      }
      return;
  }
}

}  // namespace

ProgramState RunStateMachine(AppGlobals& app, const StateHandlers& handlers) {
  while (app.programState >= STATE_RESIZE) {
    const ProgramState entered = app.programState;
    if (entered == STATE_RESIZE) app.settings.fullScreen = static_cast<uint16_t>((app.settings.fullScreen + 1) & 1);
    if (entered == STATE_RESIZE || entered == STATE_FIRST_START) Call(handlers.createWindow);
    RunState(app, handlers);
    const ProgramState next = app.programState;
    if (next >= STATE_MAIN_MENU) continue;
    if (next == STATE_RESIZE) {
      CloseWindow(app, handlers, false);
      continue;
    }
    Call(handlers.releasePlayback);
    CloseWindow(app, handlers, true);
  }
  return app.programState;
}

void ActOnFinalState(const AppGlobals& app, ProgramState finalState) {
  switch (finalState) {
    case STATE_REBOOT:
      RunPowerCommand(PowerCommand::Reboot);
      break;
    case STATE_OFF:
      RunPowerCommand(PowerCommand::PowerOff);
      break;
    case STATE_RESTART:
      RestartProgram(app.installDir + "/" + app.exeName);
      break;
    default:
      break;
  }
}

int RunMainControlLoop(AppGlobals& app, const StateHandlers& handlers) {
  RunStartupChecks(app);
  ReadSettings(app);
  Call(handlers.startupDone);
  Call(handlers.registerWindowClass);
  app.programState = STATE_FIRST_START;
  ActOnFinalState(app, RunStateMachine(app, handlers));
  return 0;
}
