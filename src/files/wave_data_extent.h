#pragma once
#include <cstdint>
#include <string>

// How much audio a WAV file really holds. A file cut short (a broken copy,
// a header written before the data) announces more frames than it has; the
// loaders read the missing part as silence, so tools that should not stay
// silent about it ask here.
struct WaveDataExtent {
  uint64_t announced = 0;  // frames the data chunk's size gives
  uint64_t present = 0;    // frames the file actually holds behind the chunk header
};

// False when the file cannot be read or has no data chunk with a usable
// frame size.
bool MeasureWaveData(const std::string& path, WaveDataExtent& extent);
