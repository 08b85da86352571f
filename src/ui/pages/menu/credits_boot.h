#pragma once
#include <string>

// The first start: the credits box, then the boot report while the library
// sorts itself.
void ShowCredits();
void RunBootSequence();

// The boot report's row of a category folder: its file count, or -1 when
// the folder cannot be read.
long CountFolderFiles(const std::string& folder);
