#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/app_globals.h"
#include "files/file_classification.h"
#include "files/sample_loader.h"
#include "wavetable/partial_table.h"

// Loading a VORTA table file (categories 3 to 10: the program's own WAV
// tables, Komplexer, Blofeld, EFE, Surge, WaveGenerator, Dune2 and Serum)
// into a table: the reader's load mode places the table and R in the
// sampler block; codes are held within -127..127 and an R outside 1..32
// becomes 16.
bool IsVortaTableCategory(int category);

// False, leaving table and R untouched, when the file is not of the
// expected category.
bool LoadVortaStream(std::FILE* file, const std::string& fileName, int expectedCategory, PartialTable& table,
                     int32_t& stretch, const ReadRules& rules);

// The same for an entry of a category folder: 3 when loaded, 11 otherwise.
int LoadVortaFile(AppGlobals& app, const LibraryEntry& entry, PartialTable& table, int32_t& stretch);
