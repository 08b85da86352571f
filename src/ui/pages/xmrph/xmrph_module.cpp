#include "ui/pages/xmrph/xmrph_module.h"

#include <algorithm>

#include "core/app_globals.h"
#include "core/kept_for_run.h"

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
