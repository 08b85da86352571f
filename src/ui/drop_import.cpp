#include "ui/drop_import.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/app_globals.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "modules/import_engine.h"
#include "platform/window_link.h"
#include "ui/message_line.h"
#include "ui/progress.h"

namespace {

constexpr auto kProgressStep = std::chrono::milliseconds(30);
constexpr const char* kImportLabel = "IMPORTING FILES: ";

std::vector<std::string> gLaunchImports;
uint64_t gImportSerial = 0;

std::string WithoutSlash(std::string path) {
  if (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// What the import thread shares with the page waiting for it.
struct ImportRun {
  std::mutex lock;
  std::condition_variable changed;
  size_t done = 0;
  bool finished = false;
  DropImportCounts counts;
};

void ImportAll(const std::vector<std::string>& files, const std::array<std::string, kCategoryCount>& folders,
               const std::string& staging, const ReadRules& rules, ImportRun& run) {
  for (const std::string& file : files) {
    const StagedImport staged = StageImport(file, staging, rules);
    std::string reason = staged.reason;
    if (staged.Ok()) reason = PlaceImport(staged, folders[static_cast<size_t>(staged.category)]).reason;
    std::lock_guard<std::mutex> hold(run.lock);
    if (reason.empty()) {
      ++run.counts.imported;
    } else if (run.counts.refused++ == 0) {
      run.counts.firstRefusal = reason;
    }
    ++run.done;
    run.changed.notify_all();
  }
  std::lock_guard<std::mutex> hold(run.lock);
  run.finished = true;
  run.changed.notify_all();
}

}  // namespace

std::string DropImportMessage(const DropImportCounts& counts) {
  std::string text = std::to_string(counts.imported) + (counts.imported == 1 ? " FILE" : " FILES") + " IMPORTED, " +
                     std::to_string(counts.refused) + " REFUSED";
  if (!counts.firstRefusal.empty()) text += " <" + counts.firstRefusal + ">";
  return text;
}

DropImportCounts ImportDroppedFiles(const std::vector<std::string>& paths) {
  const std::vector<std::string> files = ExpandImportPaths(paths);
  // The library's folders are settled here, on the main thread, which owns
  // the folder settings; the import thread only reads files and moves its
  // results into these folders.
  std::array<std::string, kCategoryCount> folders;
  for (int category = 0; category < kCategoryCount; ++category) {
    if (IsCategoryInUse(category)) folders[static_cast<size_t>(category)] = WithoutSlash(CategoryFolderPath(gApp, category));
  }
  const std::string staging = WithoutSlash(CategoryFolderPath(gApp, -1));
  const ReadRules rules = ReadRulesOf(gApp);

  ImportRun run;
  std::thread worker(ImportAll, std::cref(files), std::cref(folders), std::cref(staging), rules, std::ref(run));
  {
    std::unique_lock<std::mutex> hold(run.lock);
    while (!run.finished) {
      const size_t done = run.done;
      hold.unlock();
      ShowProgress(kImportLabel, static_cast<double>(done), static_cast<double>(files.size()));
      hold.lock();
      run.changed.wait_for(hold, kProgressStep, [&] { return run.finished || run.done != done; });
    }
  }
  worker.join();
  ShowProgress(nullptr, 0, 0);
  ShowMessageText(DropImportMessage(run.counts));
  ++gImportSerial;
  return run.counts;
}

bool ImportPendingDrops() {
  if (gApp.programState == STATE_FIRST_START) return false;
  std::vector<std::string> paths;
  paths.swap(gLaunchImports);
  if (DropsPending()) {
    const std::vector<std::string> dropped = TakeDroppedPaths();
    paths.insert(paths.end(), dropped.begin(), dropped.end());
  }
  if (paths.empty()) return false;
  ImportDroppedFiles(paths);
  return true;
}

void QueueLaunchImports(const std::vector<std::string>& paths) {
  gLaunchImports.insert(gLaunchImports.end(), paths.begin(), paths.end());
}

uint64_t LibraryImportSerial() { return gImportSerial; }
