#include "core/settings.h"

#include <cmath>
#include <cstring>
#include <cstdio>
#include <filesystem>

#include "core/atomic_file.h"
#include "core/byte_order.h"

namespace {

constexpr const char* kSystemFolder = "system";

}  // namespace

void EncodeSettingsBlock(const SettingsBlock& block, uint8_t* bytes) {
  WriteF32LE(bytes + 0, block.playbackVolume);
  WriteU16LE(bytes + 4, block.fullScreen);
  WriteU16LE(bytes + 6, block.colourMode);
  WriteI16LE(bytes + 8, block.windowX);
  WriteI16LE(bytes + 10, block.windowY);
  bytes[12] = block.updateInstalled;
  bytes[13] = block.updateAvailable;
  WriteU16LE(bytes + 14, block.reserved14);
  WriteU32LE(bytes + 16, block.updateTimeStamp);
  WriteU16LE(bytes + 20, block.backlight);
  WriteU16LE(bytes + 22, block.playbackDeviceIndex);
  bytes[24] = block.shortcuts;
  bytes[25] = block.prelistenOn;
  bytes[26] = block.noUpdateLookup;
  bytes[27] = block.noForceLoop;
  WriteU32LE(bytes + 28, block.blofeldDeviceId);
  WriteU32LE(bytes + 32, block.blofeldSlot);
  bytes[36] = block.screenSaverOn;
  for (int i = 0; i < 3; ++i) bytes[37 + i] = block.reserved37[i];
}

SettingsBlock DecodeSettingsBlock(const uint8_t* bytes) {
  SettingsBlock block;
  block.playbackVolume = ReadF32LE(bytes + 0);
  block.fullScreen = ReadU16LE(bytes + 4);
  block.colourMode = ReadU16LE(bytes + 6);
  block.windowX = ReadI16LE(bytes + 8);
  block.windowY = ReadI16LE(bytes + 10);
  block.updateInstalled = bytes[12];
  block.updateAvailable = bytes[13];
  block.reserved14 = ReadU16LE(bytes + 14);
  block.updateTimeStamp = ReadU32LE(bytes + 16);
  block.backlight = ReadU16LE(bytes + 20);
  block.playbackDeviceIndex = ReadU16LE(bytes + 22);
  block.shortcuts = bytes[24];
  block.prelistenOn = bytes[25];
  block.noUpdateLookup = bytes[26];
  block.noForceLoop = bytes[27];
  block.blofeldDeviceId = ReadU32LE(bytes + 28);
  block.blofeldSlot = ReadU32LE(bytes + 32);
  block.screenSaverOn = bytes[36];
  for (int i = 0; i < 3; ++i) block.reserved37[i] = bytes[37 + i];
  return block;
}

std::vector<uint8_t> EncodeSettingsFile(const SettingsBlock& block, const UserPathList& paths) {
  std::vector<uint8_t> image(kSettingsFileBytes, 0);
  EncodeSettingsBlock(block, image.data());
  for (int k = 0; k < kCategoryCount; ++k) {
    const std::string& path = paths[k];
    const size_t length = std::min(path.size(), kUserPathRecordBytes - 1);
    std::memcpy(image.data() + kUserPathRecordOffset + k * kUserPathRecordBytes, path.data(), length);
  }
  return image;
}

void DecodeSettingsFile(const std::vector<uint8_t>& image, SettingsBlock& block, UserPathList& paths) {
  uint8_t bytes[kSettingsBlockBytes];
  EncodeSettingsBlock(block, bytes);
  if (!image.empty()) std::memcpy(bytes, image.data(), std::min<size_t>(image.size(), kSettingsBlockBytes));
  block = DecodeSettingsBlock(bytes);
  for (int k = 0; k < kCategoryCount; ++k) {
    const size_t offset = kUserPathRecordOffset + k * kUserPathRecordBytes;
    if (image.size() < offset + kUserPathReadBytes) {
      paths[k].clear();
      return;
    }
    // A record without a terminator is cut at 349 characters.
    const char* text = reinterpret_cast<const char*>(image.data() + offset);
    paths[k].assign(text, strnlen(text, kUserPathReadBytes - 1));
  }
}

void RepairSettings(SettingsBlock& block) {
  const float volume = block.playbackVolume;
  if (!(volume >= kMinPlaybackVolume && volume <= kMaxPlaybackVolume)) block.playbackVolume = 1.0f;
  if (block.fullScreen > 1) block.fullScreen = 0;
  if (block.colourMode >= kColourModeCount) block.colourMode = 0;
  if (block.backlight > 1) block.backlight = 1;
}

std::string SettingsFilePath(const std::string& installDir) {
  const std::string folder = installDir + "/" + kSystemFolder;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return folder + "/" + kSettingsFileName;
}

bool ReadSettings(AppGlobals& app) {
  std::FILE* file = std::fopen(SettingsFilePath(app.installDir).c_str(), "rb");
  if (!file) {
    app.settings = SettingsBlock{};
    for (auto& path : app.folderUserPath) path.clear();
    return app.settings.screenSaverOn != 0;
  }
  std::vector<uint8_t> image(kSettingsFileBytes);
  image.resize(std::fread(image.data(), 1, image.size(), file));
  std::fclose(file);
  DecodeSettingsFile(image, app.settings, app.folderUserPath);
  RepairSettings(app.settings);
  return app.settings.screenSaverOn != 0;
}

bool WriteSettings(const AppGlobals& app) {
  const std::vector<uint8_t> image = EncodeSettingsFile(app.settings, app.folderUserPath);
  return WriteFileAtomically(SettingsFilePath(app.installDir), image);
}
