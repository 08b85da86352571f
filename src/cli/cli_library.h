#pragma once
#include <string>

#include "files/file_classification.h"

// How the command-line tool meets the library code: read rules from its
// options, and the checks an input file passes before the reader sees it.

ReadRules CliReadRules(bool noForceLoop);

// 3 when the path is a readable regular file; 23 when it does not exist or
// is no regular file; 11 when it cannot be opened.
int CheckInputFile(const std::string& path);

// The folder as an absolute path without trailing '/', or empty when it is
// not an existing folder.
std::string ExistingFolder(const std::string& path);
