#include "files/library_paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "files/folder_table.h"

namespace fs = std::filesystem;

namespace {

void EnsureFolder(const std::string& path) {
  std::error_code error;
  fs::create_directories(path, error);
}

bool FolderExists(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// ASCII folding as the C locale's tolower does it, without a library call
// per character: a folder of 16,000 names is sorted on every page shown.
unsigned char FoldCase(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return FoldCase(x) < FoldCase(y); });
}

int CategoryByFolderName(const std::string& name) {
  for (int category = 0; category < kCategoryCount; ++category) {
    if (IsCategoryInUse(category) && name == kFolderTable[category].folderName) return category;
  }
  return -1;
}

}  // namespace

std::string InstallPath(const AppGlobals& app, const std::string& first, const std::string& second,
                        const std::string& fileName) {
  std::string folder = app.installDir + "/";
  if (!first.empty()) {
    folder += first + "/";
    if (!second.empty()) folder += second + "/";
    EnsureFolder(folder);
  }
  return folder + fileName;
}

std::string CategoryFolderPath(AppGlobals& app, int category) {
  if (category == kCategoryInstallDir) return app.installDir + "/";
  const std::string dataRoot = app.installDir + "/" + kDataFolder + "/";
  if (category == kCategoryDataRoot) {
    EnsureFolder(dataRoot);
    return dataRoot;
  }
  if (category < 0 || category >= kCategoryCount) return dataRoot;
  const std::string folderName = kFolderTable[category].folderName;
  std::string& userRoot = app.folderUserPath[category];
  if (!userRoot.empty()) {
    const std::string candidate = userRoot + folderName + "/";
    if (FolderExists(candidate)) return candidate;
    userRoot.clear();
  }
  const std::string path = dataRoot + folderName + "/";
  EnsureFolder(path);
  return path;
}

std::string CategoryFilePath(AppGlobals& app, int category, const std::string& fileName) {
  return CategoryFolderPath(app, category) + fileName;
}

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

std::string BuildPath(AppGlobals& app, const std::string& first, const std::string& second,
                      const std::string& fileName) {
  if (first == kDataFolder) {
    const int category = CategoryByFolderName(second);
    if (category >= 0) return CategoryFilePath(app, category, fileName);
  }
  return InstallPath(app, first, second, fileName);
}

std::vector<FolderEntry> ListFolder(const std::string& folderPath) {
  std::vector<FolderEntry> entries;
  std::error_code error;
  fs::directory_iterator it(folderPath, error);
  if (error) return entries;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    FolderEntry entry;
    entry.name = it->path().filename().string();
    entry.fullPath = it->path().string();
    std::error_code typeError;
    entry.isRegularFile = it->is_regular_file(typeError);
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return LessIgnoringCase(a.name, b.name); });
  return entries;
}

std::vector<FolderEntry> ListCategoryFolder(AppGlobals& app, int category) {
  return ListFolder(CategoryFolderPath(app, category));
}

bool IsUsableUserRoot(const std::string& root, int category) {
  if (root.empty() || root.front() != '/' || root.back() != '/') return false;
  if (!IsCategoryInUse(category)) return false;
  const size_t folderChars = std::string(kFolderTable[category].folderName).size();
  return root.size() + folderChars + 2 < kMaxUserRootChars;
}

void ForgetUnusableUserRoots(AppGlobals& app) {
  for (int category = 0; category < kCategoryCount; ++category) {
    std::string& root = app.folderUserPath[category];
    if (!root.empty() && !IsUsableUserRoot(root, category)) root.clear();
  }
}
