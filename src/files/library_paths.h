#pragma once
#include <string>
#include <vector>

#include "core/app_globals.h"

inline constexpr const char* kDataFolder = "data";
inline constexpr const char* kSystemFolderName = "system";
inline constexpr const char* kUpdateFolderName = "update";
inline constexpr const char* kBackupFolderName = "backup";
inline constexpr size_t kMaxUserRootChars = 260;  // root + folder name + 2 must stay below

// installDir/first/second/file, creating each missing folder level. Empty
// first and second give installDir/ + file.
std::string InstallPath(const AppGlobals& app, const std::string& first, const std::string& second,
                        const std::string& fileName);

// The category's folder with a trailing '/': the user root when one is set
// and its category folder still exists (otherwise the root is forgotten for
// good), else installDir/data/<folder name>/, created when missing.
// -2 gives installDir/, -1 gives installDir/data/.
std::string CategoryFolderPath(AppGlobals& app, int category);

// Category folder path + file name.
std::string CategoryFilePath(AppGlobals& app, int category, const std::string& fileName);

// A name that stays inside its folder: not empty, not "." or "..", no '/'
// and no NUL.
bool IsPlainFileName(const std::string& name);

// The path builder: first folder "data" with a category folder name gives
// that category's folder; any other first folder is a folder of the install
// layout.
std::string BuildPath(AppGlobals& app, const std::string& first, const std::string& second,
                      const std::string& fileName);

struct FolderEntry {
  std::string name;
  std::string fullPath;
  bool isRegularFile = false;
};

// The entries of a category folder (or -2, -1), sorted by name without
// regard to case so that pages and boot order are stable.
std::vector<FolderEntry> ListCategoryFolder(AppGlobals& app, int category);
std::vector<FolderEntry> ListFolder(const std::string& folderPath);

// True when a stored user root can be used for the category: an absolute
// folder path ending in '/', short enough that root + folder name + 2 stays
// below 260 characters.
bool IsUsableUserRoot(const std::string& root, int category);

// Clears every stored user root that IsUsableUserRoot refuses (run after the
// settings are read).
void ForgetUnusableUserRoots(AppGlobals& app);
