#pragma once
// A folder in which nothing can be created, removed or renamed, also when the tests run as root (then
// the immutable attribute does it), and a file that cannot be renamed or removed. Tests skip when the
// file system offers neither.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

inline bool SetImmutable(const std::string& path, bool on, int openFlags) {
  const int fd = open(path.c_str(), openFlags);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
  ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  close(fd);
  return ok;
}

struct ReadOnlyFolder {
  std::string path;
  bool immutable = false;
  bool active = false;  // false: the folder still takes new files, so the test skips

  explicit ReadOnlyFolder(const std::string& folder) : path(folder) {
    chmod(path.c_str(), 0555);
    if (geteuid() == 0) immutable = SetImmutable(path, true, O_RDONLY | O_DIRECTORY);
    const std::string probe = path + "/.probe";
    const int fd = open(probe.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
    active = fd < 0;
    if (fd >= 0) { close(fd); unlink(probe.c_str()); }
  }
  ~ReadOnlyFolder() {
    if (immutable) SetImmutable(path, false, O_RDONLY | O_DIRECTORY);
    chmod(path.c_str(), 0755);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
};

struct ImmutableFile {
  std::string path;
  bool active = false;
  explicit ImmutableFile(const std::string& file) : path(file), active(SetImmutable(file, true, O_RDONLY)) {}
  ~ImmutableFile() { if (active) SetImmutable(path, false, O_RDONLY); }
};
