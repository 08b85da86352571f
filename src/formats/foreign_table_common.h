#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "files/sound_file_records.h"
#include "wavetable/partial_table.h"

// What the wavetable files for other instruments share: the VORTA table that
// every export carries so that it can be read back without loss, the
// rendering into consecutive waves, and bounded reading and safe writing.
//
// The writers (Write...Table in each format's header) store the table they
// are given as it is; the file operations pass the optimised copy that every
// output is made from (TableForOutput).

// The payload tail of Surge, WaveGenerator and Dune2 files: the 2,112 codes
// as 16-bit little-endian, row after row, then R as 32-bit little-endian.
inline constexpr size_t kPayloadTailBytes = kTableBytes + 4;  // 4,228
// R that a file does not carry.
inline constexpr int32_t kNoStoredStretch = 0;

void AppendPayloadTail(std::vector<uint8_t>& out, const PartialTable& table, int32_t stretch);

// Every code of magnitude below 128 and R within 1..32.
bool PayloadTailInRange(std::span<const uint8_t> tail);

// The load-mode output of the foreign readers: a zeroed block with the coded
// table at offset 76 and the stored R at offset 4300.
void FillForeignSamplerBlock(SamplerBlock& block, const PartialTable& table, int32_t stretch);
void FillForeignSamplerBlock(SamplerBlock& block, std::span<const uint8_t> tail);

// Waves the exporters of Surge, WaveGenerator, Dune2 and Serum write: the
// slices up to the last one that holds a code, at least 1.
int ActiveWaveCount(const PartialTable& table);

// The table rendered as consecutive waves of the given length with
// interpolation - 1 blended waves between neighbouring slices: 33 waves at
// factor 1, 65 at 2, 129 at 4. Louder slices are brought down to peak 1.0.
std::vector<float> RenderWaves(const PartialTable& table, int waveLength, int interpolation);

// Scales the samples so that their peak becomes exactly 1.0; silence (or
// anything without a finite peak above 0) stays as it is.
void ScaleToFullPeak(std::span<float> samples);

// nearest(full x sample) as a signed 16-bit value, clamped; non-finite is 0.
int16_t SampleToI16(float sample, double full = 32767.0);

// The name an instrument shows: the file name up to its first '.', at most
// chars characters, blank-padded; characters outside 32..126 become blanks.
std::string InstrumentName(const std::string& fileName, size_t chars);

// Writes the bytes as the file in the category's folder: 3 when everything
// was written, else 11 and an existing file of that name stays as it was.
// With newFile an existing file is never replaced (26 when one exists).
int WriteCategoryFile(AppGlobals& app, int category, const std::string& fileName, std::span<const uint8_t> bytes,
                      bool newFile = false);

// The whole file of a category folder when it holds at most maxBytes.
std::optional<std::vector<uint8_t>> ReadCategoryFile(AppGlobals& app, int category, const std::string& fileName,
                                                     size_t maxBytes);

// Bytes from the open stream: the size of the file, its rest from the
// current position, and exact reads at an offset that never seek beyond the
// file's real end.
std::optional<uint64_t> StreamSize(std::FILE* file);
bool ReadExactly(std::FILE* file, std::span<uint8_t> out);
bool ReadAt(std::FILE* file, uint64_t offset, std::span<uint8_t> out);
