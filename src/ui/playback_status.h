#pragma once
#include <cstdint>

// The header fields and buttons of playback that many pages share.

// Status field (2, 0) "SOUND DEVICE:" with the selected device's name, or
// "NO VALID DEVICE FOUND".
void ShowSoundDevice();

// Status field (0, 3) "PLAYBACK VOLUME:", the volume x 64 (1 .. 64).
void ShowPlaybackVolume();

// Status field (2, 2) "SPEED <RAM WT PLAYBACK>:", 33 - R.
void ShowRamSpeed(int32_t stretch);

// "-VOLUME" (F1, code 1) and "+VOLUME" (F2, code 2) of the pages that have
// them: the volume steps, or the message line says it is at its limit.
// True when the code was one of the two.
bool HandleVolumeButton(uint8_t code);

// "-SPEED" (F9, code 9) and "+SPEED" (F10, code 10) of the RAM wavetable.
// True when the stretch changed (the page renders the table again).
bool HandleRamSpeedButton(uint8_t code, int32_t& stretch);
