#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_library.h"
#include "core/app_globals.h"
#include "core/message_codes.h"
#include "core/settings.h"
#include "core/message_texts.h"
#include "files/folder_table.h"
#include "files/library_lock.h"
#include "files/library_moves.h"
#include "files/library_paths.h"

namespace {

constexpr const char* kSortHelp =
    "Usage: sonic-loom-cli sort [--no-force-loop] [--no-wait] DIR\n"
    "\n"
    "Sorts the sound library under DIR as the program does when it starts:\n"
    "sound files lying in DIR itself, in DIR/data and in every category folder\n"
    "are tested and moved into the folder of their category (under a numbered\n"
    "name when theirs is taken). Missing category folders are created. The\n"
    "user-defined folders of DIR/system/sonicloom_system.dat are honoured, and\n"
    "so is its FORCE LOOP setting unless --no-force-loop is given.\n"
    "Each move is printed as 'OLD -> NEW'; a refused move is reported on\n"
    "standard error and the exit status is then 1.\n"
    "\n"
    "Only one sort (of this tool or of the program) changes a library at a\n"
    "time: while another one runs, sort waits for it and says so on standard\n"
    "error; with --no-wait it moves nothing and exits with status 1.\n";

constexpr std::array<OptionRule, 2> kSortOptions = {{{"--no-force-loop", false}, {"--no-wait", false}}};


// Paths inside the library are shown relative to DIR.
std::string ShownPath(const AppGlobals& app, const std::string& path) {
  const std::string root = app.installDir + "/";
  return path.compare(0, root.size(), root) == 0 ? path.substr(root.size()) : path;
}

}  // namespace

int RunSort(std::span<const std::string> args) {
  ParsedArgs parsed;
  const std::string complaint = ParseArgs(args, kSortOptions, parsed);
  if (!complaint.empty()) return UsageError("sort", complaint);
  if (parsed.help) {
    std::fputs(kSortHelp, stdout);
    return kExitOk;
  }
  if (parsed.operands.size() != 1) return UsageError("sort", "give exactly one DIR");
  const std::string root = ExistingFolder(parsed.operands[0]);
  if (root.empty()) {
    ReportRejectedCode(parsed.operands[0], kMsgFileNotFound);
    return kExitRejected;
  }

  AppGlobals& app = gApp;
  app.installDir = root;
  const bool wait = !parsed.Has("--no-wait");
  LibraryFeedback feedback;
  feedback.libraryBusy = [&]() {
    if (wait) {
      ReportRejected(parsed.operands[0],
                     std::string(MessageText(kMsgUpdatingFileSystem)) + " <ANOTHER PROCESS HOLDS THE LIBRARY>");
    } else {
      ReportRejected(parsed.operands[0], "another process is changing the library; nothing was moved (--no-wait)");
    }
    return wait;
  };
  // The settings are read under the lock: a sort that waited sees the
  // folders as the other one left them.
  const LibraryWriteGuard guard(app, feedback);
  if (!guard.held()) return kExitRejected;
  ReadLibrarySettings(app);
  if (parsed.Has("--no-force-loop")) app.settings.noForceLoop = 1;

  int exitCode = kExitOk;
  feedback.sorted = [&](const SortedFile& file) {
    const std::string from = ShownPath(app, CategoryFilePath(app, file.from, file.name));
    if (file.failed) {
      std::fflush(stdout);
      ReportRejectedCode(from, kMsgAccessDenied);
      exitCode = kExitRejected;
      return;
    }
    if (file.newName.empty()) return;  // already where it belongs
    const std::string to = ShownPath(app, CategoryFilePath(app, file.to, file.newName));
    std::printf("%s -> %s\n", from.c_str(), to.c_str());
  };
  SortLibrary(app, feedback);
  std::fflush(stdout);
  return exitCode;
}
