#pragma once
#include <cstdint>

#include "modules/cross_synthesis.h"
#include "core/message_codes.h"
#include "core/progress_hooks.h"

// The short-time spectral resynthesis of cross synthesis: frame by frame,
// both files are transformed two channels at a time, their magnitudes
// combined, and the hybrids "A*B" (with A's phases) and "B*A" (with B's)
// overlap-added into the results.

inline constexpr int32_t kMinFrameSize = 64;
inline constexpr int32_t kMaxFrameSize = kMaxResynthesisFrame;
inline constexpr int kMaxResynthesisThreads = 4;

// The hybrid bins 0 .. bins-1 of one channel from the half spectra a and b
// (interleaved re, im): magnitude (|A| |B|)^c; "A*B" with A's phase and
// "B*A" with B's, with the phase correction each turned by half their
// difference (A*B forward, B*A back). Bin `bins` (Nyquist) is cleared.
void CombineHybridBins(const float* a, const float* b, int32_t bins, float contrast, bool phaseCorrection, float* ab, float* ba);

// Computes "A*B" and "B*A" from the work signals with the module's settings.
// The frames are spread over `threads` threads (the processor count, taken
// as 1..4); the overlap-add runs in frame order, so the results do not depend
// on the thread count. Progress under "CALCULATION PROGRESS: " with the frame
// position. kMsgDone: the results are level-aligned (A*B peaks a third of the
// way from A's peak to B's, B*A two thirds). kMsgAborted: the results keep what
// was added so far, without alignment. kMsgNoData without work signals.
MessageCode Resynthesize(CrossSynthesis& cross, const ProgressHooks& hooks, int threads);
