#include "files/wave_data_extent.h"

#include <sys/types.h>

#include <algorithm>
#include <cstdio>

#include "files/riff_chunks.h"
#include "files/wave_reader.h"

bool MeasureWaveData(const std::string& path, WaveDataExtent& extent) {
  extent = WaveDataExtent{};
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  WaveHeader header;
  SamplerBlock block;
  const uint64_t dataPosition = ScanRiffChunks(file, header, block, true);
  const bool sized = std::fseek(file, 0, SEEK_END) == 0;
  const off_t end = sized ? ftello(file) : -1;
  std::fclose(file);
  const uint64_t bitsPerFrame = static_cast<uint64_t>(header.bitsPerSample) * header.channels;
  if (header.dataTag != kDataTag || dataPosition == 0 || bitsPerFrame == 0 || end < 0) return false;
  const uint64_t fileSize = static_cast<uint64_t>(end);
  const uint64_t held = fileSize > dataPosition ? std::min<uint64_t>(header.dataSize, fileSize - dataPosition) : 0;
  extent.announced = WaveFrames(header);
  extent.present = held * 8 / bitsPerFrame;
  return true;
}
