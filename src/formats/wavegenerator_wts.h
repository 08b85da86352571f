#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "files/sound_file_records.h"
#include "wavetable/partial_table.h"

// WaveGenerator wavetables (".WTS"): an 8-byte header with the wave count n
// (1..33) in byte 2, two bytes per wave (0 and the wave's number), 256
// bytes per wave, then the payload tail with the VORTA table.
//
// Each wave's 256 bytes hold its whole cycle of 128 samples at half level
// as 16-bit signed little-endian values.
inline constexpr int kWtsWaveLength = 128;
inline constexpr size_t kWtsHeaderBytes = 8;
inline constexpr size_t kWtsWaveBytes = 256;
inline constexpr size_t kWtsWaveEntryBytes = 2;
inline constexpr double kWtsLevel = 0.5;

std::vector<uint8_t> BuildWtsFile(const PartialTable& table, int32_t stretch);

int16_t ReadWtsFile(std::FILE* file, FileInfo* info, SamplerBlock* block);

// 3 or 11 (26 when newFile and the name is taken).
int WriteWtsTable(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                  bool newFile = false);
