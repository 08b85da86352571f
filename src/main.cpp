// Sonic-Loom: the interactive program. It takes no command line; everything
// it needs lies in the folder of the program file.
#include <string>

#include "core/main_loop.h"
#include "platform/message_box.h"

namespace {

// Stands in for the main menu until the screen pages are there: tells where
// the library lives and leaves.
void InterimMainMenu() {
  const std::string text = "The sound library is set up in:\n\n     " + gApp.installDir +
                           "/data\n\nThe screen pages are not part of this build yet.";
  AskOkCancel(gApp.programTitle, text);
  gApp.programState = STATE_EXIT;
}

}  // namespace

int main() {
  StateHandlers handlers;
  handlers.mainMenu = InterimMainMenu;
  return RunMainControlLoop(gApp, handlers);
}
