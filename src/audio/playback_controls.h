#pragma once
#include <cstdint>

#include "core/message_codes.h"

// The playback volume steps in factors of 2 between 1/64 and 1: "-VOLUME"
// halves it unless it is 1/64 or less ("MIN VALUE"), "+VOLUME" doubles it
// unless it is 1 or more ("MAX VALUE"). Nothing changes at a limit.
MessageCode LowerVolume(float& volume);
MessageCode RaiseVolume(float& volume);
// The volume as "PLAYBACK VOLUME:" shows it: 1 to 64.
double ShownVolume(float volume);

// The RAM wavetable's playback stretch R (1..32): "-SPEED" lengthens the
// blends (R + 1, "MIN VALUE" at 32), "+SPEED" shortens them (R - 1,
// "MAX VALUE" at 1).
MessageCode SlowerRamPlayback(int32_t& stretch);
MessageCode FasterRamPlayback(int32_t& stretch);

// "pRAM_WT" plays the rendered table as a mono sound of R x 8,192 + 256
// frames, once.
int64_t RamPlaybackFrames(int32_t stretch);
