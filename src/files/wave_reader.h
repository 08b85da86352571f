#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "files/file_classification.h"
#include "files/sound_file_records.h"

// The wavetable files of other instruments are read in formats/, above the
// table model (loading one renders its table). The universal reader reaches
// them through these branches, registered once at start before any file is
// read (RegisterTableFormatReaders). Each gets the open file at its start and
// answers as ReadSoundFile does; an unregistered branch refuses its files as
// of unknown type.
using ForeignReadBranch = int16_t (*)(std::FILE* file, const std::string& fileName, FileInfo* info,
                                      SamplerBlock* block);
struct ForeignReadBranches {
  ForeignReadBranch blofeld = nullptr;        // ".SYX"
  ForeignReadBranch wt = nullptr;             // ".WT": Surge, Dune2, Komplexer
  ForeignReadBranch efe = nullptr;            // ".EFE"
  ForeignReadBranch waveGenerator = nullptr;  // ".WTS"
};
void RegisterForeignReadBranches(const ForeignReadBranches& branches);

// The universal reader: decides by extension and content which category a
// file of the library belongs to.
//
// Properties mode (info given): fills info and returns the category; the
// other outputs are left alone.
// Load mode (no info): for a WAV file of category 1, 2 or 13 the file is left
// at the first audio byte and header and block receive the file's header and
// "smpl" image (each when given); for categories 3 and 10 only the block is
// filled and the header zeroed. A rejected file leaves both outputs zeroed.
// The caller keeps the file open and closes it.
int16_t ReadSoundFile(std::FILE* file, const std::string& fileName, FileInfo* info, WaveHeader* header,
                      SamplerBlock* block, const ReadRules& rules);

// The file test: opens the file at path, reads it in properties mode (or
// with no outputs when info is null) and closes it. A file that cannot be
// opened is category 0 with "ACCESS DENIED".
int16_t TestSoundFile(const std::string& path, FileInfo* info, const ReadRules& rules);

// Frames of the header's audio data, 0 for a header without frame size.
uint64_t WaveFrames(const WaveHeader& header);
