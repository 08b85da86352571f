#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_classification.h"

// The import: any recording libsndfile reads becomes a file the library
// reader accepts. Files the reader accepts already are copied byte for
// byte; the others are read block by block, mixed down to stereo when they
// have more channels, brought to 44,100 Hz with libsoxr at very high
// quality, and written as 16-bit PCM (sources of 16 bits or fewer) or
// 32-bit float (deeper or float sources), with their loop (positions scaled
// by the rate ratio) and root note. The source is never changed and no file
// is ever replaced.
//
// An import has two steps so that many files can be converted at once and
// still land in the library in a fixed order: StageImport (safe to run on
// any thread, no shared state) leaves the result under a temporary name in
// a staging folder; PlaceImport gives it its name in its destination.

inline constexpr const char* kImportUnreadable = "UNSUPPORTED AUDIO FORMAT";
inline constexpr const char* kImportNoAudio = "NO AUDIO DATA";
inline constexpr const char* kImportDamaged = "DAMAGED AUDIO DATA";
inline constexpr const char* kImportTooLarge = "FILE IS TOO LARGE";

struct StagedImport {
  std::string source;
  std::string reason;      // the refusal; empty when staged
  int category = 0;        // what the library reader makes of the result
  std::string stagedPath;  // the result under its temporary name
  std::string fileName;    // the name it is to carry: 8 characters and the category's extension
  bool copied = false;     // taken over byte for byte
  std::string conversion;  // "48000 Hz 24-bit -> 44100 Hz float"
  bool Ok() const { return reason.empty(); }
};

StagedImport StageImport(const std::string& source, const std::string& stagingFolder, const ReadRules& rules);

struct PlacedImport {
  std::string path;    // where the file is now
  std::string reason;  // empty when placed
  bool existing = false;  // an identical file was there already
};

// Moves the staged result into the folder (path without trailing '/')
// under its name, or the first free numbered name; an identical file there
// makes the import redundant. The staged file is gone afterwards either way.
PlacedImport PlaceImport(const StagedImport& staged, const std::string& folder);

// Removes the staged result of an import that is not to be placed.
void DiscardStagedImport(const StagedImport& staged);

// The library's 8-character name rule: the stem of the file name, upper
// case, at most 8 characters of the name keypad (0-9 A-Z and
// !#$%&'()-@_`{}^), others as '_'.
std::string LibraryFileStem(std::string_view fileName);

// Files named for an import: files as they are, folders by the regular
// files in them (one level, sorted by name).
std::vector<std::string> ExpandImportPaths(std::span<const std::string> paths);
