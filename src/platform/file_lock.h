#pragma once
#include <string>

// An exclusive advisory lock (flock) on a file that every cooperating
// process opens under the same path. The lock belongs to the open file: it
// ends when the file is closed, also when the process dies.
struct FileLock {
  int fd = -1;
};

enum class LockAttempt {
  kTaken,
  kBusy,        // another open of the file holds it
  kUnavailable, // the lock file can be neither created nor opened
};

// Opens (creating it when missing) and locks without waiting.
LockAttempt TryLockFile(const std::string& path, FileLock& lock);

// Opens (creating it when missing) and waits until the lock is free.
LockAttempt WaitLockFile(const std::string& path, FileLock& lock);

void UnlockFile(FileLock& lock);
