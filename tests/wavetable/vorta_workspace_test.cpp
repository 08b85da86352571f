// The undo ring, and the VORTA workspace that records every table change in it.
#include "wavetable/vorta_workspace.h"

#include "vorta_fixture.h"
#include "wavetable/table_editing.h"
#include "wavetable/undo_ring.h"

namespace {

constexpr int16_t kEnvelopePage = 500;
constexpr int16_t kEditingPage = 600;
constexpr int kSomeButton = 5;

std::array<uint8_t, 8> State(uint8_t v) { return {v, v, v, v, v, v, v, v}; }

// One step back: its message, the state restored (none: the table stays) and the page shown.
void ExpectStep(UndoRing& ring, MessageCode message, uint8_t state, int16_t page, int16_t startPage = 0) {
  auto table = State(99);
  int16_t shown = startPage;
  EXPECT_EQ(UndoStep(ring, table, shown), message);
  EXPECT_EQ(table, State(message == kMsgDone ? state : 99));
  EXPECT_EQ(shown, page);
}

class VortaWorkspaceTest : public VortaTest {
 protected:
  void SetUp() override {
    VortaTest::SetUp();
    EnterVorta(workspace);
  }
  void TearDown() override { LeaveVorta(workspace); }

  // One undo step: its message, the page it returns to (0 when the list is empty) and the table after it.
  void ExpectUndo(MessageCode message, int16_t page, const PartialTable& table) {
    int16_t shown = 0;
    EXPECT_EQ(UndoTableChange(workspace, shown), message);
    EXPECT_EQ(shown, page);
    EXPECT_EQ(workspace.table, table);
  }

  VortaWorkspace workspace;
};

}  // namespace

TEST_F(VortaWorkspaceTest, EntryFlushLoadAndUndo) {
  EXPECT_TRUE(TableIsSilent(workspace.table));
  EXPECT_EQ(std::pair(workspace.playbackStretch, workspace.ramName), std::pair(16, std::string()));
  EXPECT_EQ(workspace.ram.samples.size(), kRamWavetableSamples);
  EXPECT_EQ(workspace.ram.length, 16u * 8192u + 256u);

  PartialTable loaded = TableWithCode(0, 0, 127);
  loaded.at(1, 1) = 400;  // out of range in the file
  LoadVortaTable(workspace, loaded, 4, "A VERY LONG TABLE NAME FROM DISK");
  EXPECT_EQ(workspace.table.at(1, 1), 127);
  EXPECT_EQ(std::pair(workspace.playbackStretch, workspace.ramName),
            std::pair(4, std::string("A VERY LONG TABLE NAM")));
  EXPECT_EQ(workspace.ram.length, 4u * 8192u + 256u);
  EXPECT_NEAR(workspace.ram.samples[64], 1.0, 1e-5);
  ExpectUndo(kMsgUndoListEmpty, 0, workspace.table);  // loading starts afresh

  workspace.table.at(5, 5) = 10;
  CommitTableChange(workspace, kEditingPage, kSomeButton);
  FlushVorta(workspace);
  EXPECT_EQ(std::pair(workspace.playbackStretch, workspace.ramName), std::pair(16, std::string()));
  ExpectUndo(kMsgUndoListEmpty, 0, PartialTable{});

  // A generated table without history is pressed through in tests/ui/pages/vorta_editing_test.cpp.
  EXPECT_EQ(TableForOutput(TableWithCode(0, 0, 116)).at(0, 0), 127);

  const PartialTable start = workspace.table;
  workspace.table.at(3, 3) = 127;
  EXPECT_TRUE(CommitTableChange(workspace, kEnvelopePage, kSomeButton));
  const PartialTable afterFirst = workspace.table;
  EXPECT_FALSE(CommitTableChange(workspace, kEditingPage, kSomeButton));  // nothing changed
  FillCodes(workspace.table, 33, 64, -50);
  EXPECT_TRUE(CommitTableChange(workspace, kEditingPage, kSomeButton));

  ExpectUndo(kMsgDone, kEditingPage, afterFirst);
  EXPECT_NEAR(workspace.ram.samples[SliceStart(3, 256, 16) + 16], 1.0, 0.02);  // rendered again
  ExpectUndo(kMsgDone, kEnvelopePage, start);
  ExpectUndo(kMsgUndoListEmpty, 0, start);
}

TEST(UndoRing, EntrySizesXformCountRecordingOnlyChangesAndOverwritingTheOldest) {
  EXPECT_EQ(VortaUndoGeometry().EntryBytes(), 4227u);
  EXPECT_EQ(VortaUndoGeometry().entryCount, 512);
  // One entry per 276,824,080 bytes of memory, rounded, between 2 and 32.
  constexpr uint64_t kPerEntry = 276824080ull;
  const std::pair<uint64_t, int> counts[] = {{0, 2},  {kPerEntry / 3, 2}, {kPerEntry / 2 + 1, 2}, {kPerEntry * 4, 8},
                                             {kPerEntry * 16, 32}, {kPerEntry * 17, 32}, {64ull << 30, 32}};
  for (const auto& [memory, entries] : counts) EXPECT_EQ(XformUndoEntryCount(memory), entries) << memory;

  UndoRing ring;
  UndoReset(ring, UndoGeometry{4, 8, true}, State(0));
  EXPECT_FALSE(UndoRecord(ring, State(0), 100, 1));                // identical to the snapshot
  EXPECT_FALSE(UndoRecord(ring, State(1), 100, kUndoButtonCode));  // the undo button itself
  EXPECT_TRUE(UndoRecord(ring, State(1), 300, 1));
  EXPECT_FALSE(UndoRecord(ring, State(1), 300, 1));  // the same state again
  EXPECT_TRUE(UndoRecord(ring, State(2), 500, 1));
  EXPECT_EQ(UndoUsedEntries(ring), 2);

  ExpectStep(ring, kMsgDone, 1, 500);
  ExpectStep(ring, kMsgDone, 0, 300);
  ExpectStep(ring, kMsgUndoListEmpty, 0, 0);
  EXPECT_TRUE(ring.index == 0 && UndoUsedEntries(ring) == 0);
  // After an undo the snapshot is the restored state: recording it again writes nothing.
  EXPECT_FALSE(UndoRecord(ring, State(0), 1, 1));

  // A full ring overwrites the oldest entry; a reset empties it.
  const UndoGeometry geometry{3, 8, false};
  ring = UndoRing{};
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
