#include "files/library_lock.h"

#include <map>
#include <mutex>

#include "core/message_codes.h"
#include "platform/file_lock.h"

namespace {

struct HeldLock {
  FileLock lock;
  int depth = 0;
};

// The libraries this process holds, by lock path. flock does not nest
// across separate opens of one file, so nested operations of this process
// share the first open.
std::mutex& HeldMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<std::string, HeldLock>& HeldLocks() {
  static std::map<std::string, HeldLock> locks;
  return locks;
}

bool ShouldWait(const LibraryFeedback& feedback) {
  if (feedback.libraryBusy) return feedback.libraryBusy();
  ShowLibraryMessage(feedback, kMsgUpdatingFileSystem);
  return true;
}

}  // namespace

std::string LibraryLockPath(const AppGlobals& app) {
  if (app.installDir.empty()) return {};
  return app.installDir + (app.installDir.back() == '/' ? "" : "/") + kLibraryLockName;
}

LibraryWriteGuard::LibraryWriteGuard(const AppGlobals& app, const LibraryFeedback& feedback)
    : path_(LibraryLockPath(app)) {
  if (path_.empty()) {
    held_ = true;
    return;
  }
  {
    std::lock_guard<std::mutex> hold(HeldMutex());
    const auto found = HeldLocks().find(path_);
    if (found != HeldLocks().end()) {
      ++found->second.depth;
      held_ = counted_ = true;
      return;
    }
  }
  FileLock lock;
  LockAttempt attempt = TryLockFile(path_, lock);
  if (attempt == LockAttempt::kBusy) {
    if (!ShouldWait(feedback)) return;
    attempt = WaitLockFile(path_, lock);
  }
  if (attempt == LockAttempt::kBusy) return;
  held_ = true;
  if (attempt != LockAttempt::kTaken) return;
  std::lock_guard<std::mutex> hold(HeldMutex());
  HeldLocks()[path_] = HeldLock{lock, 1};
  counted_ = true;
}

LibraryWriteGuard::~LibraryWriteGuard() {
  if (!counted_) return;
  std::lock_guard<std::mutex> hold(HeldMutex());
  const auto found = HeldLocks().find(path_);
  if (found == HeldLocks().end() || --found->second.depth > 0) return;
  UnlockFile(found->second.lock);
  HeldLocks().erase(found);
}
