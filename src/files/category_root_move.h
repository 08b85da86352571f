#pragma once
#include <functional>
#include <optional>
#include <string>

#include "core/app_globals.h"
#include "files/folder_scan.h"
#include "files/library_feedback.h"

inline constexpr size_t kMaxFolderMovePathChars = 259;  // new folder + "/" + entry name stays below
inline constexpr int kFolderMovePauseMs = 500;

// The root a category's folder lies in now: its user root, or the default
// root installDir/data/. Always ends in "/".
std::string CurrentCategoryRoot(const AppGlobals& app, int category);

// Moves every file of the category's folder from the current root to the
// new root. Pass 1 checks: an empty sub-folder is removed, any other gives
// 56; a path of 259 characters or more gives 37; nothing is moved then.
// Pass 2 moves the files without replacing any; the first failure gives 57
// and every file already moved goes back. On success the old folder is
// removed, the category's user root cleared (the caller stores the new one)
// and the result is 3. 18 when a folder cannot be made or opened.
int MoveCategoryRoot(AppGlobals& app, const std::string& currentRoot, const std::string& newRoot, int category,
                     const LibraryFeedback& feedback = {});

// The folder-browse dialog: given its title and the folder to start in, the
// chosen folder, or nullopt when the user chose nothing.
using FolderChooser = std::function<std::optional<std::string>(const std::string& title, const std::string& start)>;

// The title of that dialog for a category.
std::string MoveFolderDialogTitle(int category);

// "fSET<>": 25 nothing chosen or the current root chosen, 37 path too long,
// 48 inside the program folder, 55 a path through a category folder;
// otherwise the files move (codes of MoveCategoryRoot) and on success the
// chosen folder becomes the category's user root.
int SetCategoryUserRoot(AppGlobals& app, int category, const FolderChooser& choose,
                        const LibraryFeedback& feedback = {});

// "fRESET<>": 40 without a user root, 25 when not confirmed ("RESET TO
// DEFAULT?"); otherwise the files move back below installDir/data/ and the
// user root is cleared on success.
int ResetCategoryUserRoot(AppGlobals& app, int category, const ConfirmQuestion& confirm,
                          const LibraryFeedback& feedback = {});
