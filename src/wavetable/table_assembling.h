#pragma once
#include <cstdint>

#include "wavetable/partial_table.h"
#include "core/message_codes.h"

// Table assembling: single slices of library files are copied into chosen
// slices of the RAM table.
struct AssemblySource {
  bool present = false;       // a file has been chosen
  bool singleCycle = false;   // a single cycle (its partials in slice 0) rather than a table
  PartialTable table;
  int16_t slice = 0;
};

struct TableAssembly {
  AssemblySource source;
  int16_t destination = 0;  // kept while the module is open
};

// A newly selected file: its table becomes the source, source slice 0.
void SelectAssemblySource(TableAssembly& assembly, const PartialTable& table, bool singleCycle);
void ClearAssemblySource(TableAssembly& assembly);

// "<<SRC" / "SRC>>" (direction -1 / +1): table files only; NoFileSelected
// without a file.
MessageCode StepSourceSlice(TableAssembly& assembly, int direction);
// "<<DEST" / "DEST>>".
void StepDestinationSlice(TableAssembly& assembly, int direction);

// "SRC>DEST": the source slice's 64 codes into the destination slice; a
// single cycle is then normalised. NoFileSelected (and no change) without a
// source, None otherwise; the caller records undo and renders.
MessageCode CopySourceToDestination(const TableAssembly& assembly, PartialTable& ramTable);
