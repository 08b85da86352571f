#pragma once
#include <string>

// Renaming that never replaces an existing file: renameat2 with
// RENAME_NOREPLACE where the file system knows it, otherwise link + unlink.
// Both the atomic file writer and the library moves rely on it, so that no
// file of the user is ever overwritten by a rename.
enum class RenameOutcome {
  kRenamed,
  kTargetExists,   // nothing changed
  kCrossDevice,    // source and target lie on different file systems
  kNoHardLinks,    // the file system offers neither renameat2 nor hard links
  kFailed,         // any other refusal (access, missing source, ...)
};

RenameOutcome RenameNoReplace(const std::string& from, const std::string& to);
