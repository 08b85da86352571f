#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/app_globals.h"

inline constexpr const char* kSettingsFileName = "sonicloom_system.dat";
inline constexpr size_t kSettingsFileBytes = 39936;
inline constexpr size_t kUserPathRecordOffset = 1024;
inline constexpr size_t kUserPathRecordBytes = 2048;
inline constexpr size_t kUserPathReadBytes = 350;  // 349 characters and the terminator

using UserPathList = std::array<std::string, kCategoryCount>;

// The 40-byte block, field by field.
void EncodeSettingsBlock(const SettingsBlock& block, uint8_t* bytes);
SettingsBlock DecodeSettingsBlock(const uint8_t* bytes);

// The whole file image: block, 984 zero bytes, 19 path records.
std::vector<uint8_t> EncodeSettingsFile(const SettingsBlock& block, const UserPathList& paths);

// Reads a file image of any length the way the file is read: a short block
// keeps the previous values of the fields it does not reach, the first
// incomplete path record clears that path and ends the list.
void DecodeSettingsFile(const std::vector<uint8_t>& image, SettingsBlock& block, UserPathList& paths);

// Out-of-range values back to their defaults (volume, full screen, colour
// mode, backlight).
void RepairSettings(SettingsBlock& block);

// Full path of the settings file; creates the folder "system" when missing.
std::string SettingsFilePath(const std::string& installDir);

// Settings read: defaults when the file is missing, then repair. Returns the
// screen-saver setting.
bool ReadSettings(AppGlobals& app);

// Settings write: replaces the file in one step (temporary file, then rename).
// False when it could not be written; the old file is then unchanged.
bool WriteSettings(const AppGlobals& app);
