#include "files/file_moves.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/no_replace_rename.h"

namespace {

constexpr size_t kCopyBlockBytes = 1 << 16;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

// Reads up to count bytes, retrying interrupted and short reads; -1 on error.
ssize_t ReadFully(int fd, uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = read(fd, buffer + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

bool WriteFully(int fd, const uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t put = write(fd, buffer + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

bool CopyContent(int from, int to) {
  std::vector<uint8_t> buffer(kCopyBlockBytes);
  for (;;) {
    const ssize_t got = ReadFully(from, buffer.data(), buffer.size());
    if (got < 0) return false;
    if (got == 0) return true;
    if (!WriteFully(to, buffer.data(), static_cast<size_t>(got))) return false;
  }
}

// The copy is created exclusively, so an existing file is never touched.
MoveResult CopyThenRemove(const std::string& from, const std::string& to) {
  struct stat source;
  if (lstat(from.c_str(), &source) != 0 || !S_ISREG(source.st_mode)) return MoveResult::kFailed;
  FileDescriptor in(open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return MoveResult::kFailed;
  FileDescriptor out(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, source.st_mode & 07777));
  if (out.get() < 0) return errno == EEXIST ? MoveResult::kTargetExists : MoveResult::kFailed;

  bool ok = CopyContent(in.get(), out.get());
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  if (ok) futimens(out.get(), times);
  ok = ok && fsync(out.get()) == 0;
  ok = out.Close() && ok;
  ok = ok && HaveEqualContent(from, to);
  if (!ok || unlink(from.c_str()) != 0) {
    unlink(to.c_str());
    return MoveResult::kFailed;
  }
  return MoveResult::kMoved;
}

}  // namespace

MoveResult MoveFileNoReplace(const std::string& from, const std::string& to) {
  switch (RenameNoReplace(from, to)) {
    case RenameOutcome::kRenamed:
      return MoveResult::kMoved;
    case RenameOutcome::kTargetExists:
      return MoveResult::kTargetExists;
    case RenameOutcome::kCrossDevice:
    case RenameOutcome::kNoHardLinks:
      return CopyThenRemove(from, to);
    default:
      return MoveResult::kFailed;
  }
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool HaveEqualContent(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
  if (!S_ISREG(sa.st_mode) || !S_ISREG(sb.st_mode) || sa.st_size != sb.st_size) return false;
  FileDescriptor fa(open(a.c_str(), O_RDONLY | O_CLOEXEC));
  FileDescriptor fb(open(b.c_str(), O_RDONLY | O_CLOEXEC));
  if (fa.get() < 0 || fb.get() < 0) return false;
  std::vector<uint8_t> ba(kCopyBlockBytes), bb(kCopyBlockBytes);
  for (;;) {
    const ssize_t ga = ReadFully(fa.get(), ba.data(), ba.size());
    const ssize_t gb = ReadFully(fb.get(), bb.data(), bb.size());
    if (ga < 0 || gb < 0 || ga != gb) return false;
    if (ga == 0) return true;
    if (std::memcmp(ba.data(), bb.data(), static_cast<size_t>(ga)) != 0) return false;
  }
}
