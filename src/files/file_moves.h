#pragma once
#include <string>

// Moving one file without ever replacing another: a no-replace rename on the
// same file system; across file systems (or where the file system has no
// no-replace rename) a copy under a temporary name in the target folder
// that is flushed to disk and compared with the source, then renamed to the
// target's name without replacing, and only then the source is removed. On
// failure the source stays as it was and no partial copy is left behind; a
// process killed meanwhile leaves at most the temporary file.
enum class MoveResult {
  kMoved,
  kTargetExists,  // nothing changed
  kFailed,        // nothing changed
};

MoveResult MoveFileNoReplace(const std::string& from, const std::string& to);

// The same file (device and inode), whatever the paths say.
bool IsSameFile(const std::string& a, const std::string& b);

// Both regular files of equal length and equal bytes.
bool HaveEqualContent(const std::string& a, const std::string& b);
