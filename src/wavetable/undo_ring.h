#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/message_codes.h"

// One ring of table states for whichever of the VORTA and XFORM modules is
// open. Each entry is a "used" byte, the table as it was before a change
// and, for VORTA, the number of the page the change was made on. The ring
// only sees the table as bytes, so the same code keeps 4,224-byte coded
// VORTA tables and 17 MB XFORM spectra.
inline constexpr int kVortaUndoEntries = 512;
inline constexpr size_t kVortaUndoTableBytes = 4224;
inline constexpr size_t kXformUndoTableBytes = 4325376 * sizeof(float);
inline constexpr uint64_t kXformUndoMemoryUnit = 276824080;  // 16 XFORM entries
inline constexpr int kXformUndoMinEntries = 2;
inline constexpr int kXformUndoMaxEntries = 32;
inline constexpr int kUndoButtonCode = 24;  // the "s UNDO" button itself records nothing

struct UndoGeometry {
  int entryCount = 0;
  size_t tableBytes = 0;
  bool carriesPage = false;

  size_t EntryBytes() const { return 1 + tableBytes + (carriesPage ? 2 : 0); }
  bool operator==(const UndoGeometry&) const = default;
};

// Entries take memory only once written: a slot stays empty (no bytes at
// all) until a change is recorded into it and is freed again when undo
// takes its state back or the ring is reset. The XFORM ring of up to 32
// entries of 17 MB thus costs only what the user's changes have filled.
struct UndoRing {
  UndoGeometry geometry;
  std::vector<std::vector<uint8_t>> entries;  // entryCount slots, each empty or EntryBytes()
  std::vector<uint8_t> snapshot;              // the table as it stood after the last recorded change
  uint16_t index = 0;                         // next entry to write
};

UndoGeometry VortaUndoGeometry();
// 2 entries with little memory, 2 per 264 MiB up to 32, so the ring never
// takes more than about an eighth of the installed memory.
int XformUndoEntryCount(uint64_t physicalMemory);
UndoGeometry XformUndoGeometry(uint64_t physicalMemory);

// Allocates the ring at its first use (or when the geometry changes),
// otherwise empties every entry; then the snapshot becomes the table and
// the index 0.
void UndoReset(UndoRing& ring, const UndoGeometry& geometry, std::span<const uint8_t> table);

// Records the snapshot with the page when the table differs from it, and
// makes the table the new snapshot. Nothing happens for the undo action
// itself or when the table is unchanged. Returns whether an entry was written.
bool UndoRecord(UndoRing& ring, std::span<const uint8_t> table, int16_t page, int actionCode);

// Steps back one entry. A used entry restores table and snapshot, hands
// back its page and gives Done; an empty one leaves the table, sets the
// index to 0 and gives UndoListEmpty.
MessageCode UndoStep(UndoRing& ring, std::span<uint8_t> table, int16_t& page);

int UndoUsedEntries(const UndoRing& ring);

// Bytes the ring holds at the moment: the snapshot and every written entry.
size_t UndoHeldBytes(const UndoRing& ring);

void UndoRelease(UndoRing& ring);
