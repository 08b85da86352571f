#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "files/sound_file_records.h"
#include "wavetable/partial_table.h"

// Ensoniq EPS16+ / ASR10 instrument files (".EFE", 70,144 bytes): a text
// header, an instrument made from a fixed template, 128 waves of 256
// samples as 16-bit big-endian, and the VORTA table as signed bytes with R.
inline constexpr size_t kEfeFileBytes = 70144;
inline constexpr size_t kEfeHeaderBytes = 64;
inline constexpr size_t kEfeNameChars = 12;
inline constexpr int kEfeWaveCount = 128;
inline constexpr int kEfeWaveLength = 256;
inline constexpr int kEfeInterpolation = 4;  // 129 rendered waves, the first 128 stored

namespace efe_offset {
inline constexpr size_t kHeaderName = 18;
inline constexpr size_t kInstrument = 512;
inline constexpr size_t kNameFields[3] = {522, 1178, 1402};  // one character in every second byte
inline constexpr size_t kWaves = 1680;
inline constexpr size_t kWaveTrailer = 67216;
inline constexpr size_t kCodes = 67584;  // byte [64 s + p] = code of partial p + 1 in slice s
inline constexpr size_t kStretch = 69696;
}  // namespace efe_offset

// The instrument template with header and name fields for the file name (up
// to its first '.', at most 12 characters, blank-padded), the waves and the
// table.
std::vector<uint8_t> BuildEfeFile(const PartialTable& table, uint8_t stretch, const std::string& fileName);

int16_t ReadEfeFile(std::FILE* file, FileInfo* info, SamplerBlock* block);

// 3 or 11 (26 when newFile and the name is taken).
int WriteEfeTable(AppGlobals& app, const PartialTable& table, uint8_t stretch, const std::string& fileName,
                  bool newFile = false);
