#include "cli/cli_library.h"

#include <unistd.h>

#include <filesystem>

#include "core/message_codes.h"

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
