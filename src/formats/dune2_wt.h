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

// Dune2 wavetables (".WT"): a 352-byte header with the wave count n (1..33)
// in byte 20, 24 band-limited layers of n waves of 2,048 16-bit signed
// samples each, then the payload tail with the VORTA table.
inline constexpr size_t kDune2HeaderBytes = 352;
inline constexpr int kDune2WaveLength = 2048;
inline constexpr int kDune2LayerCount = 24;
inline constexpr size_t kDune2WaveBytes = kDune2WaveLength * 2;
inline constexpr size_t kDune2WaveCountOffset = 20;

// Layer i is rendered from the first kDune2LayerPartials[i] partials only.
inline constexpr std::array<int, kDune2LayerCount> kDune2LayerPartials = {
    64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 53, 42, 33, 26, 21, 16, 13, 10, 8, 6, 5, 4};

// The table with every partial from row `partials` on silenced.
PartialTable BandLimitedTable(const PartialTable& table, int partials);

// Each layer rendered at 2,048 samples, scaled to peak 1.0 (a layer its band
// limit leaves silent stays silent) and stored as nearest(32,767 x sample);
// a layer with the partial count of the one before is a copy of it.
std::vector<uint8_t> BuildDune2File(const PartialTable& table, int32_t stretch);

bool IsDune2Head(std::span<const uint8_t> head);
int16_t ReadDune2File(std::FILE* file, std::span<const uint8_t> head, FileInfo* info, SamplerBlock* block);

// 3 or 11 (26 when newFile and the name is taken).
int WriteDune2Table(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                    bool newFile = false);
