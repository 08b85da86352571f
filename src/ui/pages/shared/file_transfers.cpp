#include "ui/pages/shared/file_transfers.h"

#include <filesystem>
#include <vector>

#include "core/app_globals.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/sample_loader.h"
#include "formats/dune2_wt.h"
#include "formats/efe_file.h"
#include "formats/komplexer_wt.h"
#include "formats/serum_wav.h"
#include "formats/surge_wt.h"
#include "formats/vorta_import.h"
#include "formats/wavegenerator_wts.h"
#include "ui/confirm.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/file_list_actions.h"
#include "ui/pages/shared/module_session.h"
#include "ui/progress.h"
#include "wavetable/single_cycle_partials.h"
#include "wavetable/xform_file.h"

namespace {

constexpr uint16_t kTableViewerScreen = 2;
constexpr uint16_t kTableAssemblingScreen = 4;

std::string PathOf(int category, const std::string& name) { return CategoryFilePath(gApp, category, name); }

uint8_t SwitchTo(PageRun& run, uint16_t screen) {
  if (run.selector) {
    *run.selector = screen;
    run.Finish(kPageNavigated);
  }
  return kMsgDone;
}

uint8_t Code(int code) { return static_cast<uint8_t>(code); }

// A sample whose loops are scan loops may be analysed as a scanable
// wavetable; only its header is needed to tell.
uint64_t ScanLoops(int category, const std::string& name) {
  float left = 0.0f;
  float right = 0.0f;
  SampleDescriptor descriptor;
  if (LoadSampleFile(gApp, {category, name}, {&left, 1}, {&right, 1}, descriptor) != kMsgDone) return 0;
  return descriptor.scanLoopCount;
}

uint8_t FillVortaWithCycle(VortaWorkspace& vorta, int category, const std::string& name) {
  std::vector<float> left(kMaxCycleFrames, 0.0f);
  std::vector<float> right(kMaxCycleFrames, 0.0f);
  SampleDescriptor descriptor;
  if (LoadSampleFile(gApp, {category, name}, left, right, descriptor) != kMsgDone) return kMsgAccessDenied;
  left.resize(descriptor.frames);
  if (left.size() < static_cast<size_t>(kMinCycleFrames)) return kMsgAccessDenied;
  LoadVortaTable(vorta, FillTableWithCycle(left), vorta.playbackStretch, name);
  return kMsgDone;
}

}  // namespace

bool VortaWritesDirectly(int category) {
  switch (category) {
    case kCategoryKomplexer:
    case kCategoryEfe:
    case kCategorySurge:
    case kCategoryWaveGenerator:
    case kCategoryDune2:
    case kCategorySerum:
      return true;
    default:
      return false;
  }
}

bool VortaRendersInto(int category) {
  return category == kCategorySingleCycle || category == kCategoryVortaWav || category == kCategoryBlofeld;
}

uint8_t LoadIntoVorta(PageRun& run, int category, const std::string& name) {
  VortaWorkspace& vorta = run.session->vorta->ram;
  if (category == kCategorySample) {
    const bool scan = ScanLoops(category, name) > 1 && AskYesNo(kMsgTreatAsScanable);
    const int code = RunVortaSampleAnalysis(run, PathOf(category, name), scan);
    if (code != kMsgDone) return Code(code);
    LoadVortaTable(vorta, vorta.table, vorta.playbackStretch, name);
    return SwitchTo(run, kTableViewerScreen);
  }
  if (category == kCategorySingleCycle) {
    if (!Confirm("fFILL", "fINSERT", kMsgFillOrInsert)) {
      run.session->vorta->insertPath = PathOf(category, name);
      return SwitchTo(run, kTableAssemblingScreen);
    }
    const uint8_t code = FillVortaWithCycle(vorta, category, name);
    return code == kMsgDone ? SwitchTo(run, kTableViewerScreen) : code;
  }
  if (!IsVortaTableCategory(category)) return kMsgAccessDenied;
  PartialTable table;
  int32_t stretch = kDefaultStretch;
  if (LoadVortaFile(gApp, {category, name}, table, stretch) != kMsgDone) return kMsgAccessDenied;
  LoadVortaTable(vorta, table, stretch, name);
  return SwitchTo(run, kTableViewerScreen);
}

uint8_t LoadIntoXform(PageRun& run, int category, const std::string& name) {
  XformWorkspace& xform = run.session->xform->ram;
  if (category == kCategorySample) {
    const int code = RunXformSampleAnalysis(run, PathOf(category, name));
    if (code != kMsgDone) return Code(code);
    AdoptXformTable(xform, name);
    return SwitchTo(run, kTableViewerScreen);
  }
  if (category != kCategoryXformWav) return kMsgAccessDenied;
  uint8_t result = kMsgDone;
  const MessageCode code = LoadXformWave(gApp, {category, name}, xform, CalcProgressHooks(result));
  run.redrawAll = true;  // the progress display took the button bar
  if (code != kMsgDone) return Code(code);
  return SwitchTo(run, kTableViewerScreen);
}

uint8_t LoadIntoSloop(PageRun& run, int category, const std::string& name) {
  const int code = LoadSloopInput(run, PathOf(category, name));
  return code == kMsgDone ? SwitchTo(run, kTableViewerScreen) : Code(code);
}

uint8_t LoadIntoXmrph(PageRun& run) {
  const XmrphModule& xmrph = *run.session->xmrph;
  if (xmrph.fileA.empty() || xmrph.fileB.empty()) return kMsgChooseTwoFiles;
  const int code = RunXmrphLoad(run, xmrph.fileA, xmrph.fileB);
  return code == kMsgDone ? SwitchTo(run, kTableViewerScreen) : Code(code);
}

uint8_t SaveFromVorta(PageRun& run, int category, const std::string& name, bool newFile) {
  if (VortaRendersInto(category)) return Code(RunVortaRendering(run, category, PathOf(category, name)));
  const VortaWorkspace& vorta = run.session->vorta->ram;
  const PartialTable table = TableForOutput(vorta.table);
  const int32_t stretch = vorta.playbackStretch;
  switch (category) {
    case kCategoryKomplexer:
      return Code(WriteKomplexerTable(gApp, table, stretch, name, newFile));
    case kCategoryEfe:
      return Code(WriteEfeTable(gApp, table, static_cast<uint8_t>(stretch), name, newFile));
    case kCategorySurge:
      return Code(WriteSurgeTable(gApp, table, stretch, name, newFile));
    case kCategoryWaveGenerator:
      return Code(WriteWtsTable(gApp, table, stretch, name, newFile));
    case kCategoryDune2:
      return Code(WriteDune2Table(gApp, table, stretch, name, newFile));
    case kCategorySerum:
      return Code(WriteSerumTable(gApp, table, stretch, name, newFile));
    default:
      return kMsgAccessDenied;
  }
}

uint8_t SaveFromXform(PageRun& run, int category, const std::string& name, bool newFile) {
  if (category != kCategoryXformWav) return kMsgAccessDenied;
  // The writer replaces through a temporary file; a new name that appeared
  // since it was typed is not overwritten.
  if (newFile && std::filesystem::exists(PathOf(category, name))) return kMsgFileAlreadyExists;
  return Code(WriteXformWave(gApp, name, run.session->xform->ram.table));
}

uint8_t SaveFromSloop(PageRun& run, int category, const std::string& name, bool) {
  return Code(RunSloopRendering(run, PathOf(category, name)));
}

uint8_t SaveFromXmrph(PageRun& run, int category, const std::string& name, bool) {
  return Code(RunXmrphRendering(run, PathOf(category, name)));
}
