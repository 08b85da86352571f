#include "ui/pages/xmrph/xmrph_module.h"

#include <algorithm>

#include "core/app_globals.h"
#include "core/kept_for_run.h"
#include "core/message_codes.h"
#include "modules/loaded_sample.h"
#include "ui/pages/shared/file_handoffs.h"
#include "ui/pages/shared/sound_pages.h"
#include "ui/pages/xmrph/resynthesis_options_page.h"

namespace {

void RestoreKeptSettings(CrossSynthesis& cross) {
  cross.settings.overlap = gKept.crossOverlap;
  cross.settings.frameSize = gKept.crossFrameSize;
  cross.settings.contrast = gKept.crossContrast;
  cross.settings.phaseCorrection = gKept.crossPhaseCorrection;
  std::copy(gKept.crossEnvelope.begin(), gKept.crossEnvelope.end(), cross.envelope.begin());
  cross.limitMode = gKept.crossLimitMode;
}

}  // namespace

void KeepCrossSettings(const CrossSynthesis& cross) {
  gKept.crossOverlap = cross.settings.overlap;
  gKept.crossFrameSize = cross.settings.frameSize;
  gKept.crossContrast = cross.settings.contrast;
  gKept.crossPhaseCorrection = cross.settings.phaseCorrection;
  std::copy(cross.envelope.begin(), cross.envelope.end(), gKept.crossEnvelope.begin());
  gKept.crossLimitMode = cross.limitMode;
}

void EnterXmrphModule(XmrphModule& module) {
  EnterCrossSynthesis(module.cross, std::max<int>(1, gApp.processorCount));
  RestoreKeptSettings(module.cross);
}

void LeaveXmrphModule(XmrphModule& module) {
  KeepCrossSettings(module.cross);
  LeaveCrossSynthesis(module.cross);
  module.options = ResynthesisOptions{};
}

void FlushXmrphModule(XmrphModule& module) {
  FlushCrossSynthesis(module.cross);
  module.ramNameA.clear();
  module.ramNameB.clear();
  module.channels = 0;
  module.options = ResynthesisOptions{};
}

XmrphModule* XmrphOf(const PageRun& run) { return run.session ? run.session->xmrph.get() : nullptr; }

int RunXmrphLoad(PageRun& run, const std::string& pathA, const std::string& pathB) {
  XmrphModule* module = XmrphOf(run);
  if (!module) return kMsgNoData;
  // Both files are read first: one that cannot be loaded leaves RAM A and
  // RAM B as they were.
  LoadedSample a, b;
  int loaded = LoadSampleAtPath(pathA, a);
  if (loaded == kMsgDone) loaded = LoadSampleAtPath(pathB, b);
  if (loaded != kMsgDone) return loaded;
  FlushXmrphModule(*module);
  const std::string nameA = RamNameOf(pathA);
  const std::string nameB = RamNameOf(pathB);
  const MessageCode code = LoadCrossSources(module->cross, CrossSourceOf(a.left, a.right, a.descriptor, nameA),
                                            CrossSourceOf(b.left, b.right, b.descriptor, nameB));
  if (code != kMsgDone && code != kMsgNone) return code;
  module->ramNameA = nameA;
  module->ramNameB = nameB;
  module->channels = std::max(a.descriptor.channels, b.descriptor.channels) >= 2 ? 2 : 1;
  return RunResynthesisOptions(run);
}
