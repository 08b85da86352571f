#include "wavetable/vorta_workspace.h"

#include <gtest/gtest.h>

#include "vorta_fixture.h"
#include "wavetable/table_assembling.h"
#include "wavetable/table_editing.h"

namespace {

constexpr int16_t kEnvelopePage = 500;
constexpr int16_t kAssemblyPage = 400;
constexpr int16_t kEditingPage = 600;
constexpr int kSomeButton = 5;

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

TEST_F(VortaWorkspaceTest, EntryFlushAndLoad) {
  EXPECT_TRUE(TableIsSilent(workspace.table));
  EXPECT_EQ(workspace.playbackStretch, 16);
  EXPECT_TRUE(workspace.ramName.empty());
  EXPECT_EQ(workspace.ram.samples.size(), kRamWavetableSamples);
  EXPECT_EQ(workspace.ram.length, 16u * 8192u + 256u);

  PartialTable loaded = TableWithCode(0, 0, 127);
  loaded.at(1, 1) = 400;  // out of range in the file
  LoadVortaTable(workspace, loaded, 4, "A VERY LONG TABLE NAME FROM DISK");
  EXPECT_EQ(workspace.table.at(1, 1), 127);
  EXPECT_EQ(workspace.playbackStretch, 4);
  EXPECT_EQ(workspace.ramName, "A VERY LONG TABLE NAM");
  EXPECT_EQ(workspace.ram.length, 4u * 8192u + 256u);
  EXPECT_NEAR(workspace.ram.samples[64], 1.0, 1e-5);
  ExpectUndo(kMsgUndoListEmpty, 0, workspace.table);  // loading starts afresh

  workspace.table.at(5, 5) = 10;
  CommitTableChange(workspace, kEditingPage, kSomeButton);
  FlushVorta(workspace);
  EXPECT_EQ(workspace.playbackStretch, 16);
  EXPECT_TRUE(workspace.ramName.empty());
  ExpectUndo(kMsgUndoListEmpty, 0, PartialTable{});

  const PartialTable generated = GenerateHarmonics(1.0, 1.0, 0, 1);
  ReplaceWithGeneratedTable(workspace, generated);
  EXPECT_EQ(workspace.playbackStretch, 16);
  ExpectUndo(kMsgUndoListEmpty, 0, generated);

  EXPECT_EQ(TableForOutput(TableWithCode(0, 0, 116)).at(0, 0), 127);
}

TEST_F(VortaWorkspaceTest, UndoRestoresPageAndTable) {
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

TEST_F(VortaWorkspaceTest, SourceToDestinationAndUndo) {
  TableAssembly assembly;
  EXPECT_EQ(CopySourceToDestination(assembly, workspace.table), kMsgNoFileSelected);
  EXPECT_FALSE(CommitTableChange(workspace, kAssemblyPage, kSomeButton));

  const PartialTable file = TableWithCode(4, 5, 77);
  LoadVortaTable(workspace, file, 16, "SAME");
  SelectAssemblySource(assembly, file, false);
  for (int i = 0; i < 5; ++i) StepSourceSlice(assembly, 1);
  assembly.destination = 5;
  CopySourceToDestination(assembly, workspace.table);
  EXPECT_FALSE(CommitTableChange(workspace, kAssemblyPage, kSomeButton));  // identical table: no entry

  assembly.destination = 6;
  CopySourceToDestination(assembly, workspace.table);
  EXPECT_TRUE(CommitTableChange(workspace, kAssemblyPage, kSomeButton));
  EXPECT_EQ(workspace.table.at(4, 6), 77);
  ExpectUndo(kMsgDone, kAssemblyPage, file);
}
