// Sonic-Loom: the interactive program. It takes no command line; everything
// it needs lies in the folder of the program file.
#include <string>

#include "core/main_loop.h"
#include "ui/button_bar.h"
#include "ui/display.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"

namespace {

constexpr uint8_t kResizeCode = 9;
constexpr uint8_t kExitCode = 24;

void CreateWindowAndColours() {
  StartDisplay();
  ApplyColourMode();
}

void DrawInterimMenu() {
  DrawPageHeader("MAIN MENU", "0.0.0", true);
  HoldRepaint();
  DrawStatusField(0, 0, "HOST:", gApp.hostName, 20);
  DrawStatusValue(0, 1, "NUMBER OF PROCESSORS:", "%d", static_cast<int32_t>(gApp.processorCount), 3);
  DrawStatusValue(0, 2, "INSTALLED RAM <MB>:", "%u", static_cast<uint32_t>(gApp.physicalMemory >> 20), 7);
  if (gDisplayState.layout.tallScreen) {
    DrawStatusField(1, 1, "SCREEN SIZE:", gDisplayState.layout.fullScreen ? "FULLSCREEN" : "WINDOW", 10);
  }
  DrawText(512, 300, "THE SOUND LIBRARY IS SET UP IN:", 'M');
  DrawText(512, 330, gApp.installDir + "/data", 'M');
  DrawText(512, 390, "THE SCREEN PAGES ARE NOT PART OF THIS BUILD YET.", 'M');
  FlushRegion(0, 100, 1023, 690);
  if (gDisplayState.layout.tallScreen) SetButton(8, 0, "RESIZE");
  SetButton(11, 1, "iEXIT");
}

// Stands in for the main menu until the screen pages are there: shows where
// the library lives and waits for "EXIT" (or "RESIZE").
void InterimMainMenu() {
  gApp.programState = STATE_MAIN_MENU;
  DrawInterimMenu();
  uint8_t code = kNoEvent;
  while (gApp.programState == STATE_MAIN_MENU) {
    if (PollInput(true, false)) TranslateButton(code);
    if (code == kExitCode) gApp.programState = STATE_EXIT;
    if (code == kResizeCode && gDisplayState.layout.tallScreen) gApp.programState = STATE_RESIZE;
    IdleTick(&code);
  }
}

}  // namespace

int main() {
  StateHandlers handlers;
  handlers.registerWindowClass = RegisterDisplayClass;
  handlers.createWindow = CreateWindowAndColours;
  handlers.destroyWindow = StopDisplay;
  handlers.drawScreenFrame = DrawScreenFrame;
  handlers.mainMenu = InterimMainMenu;
  return RunMainControlLoop(gApp, handlers);
}
