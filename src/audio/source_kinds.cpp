#include "audio/source_kinds.h"

PlayMessage PlayMessageFor(int kind) {
  if (kind >= kSourceSynthesisFirst && kind <= kSourceSynthesisLast) return {kMsgPlayingFile, " <USING SYNTHESIS>"};
  switch (kind) {
    case kSourceWaveFile: return {kMsgPlayingFile, " <WAVE DATA>"};
    case kSourceSingleCycle: return {kMsgPlayingFile, " <WAVE DATA, RESAMPLED TO 172.265625 HZ>"};
    case kSourceXformTable: return {kMsgPlayingFile, " <USING REALTIME WAVE INTERPOLATION>"};
    case kSourceRamData: return {kMsgPlayingRamData, {}};
    case kSourceRamPitchAdapted: return {kMsgPlayingRamData, " <PITCH ADAPTED>"};
    case kSourceAnalysisFundamental: return {kMsgPlayingFundamental, {}};
    case kSourceSingleEnvelope: return {kMsgPlayingRamData, " <SINGLE ENVELOPE>"};
    case kSourceAmplitudeOptimized: return {kMsgPlayingRamData, " <AMPLITUDE OPTIMIZED>"};
    default: return {kMsgPlayingFile, {}};
  }
}
