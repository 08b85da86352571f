#pragma once
#include <cstdint>
#include <vector>

#include "modules/cross_synthesis.h"
#include "core/message_codes.h"
#include "modules/progress_hooks.h"

// Page "RESYNTHESIS OPTIONS": the settings are edited in a copy and stored
// only by "fCOMPUTE"; "fCANCEL" brings back the settings, the loop mode and
// the results as they were when the page opened.

inline constexpr int32_t kOverlapWrap = 4;
inline constexpr int32_t kMaxOverlapBeforeWrap = 63;
inline constexpr float kSpectralContrastStep = 0.0625f;
inline constexpr float kMinSpectralContrast = 0.25f;
inline constexpr float kMaxSpectralContrast = 1.0f;

// "OVERLAP": doubles while O < N/2 and O <= 63, else back to 4.
int32_t NextOverlap(int32_t overlap, int32_t frameSize);
// "FFT_SIZE": doubles up to 8192, then 64; also 64 when the doubled size
// would not be below the common length.
int32_t NextFrameSize(int32_t frameSize, int32_t length);
// "SPECTRAL CONTRAST:" shows 2c.
double ShownSpectralContrast(float contrast);

struct ResynthesisOptions {
  ResynthesisSettings edited;
  ResynthesisSettings atEntry;
  int16_t loopModeAtEntry = 0;
  bool resultsSaved = false;
  std::vector<float> savedAbLeft, savedAbRight, savedBaLeft, savedBaRight;
};

// Entry: the copy of the settings, and with L > 0 a copy of the results.
void OpenResynthesisOptions(ResynthesisOptions& options, const CrossSynthesis& cross);

// Buttons by code: 1 "OVERLAP", 2 "FFT_SIZE", 3 "-CNTRST", 4 "+CNTRST",
// 6 "PH_CORR", 10 "LOOP", 11 "fCOMPUTE", 12 "fCANCEL".
// "fCOMPUTE" stores the settings and runs the resynthesis: kMsgDone (the page
// closes; the output is remixed) or kMsgAborted (the page stays). "fCANCEL"
// restores what the page found and returns kMsgAborted; the page closes.
// Other buttons return their message (kMsgMinValue, kMsgMaxValue, kMsgNoLoopData,
// kMsgEqualFileLength) or kMsgNone.
inline constexpr int kOptionOverlap = 1;
inline constexpr int kOptionFrameSize = 2;
inline constexpr int kOptionLowerContrast = 3;
inline constexpr int kOptionRaiseContrast = 4;
inline constexpr int kOptionPhaseCorrection = 6;
inline constexpr int kOptionLoop = 10;
inline constexpr int kOptionCompute = 11;
inline constexpr int kOptionCancel = 12;
MessageCode PressResynthesisOption(ResynthesisOptions& options, CrossSynthesis& cross, int buttonCode,
                                     const ProgressHooks& hooks);

MessageCode ComputeResynthesisOptions(ResynthesisOptions& options, CrossSynthesis& cross, const ProgressHooks& hooks);
MessageCode CancelResynthesisOptions(ResynthesisOptions& options, CrossSynthesis& cross);
