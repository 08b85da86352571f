#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The one playback of the program: one output device at a time, one large
// buffer that a sound is rendered into and played from, and the list of the
// devices that passed the start-up test.
inline constexpr int kPlaybackBufferFrames = 4456448;                   // about 101 s
inline constexpr size_t kPlaybackBufferFloats = 2 * size_t{kPlaybackBufferFrames};  // 8,912,896
inline constexpr int kTableFrames = 131072;                             // one stereo table, 0x20000
inline constexpr size_t kTableFloats = 2 * size_t{kTableFrames};        // 262,144
inline constexpr int kFirstPartFrames = kTableFrames;  // rendered before the device starts
inline constexpr int kMaxScanFrames = 4325376;
inline constexpr int kMinPositionFrames = 4097;        // shorter sounds show no position bar
inline constexpr int kMaxScanTables = 33;              // a scan never passes the 32nd table
inline constexpr int kMaxPlaybackDevices = 16;
inline constexpr size_t kDeviceNameChars = 40;

struct PlaybackState {
  bool deviceOpen = false;
  std::vector<float> buffer;   // interleaved stereo; allocated once a valid device exists
  int64_t playingFrames = 0;   // length of the sound that plays; 0 = nothing plays
  bool looped = false;
  std::vector<int> deviceIds;  // the valid devices, in test order
  std::vector<std::string> deviceNames;
};

extern PlaybackState gPlayback;

bool SomethingPlays();
bool PlaybackBufferPresent();
int DeviceCount();
