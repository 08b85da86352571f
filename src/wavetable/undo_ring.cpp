#include "wavetable/undo_ring.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/byte_order.h"
#include "core/checked_alloc.h"

namespace {

uint8_t* EntryAt(UndoRing& ring, int entry) {
  return ring.entries.data() + static_cast<size_t>(entry) * ring.geometry.EntryBytes();
}

bool Matches(const UndoRing& ring, std::span<const uint8_t> table) {
  return ring.snapshot.size() == table.size() && std::equal(table.begin(), table.end(), ring.snapshot.begin());
}

void ClearUsedFlags(UndoRing& ring) {
  // An entry whose flag is 0 is never read, so clearing the flag empties it.
  for (int entry = 0; entry < ring.geometry.entryCount; ++entry) EntryAt(ring, entry)[0] = 0;
}

}  // namespace

UndoGeometry VortaUndoGeometry() { return {kVortaUndoEntries, kVortaUndoTableBytes, true}; }

int XformUndoEntryCount(uint64_t physicalMemory) {
  const double units = std::round(static_cast<double>(physicalMemory) / static_cast<double>(kXformUndoMemoryUnit));
  if (units <= 0) return kXformUndoMinEntries;
  if (units > 16) return kXformUndoMaxEntries;
  return 2 * static_cast<int>(units);
}

UndoGeometry XformUndoGeometry(uint64_t physicalMemory) {
  return {XformUndoEntryCount(physicalMemory), kXformUndoTableBytes, false};
}

void UndoReset(UndoRing& ring, const UndoGeometry& geometry, std::span<const uint8_t> table) {
  if (ring.entries.empty() || !(ring.geometry == geometry)) {
    ring.geometry = geometry;
    CheckedAlloc(ring.entries, static_cast<size_t>(geometry.entryCount) * geometry.EntryBytes());
    CheckedAlloc(ring.snapshot, geometry.tableBytes);
  } else {
    ClearUsedFlags(ring);
  }
  const size_t count = std::min(table.size(), ring.snapshot.size());
  std::memcpy(ring.snapshot.data(), table.data(), count);
  ring.index = 0;
}

bool UndoRecord(UndoRing& ring, std::span<const uint8_t> table, int16_t page, int actionCode) {
  if (actionCode == kUndoButtonCode) return false;
  if (ring.entries.empty() || table.size() != ring.geometry.tableBytes) return false;
  if (Matches(ring, table)) return false;
  uint8_t* entry = EntryAt(ring, ring.index);
  entry[0] = 1;
  std::memcpy(entry + 1, ring.snapshot.data(), ring.geometry.tableBytes);
  if (ring.geometry.carriesPage) WriteI16LE(entry + 1 + ring.geometry.tableBytes, page);
  std::memcpy(ring.snapshot.data(), table.data(), table.size());
  ring.index = static_cast<uint16_t>((ring.index + 1) % ring.geometry.entryCount);
  return true;
}

MessageCode UndoStep(UndoRing& ring, std::span<uint8_t> table, int16_t& page) {
  if (ring.entries.empty() || table.size() != ring.geometry.tableBytes) return kMsgUndoListEmpty;
  const int count = ring.geometry.entryCount;
  const int previous = (ring.index + count - 1) % count;
  uint8_t* entry = EntryAt(ring, previous);
  if (entry[0] != 1) {
    ring.index = 0;
    return kMsgUndoListEmpty;
  }
  std::memcpy(ring.snapshot.data(), entry + 1, ring.geometry.tableBytes);
  std::memcpy(table.data(), entry + 1, ring.geometry.tableBytes);
  if (ring.geometry.carriesPage) page = ReadI16LE(entry + 1 + ring.geometry.tableBytes);
  std::memset(entry, 0, ring.geometry.EntryBytes());
  ring.index = static_cast<uint16_t>(previous);
  return kMsgDone;
}

int UndoUsedEntries(const UndoRing& ring) {
  int used = 0;
  const size_t stride = ring.geometry.EntryBytes();
  for (size_t offset = 0; offset < ring.entries.size(); offset += stride) used += ring.entries[offset] == 1;
  return used;
}

void UndoRelease(UndoRing& ring) {
  std::vector<uint8_t>().swap(ring.entries);
  std::vector<uint8_t>().swap(ring.snapshot);
  ring.geometry = {};
  ring.index = 0;
}
