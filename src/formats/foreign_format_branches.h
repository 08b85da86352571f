#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "files/sound_file_records.h"

// Reader branches for the wavetable files of other instruments, chosen by
// extension. Each gets the open file at its start; in properties mode (info
// given) it fills info and returns the category or 0 with the rejection in
// info->remark; in load mode it fills block (when given) with zeros, the
// PartialTable at block offset 76 and R at block offset 4300. A rejected
// file leaves the block zeroed.
int16_t ReadBlofeldSysexBranch(std::FILE* file, const std::string& fileName, FileInfo* info, SamplerBlock* block);  // ".SYX"
int16_t ReadWtBranch(std::FILE* file, const std::string& fileName, FileInfo* info, SamplerBlock* block);  // ".WT": Surge, Dune2, Komplexer
int16_t ReadEfeBranch(std::FILE* file, const std::string& fileName, FileInfo* info, SamplerBlock* block);  // ".EFE"
int16_t ReadWtsBranch(std::FILE* file, const std::string& fileName, FileInfo* info, SamplerBlock* block);  // ".WTS"
