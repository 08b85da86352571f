#include "wavetable/undo_ring.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/byte_order.h"
#include "core/checked_alloc.h"

namespace {

bool Matches(const UndoRing& ring, std::span<const uint8_t> table) {
  return ring.snapshot.size() == table.size() && std::equal(table.begin(), table.end(), ring.snapshot.begin());
}

bool IsUsed(const std::vector<uint8_t>& entry) { return !entry.empty() && entry[0] == 1; }

void EmptyEntry(std::vector<uint8_t>& entry) { std::vector<uint8_t>().swap(entry); }

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
    CheckedAlloc(ring.entries, static_cast<size_t>(std::max(geometry.entryCount, 1)));
    CheckedAlloc(ring.snapshot, geometry.tableBytes);
  } else {
    for (auto& entry : ring.entries) EmptyEntry(entry);
  }
  const size_t count = std::min(table.size(), ring.snapshot.size());
  std::memcpy(ring.snapshot.data(), table.data(), count);
  ring.index = 0;
}

bool UndoRecord(UndoRing& ring, std::span<const uint8_t> table, int16_t page, int actionCode) {
  if (actionCode == kUndoButtonCode) return false;
  if (ring.entries.empty() || table.size() != ring.geometry.tableBytes) return false;
  if (Matches(ring, table)) return false;
  std::vector<uint8_t>& entry = ring.entries[ring.index];
  if (entry.size() != ring.geometry.EntryBytes()) CheckedAlloc(entry, ring.geometry.EntryBytes());
  entry[0] = 1;
  std::memcpy(entry.data() + 1, ring.snapshot.data(), ring.geometry.tableBytes);
  if (ring.geometry.carriesPage) WriteI16LE(entry.data() + 1 + ring.geometry.tableBytes, page);
  std::memcpy(ring.snapshot.data(), table.data(), table.size());
  ring.index = static_cast<uint16_t>((ring.index + 1) % ring.entries.size());
  return true;
}

MessageCode UndoStep(UndoRing& ring, std::span<uint8_t> table, int16_t& page) {
  if (ring.entries.empty() || table.size() != ring.geometry.tableBytes) return kMsgUndoListEmpty;
  const int count = static_cast<int>(ring.entries.size());
  const int previous = (ring.index + count - 1) % count;
  std::vector<uint8_t>& entry = ring.entries[static_cast<size_t>(previous)];
  if (!IsUsed(entry)) {
    ring.index = 0;
    return kMsgUndoListEmpty;
  }
  std::memcpy(ring.snapshot.data(), entry.data() + 1, ring.geometry.tableBytes);
  std::memcpy(table.data(), entry.data() + 1, ring.geometry.tableBytes);
  if (ring.geometry.carriesPage) page = ReadI16LE(entry.data() + 1 + ring.geometry.tableBytes);
  EmptyEntry(entry);
  ring.index = static_cast<uint16_t>(previous);
  return kMsgDone;
}

int UndoUsedEntries(const UndoRing& ring) {
  return static_cast<int>(std::count_if(ring.entries.begin(), ring.entries.end(), IsUsed));
}

size_t UndoHeldBytes(const UndoRing& ring) {
  size_t bytes = ring.snapshot.capacity();
  for (const auto& entry : ring.entries) bytes += entry.capacity();
  return bytes;
}

void UndoRelease(UndoRing& ring) {
  std::vector<std::vector<uint8_t>>().swap(ring.entries);
  std::vector<uint8_t>().swap(ring.snapshot);
  ring.geometry = {};
  ring.index = 0;
}
