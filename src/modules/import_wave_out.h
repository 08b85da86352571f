#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "modules/import_source.h"

// The WAV file an import writes, block by block: the canonical 44-byte
// header (its sizes filled in at the end), the audio data as 16-bit PCM or
// 32-bit float, and a "smpl" chunk when the source had a loop or a root
// note. The library reader accepts exactly this layout.

struct ImportWaveOut {
  std::FILE* file = nullptr;
  int channels = 0;
  bool floatData = false;
  uint64_t frames = 0;
  bool failed = false;
  std::vector<uint8_t> bytes;  // one converted block
};

bool OpenImportWave(ImportWaveOut& out, const std::string& path, int channels, bool floatData);

// Appends interleaved frames; 16-bit data is rounded to the nearest step
// (halves away from zero) and held within full scale.
void WriteImportFrames(ImportWaveOut& out, std::span<const float> interleaved);

// Writes the "smpl" chunk (when instrument is given), the header's sizes,
// and closes the file. False when any write failed.
bool FinishImportWave(ImportWaveOut& out, const std::optional<ImportInstrument>& instrument);

// Closes without finishing (the caller removes the file).
void AbandonImportWave(ImportWaveOut& out);

// The "smpl" chunk bytes (tag, size and data) for the instrument: unity
// note and pitch fraction from the root note and detune, one loop when
// there is one (its end written as the last frame of the loop).
std::vector<uint8_t> ImportSamplerChunk(const ImportInstrument& instrument);
