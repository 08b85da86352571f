#include "core/atomic_file.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "core/no_replace_rename.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Writes the temporary file; on success its path is returned in tempPath.
bool WriteTemporary(const std::string& path, const std::function<bool(std::FILE*)>& writer, std::string& tempPath) {
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string pattern = FolderOf(path) + "/." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) return false;
  tempPath = buffer.data();
  fchmod(fd, 0644);
  std::FILE* stream = fdopen(fd, "wb");
  if (!stream) {
    close(fd);
    unlink(tempPath.c_str());
    return false;
  }
  bool ok = writer(stream);
  ok = std::fflush(stream) == 0 && ok;
  ok = fsync(fileno(stream)) == 0 && ok;
  ok = std::fclose(stream) == 0 && ok;
  if (!ok) unlink(tempPath.c_str());
  return ok;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer) {
  std::string tempPath;
  if (!WriteTemporary(path, writer, tempPath)) return false;
  if (std::rename(tempPath.c_str(), path.c_str()) != 0) {
    unlink(tempPath.c_str());
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
  if (RenameNoReplace(tempPath, path) != RenameOutcome::kRenamed) {
    unlink(tempPath.c_str());
    return false;
  }
  return true;
}
