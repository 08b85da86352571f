#include "files/library_moves.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <ctime>

#include "core/message_codes.h"
#include "files/file_moves.h"
#include "files/folder_table.h"
#include "files/library_lock.h"
#include "files/library_paths.h"
#include "files/temporary_files.h"
#include "files/wave_reader.h"

namespace {

constexpr int kMoveDone = 0;
constexpr int kMoveFailed = 1;

// " (N)" at the end of the stem, N of 1 to 3 digits worth 1 to 999.
int TrailingNumber(const std::string& stem, size_t& suffixStart) {
  if (stem.size() < 4 || stem.back() != ')') return 0;
  const size_t open = stem.rfind('(');
  if (open == std::string::npos || open == 0 || stem[open - 1] != ' ') return 0;
  const std::string digits = stem.substr(open + 1, stem.size() - open - 2);
  if (digits.empty() || digits.size() > 3) return 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
  }
  const int value = std::stoi(digits);
  if (value < 1 || value > kMaxNumberedName) return 0;
  suffixStart = open - 1;
  return value;
}

// What to do when a move met an existing file: the same file or an
// identical copy settles it (the redundant source goes), anything else
// needs another name.
enum class ExistingFile { kSettled, kFailed, kDifferent };

// Two directory entries of one regular file (hard links, no symbolic link
// on either side): dropping the source's name leaves the file, under the
// other name, where it belongs.
bool AreHardLinks(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (lstat(a.c_str(), &sa) != 0 || lstat(b.c_str(), &sb) != 0) return false;
  if (!S_ISREG(sa.st_mode) || !S_ISREG(sb.st_mode) || sa.st_nlink < 2) return false;
  if (sa.st_dev != sb.st_dev || sa.st_ino != sb.st_ino) return false;
  // The one entry reached through two folder paths is no second name.
  const size_t slashA = a.rfind('/');
  const size_t slashB = b.rfind('/');
  if (a.substr(slashA + 1) != b.substr(slashB + 1)) return true;
  return !IsSameFile(a.substr(0, slashA + 1), b.substr(0, slashB + 1));
}

// Runs while the library lock is held, so the copy compared here is still
// there, unchanged, when the source goes: no other sort can be removing it
// as redundant in turn.
ExistingFile CompareWithExisting(const std::string& source, const std::string& existing) {
  if (IsSameFile(source, existing)) {
    if (!AreHardLinks(source, existing)) return ExistingFile::kSettled;  // never delete the only copy
    return unlink(source.c_str()) == 0 ? ExistingFile::kSettled : ExistingFile::kFailed;
  }
  if (!HaveEqualContent(source, existing)) return ExistingFile::kDifferent;
  return unlink(source.c_str()) == 0 ? ExistingFile::kSettled : ExistingFile::kFailed;
}

int ResultOf(ExistingFile existing) { return existing == ExistingFile::kSettled ? kMoveDone : kMoveFailed; }

}  // namespace

NumberedName SplitNumberedName(const std::string& name) {
  NumberedName split;
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) {
    split.stem = name;
  } else {
    split.stem = name.substr(0, dot);
    split.extension = name.substr(dot);
  }
  size_t suffixStart = 0;
  split.takenOff = TrailingNumber(split.stem, suffixStart);
  if (split.takenOff > 0) split.stem.resize(suffixStart);
  return split;
}

std::string NumberedCandidate(const NumberedName& name, int k) {
  if (k == 0) return name.stem + name.extension;
  return name.stem + " (" + std::to_string(k) + ")" + name.extension;
}

int MoveToCategory(AppGlobals& app, int target, int current, const std::string& name, std::string* movedName) {
  if (target == current || target < 0) return kMoveDone;
  const LibraryWriteGuard guard(app);
  if (!guard.held()) return kMoveFailed;
  const auto settledAs = [movedName](const std::string& finalName) {
    if (movedName) *movedName = finalName;
  };
  const std::string source = CategoryFilePath(app, current, name);
  const std::string targetFolder = CategoryFolderPath(app, target);
  const std::string destination = targetFolder + name;
  const MoveResult first = MoveFileNoReplace(source, destination);
  if (first == MoveResult::kMoved) {
    settledAs(name);
    return kMoveDone;
  }
  if (source.size() > kMaxMovedPathChars || destination.size() > kMaxMovedPathChars) return kMoveFailed;
  if (first == MoveResult::kFailed) return kMoveFailed;

  ExistingFile existing = CompareWithExisting(source, destination);
  if (existing == ExistingFile::kSettled) settledAs(name);
  if (existing != ExistingFile::kDifferent) return ResultOf(existing);

  const NumberedName split = SplitNumberedName(name);
  for (int k = split.takenOff > 0 ? 0 : 1; k <= kMaxNumberedName; ++k) {
    if (k == split.takenOff) continue;
    const std::string candidateName = NumberedCandidate(split, k);
    const std::string candidate = targetFolder + candidateName;
    const MoveResult moved = MoveFileNoReplace(source, candidate);
    if (moved == MoveResult::kMoved) {
      settledAs(candidateName);
      return kMoveDone;
    }
    if (candidate.size() > kMaxMovedPathChars || moved == MoveResult::kFailed) return kMoveFailed;
    existing = CompareWithExisting(source, candidate);
    if (existing == ExistingFile::kSettled) settledAs(candidateName);
    if (existing != ExistingFile::kDifferent) return ResultOf(existing);
  }
  return kMoveFailed;  // every name taken: the file stays where it is
}

int SortFolder(AppGlobals& app, int category, const LibraryFeedback& feedback, int handledBefore) {
  const LibraryWriteGuard guard(app, feedback);
  if (!guard.held()) return kLibraryBusy;
  const ReadRules rules = ReadRulesOf(app);
  const std::time_t now = std::time(nullptr);
  int handled = 0;
  for (const FolderEntry& entry : ListCategoryFolder(app, category)) {
    if (!entry.isRegularFile) continue;
    if (IsProgramTemporaryName(entry.name)) {
      // A write may still be filling it; one left by a killed write goes.
      if (IsStaleFile(entry.fullPath, now)) unlink(entry.fullPath.c_str());
      continue;
    }
    if (category == kCategoryInstallDir && CategoryByExtension(entry.name) == kCategoryUnrecognized) continue;
    const int found = TestSoundFile(entry.fullPath, nullptr, rules);
    SortedFile report{category, found, entry.name, {}, false};
    report.failed = MoveToCategory(app, found, category, entry.name, &report.newName) != kMoveDone;
    ReportSortedFile(feedback, report);
    ++handled;
    ReportLibraryProgress(feedback, handledBefore + handled);
  }
  return handled;
}

int SortLibrary(AppGlobals& app, const LibraryFeedback& feedback) {
  const LibraryWriteGuard guard(app, feedback);
  if (!guard.held()) return kLibraryBusy;
  int handled = SortFolder(app, kCategoryInstallDir, feedback, 0);
  handled += SortFolder(app, kCategoryDataRoot, feedback, handled);
  for (int category = 0; category < kCategoryCount; ++category) {
    if (IsCategoryInUse(category)) handled += SortFolder(app, category, feedback, handled);
  }
  return handled;
}

int RetestLibrary(AppGlobals& app, const LibraryFeedback& feedback) {
  ShowLibraryMessage(feedback, kMsgUpdatingFileSystem);
  const LibraryWriteGuard guard(app, feedback);
  if (!guard.held()) return kMsgAborted;
  SortLibrary(app, feedback);
  return kMsgDone;
}
