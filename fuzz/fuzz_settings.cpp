// libFuzzer target for the settings file reader: the input is the file
// "sonicloom_system.dat" of a temporary program folder, read as at start
// (settings read, unusable user roots forgotten). What is read must be in
// range, and writing it and reading it again must give the same settings.
#include <stdio.h>
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/app_globals.h"
#include "core/settings.h"
#include "files/library_paths.h"

namespace {

const std::string& InstallDir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/fuzz-settings-XXXXXX";
    if (!mkdtemp(pattern)) __builtin_trap();
    return std::string(pattern);
  }();
  return dir;
}

bool SameSettings(const AppGlobals& a, const AppGlobals& b) {
  uint8_t blockA[kSettingsBlockBytes], blockB[kSettingsBlockBytes];
  EncodeSettingsBlock(a.settings, blockA);
  EncodeSettingsBlock(b.settings, blockB);
  return std::memcmp(blockA, blockB, sizeof blockA) == 0 && a.folderUserPath == b.folderUserPath;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AppGlobals app;
  app.installDir = InstallDir();
  FILE* file = fopen(SettingsFilePath(app.installDir).c_str(), "wb");
  if (!file) __builtin_trap();
  const bool written = size == 0 || fwrite(data, 1, size, file) == size;
  if (fclose(file) != 0 || !written) __builtin_trap();

  ReadSettings(app);
  ForgetUnusableUserRoots(app);
  const SettingsBlock& block = app.settings;
  if (!(block.playbackVolume >= kMinPlaybackVolume && block.playbackVolume <= kMaxPlaybackVolume) ||
      block.fullScreen > 1 || block.colourMode >= kColourModeCount || block.backlight > 1) {
    __builtin_trap();
  }
  for (int category = 0; category < kCategoryCount; ++category) {
    const std::string& root = app.folderUserPath[category];
    if (root.size() >= kUserPathReadBytes || root.find('\0') != std::string::npos) __builtin_trap();
    if (!root.empty() && !IsUsableUserRoot(root, category)) __builtin_trap();
  }

  if (!WriteSettings(app)) __builtin_trap();
  AppGlobals again;
  again.installDir = app.installDir;
  ReadSettings(again);
  if (!SameSettings(app, again)) __builtin_trap();
  return 0;
}
