#include "wavetable/undo_ring.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "wavetable/payload.h"

namespace {

std::array<uint8_t, kTableBytes> Image(const PartialTable& table) {
  std::array<uint8_t, kTableBytes> image{};
  WriteTableCodes(image, table);
  return image;
}

std::array<uint8_t, 8> State(uint8_t fill) {
  std::array<uint8_t, 8> state{};
  state.fill(fill);
  return state;
}

}  // namespace

TEST(UndoRing, EntrySizesAndXformCount) {
  EXPECT_EQ(VortaUndoGeometry().EntryBytes(), 4227u);
  EXPECT_EQ(VortaUndoGeometry().entryCount, 512);
  EXPECT_EQ(XformUndoGeometry(0).EntryBytes(), 17301505u);
  // One entry per 276,824,080 bytes of memory, rounded, between 2 and 32.
  constexpr uint64_t kPerEntry = 276824080ull;
  const std::pair<uint64_t, int> counts[] = {{0, 2},  {kPerEntry / 3, 2}, {kPerEntry / 2 + 1, 2}, {kPerEntry * 4, 8},
                                             {kPerEntry * 16, 32}, {kPerEntry * 17, 32}, {64ull << 30, 32}};
  for (const auto& [memory, entries] : counts) EXPECT_EQ(XformUndoEntryCount(memory), entries) << memory;
}

TEST(UndoRing, RecordsOnlyChangesAndStepsBack) {
  const UndoGeometry geometry{4, 8, true};
  UndoRing ring;
  auto table = State(0);
  UndoReset(ring, geometry, table);
  EXPECT_FALSE(UndoRecord(ring, table, 100, 1));  // identical to the snapshot
  table = State(1);
  EXPECT_FALSE(UndoRecord(ring, table, 100, kUndoButtonCode));  // the undo button itself
  EXPECT_TRUE(UndoRecord(ring, table, 300, 1));
  EXPECT_FALSE(UndoRecord(ring, table, 300, 1));  // the same state again
  table = State(2);
  EXPECT_TRUE(UndoRecord(ring, table, 500, 1));
  EXPECT_EQ(UndoUsedEntries(ring), 2);

  int16_t page = 0;
  EXPECT_EQ(UndoStep(ring, table, page), kMsgDone);
  EXPECT_EQ(table, State(1));
  EXPECT_EQ(page, 500);
  EXPECT_EQ(UndoStep(ring, table, page), kMsgDone);
  EXPECT_EQ(table, State(0));
  EXPECT_EQ(page, 300);
  EXPECT_EQ(UndoStep(ring, table, page), kMsgUndoListEmpty);
  EXPECT_EQ(table, State(0));
  EXPECT_EQ(ring.index, 0);
  EXPECT_EQ(UndoUsedEntries(ring), 0);

  // After an undo the snapshot is the restored state: recording it again
  // writes nothing.
  EXPECT_FALSE(UndoRecord(ring, table, 1, 1));
}

TEST(UndoRing, FullRingOverwritesTheOldestAndResetEmptiesIt) {
  const UndoGeometry geometry{3, 8, false};
  UndoRing ring;
  auto table = State(0);
  UndoReset(ring, geometry, table);
  for (uint8_t v = 1; v <= 4; ++v) {  // the fourth change overwrites the state 0 entry
    table = State(v);
    ASSERT_TRUE(UndoRecord(ring, table, 0, 1));
  }
  int16_t page = -1;
  EXPECT_EQ(UndoStep(ring, table, page), kMsgDone);
  EXPECT_EQ(page, -1);  // entries without a page leave it alone
  EXPECT_EQ(UndoStep(ring, table, page), kMsgDone);
  EXPECT_EQ(UndoStep(ring, table, page), kMsgDone);
  EXPECT_EQ(table, State(1));
  EXPECT_EQ(UndoStep(ring, table, page), kMsgUndoListEmpty);
  EXPECT_EQ(table, State(1));

  table = State(9);
  UndoRecord(ring, table, 0, 1);
  UndoReset(ring, geometry, table);
  EXPECT_EQ(UndoUsedEntries(ring), 0);
  EXPECT_EQ(UndoStep(ring, table, page), kMsgUndoListEmpty);
  UndoRelease(ring);
  EXPECT_FALSE(UndoRecord(ring, table, 0, 1));  // a released ring records nothing
  EXPECT_EQ(UndoStep(ring, table, page), kMsgUndoListEmpty);
}

TEST(UndoRing, TheVortaRingKeeps512States) {
  UndoRing ring;
  PartialTable table;
  UndoReset(ring, VortaUndoGeometry(), Image(table));
  for (int change = 1; change <= 513; ++change) {
    table.at(change % 64, change % 33) = static_cast<int16_t>(1 + change % 127);
    table.codes[0] = static_cast<int16_t>(change % 2 ? 5 : -5);
    ASSERT_TRUE(UndoRecord(ring, Image(table), static_cast<int16_t>(change), 1));
  }
  EXPECT_EQ(UndoUsedEntries(ring), 512);
  auto image = Image(table);
  int16_t page = 0;
  int steps = 0;
  while (UndoStep(ring, image, page) == kMsgDone) ++steps;
  EXPECT_EQ(steps, 512);
  EXPECT_EQ(page, 2);  // the state before change 1 was overwritten by the 513th
}

TEST(UndoRing, HoldsMemoryOnlyForWrittenEntries) {
  const UndoGeometry geometry{32, 1 << 20, false};
  UndoRing ring;
  std::vector<uint8_t> table(geometry.tableBytes, 0);
  UndoReset(ring, geometry, table);
  const size_t empty = UndoHeldBytes(ring);
  EXPECT_EQ(empty, geometry.tableBytes);  // the snapshot alone
  table[7] = 1;
  ASSERT_TRUE(UndoRecord(ring, table, 0, 1));
  table[7] = 2;
  ASSERT_TRUE(UndoRecord(ring, table, 0, 1));
  EXPECT_EQ(UndoHeldBytes(ring), empty + 2 * geometry.EntryBytes());
  int16_t page = 0;
  ASSERT_EQ(UndoStep(ring, table, page), kMsgDone);
  EXPECT_EQ(table[7], 1);
  EXPECT_EQ(UndoHeldBytes(ring), empty + geometry.EntryBytes());  // a taken-back entry is freed
  UndoReset(ring, geometry, table);
  EXPECT_EQ(UndoHeldBytes(ring), empty);
}
