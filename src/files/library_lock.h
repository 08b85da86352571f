#pragma once
#include <string>

#include "core/app_globals.h"
#include "files/library_feedback.h"

// The lock file in the library root (the program folder) that the program
// and the command-line tool share.
inline constexpr const char* kLibraryLockName = ".sonicloom_library.lock";

std::string LibraryLockPath(const AppGlobals& app);

// One writer at a time per library: every operation that moves, renames or
// deletes library files holds this guard while it runs, so that no two of
// them (in this process or another) ever compare, move or remove files of
// the same library at once. A guard taken while this process already holds
// the library's lock simply nests. When another process holds it, the
// feedback decides whether to wait (see LibraryFeedback::libraryBusy); a
// guard that gave up is not held and the operation must change nothing. A
// library whose lock file cannot be created or opened (a read-only program
// folder) cannot be locked by anyone, so the guard counts as held.
class LibraryWriteGuard {
 public:
  explicit LibraryWriteGuard(const AppGlobals& app, const LibraryFeedback& feedback = {});
  ~LibraryWriteGuard();
  LibraryWriteGuard(const LibraryWriteGuard&) = delete;
  LibraryWriteGuard& operator=(const LibraryWriteGuard&) = delete;

  bool held() const { return held_; }

 private:
  std::string path_;
  bool held_ = false;
  bool counted_ = false;  // registered with the process's held locks
};
