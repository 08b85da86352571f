#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>

// Every file the program writes goes through here: the content goes to a
// temporary file in the target's folder, is flushed to disk, and only then
// renamed over the target. A full disk or a killed process leaves the old
// file as it was, never a truncated one.

// The mkstemp pattern of a temporary file for path: "." + its name +
// ".XXXXXX" in its folder. Copies across file systems use it too, so that
// every unfinished file of the program looks the same.
std::string TemporaryPathPattern(const std::string& path);

// The writer gets an open stream and returns false when it could not write
// everything; the target is then left untouched. After a failure errno
// tells why (EEXIST when a no-replace write met an existing file).
bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer);

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// As above, but never replaces an existing file: false when the target
// exists (the temporary file is removed).
bool WriteNewFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer);
