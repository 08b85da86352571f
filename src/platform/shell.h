#pragma once
#include <optional>
#include <string>

// The desktop's shell services that the library pages use.

// The folder-browse dialog (folders only, no "new folder" button) with the
// given title, starting in the given folder. The chosen folder, or nullopt
// when the user chose nothing (or no dialog could be shown).
std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& startFolder);

// Opens the folder in the desktop's file manager, detached from the
// program. False when no opener could be started or it failed at once.
bool ExploreFolder(const std::string& folder);

// Minimises the program window (after handing the screen to the file
// manager).
void MinimiseDisplayWindow();
