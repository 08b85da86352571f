#include "files/category_root_move.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "core/message_codes.h"
#include "files/file_moves.h"
#include "files/folder_table.h"
#include "files/library_lock.h"
#include "files/library_paths.h"

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Entry names of a folder in listing order; false when it cannot be read.
bool ReadEntryNames(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  DIR* handle = opendir(folder.c_str());
  if (!handle) return false;
  closedir(handle);
  for (const FolderEntry& entry : ListFolder(folder)) names.push_back(entry.name);
  return true;
}

// Pass 1: empty sub-folders go, anything else that would stop the move is
// found before a single file has moved.
int CheckEntries(const std::string& oldFolder, const std::string& newFolder, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    const std::string path = oldFolder + name;
    if (IsDirectory(path) && rmdir(path.c_str()) != 0) return kMsgSourceNotEmpty;
    if (newFolder.size() + name.size() >= kMaxFolderMovePathChars) return kMsgPathTooLong;
  }
  return kMsgDone;
}

// Pass 2, with the roll-back of everything moved so far on the first failure.
int MoveEntries(const std::string& oldFolder, const std::string& newFolder, const std::vector<std::string>& names) {
  std::vector<std::string> moved;
  for (const std::string& name : names) {
    if (!fs::exists(fs::symlink_status(oldFolder + name))) continue;  // an empty folder removed in pass 1
    if (MoveFileNoReplace(oldFolder + name, newFolder + name) != MoveResult::kMoved) {
      for (auto it = moved.rbegin(); it != moved.rend(); ++it) MoveFileNoReplace(newFolder + *it, oldFolder + *it);
      return kMsgConflictingNames;
    }
    moved.push_back(name);
  }
  return kMsgDone;
}

int MoveFolderContent(AppGlobals& app, const std::string& currentRoot, const std::string& newRoot, int category) {
  const std::string folderName = kFolderTable[category].folderName;
  const std::string oldFolder = WithSlash(currentRoot) + folderName + "/";
  const std::string newFolder = WithSlash(newRoot) + folderName + "/";
  if (oldFolder == newFolder || IsSameFile(oldFolder, newFolder)) return kMsgAborted;

  const bool newExisted = IsDirectory(newFolder);
  std::error_code error;
  fs::create_directories(newFolder, error);
  if (!IsDirectory(newFolder) || access(newFolder.c_str(), W_OK | X_OK) != 0) return kMsgErrorMovingDirectory;
  auto dropNewFolder = [&] {
    if (!newExisted) rmdir(newFolder.c_str());
  };

  struct stat oldInfo;
  if (lstat(oldFolder.c_str(), &oldInfo) != 0 && errno == ENOENT) {
    // Nothing was ever stored there: the new folder simply takes over.
    app.folderUserPath[category].clear();
    return kMsgDone;
  }
  std::vector<std::string> names;
  if (!ReadEntryNames(oldFolder, names)) {
    dropNewFolder();
    return kMsgErrorMovingDirectory;
  }
  int result = CheckEntries(oldFolder, newFolder, names);
  if (result == kMsgDone) result = MoveEntries(oldFolder, newFolder, names);
  if (result != kMsgDone) {
    dropNewFolder();
    return result;
  }
  rmdir(oldFolder.c_str());
  app.folderUserPath[category].clear();
  return kMsgDone;
}

// A path inside another, compared by whole folder names.
bool IsInsideFolder(const std::string& path, const std::string& folder) {
  const std::string inner = WithSlash(path);
  const std::string outer = WithSlash(folder);
  return inner.compare(0, outer.size(), outer) == 0;
}

std::string Canonical(const std::string& path) {
  std::error_code error;
  const fs::path canonical = fs::weakly_canonical(path, error);
  return error ? path : canonical.string();
}

bool ContainsCategoryFolderName(const std::string& path) {
  for (int category = 0; category < kCategoryCount; ++category) {
    if (IsCategoryInUse(category) && path.find(kFolderTable[category].folderName) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

std::string CurrentCategoryRoot(const AppGlobals& app, int category) {
  if (category >= 0 && category < kCategoryCount && !app.folderUserPath[category].empty()) {
    return WithSlash(app.folderUserPath[category]);
  }
  return app.installDir + "/" + kDataFolder + "/";
}

int MoveCategoryRoot(AppGlobals& app, const std::string& currentRoot, const std::string& newRoot, int category,
                     const LibraryFeedback& feedback) {
  if (!IsCategoryInUse(category)) return kMsgErrorMovingDirectory;
  ShowLibraryMessage(feedback, kMsgUpdatingFileSystem);
  const LibraryWriteGuard guard(app, feedback);
  if (!guard.held()) return kMsgAborted;
  RefuseClosing(feedback, true);
  const int result = MoveFolderContent(app, currentRoot, newRoot, category);
  PauseLibrary(feedback, kFolderMovePauseMs);
  RefuseClosing(feedback, false);
  return result;
}

std::string MoveFolderDialogTitle(int category) {
  const std::string name = IsCategoryInUse(category) ? kFolderTable[category].folderName : "";
  return "Move folder \"" + name + "\" and all contained files to the following location:";
}

int SetCategoryUserRoot(AppGlobals& app, int category, const FolderChooser& choose, const LibraryFeedback& feedback) {
  if (!IsCategoryInUse(category) || !choose) return kMsgAborted;
  const std::string current = CurrentCategoryRoot(app, category);
  const std::optional<std::string> picked = choose(MoveFolderDialogTitle(category), current);
  if (!picked || picked->empty()) return kMsgAborted;
  std::error_code error;
  const std::string chosen = WithSlash(fs::absolute(*picked, error).lexically_normal().string());
  const std::string folderName = kFolderTable[category].folderName;
  if (chosen.size() + folderName.size() + 2 >= kMaxUserRootChars) return kMsgPathTooLong;
  if (chosen == current || WithSlash(Canonical(chosen)) == WithSlash(Canonical(current))) return kMsgAborted;
  if (IsInsideFolder(chosen, app.installDir) || IsInsideFolder(Canonical(chosen), Canonical(app.installDir))) {
    return kMsgInstallPathNotUserPath;
  }
  if (ContainsCategoryFolderName(chosen)) return kMsgCascadingDirectories;
  const int result = MoveCategoryRoot(app, current, chosen, category, feedback);
  if (result == kMsgDone) app.folderUserPath[category] = chosen;
  return result;
}

int ResetCategoryUserRoot(AppGlobals& app, int category, const ConfirmQuestion& confirm,
                          const LibraryFeedback& feedback) {
  if (category < 0 || category >= kCategoryCount || app.folderUserPath[category].empty()) return kMsgNothingToReset;
  if (!confirm || !confirm(kMsgResetToDefault)) return kMsgAborted;
  const std::string defaultRoot = app.installDir + "/" + kDataFolder + "/";
  return MoveCategoryRoot(app, app.folderUserPath[category], defaultRoot, category, feedback);
}
