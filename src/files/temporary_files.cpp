#include "files/temporary_files.h"

#include <sys/stat.h>

#include <cctype>

#include "files/folder_table.h"

namespace {

constexpr size_t kUniqueChars = 6;  // the XXXXXX of mkstemp

}  // namespace

bool IsProgramTemporaryName(const std::string& name) {
  const size_t suffix = kUniqueChars + 1;
  if (name.size() < 2 + suffix || name[0] != '.') return false;
  const size_t dot = name.size() - suffix;
  if (name[dot] != '.') return false;
  for (size_t i = dot + 1; i < name.size(); ++i) {
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  }
  return CategoryByExtension(name.substr(1, dot - 1)) != kCategoryUnrecognized;
}

bool IsStaleFile(const std::string& path, std::time_t now) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  return now - info.st_mtim.tv_sec > kStaleTemporarySeconds;
}
