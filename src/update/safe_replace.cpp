#include "update/safe_replace.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

// Makes the rename itself durable.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

bool Fails(const ReplaceFault& fault, ReplaceStage stage) { return fault && fault(stage); }

bool WriteWithMode(const std::string& target, std::span<const uint8_t> bytes, mode_t mode, const ReplaceFault& fault) {
  std::string pattern = FolderOf(target) + "/." + NameOf(target) + ".new-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) return false;
  const std::string temp = buffer.data();
  bool ok = WriteAll(fd, bytes);
  ok = ok && fsync(fd) == 0;
  ok = ok && fchmod(fd, mode) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && !Fails(fault, ReplaceStage::kTemporaryWritten);
  ok = ok && !Fails(fault, ReplaceStage::kBeforeRename);
  ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  SyncFolder(FolderOf(target));
  return true;
}

}  // namespace

bool ReplaceFileSafely(const std::string& target, std::span<const uint8_t> bytes, uint32_t fallbackMode,
                       const ReplaceFault& fault) {
  struct stat old {};
  const mode_t mode = stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : static_cast<mode_t>(fallbackMode);
  return WriteWithMode(target, bytes, mode, fault);
}

bool CopyFileSafely(const std::string& source, const std::string& target, const ReplaceFault& fault) {
  std::ifstream in(source, std::ios::binary);
  if (!in) return false;
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  struct stat old {};
  if (stat(source.c_str(), &old) != 0) return false;
  return WriteWithMode(target, bytes, old.st_mode & 07777, fault);
}

bool FolderTakesNewFiles(const std::string& folder) {
  std::string pattern = folder + "/.write-test-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) return false;
  close(fd);
  unlink(buffer.data());
  return true;
}
