#include "cli/cli_library.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "cli/cli_common.h"
#include "core/message_codes.h"
#include "core/message_texts.h"
#include "core/settings.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_data_extent.h"

namespace fs = std::filesystem;

ReadRules CliReadRules(bool noForceLoop) {
  ReadRules rules;
  rules.forceLoopForSingleCycle = !noForceLoop;
  return rules;
}

int CheckInputFile(const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return kMsgFileNotFound;
  if (access(path.c_str(), R_OK) != 0) return kMsgAccessDenied;
  return kMsgDone;
}

std::string ExistingFolder(const std::string& path) {
  std::error_code error;
  if (path.empty() || !fs::is_directory(path, error)) return {};
  std::string absolute = fs::absolute(path, error).lexically_normal().string();
  if (error) return {};
  while (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
  return absolute;
}

std::string InputRefusal(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    if (errno == ELOOP) return "NOT A REGULAR FILE <SYMBOLIC LINK LOOP>";
    return std::string(MessageText(errno == EACCES ? kMsgAccessDenied : kMsgFileNotFound));
  }
  const char* kind = nullptr;
  if (S_ISDIR(info.st_mode)) kind = "DIRECTORY";
  if (S_ISFIFO(info.st_mode)) kind = "FIFO";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) kind = "DEVICE";
  if (S_ISSOCK(info.st_mode)) kind = "SOCKET";
  if (kind) return std::string("NOT A REGULAR FILE <") + kind + ">";
  if (!S_ISREG(info.st_mode)) return "NOT A REGULAR FILE";
  if (access(path.c_str(), R_OK) != 0) return std::string(MessageText(kMsgAccessDenied));
  return {};
}

void WarnIfDataCutShort(const std::string& path, int category) {
  if (category == kCategoryUnrecognized || !IsCategoryInUse(category)) return;
  if (std::string(kFolderTable[category].extension) != ".WAV") return;
  WaveDataExtent extent;
  if (!MeasureWaveData(path, extent) || extent.present >= extent.announced) return;
  std::fflush(stdout);
  std::fprintf(stderr,
               "%s: warning: the data holds %llu of the %llu frames its header announces; the rest reads as "
               "silence\n",
               EscapedText(path).c_str(), static_cast<unsigned long long>(extent.present),
               static_cast<unsigned long long>(extent.announced));
}

void ReadLibrarySettings(AppGlobals& app) {
  const std::string path = app.installDir + "/" + kSystemFolderName + "/" + kSettingsFileName;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return;
  std::vector<uint8_t> image(kSettingsFileBytes);
  image.resize(std::fread(image.data(), 1, image.size(), file));
  std::fclose(file);
  UserPathList paths;
  DecodeSettingsFile(image, app.settings, paths);
  RepairSettings(app.settings);
  for (int category = 0; category < kCategoryCount; ++category) {
    app.folderUserPath[static_cast<size_t>(category)] = paths[static_cast<size_t>(category)];
  }
  ForgetUnusableUserRoots(app);
}
