#pragma once
#include <cstdint>

// The persisted settings, stored as a 40-byte little-endian block at the
// start of "sonicloom_system.dat".
struct SettingsBlock {
  float playbackVolume = 1.0f;       // 1/64 .. 1.0
  uint16_t fullScreen = 0;           // 0 window, 1 full screen
  uint16_t colourMode = 0;           // 0 CRT GREEN .. 3 LCD
  int16_t windowX = 0;
  int16_t windowY = 0;
  uint8_t updateInstalled = 0;       // shows "UPDATE COMPLETE" once
  uint8_t updateAvailable = 0;       // shows "UPDATE AVAILABLE" while set
  uint16_t reserved14 = 0;
  uint32_t updateTimeStamp = 0;      // day of month x 100 + hour
  uint16_t backlight = 1;
  uint16_t playbackDeviceIndex = 0;
  uint8_t shortcuts = 1;
  uint8_t prelistenOn = 1;
  uint8_t noUpdateLookup = 0;
  uint8_t noForceLoop = 0;
  uint32_t blofeldDeviceId = 0;
  uint32_t blofeldSlot = 0;
  uint8_t screenSaverOn = 1;
  uint8_t reserved37[3] = {0, 0, 0};
};

inline constexpr int kSettingsBlockBytes = 40;
inline constexpr int kColourModeCount = 4;
inline constexpr float kMinPlaybackVolume = 1.0f / 64.0f;
inline constexpr float kMaxPlaybackVolume = 1.0f;
