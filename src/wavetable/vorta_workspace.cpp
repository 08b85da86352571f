#include "wavetable/vorta_workspace.h"

#include "dsp/mixed_radix_dft.h"
#include "wavetable/payload.h"
#include "wavetable/vorta_synthesis.h"

namespace {

void ResetUndo(VortaWorkspace& workspace) {
  const auto image = TableImage(workspace.table);
  UndoReset(workspace.undo, VortaUndoGeometry(), image);
}

void Render(VortaWorkspace& workspace) {
  if (!workspace.ram.samples.empty()) RenderRamWavetable(workspace.table, workspace.ram, workspace.playbackStretch);
}

void StartAfresh(VortaWorkspace& workspace, const PartialTable& table, int32_t stretch, std::string_view name) {
  workspace.table = table;
  ClampTableCodes(workspace.table);
  workspace.playbackStretch = ClampStretch(stretch);
  workspace.ramName = RamNameFrom(name);
  ResetUndo(workspace);
  Render(workspace);
}

}  // namespace

std::array<uint8_t, kTableBytes> TableImage(const PartialTable& table) {
  std::array<uint8_t, kTableBytes> image{};
  WriteTableCodes(image, table);
  return image;
}

void EnterVorta(VortaWorkspace& workspace) {
  AllocateDftTables(kVortaDftLength);
  AllocateRamWavetable(workspace.ram);
  StartAfresh(workspace, PartialTable{}, kDefaultStretch, {});
}

void LeaveVorta(VortaWorkspace& workspace) {
  ReleaseRamWavetable(workspace.ram);
  UndoRelease(workspace.undo);
  ReleaseDftTables();
  workspace.table = {};
  workspace.playbackStretch = kDefaultStretch;
  workspace.ramName.clear();
}

void FlushVorta(VortaWorkspace& workspace) { StartAfresh(workspace, PartialTable{}, kDefaultStretch, {}); }

void LoadVortaTable(VortaWorkspace& workspace, const PartialTable& table, int32_t stretch, std::string_view name) {
  StartAfresh(workspace, table, stretch, name);
}

void ReplaceWithGeneratedTable(VortaWorkspace& workspace, const PartialTable& table) {
  StartAfresh(workspace, table, kDefaultStretch, {});
}

bool CommitTableChange(VortaWorkspace& workspace, int16_t page, int actionCode) {
  ClampTableCodes(workspace.table);
  const auto image = TableImage(workspace.table);
  const bool recorded = UndoRecord(workspace.undo, image, page, actionCode);
  Render(workspace);
  return recorded;
}

MessageCode UndoTableChange(VortaWorkspace& workspace, int16_t& page) {
  auto image = TableImage(workspace.table);
  const MessageCode message = UndoStep(workspace.undo, image, page);
  if (message == kMsgDone) {
    workspace.table = ReadTableCodes(image);
    Render(workspace);
  }
  return message;
}

PartialTable TableForOutput(const PartialTable& table) {
  PartialTable output = table;
  OptimizeTable(output, kOptimizeRaise);
  return output;
}
