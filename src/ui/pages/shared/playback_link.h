#pragma once
#include <cstdint>
#include <string>

#include "core/message_codes.h"

// What the module pages need of the playback engine, in one place.

// "-VOLUME" / "+VOLUME": factors of 2 between 1/64 and 1; "MIN VALUE" /
// "MAX VALUE" at the limits, nothing changed then.
MessageCode LowerPlaybackVolume(float& volume);
MessageCode RaisePlaybackVolume(float& volume);
// As "PLAYBACK VOLUME:" shows it: 1 .. 64.
double ShownPlaybackVolume(float volume);

// "-SPEED" raises the stretch R (up to 32), "+SPEED" lowers it (down to 1).
MessageCode SlowerTablePlayback(int32_t& stretch);
MessageCode FasterTablePlayback(int32_t& stretch);

// The valid output devices found by the start-up test.
int PlaybackDeviceCount();
// The selected device's name; empty without devices.
std::string PlaybackDeviceName();
// "WAVEOUT DEVICE": the next device, or "NO DEVICE" / "SINGLE DEVICE".
MessageCode NextPlaybackDevice(uint16_t& selected);

// The start-up device test of the boot sequence: the number of valid
// devices.
int CountPlaybackDevices();
