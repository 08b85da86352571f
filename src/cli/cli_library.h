#pragma once
#include <string>

#include "core/app_globals.h"
#include "files/file_classification.h"

// How the command-line tool meets the library code: read rules from its
// options, and the checks an input file passes before the reader sees it.

ReadRules CliReadRules(bool noForceLoop);

// 3 when the path is a readable regular file; 23 when it does not exist or
// is no regular file; 11 when it cannot be opened.
int CheckInputFile(const std::string& path);

// Why an input cannot be read, in the program's words: "FILE NOT FOUND",
// "ACCESS DENIED", or "NOT A REGULAR FILE" with what it is instead
// (<DIRECTORY>, <FIFO>, <DEVICE>, <SOCKET>, <SYMBOLIC LINK LOOP>). Empty
// for a readable regular file. Nothing is opened, so a FIFO never blocks.
std::string InputRefusal(const std::string& path);

// A WAV file of the given category whose data is shorter than its header
// says gets a warning on standard error with the frames present and
// announced; its classification stays as it is.
void WarnIfDataCutShort(const std::string& path, int category);

// The folder as an absolute path without trailing '/', or empty when it is
// not an existing folder.
std::string ExistingFolder(const std::string& path);

// The settings and user folder roots the program itself would start with,
// read only: a missing settings file is not created.
void ReadLibrarySettings(AppGlobals& app);
