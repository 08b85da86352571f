#include "formats/table_format_readers.h"

#include "files/wave_reader.h"
#include "formats/foreign_format_branches.h"

void RegisterTableFormatReaders() {
  ForeignReadBranches branches;
  branches.blofeld = ReadBlofeldSysexBranch;
  branches.wt = ReadWtBranch;
  branches.efe = ReadEfeBranch;
  branches.waveGenerator = ReadWtsBranch;
  RegisterForeignReadBranches(branches);
}
