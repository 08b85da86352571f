#include "modules/resynthesis_options.h"

#include <algorithm>

#include "modules/resynthesis.h"

int32_t NextOverlap(int32_t overlap, int32_t frameSize) {
  if (overlap < frameSize / 2 && overlap <= kMaxOverlapBeforeWrap) return overlap * 2;
  return kOverlapWrap;
}

int32_t NextFrameSize(int32_t frameSize, int32_t length) {
  if (frameSize > kMaxFrameSize - 1) return kMinFrameSize;
  const int32_t doubled = frameSize * 2;
  return doubled < length ? doubled : kMinFrameSize;
}

double ShownSpectralContrast(float contrast) { return 2.0 * contrast; }

void OpenResynthesisOptions(ResynthesisOptions& options, const CrossSynthesis& cross) {
  options = ResynthesisOptions{};
  options.edited = cross.settings;
  options.atEntry = cross.settings;
  options.loopModeAtEntry = cross.loopMode;
  if (cross.length > 0) {
    options.savedAbLeft = cross.abLeft;
    options.savedAbRight = cross.abRight;
    options.savedBaLeft = cross.baLeft;
    options.savedBaRight = cross.baRight;
    options.resultsSaved = true;
  }
}

MessageCode ComputeResynthesisOptions(ResynthesisOptions& options, CrossSynthesis& cross, const ProgressHooks& hooks) {
  cross.settings = options.edited;
  const MessageCode result = Resynthesize(cross, hooks, cross.threads);
  if (result == kMsgDone) RemixCrossOutput(cross);
  return result;
}

MessageCode CancelResynthesisOptions(ResynthesisOptions& options, CrossSynthesis& cross) {
  cross.settings = options.atEntry;
  options.edited = options.atEntry;
  if (cross.a.length > 0 && cross.b.length > 0) {
    ApplyLoopMode(cross, options.loopModeAtEntry);
    if (options.resultsSaved && options.savedAbLeft.size() == cross.abLeft.size()) {
      cross.abLeft = options.savedAbLeft;
      cross.abRight = options.savedAbRight;
      cross.baLeft = options.savedBaLeft;
      cross.baRight = options.savedBaRight;
    }
    RemixCrossOutput(cross);
  } else {
    cross.loopMode = options.loopModeAtEntry;
  }
  return kMsgAborted;
}

MessageCode PressResynthesisOption(ResynthesisOptions& options, CrossSynthesis& cross, int buttonCode,
                                     const ProgressHooks& hooks) {
  ResynthesisSettings& edited = options.edited;
  switch (buttonCode) {
    case kOptionOverlap: edited.overlap = NextOverlap(edited.overlap, edited.frameSize); return kMsgNone;
    case kOptionFrameSize: edited.frameSize = NextFrameSize(edited.frameSize, cross.length); return kMsgNone;
    case kOptionLowerContrast:
      if (!(edited.contrast > kMinSpectralContrast)) return kMsgMinValue;
      edited.contrast -= kSpectralContrastStep;
      return kMsgNone;
    case kOptionRaiseContrast:
      if (!(edited.contrast < kMaxSpectralContrast)) return kMsgMaxValue;
      edited.contrast += kSpectralContrastStep;
      return kMsgNone;
    case kOptionPhaseCorrection: edited.phaseCorrection = !edited.phaseCorrection; return kMsgNone;
    case kOptionLoop: return CycleLoopMode(cross);
    case kOptionCompute: return ComputeResynthesisOptions(options, cross, hooks);
    case kOptionCancel: return CancelResynthesisOptions(options, cross);
    default: return kMsgNone;
  }
}
