#include "files/file_moves.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/atomic_file.h"
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

// Makes the folder's latest rename last through a power cut.
void SyncFolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  FileDescriptor handle(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (handle.get() >= 0) fsync(handle.get());
}

// The temporary name can stand in for the target only when nothing is
// there; file systems without a no-replace rename get a check first (the
// library lock keeps other sorts out meanwhile).
RenameOutcome PutInPlace(const std::string& temp, const std::string& to) {
  const RenameOutcome outcome = RenameNoReplace(temp, to);
  if (outcome != RenameOutcome::kNoHardLinks) return outcome;
  struct stat existing;
  if (lstat(to.c_str(), &existing) == 0) return RenameOutcome::kTargetExists;
  return std::rename(temp.c_str(), to.c_str()) == 0 ? RenameOutcome::kRenamed : RenameOutcome::kFailed;
}

// The copy is made under a temporary name in the target folder, flushed
// and compared before it takes the target's name, so a process killed
// meanwhile leaves a temporary file and the intact source, never a cut
// file under the final name. An existing file is never touched.
MoveResult CopyThenRemove(const std::string& from, const std::string& to) {
  struct stat source, existing;
  if (lstat(from.c_str(), &source) != 0 || !S_ISREG(source.st_mode)) return MoveResult::kFailed;
  if (lstat(to.c_str(), &existing) == 0) return MoveResult::kTargetExists;
  FileDescriptor in(open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return MoveResult::kFailed;
  const std::string pattern = TemporaryPathPattern(to);
  std::vector<char> tempName(pattern.begin(), pattern.end());
  tempName.push_back('\0');
  FileDescriptor out(mkstemp(tempName.data()));
  if (out.get() < 0) return MoveResult::kFailed;
  const std::string temp = tempName.data();

  bool ok = fchmod(out.get(), source.st_mode & 07777) == 0;
  ok = ok && CopyContent(in.get(), out.get());
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  if (ok) futimens(out.get(), times);
  ok = ok && fsync(out.get()) == 0;
  ok = out.Close() && ok;
  ok = ok && HaveEqualContent(from, temp);
  const RenameOutcome placed = ok ? PutInPlace(temp, to) : RenameOutcome::kFailed;
  if (placed != RenameOutcome::kRenamed) {
    unlink(temp.c_str());
    return placed == RenameOutcome::kTargetExists ? MoveResult::kTargetExists : MoveResult::kFailed;
  }
  SyncFolderOf(to);
  if (unlink(from.c_str()) != 0) {
    unlink(to.c_str());  // the source stays, so the file exists once
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
