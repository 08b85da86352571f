#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/prelisten.h"

// Listening to a file of the library by what it is: a sample as it is, a
// single cycle resampled to the table's unity pitch (256 samples, 172.27
// Hz) and looped, a VORTA table of folders 3 to 10 rendered at its stretch
// and played through once, an XFORM table scanned at its speed. The sound
// is kept in the two buffers.
struct ListeningBuffers {
  std::vector<float>& left;
  std::vector<float>& right;
};

// False when the file cannot be read as its folder's kind (folder 0 and the
// other folders play nothing).
bool LoadForListening(int category, const std::string& name, ListeningBuffers buffers, PrelistenSource& source);

// Resamples one cycle of any length to `length` samples by linear
// interpolation around the loop.
std::vector<float> ResampleCycle(const std::vector<float>& cycle, int length);

// "pFILE": plays the file while its button is held; "NO FILE SELECTED"
// without one, "NO DATA" when it cannot be loaded, "SOUND DEVICE NOT
// AVAILABLE" without a device.
void PlayListedFileHeld(int category, const std::string& name, ListeningBuffers buffers, uint8_t code);
