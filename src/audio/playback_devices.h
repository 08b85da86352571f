#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/message_codes.h"

// A device name as the screens show it: upper case, "(" and ")" as "<" and
// ">", at most 40 characters; characters beyond Latin-1 become "?".
std::string DeviceDisplayName(std::string_view systemName);

// The start-up test: every device the sound system lists that opens for
// 44,100 Hz float stereo and reports a position is valid (at most 16). With
// a valid device the playback buffer is allocated (once) and a selection
// beyond the list goes back to 0; without one the buffer is released, and
// every play request answers "SOUND DEVICE NOT AVAILABLE". Returns the
// number of valid devices.
int TestPlaybackDevices();

// Opens the selected device; 0, or the sound system's error number.
int OpenPlayback();

// The selected device's name, or empty without devices.
std::string SelectedDeviceName();

// The settings line "WAVEOUT DEVICE": the next device of the list, or
// "NO DEVICE" / "SINGLE DEVICE" when there is nothing to choose.
MessageCode StepPlaybackDevice(uint16_t& selected);

// The program closes: playback stops, the buffer is released and the sound
// system shut down.
void ReleasePlayback();
