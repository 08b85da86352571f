#include "core/atomic_file.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "core/no_replace_rename.h"

namespace {

// Removes a temporary file without losing the errno of the failure that
// made it useless, so callers can name the reason.
void DropTemporary(const std::string& tempPath) {
  const int error = errno;
  unlink(tempPath.c_str());
  errno = error;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

std::string TemporaryPathPattern(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return FolderOf(path) + "/." + name + ".XXXXXX";
}

namespace {

// Writes the temporary file; on success its path is returned in tempPath.
bool WriteTemporary(const std::string& path, const std::function<bool(std::FILE*)>& writer, std::string& tempPath) {
  const std::string pattern = TemporaryPathPattern(path);
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) return false;
  tempPath = buffer.data();
  fchmod(fd, 0644);
  std::FILE* stream = fdopen(fd, "wb");
  if (!stream) {
    DropTemporary(tempPath);
    close(fd);
    return false;
  }
  // The first failure's errno is the one that tells why.
  errno = 0;
  bool ok = writer(stream);
  int error = ok ? 0 : errno;
  ok = std::fflush(stream) == 0 && ok;
  if (!ok && error == 0) error = errno;
  ok = fsync(fileno(stream)) == 0 && ok;
  if (!ok && error == 0) error = errno;
  ok = std::fclose(stream) == 0 && ok;
  if (!ok && error == 0) error = errno;
  if (!ok) {
    unlink(tempPath.c_str());
    errno = error != 0 ? error : EIO;
  }
  return ok;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer) {
  std::string tempPath;
  if (!WriteTemporary(path, writer, tempPath)) return false;
  if (std::rename(tempPath.c_str(), path.c_str()) != 0) {
    DropTemporary(tempPath);
    return false;
  }
  return true;
}

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
  return WriteFileAtomically(path, [bytes](std::FILE* stream) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
  });
}

bool WriteNewFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer) {
  std::string tempPath;
  if (!WriteTemporary(path, writer, tempPath)) return false;
  const RenameOutcome renamed = RenameNoReplace(tempPath, path);
  if (renamed != RenameOutcome::kRenamed) {
    DropTemporary(tempPath);
    if (renamed == RenameOutcome::kTargetExists) errno = EEXIST;
    return false;
  }
  return true;
}
