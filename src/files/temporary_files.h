#pragma once
#include <ctime>
#include <string>

// The program's own temporary files in library folders: a write or a copy
// across file systems goes to "." + the file's name + "." + six letters or
// digits in the target folder and is renamed when complete. Sorting leaves
// such files alone while they may still be in use and removes them once
// they are older than an hour (left behind by a killed write).
inline constexpr std::time_t kStaleTemporarySeconds = 3600;

// The name of such a file, for a name with a sound-file extension.
bool IsProgramTemporaryName(const std::string& name);

// A regular file (not a link) last changed more than an hour before now.
bool IsStaleFile(const std::string& path, std::time_t now);
