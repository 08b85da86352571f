#pragma once
#include <set>
#include <string>
#include <vector>

// Short (8.3) display names, made the Windows way: a name that already fits
// 8.3 with valid characters is its upper-case self; any other name becomes
// the first 6 valid characters of its stem, "~N" and the first 3 of its
// extension, N counted up so that the names are unique within the folder
// listing. They are for showing and searching only: every file operation
// uses the real name.
inline constexpr size_t kMaxShortNameChars = 12;

// The names of one folder listing, assigned in listing order.
struct ShortNameTable {
  std::set<std::string> reserved;  // names of the folder that are their own short name
  std::set<std::string> used;
};

// Starts a table for a folder whose regular files carry these names.
ShortNameTable BeginShortNames(const std::vector<std::string>& folderNames);

// The short name of the next file of the listing.
std::string NextShortName(ShortNameTable& table, const std::string& name);

// True when the name fits 8.3 as it is (upper case aside).
bool FitsShortName(const std::string& name);

// The short name of a file, as its folder listing assigns it.
std::string ShortDisplayName(const std::string& fullPath);
