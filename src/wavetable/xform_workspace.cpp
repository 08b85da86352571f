#include "wavetable/xform_workspace.h"

#include "dsp/fft_tables.h"
#include "wavetable/ram_wavetable.h"

namespace {

void ResetUndo(XformWorkspace& workspace, const UndoGeometry& geometry) {
  UndoReset(workspace.undo, geometry, SpectrumBytes(workspace.table));
}

void ResetUndo(XformWorkspace& workspace) { ResetUndo(workspace, workspace.undo.geometry); }

// Undo must finish its synthesis: a half-made table would no longer match
// its spectra. The bar is still shown.
ProgressHooks WithoutCancel(const ProgressHooks& hooks) {
  return {[&hooks](const char* label, int64_t done, int64_t total) {
    ProgressCancelled(hooks, label, done, total);
    return false;
  }};
}

}  // namespace

std::span<const uint8_t> SpectrumBytes(const XformTable& table) {
  return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(table.spectrum.data()),
                                  table.spectrum.size() * sizeof(float));
}

std::span<uint8_t> SpectrumBytes(XformTable& table) {
  return std::span<uint8_t>(reinterpret_cast<uint8_t*>(table.spectrum.data()), table.spectrum.size() * sizeof(float));
}

void EnterXform(XformWorkspace& workspace, uint64_t physicalMemory, int laneCount) {
  AllocateFftTables(kXformSliceLength);
  PrepareXformEngine(workspace.engine, nullptr, laneCount);
  AllocateXformTable(workspace.table);
  ResetUndo(workspace, XformUndoGeometry(physicalMemory));
}

void LeaveXform(XformWorkspace& workspace) {
  UndoRelease(workspace.undo);
  ReleaseXformTable(workspace.table);
  ReleaseXformEngine(workspace.engine);
  ReleaseFftTables();
}

void FlushXform(XformWorkspace& workspace) {
  ClearXformTable(workspace.table);
  ResetUndo(workspace);
}

MessageCode LoadXformSource(XformWorkspace& workspace, int64_t frames, std::string_view name,
                             const ProgressHooks& hooks) {
  const MessageCode result = ReconstructTable(workspace.table, frames, workspace.engine, hooks);
  workspace.table.ramName = result == kMsgDone ? RamNameFrom(name) : std::string();
  ResetUndo(workspace);
  return result;
}

void AdoptXformTable(XformWorkspace& workspace, std::string_view name) {
  workspace.table.ramName = RamNameFrom(name);
  ResetUndo(workspace);
}

bool CommitXformChange(XformWorkspace& workspace, int actionCode) {
  return UndoRecord(workspace.undo, SpectrumBytes(workspace.table), 0, actionCode);
}

MessageCode UndoXformChange(XformWorkspace& workspace, const ProgressHooks& hooks) {
  int16_t page = 0;
  const MessageCode message = UndoStep(workspace.undo, SpectrumBytes(workspace.table), page);
  if (message != kMsgDone) return message;
  SynthesizeTable(workspace.table, workspace.engine, WithoutCancel(hooks));
  RebuildBandProfile(workspace.table);
  return message;
}

size_t XformSessionBytes(const XformWorkspace& workspace) {
  const size_t fftBytes =
      gFftTables.bitReverse.capacity() * sizeof(int32_t) + gFftTables.twiddles.capacity() * sizeof(double) +
      gFftTables.stageTwiddleStore.capacity() * sizeof(float);
  return XformTableBytes(workspace.table) + XformEngineBytes(workspace.engine) + UndoHeldBytes(workspace.undo) +
         fftBytes;
}
