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

// The writer gets an open stream and returns false when it could not write
// everything; the target is then left untouched.
bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer);

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// As above, but never replaces an existing file: false when the target
// exists (the temporary file is removed).
bool WriteNewFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer);
