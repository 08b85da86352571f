#pragma once
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "core/app_globals.h"
#include "files/sound_file_records.h"
#include "wavetable/partial_table.h"

// Surge wavetables (".WT"): "vawt", the wave length 1,024, the wave count n
// (1..33) and 16-bit flags 0, n waves of 1,024 32-bit floats, then the
// payload tail with the VORTA table.
inline constexpr uint32_t kSurgeWaveLength = 1024;
inline constexpr size_t kSurgeHeaderBytes = 12;

// The active waves of the table rendered at 1,024 samples.
std::vector<uint8_t> BuildSurgeFile(const PartialTable& table, int32_t stretch);

// Whether the head of a ".WT" file is a Surge header of 1,024-sample waves.
bool IsSurgeHead(std::span<const uint8_t> head);
int16_t ReadSurgeFile(std::FILE* file, std::span<const uint8_t> head, FileInfo* info, SamplerBlock* block);

// 3 or 11 (26 when newFile and the name is taken).
int WriteSurgeTable(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                    bool newFile = false);
