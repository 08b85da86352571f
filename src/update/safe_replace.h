#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>

// Replacing the program's own files so that the program still starts
// whatever fails: the new content goes to a temporary file in the target's
// folder, is flushed, gets the old file's mode, and is then renamed over the
// target in one step.

// The moments of a replacement at which tests make it fail.
enum class ReplaceStage { kTemporaryWritten, kBeforeRename };

// Returns true to make the replacement fail at that stage.
using ReplaceFault = std::function<bool(ReplaceStage)>;

// Writes bytes over target as above. The mode is the old file's when it
// exists, else fallbackMode. False leaves the target as it was and no
// temporary file behind.
bool ReplaceFileSafely(const std::string& target, std::span<const uint8_t> bytes, uint32_t fallbackMode,
                       const ReplaceFault& fault = {});

// Copies source to target the same way (the previous target is replaced
// only once the copy is complete on disk), with the source's mode.
bool CopyFileSafely(const std::string& source, const std::string& target, const ReplaceFault& fault = {});

// True when a file can be created in the folder (checked by creating one).
bool FolderTakesNewFiles(const std::string& folder);
