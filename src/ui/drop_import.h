#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Files dropped onto the window (or named on the command line) go into the
// library through the import: off the main thread, with the progress bar
// on the message line, and a message with the count imported and refused.

struct DropImportCounts {
  int imported = 0;
  int refused = 0;
  std::string firstRefusal;  // the reason of the first refused file
};

// Imports the paths (folders stand for the files in them) into their
// category folders and reports on the message line.
DropImportCounts ImportDroppedFiles(const std::vector<std::string>& paths);

// The idle step of every page calls this: imports what was dropped since,
// once the boot sequence is over. True when anything was imported or
// refused (the page's listing may have changed).
bool ImportPendingDrops();

// Files named when the program was started, imported like a drop.
void QueueLaunchImports(const std::vector<std::string>& paths);

// Counts finished drop imports; a page that lists a library folder lists it
// again when the count changed.
uint64_t LibraryImportSerial();

// The message line's text for the counts: "2 FILES IMPORTED, 1 REFUSED".
std::string DropImportMessage(const DropImportCounts& counts);
