#include "wavetable/table_assembling.h"

#include <algorithm>

#include "wavetable/slice_navigation.h"
#include "wavetable/table_editing.h"

namespace {

SliceStep StepFor(int direction) { return direction < 0 ? SliceStep::Back1 : SliceStep::Forward1; }

}  // namespace

void SelectAssemblySource(TableAssembly& assembly, const PartialTable& table, bool singleCycle) {
  assembly.source.present = true;
  assembly.source.singleCycle = singleCycle;
  assembly.source.table = table;
  ClampTableCodes(assembly.source.table);
  assembly.source.slice = 0;
}

void ClearAssemblySource(TableAssembly& assembly) { assembly.source = {}; }

MessageCode StepSourceSlice(TableAssembly& assembly, int direction) {
  if (!assembly.source.present) return kMsgNoFileSelected;
  if (assembly.source.singleCycle) return kMsgNone;
  assembly.source.slice = StepSlice(assembly.source.slice, StepFor(direction));
  return kMsgNone;
}

void StepDestinationSlice(TableAssembly& assembly, int direction) {
  assembly.destination = StepSlice(assembly.destination, StepFor(direction));
}

MessageCode CopySourceToDestination(const TableAssembly& assembly, PartialTable& ramTable) {
  if (!assembly.source.present) return kMsgNoFileSelected;
  const int from = std::clamp<int>(assembly.source.slice, 0, kLastSlice);
  const int to = std::clamp<int>(assembly.destination, 0, kLastSlice);
  for (int r = 0; r < kPartialCount; ++r) ramTable.at(r, to) = assembly.source.table.at(r, from);
  if (assembly.source.singleCycle) NormalizeSlice(ramTable, to, 0);
  return kMsgNone;
}
