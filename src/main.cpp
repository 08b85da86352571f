// Sonic-Loom: the interactive program. Everything it needs lies in the
// folder of the program file; files named on the command line (as the
// desktop's "Open with" passes them) are imported into the library.
#include <filesystem>
#include <string>
#include <vector>

#include "audio/playback_devices.h"
#include "core/main_loop.h"
#include "dsp/fft_tables.h"
#include "files/library_paths.h"
#include "formats/table_format_readers.h"
#include "platform/process.h"
#include "ui/display.h"
#include "ui/drop_import.h"
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

// What the layers above the core take from the start-up checks and the
// settings: the engine reads no gApp of its own.
void TakeStartupFacts() {
  ForgetUnusableUserRoots(gApp);
  SetFftProcessorCount(gApp.processorCount);
}

}  // namespace

int main(int argc, char** argv) {
  RegisterTableFormatReaders();
  std::vector<std::string> launchFiles;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(argv[i], error);
    launchFiles.push_back(error ? std::string(argv[i]) : path.string());
  }
  QueueLaunchImports(launchFiles);
  StateHandlers handlers;
  handlers.startupDone = TakeStartupFacts;
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
