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
// is (4,096 - R) / 4,096: just below 1.0, and R can be read back from it.
// Only relative levels travel: a table read back has its loudest partial at
// code 127.
inline constexpr size_t kKomplexerValueCount = kTableCodeCount;
inline constexpr size_t kKomplexerFileBytes = kKomplexerValueCount * 4;  // 8,448
inline constexpr double kKomplexerLevelSteps = 4096.0;                  // peak (4,096 - R) / 4,096

std::vector<uint8_t> BuildKomplexerFile(const PartialTable& table, int32_t stretch);

// ".WT" files that are neither Surge nor Dune2; head holds the first bytes
// already read (352), the stream stands behind them.
int16_t ReadKomplexerFile(std::FILE* file, const std::string& fileName, std::span<const uint8_t> head,
                          FileInfo* info, SamplerBlock* block);

// 3 or 11 (26 when newFile and the name is taken).
int WriteKomplexerTable(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                        bool newFile = false);
