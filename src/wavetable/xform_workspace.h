#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "core/progress_hooks.h"
#include "core/message_codes.h"
#include "wavetable/undo_ring.h"
#include "wavetable/xform_synthesis.h"
#include "wavetable/xform_table.h"

// The XFORM module's working data from its entry to its exit: the table,
// the synthesis engine (rotors, lanes, transform tables) and the undo ring,
// whose entries hold whole spectrum buffers and whose length follows the
// installed memory.
struct XformWorkspace {
  XformTable table;
  XformEngine engine;
  UndoRing undo;
};

// Entry: an empty table (speed 32, no name), the engine prepared with lanes
// for laneCount threads (the processor count), the undo ring reset for the
// installed memory.
void EnterXform(XformWorkspace& workspace, uint64_t physicalMemory, int laneCount);
// Exit: every buffer and the transform tables released.
void LeaveXform(XformWorkspace& workspace);

// "FLUSH": empty table and name, undo reset; the speed stays.
void FlushXform(XformWorkspace& workspace);

// The table's spectrum buffer as the bytes the undo ring compares and keeps.
std::span<const uint8_t> SpectrumBytes(const XformTable& table);
std::span<uint8_t> SpectrumBytes(XformTable& table);

// A source of `frames` frames was placed in the noise buffer (an XFORM file
// or a sample's range): the table is reconstructed from it, takes the name
// and the undo ring starts afresh. Aborted leaves an empty table.
MessageCode LoadXformSource(XformWorkspace& workspace, int64_t frames, std::string_view name,
                             const ProgressHooks& hooks);

// The analysis pages filled the table themselves: name it and start the
// undo ring afresh.
void AdoptXformTable(XformWorkspace& workspace, std::string_view name);

// After a committed edit: records the state before it when the spectra
// changed (nothing for the undo button itself). Returns whether an entry
// was written.
bool CommitXformChange(XformWorkspace& workspace, int actionCode);

// "s UNDO": the spectra of the previous state come back and the noise is
// synthesised from them again; Done or UndoListEmpty.
MessageCode UndoXformChange(XformWorkspace& workspace, const ProgressHooks& hooks);

// Memory the session holds now: table, engine, transform tables, undo ring.
size_t XformSessionBytes(const XformWorkspace& workspace);
