#include "ui/display.h"

#include <algorithm>

#include "core/app_globals.h"
#include "core/fatal_error.h"
#include "core/settings.h"
#include "core/startup_checks.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "platform/window.h"
#include "platform/window_link.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/window_icon.h"

DisplayState gDisplayState;

namespace {

int16_t ToPosition(int value) { return static_cast<int16_t>(std::clamp(value, -32768, 32767)); }

void CloseDisplay(bool leaving) {
  if (!gDisplayState.started) return;
  CloseDisplayWindow(leaving);
  gDisplayState.started = false;
  gApp.windowExists = false;
  if (gApp.settings.fullScreen == 0) {
    gApp.settings.windowX = ToPosition(Link().windowX);
    gApp.settings.windowY = ToPosition(Link().windowY);
  }
  WriteSettings(gApp);
}

}  // namespace

void RegisterDisplayClass() {
  gInput.heldKey = kNoKey;
  gApp.programState = STATE_FIRST_START;
}

void StartDisplay() {
  WindowRequest request;
  request.fullScreen = gApp.settings.fullScreen != 0;
  request.windowX = gApp.settings.windowX;
  request.windowY = gApp.settings.windowY;
  request.title = gApp.programTitle;
  request.icon = MakeWindowIcon(gApp.settings.colourMode);
  request.instance = &ProgramInstance();
  Link().applianceMode = gApp.applianceMode;

  DisplayLayout layout;
  switch (OpenDisplayWindow(request, layout)) {
    case WindowOpenResult::ThreadFailed:
      FatalError(kFatalWindowThread);
    case WindowOpenResult::WindowFailed:
      FatalError(kFatalThreadFailure);
    case WindowOpenResult::Ready:
      break;
  }
  gApp.settings.fullScreen = layout.fullScreen ? 1 : 0;
  gDisplayState.layout = layout;
  gDisplayState.started = true;
  gApp.windowExists = true;
  SetFatalWindowCloser(StopDisplay);
  UpdateSaverAllowed();
  gInput.heldKey = kNoKey;
  // Until the colour mode is applied: white pen and white brush.
  SetInk(kWhite);
  SetPaper(kWhite);
  SetPenStyle(0, 0);
}

void StopDisplayForExit() { CloseDisplay(true); }

void StopDisplay() { CloseDisplay(false); }

void SetCloseAllowed(bool allowed) { Link().closeAllowed = allowed; }

void HonourCloseRequest() {
  WindowLink& link = Link();
  if (!link.closeRequested || !gDisplayState.started) return;
  if (!link.closeAllowed) {
    link.closeRequested = false;  // closing was forbidden meanwhile: the request is void
    return;
  }
  StopDisplayForExit();
  EndProcess(0);
}

void UpdateSaverAllowed() {
  Link().saverAllowed = gApp.settings.screenSaverOn != 0 && gDisplayState.layout.fullScreen;
}
