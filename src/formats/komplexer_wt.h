#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "files/sound_file_records.h"
#include "wavetable/partial_table.h"

// Komplexer wavetables (".WT", no header): 2,112 32-bit floats, slice after
// slice, value [s][p] at 64 s + p being the linear amplitude of partial p + 1
// in slice s. The program scales its exports so that the largest magnitude
// M is just below 1.0 and carries the table's level and R:
//   4,096 M = (4,096 - R) + (127 - largest code) / 256.
// Every reader takes R from the whole part (the fraction stays below 0.5)
// and brings M to full scale; this one takes the fraction as well, so the
// table comes back with its own level. A table whose largest code is 127
// writes the same bytes as before the fraction was used. A silent table
// carries R in the signs of its zeros: the value at index R - 1 is -0.0.
inline constexpr size_t kKomplexerValueCount = kTableCodeCount;
inline constexpr size_t kKomplexerFileBytes = kKomplexerValueCount * 4;  // 8,448
inline constexpr double kKomplexerLevelSteps = 4096.0;                  // peak (4,096 - R) / 4,096
inline constexpr double kKomplexerFractionSteps = 256.0;               // one step per code below 127

std::vector<uint8_t> BuildKomplexerFile(const PartialTable& table, int32_t stretch);

// ".WT" files that are neither Surge nor Dune2; head holds the first bytes
// already read (352), the stream stands behind them.
int16_t ReadKomplexerFile(std::FILE* file, const std::string& fileName, std::span<const uint8_t> head,
                          FileInfo* info, SamplerBlock* block);

// 3 or 11 (26 when newFile and the name is taken).
int WriteKomplexerTable(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                        bool newFile = false);
