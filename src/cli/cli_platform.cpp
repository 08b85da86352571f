// The platform functions the engine reaches from the command-line tool,
// without a display: boxes become lines on standard error, and a process
// that ends after a fatal error ends with a failure status.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/cli_common.h"
#include "platform/message_box.h"
#include "platform/process.h"

namespace {

bool gFatalShown = false;

}  // namespace

void ShowErrorBox(const std::string& caption, const std::string& text, int /*colourMode*/) {
  gFatalShown = true;
  std::fflush(stdout);
  std::fprintf(stderr, "%s: %s: %s\n", kCliName, caption.c_str(), text.c_str());
}

bool AskOkCancel(const std::string& /*caption*/, const std::string& /*text*/) { return false; }

void EndProcess(int result) {
  std::fflush(stdout);
  std::fflush(stderr);
  _exit(gFatalShown && result == 0 ? kExitRejected : result);
}
