#include "core/fatal_error.h"

#include <array>
#include <cstdio>

#include "platform/message_box.h"
#include "platform/process.h"

namespace {

void (*gWindowCloser)() = nullptr;

constexpr std::array<const char*, kFatalCodeCount> kCauseTexts = {
    "\nUse of short file names not supported on your system!\n\n\nThis may be caused by the following "
    "registry value:\n\nHKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\FileSystem\\"
    "NtfsDisable8dot3NameCreation = 1",
    "\nSonic-Loom cannot operate on write protected media!\n\n\nPress OK and copy Sonic-Loom to a "
    "folder on your hard disk drive and retry.",
    "\nSonic-Loom needs a minimal screen resolution of %dx%d!\n\nPress OK, change resolution and retry.",
    "\nError allocating memory!",
    "\nError retrieving install path!",
    "\nError registering window class!",
    "\nError creating window thread!",
    "\nThread failure!",
    "\nPlease extract the archive content to a directory before running Sonic-Loom!",
    "Sonic-Loom cannot be started from the backup folder.",
    "Sonic-Loom cannot be started from a network share.",
    "Sonic-Loom was renamed to %s!",
    "Resource loading failed, the executable may be damaged.",
    "Sonic-Loom requires at least 512 MB physical memory.",
};

constexpr const char* kContactNote =
    "If this problem persists, please report it with the text above on the Sonic-Loom project page.";

std::string CauseText(int code, const AppGlobals& app) {
  if (code < 0 || code >= kFatalCodeCount) return "\nUnknown error!";
  char buffer[512];
  if (code == kFatalScreenTooSmall) {
    std::snprintf(buffer, sizeof buffer, kCauseTexts[code], kMinScreenWidth, kMinScreenHeight);
    return buffer;
  }
  if (code == kFatalRenamed) {
    std::snprintf(buffer, sizeof buffer, kCauseTexts[code], app.exeName.c_str());
    return buffer;
  }
  return kCauseTexts[code];
}

}  // namespace

std::string FatalErrorText(int code, const AppGlobals& app) {
  return CauseText(code, app) + "\n\n" + kContactNote + "\n";
}

void SetFatalWindowCloser(void (*closer)()) { gWindowCloser = closer; }

void FatalError(int code) {
  if (gApp.windowExists && gWindowCloser) gWindowCloser();
  const std::string caption = gApp.programTitle.empty() ? kProductName : gApp.programTitle;
  ShowErrorBox(caption, FatalErrorText(code, gApp), gApp.settings.colourMode);
  EndProcess(0);
}
