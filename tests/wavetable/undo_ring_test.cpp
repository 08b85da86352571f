#include "wavetable/undo_ring.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

std::array<uint8_t, 8> State(uint8_t fill) {
  std::array<uint8_t, 8> state{};
  state.fill(fill);
  return state;
}

// Steps back once and checks the message, the state restored (none when the
// list is empty: the table stays as it was) and the page shown afterwards.
void ExpectStep(UndoRing& ring, MessageCode message, uint8_t state, int16_t page, int16_t startPage = 0) {
  auto table = State(99);
  int16_t shown = startPage;
  EXPECT_EQ(UndoStep(ring, table, shown), message);
  EXPECT_EQ(table, State(message == kMsgDone ? state : 99));
  EXPECT_EQ(shown, page);
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
  UndoRing ring;
  auto table = State(0);
  UndoReset(ring, UndoGeometry{4, 8, true}, table);
  EXPECT_FALSE(UndoRecord(ring, table, 100, 1));  // identical to the snapshot
  table = State(1);
  EXPECT_FALSE(UndoRecord(ring, table, 100, kUndoButtonCode));  // the undo button itself
  EXPECT_TRUE(UndoRecord(ring, table, 300, 1));
  EXPECT_FALSE(UndoRecord(ring, table, 300, 1));  // the same state again
  table = State(2);
  EXPECT_TRUE(UndoRecord(ring, table, 500, 1));
  EXPECT_EQ(UndoUsedEntries(ring), 2);

  ExpectStep(ring, kMsgDone, 1, 500);
  ExpectStep(ring, kMsgDone, 0, 300);
  ExpectStep(ring, kMsgUndoListEmpty, 0, 0);
  EXPECT_EQ(ring.index, 0);
  EXPECT_EQ(UndoUsedEntries(ring), 0);
  // After an undo the snapshot is the restored state: recording it again writes nothing.
  EXPECT_FALSE(UndoRecord(ring, State(0), 1, 1));
}

TEST(UndoRing, FullRingOverwritesTheOldestAndResetEmptiesIt) {
  const UndoGeometry geometry{3, 8, false};
  UndoRing ring;
  UndoReset(ring, geometry, State(0));
  for (uint8_t v = 1; v <= 4; ++v) ASSERT_TRUE(UndoRecord(ring, State(v), 0, 1));  // 4 overwrites state 0's entry
  for (uint8_t v = 3; v >= 1; --v) ExpectStep(ring, kMsgDone, v, -1, -1);  // entries without a page leave it alone
  ExpectStep(ring, kMsgUndoListEmpty, 0, -1, -1);

  UndoRecord(ring, State(9), 0, 1);
  UndoReset(ring, geometry, State(9));
  EXPECT_EQ(UndoUsedEntries(ring), 0);
  ExpectStep(ring, kMsgUndoListEmpty, 0, 0);
  UndoRelease(ring);
  EXPECT_FALSE(UndoRecord(ring, State(5), 0, 1));  // a released ring records nothing
  ExpectStep(ring, kMsgUndoListEmpty, 0, 0);
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
