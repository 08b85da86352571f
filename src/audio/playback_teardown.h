#pragma once
#include <cstdint>

#include "core/message_codes.h"

// Each call that brings the device to rest is tried again every 5 ms, for at
// most a second: a device that still does not answer (an unplugged
// interface) is dropped rather than hanging the program.
inline constexpr int kTeardownRetryMillis = 5;
inline constexpr int kTeardownLimitMillis = 1000;

// The position of the sound that plays, in frames since it started (every
// pass of a loop counted); -1 when the device cannot tell or none is open.
int64_t PlaybackFrames();

// Stops what plays and closes the device: the loop is broken (looped
// sounds), the device reset and closed. Nothing plays afterwards. Returns
// "SOUND DEVICE NOT AVAILABLE" when the device had to be dropped, else 0.
MessageCode StopPlayback();

// Closes the open device with the bounded retries; false when it was
// dropped instead.
bool CloseDevice();
