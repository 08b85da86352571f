#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "wavetable/partial_table.h"
#include "wavetable/ram_wavetable.h"
#include "core/message_codes.h"
#include "wavetable/undo_ring.h"

// The VORTA module's working data, from its entry to its exit: the coded
// table, its rendered form, stretch and name, and the undo ring.
struct VortaWorkspace {
  PartialTable table;
  int32_t playbackStretch = kDefaultStretch;
  std::string ramName;
  RamWavetable ram;
  UndoRing undo;
};

// Entry: silent table, R = 16, no name, undo reset, buffers and the
// transform tables allocated, the empty table rendered.
void EnterVorta(VortaWorkspace& workspace);
// Exit: every buffer and the transform tables released.
void LeaveVorta(VortaWorkspace& workspace);

// "FLUSH": silent table, R = 16, no name, undo reset.
void FlushVorta(VortaWorkspace& workspace);

// A table loaded from a file replaces table, R and name; the undo ring
// starts afresh.
void LoadVortaTable(VortaWorkspace& workspace, const PartialTable& table, int32_t stretch, std::string_view name);

// The symmetry modulation generator's "fAPPLY": the whole table replaced,
// R = 16, no name, undo reset.
void ReplaceWithGeneratedTable(VortaWorkspace& workspace, const PartialTable& table);

// After a change on a page: record undo (nothing when the table equals the
// last recorded state or the action is the undo button) and render again.
// Returns whether an undo entry was written.
bool CommitTableChange(VortaWorkspace& workspace, int16_t page, int actionCode);

// "s UNDO": the previous state with the page it was made on; Done or
// UndoListEmpty. Renders again after a step.
MessageCode UndoTableChange(VortaWorkspace& workspace, int16_t& page);

// The copy every VORTA file or wavetable output writes: optimised.
PartialTable TableForOutput(const PartialTable& table);

// The coded table as the bytes the undo ring keeps.
std::array<uint8_t, kTableBytes> TableImage(const PartialTable& table);
