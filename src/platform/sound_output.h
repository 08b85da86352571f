#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The sound card as the playback engine sees it: one output stream in one
// fixed format (44,100 Hz, 32-bit float, stereo, interleaved), fed from one
// prepared buffer that plays once or in a loop. There is at most one open
// device, and it is used from the main thread only; the thread that feeds
// the card reads the buffer by itself.
inline constexpr int kSoundRate = 44100;
inline constexpr int kSoundChannels = 2;
inline constexpr int kSoundFrameBytes = kSoundChannels * 4;

// The id of the system's default output, for sound systems that open one
// without listing their devices.
inline constexpr int kDefaultSoundDevice = -1;

// Error numbers of the calls below; 0 is success.
inline constexpr int kSoundOk = 0;
inline constexpr int kSoundNoSystem = 1;       // the sound system is not there
inline constexpr int kSoundOpenFailed = 2;     // the device refused the format or is gone
inline constexpr int kSoundNotOpen = 3;        // no device is open
inline constexpr int kSoundStillBusy = 4;      // the device did not come to rest in time
inline constexpr int kSoundBadBuffer = 5;      // no data, or no frames

struct SoundDeviceEntry {
  int id = kDefaultSoundDevice;  // what OpenSoundDevice takes
  std::string name;              // as the system reports it
};

// The output devices the sound system lists, in its order. A system that
// cannot list its devices but opens a default output gives that default as
// the one entry (id kDefaultSoundDevice), named as its driver reports it.
// Empty without a sound system.
std::vector<SoundDeviceEntry> ListSoundDevices();

// Opens a device for 44,100 Hz, 32-bit float, stereo; it stays silent until
// a buffer is handed over. 0, or an error number (the device stays closed).
int OpenSoundDevice(int id);

// Hands the open device one prepared buffer and starts playing it: frames
// stereo frames at data, of which the first readyFrames are rendered; the
// device never reads further than the rendered frames. The buffer stays the
// caller's and must not move until the device is closed. gain multiplies
// every sample on its way to the card. A looped buffer plays again from its
// first frame after its last, until the loop is broken.
int StartSoundBuffer(const float* data, int64_t frames, int64_t readyFrames, bool loop, float gain);

// More of the buffer is rendered: the device may read up to readyFrames.
void SetSoundFramesReady(int64_t readyFrames);

// Frames the device has taken from the buffer since it started, counting
// every pass of a loop; 0 before a buffer is handed over; -1 when the device
// cannot tell (closed, or lost).
int64_t SoundPosition();

// A looped buffer ends after its current pass. 0 or an error number.
int BreakSoundLoop();

// Stops the buffer at once. The sound fades out over a few milliseconds
// rather than being cut mid-wave, and a sound that already ended is let
// through to the card before the call returns. 0, or kSoundStillBusy when
// the device did not come to rest within about a second (the caller may try
// again).
int ResetSound();

// Closes the device. 0 or an error number.
int CloseSoundDevice();

// Forgets the device whatever state it is in: for a device that no longer
// answers (an unplugged interface).
void DropSoundDevice();

// The sound system ends (the program closes): any device is closed first.
void ShutDownSound();
