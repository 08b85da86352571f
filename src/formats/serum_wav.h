#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "wavetable/partial_table.h"

// Serum-style wavetables (".WAV", category 10): a mono 32-bit float WAV of
// n waves of 2,048 samples with the chunks "RIFF", "JUNK", "fmt ", "clm ",
// "data", "smpl"; the "smpl" chunk carries the VORTA table. The RIFF size
// counts both extra chunks, which is how the reader tells this layout from
// the program's own WAV tables.
inline constexpr int kSerumWaveLength = 2048;
inline constexpr uint32_t kSerumUnityNote = 29;

std::vector<uint8_t> BuildSerumFile(const PartialTable& table, int32_t stretch);

// 3 or 11 (26 when newFile and the name is taken).
int WriteSerumTable(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                    bool newFile = false);
