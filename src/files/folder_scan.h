#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "files/library_feedback.h"
#include "files/sound_file_records.h"

inline constexpr int kMaxListedFiles = 16383;
inline constexpr int kBrowserPageRows = 16;
inline constexpr const char* kMovingDeniedRemark = "FILE IS VALID, BUT MOVING DENIED";
inline constexpr const char* kScanningNote = "SCANNING FOR MATCHES...";
inline constexpr int kSearchPauseMs = 250;

// One regular file met while a category folder is listed.
struct ListedFile {
  bool listed = false;   // it belongs here (or is a recycle-bin file that could not be moved)
  int index = -1;        // position in the listing when listed
  std::string name;      // the real name: every file operation uses it
  std::string shortName; // for showing and searching only (listed files)
  int category = 0;      // what the reader says it is
  FileInfo info;
  bool movingDenied = false;
  bool read = true;  // false: counted by its name only (outside the read window)
};

// The listing positions whose files are read; files at other positions are
// counted as belonging to the folder without being opened, so that showing
// one page of a large folder reads only that page. A stray file is found
// and moved when its page is shown.
struct ReadWindow {
  int first = 0;
  int last = kMaxListedFiles;
};

struct FolderListing {
  bool opened = false;
  int fileCount = 0;  // files listed (at most 16,383)
  bool busy = false;  // another process held the library and the feedback chose not to wait
};

// Lists a category folder in name order: every regular file is tested; one
// that belongs elsewhere is moved to its category's folder and reported
// unlisted; the recycle bin keeps (and lists) a valid file it could not
// move, with kMovingDeniedRemark. The program's own temporary files (a
// write in progress) are passed over. The visitor returns false to stop.
// Every operation here that moves, renames or deletes runs under the
// library lock; the feedback tells while it waits for another process.
FolderListing VisitCategoryFiles(AppGlobals& app, int category, const std::function<bool(const ListedFile&)>& visit,
                                 const LibraryFeedback& feedback = {}, const ReadWindow& window = {});

// All listed files of a category folder.
std::vector<ListedFile> ListCategoryFiles(AppGlobals& app, int category, const LibraryFeedback& feedback = {});

// The folder scan of the browsers. Search mode: a file matches when the
// upper-cased search text stands at the start of its short name or of its
// upper-cased name (both without extension). Exact mode: its real name
// equals the text. code: 0 found, 23 not found, 20 when in exact mode the
// named file turned out damaged and went to the recycle bin, 25 when it
// gave way to another process.
struct FindResult {
  int code = 0;
  int foundIndex = -1;
  int page = 1;  // the page of 16 rows that holds the found file
  std::string foundName;
};

FindResult FindInCategory(AppGlobals& app, int category, const std::string& searchText, bool exact,
                          const LibraryFeedback& feedback = {});

// The user's answer to a question of the message table ("DELETE FILE<S>?").
using ConfirmQuestion = std::function<bool(int questionCode)>;

// Deletes the selected file: 19 without selection, 25 when not confirmed,
// 11 when it cannot be removed, else 3.
int DeleteLibraryFile(AppGlobals& app, int category, const std::string& selectedName, const ConfirmQuestion& confirm,
                      const LibraryFeedback& feedback = {});

// Deletes every file the folder lists: 17 when it lists none, 25 when not
// confirmed, 16 when any could not be removed, else 3.
int ClearLibraryFolder(AppGlobals& app, int category, const ConfirmQuestion& confirm,
                       const LibraryFeedback& feedback = {});

// Rename: the user's new name (nullopt = cancelled) replaces the selected
// file's name in its folder (in category 8 with the extension ".wts"); an
// existing file is never replaced. code: 19 without selection, 25
// cancelled, 53 empty name, 26 when the name is taken, 11 when the rename
// fails or the file cannot be found under its new name, 3 when done; the
// entry then takes newName and the found position.
using NameRequest = std::function<std::optional<std::string>()>;

struct RenameResult {
  int code = 0;
  std::string newName;
  int foundIndex = -1;
  int page = 1;
};

RenameResult RenameLibraryFile(AppGlobals& app, int category, const std::string& selectedName,
                               const NameRequest& enterName, const LibraryFeedback& feedback = {});
