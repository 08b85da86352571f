#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr mode_t kLockFileMode = 0644;

// Read access is enough for flock, so a lock file made by another user
// still serves.
int OpenLockFile(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kLockFileMode);
  if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  return fd;
}

LockAttempt Lock(const std::string& path, FileLock& lock, int operation) {
  UnlockFile(lock);
  const int fd = OpenLockFile(path);
  if (fd < 0) return LockAttempt::kUnavailable;
  int result;
  do {
    result = flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    lock.fd = fd;
    return LockAttempt::kTaken;
  }
  const bool busy = errno == EWOULDBLOCK;
  close(fd);
  return busy ? LockAttempt::kBusy : LockAttempt::kUnavailable;
}

}  // namespace

LockAttempt TryLockFile(const std::string& path, FileLock& lock) { return Lock(path, lock, LOCK_EX | LOCK_NB); }

LockAttempt WaitLockFile(const std::string& path, FileLock& lock) { return Lock(path, lock, LOCK_EX); }

void UnlockFile(FileLock& lock) {
  if (lock.fd >= 0) close(lock.fd);
  lock.fd = -1;
}
