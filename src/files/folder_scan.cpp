#include "files/folder_scan.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

#include "core/message_codes.h"
#include "files/file_moves.h"
#include "files/folder_table.h"
#include "files/library_lock.h"
#include "files/library_moves.h"
#include "files/library_paths.h"
#include "files/short_names.h"
#include "files/temporary_files.h"
#include "files/wave_reader.h"

namespace {

bool CanOpenFolder(const std::string& path) {
  DIR* folder = opendir(path.c_str());
  if (!folder) return false;
  closedir(folder);
  return true;
}

std::string Upper(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string WithoutExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

std::string WithWtsExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + ".wts";
}

bool RemoveRegularFile(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  // A file the user marked read-only stays, whoever runs the program.
  if (S_ISREG(info.st_mode) && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return unlink(path.c_str()) == 0;
}

}  // namespace

FolderListing VisitCategoryFiles(AppGlobals& app, int category, const std::function<bool(const ListedFile&)>& visit,
                                 const LibraryFeedback& feedback, const ReadWindow& window) {
  FolderListing listing;
  const LibraryWriteGuard guard(app, feedback);  // listing moves strays out
  if (!guard.held()) {
    listing.busy = true;
    return listing;
  }
  const std::string folder = CategoryFolderPath(app, category);
  if (!CanOpenFolder(folder)) return listing;
  listing.opened = true;

  const std::vector<FolderEntry> entries = ListFolder(folder);
  std::vector<std::string> names;
  for (const FolderEntry& entry : entries) {
    if (entry.isRegularFile && !IsProgramTemporaryName(entry.name)) names.push_back(entry.name);
  }
  ShortNameTable shortNames = BeginShortNames(names);
  const ReadRules rules = ReadRulesOf(app);

  for (const FolderEntry& entry : entries) {
    if (!entry.isRegularFile || IsProgramTemporaryName(entry.name)) continue;  // a write in progress
    if (listing.fileCount >= kMaxListedFiles) break;
    ListedFile file;
    file.name = entry.name;
    if (listing.fileCount < window.first || listing.fileCount > window.last) {
      file.read = false;
      file.category = category;
      file.listed = true;
      file.index = listing.fileCount++;
      file.shortName = NextShortName(shortNames, entry.name);
      if (!visit(file)) break;
      continue;
    }
    file.category = TestSoundFile(entry.fullPath, &file.info, rules);
    if (file.category != category) {
      const bool moved = MoveToCategory(app, file.category, category, entry.name) == 0;
      if (moved || category != kCategoryUnrecognized || file.category == kCategoryUnrecognized) {
        if (!visit(file)) break;
        continue;
      }
      file.movingDenied = true;
      SetInfoText(file.info.remark, kMovingDeniedRemark, kRemarkCapacity);
    }
    file.listed = true;
    file.index = listing.fileCount++;
    file.shortName = NextShortName(shortNames, entry.name);
    if (!visit(file)) break;
  }
  return listing;
}

std::vector<ListedFile> ListCategoryFiles(AppGlobals& app, int category, const LibraryFeedback& feedback) {
  std::vector<ListedFile> files;
  VisitCategoryFiles(app, category, [&](const ListedFile& file) {
    if (file.listed) files.push_back(file);
    return true;
  }, feedback);
  return files;
}

FindResult FindInCategory(AppGlobals& app, int category, const std::string& searchText, bool exact,
                          const LibraryFeedback& feedback) {
  if (!exact) ShowLibraryNote(feedback, kScanningNote);
  const std::string wanted = exact ? searchText : Upper(searchText);
  FindResult result;
  bool damaged = false;
  const FolderListing listing = VisitCategoryFiles(app, category, [&](const ListedFile& file) {
    if (!file.listed) {
      if (exact && file.category == kCategoryUnrecognized && category != kCategoryUnrecognized &&
          file.name == searchText) {
        damaged = true;
      }
      return true;
    }
    const bool match = exact ? file.name == wanted
                             : StartsWith(WithoutExtension(file.shortName), wanted) ||
                                   StartsWith(WithoutExtension(Upper(file.name)), wanted);
    if (!match) return true;
    result.foundIndex = file.index;
    result.foundName = file.name;
    return false;
  }, feedback);
  if (listing.busy) {
    result.code = kMsgAborted;
    return result;
  }
  if (!exact) PauseLibrary(feedback, kSearchPauseMs);
  result.page = result.foundIndex < 0 ? 1 : result.foundIndex / kBrowserPageRows + 1;
  result.code = damaged ? kMsgFileDamagedMoved : result.foundIndex >= 0 ? kMsgNone : kMsgFileNotFound;
  return result;
}

int DeleteLibraryFile(AppGlobals& app, int category, const std::string& selectedName, const ConfirmQuestion& confirm,
                      const LibraryFeedback& feedback) {
  if (selectedName.empty()) return kMsgNoFileSelected;
  if (!confirm || !confirm(kMsgDeleteFiles)) return kMsgAborted;
  if (!IsPlainFileName(selectedName)) return kMsgAccessDenied;
  const LibraryWriteGuard guard(app, feedback);
  if (!guard.held()) return kMsgAborted;
  return RemoveRegularFile(CategoryFilePath(app, category, selectedName)) ? kMsgDone : kMsgAccessDenied;
}

int ClearLibraryFolder(AppGlobals& app, int category, const ConfirmQuestion& confirm,
                       const LibraryFeedback& feedback) {
  std::vector<std::string> names;
  const FolderListing listing = VisitCategoryFiles(app, category, [&](const ListedFile& file) {
    if (file.listed) names.push_back(file.name);
    return true;
  }, feedback);
  if (listing.busy) return kMsgAborted;
  if (names.empty()) return kMsgNoFilesInDirectory;
  if (!confirm || !confirm(kMsgDeleteFiles)) return kMsgAborted;
  const LibraryWriteGuard guard(app, feedback);
  if (!guard.held()) return kMsgAborted;
  bool allGone = true;
  for (const std::string& name : names) {
    if (!RemoveRegularFile(CategoryFilePath(app, category, name))) allGone = false;
  }
  return allGone ? kMsgDone : kMsgSomeFilesNotDeleted;
}

RenameResult RenameLibraryFile(AppGlobals& app, int category, const std::string& selectedName,
                               const NameRequest& enterName, const LibraryFeedback& feedback) {
  RenameResult result;
  if (selectedName.empty()) {
    result.code = kMsgNoFileSelected;
    return result;
  }
  const std::optional<std::string> entered = enterName ? enterName() : std::nullopt;
  if (!entered) {
    result.code = kMsgAborted;
    return result;
  }
  if (entered->empty()) {
    result.code = kMsgEmptyString;
    return result;
  }
  const std::string newName = category == kCategoryWaveGenerator ? WithWtsExtension(*entered) : *entered;
  if (!IsPlainFileName(newName) || !IsPlainFileName(selectedName)) {
    result.code = kMsgAccessDenied;
    return result;
  }
  const LibraryWriteGuard guard(app, feedback);
  if (!guard.held()) {
    result.code = kMsgAborted;
    return result;
  }
  if (newName != selectedName) {
    const std::string folder = CategoryFolderPath(app, category);
    const MoveResult renamed = MoveFileNoReplace(folder + selectedName, folder + newName);
    if (renamed != MoveResult::kMoved) {
      result.code = renamed == MoveResult::kTargetExists ? kMsgFileAlreadyExists : kMsgAccessDenied;
      return result;
    }
  }
  const FindResult found = FindInCategory(app, category, newName, true, feedback);
  if (found.code != kMsgNone || found.foundIndex < 0) {
    result.code = kMsgAccessDenied;
    return result;
  }
  result.code = kMsgDone;
  result.newName = found.foundName;
  result.foundIndex = found.foundIndex;
  result.page = found.page;
  return result;
}
