#pragma once
#include <string>

#include "core/app_globals.h"
#include "files/library_feedback.h"

inline constexpr size_t kMaxMovedPathChars = 258;
inline constexpr int kMaxNumberedName = 999;
inline constexpr int kLibraryBusy = -1;  // a sorting run that gave way to another process

// A file name split for numbering: "Pad (2).wav" is stem "Pad", extension
// ".wav" and number 2 taken off. A name without a dot (or with its only dot
// in front) has no extension; its number goes at the end.
struct NumberedName {
  std::string stem;
  std::string extension;
  int takenOff = 0;  // the " (N)" found before the extension, 0 = none
};

NumberedName SplitNumberedName(const std::string& name);

// stem + " (k)" + extension, or the bare stem + extension for k = 0.
std::string NumberedCandidate(const NumberedName& name, int k);

// Moves the file of that name from the current category's folder into the
// target's. 0 when the file is where it belongs afterwards (or nothing had
// to be done), 1 on failure (the file then stays where it was). A file
// already in the target folder is never replaced: an identical copy there
// makes the moved file redundant, otherwise the first free numbered name
// is taken (the bare name first when the file carried a number, then
// " (1)" to " (999)", skipping the number it carried). movedName, when
// given, receives the file's name in the target folder after a move. A
// file that has a second name (hard link) in the target folder only loses
// its name here. Runs under the library lock (see LibraryWriteGuard).
int MoveToCategory(AppGlobals& app, int target, int current, const std::string& name,
                   std::string* movedName = nullptr);

// Tests every regular file of a folder and moves each into its category
// (in the program folder itself only files with a sound-file extension).
// The program's own temporary files are left alone, and removed when they
// are older than an hour. Returns the number of files handed over
// (kLibraryBusy when another process holds the library and the feedback
// chose not to wait); progress is told the running total after each.
int SortFolder(AppGlobals& app, int category, const LibraryFeedback& feedback = {}, int handledBefore = 0);

// The whole library in boot order: the program folder, "data", then every
// category folder, all under one hold of the library lock. Returns the
// number of files handed over, or kLibraryBusy.
int SortLibrary(AppGlobals& app, const LibraryFeedback& feedback = {});

// The re-test run after the single-cycle rule changed: "UPDATING FILE
// SYSTEM, PLEASE WAIT" while it sorts the library, then 3 ("DONE"); 25
// when the feedback chose not to wait for another process.
int RetestLibrary(AppGlobals& app, const LibraryFeedback& feedback = {});
