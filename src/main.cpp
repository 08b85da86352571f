// Sonic-Loom: the interactive program. It takes no command line; everything
// it needs lies in the folder of the program file.
#include "audio/playback_devices.h"
#include "core/main_loop.h"
#include "platform/process.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/page_frame.h"
#include "ui/pages/menu/credits_boot.h"
#include "ui/pages/menu/main_menu.h"
#include "ui/pages/shared/module_loops.h"

namespace {

void CreateWindowAndColours() {
  StartDisplay();
  ApplyColourMode();
}

}  // namespace

int main() {
  StateHandlers handlers;
  handlers.registerWindowClass = RegisterDisplayClass;
  handlers.createWindow = CreateWindowAndColours;
  handlers.destroyWindow = StopDisplay;
  handlers.leaveWindow = StopDisplayForExit;
  handlers.drawScreenFrame = DrawScreenFrame;
  handlers.mainMenu = RunMainMenu;
  handlers.credits = ShowCredits;
  handlers.bootSequence = RunBootSequence;
  handlers.modules[STATE_VORTA] = RunVortaModule;
  handlers.modules[STATE_XFORM] = RunXformModule;
  handlers.modules[STATE_SLOOP] = RunSloopModule;
  handlers.modules[STATE_XMRPH] = RunXmrphModule;
  handlers.modules[STATE_RECBIN] = RunRecycleBinModule;
  handlers.modules[STATE_UTILITY] = RunUtilityModule;
  handlers.releasePlayback = ReleasePlayback;
  // The settings are written; what the display and sound systems still
  // tidy up on other threads ends with the process, at once.
  EndProcess(RunMainControlLoop(gApp, handlers));
}
