#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "modules/analysis_table.h"
#include "core/message_codes.h"
#include "modules/progress_hooks.h"
#include "wavetable/partial_table.h"

// Scan-loop analysis ("SCANLOOP ANALYSIS OPTIONS"): a mono sample made of
// consecutive single cycles (the first one looped) is read one cycle per
// step; bins 1..64 of each step are partials 1..64.

inline constexpr float kScanSharpenGain = 1.25f;
inline constexpr int32_t kScanPreviewStretchBase = 16;

struct ScanloopAnalysis {
  AnalysisSettings settings;
  int32_t stepSize = 0;  // "STEP SIZE <SAMPLES>:", the loop length
  int32_t steps = 0;     // "ANALYSIS STEPS:"
  // Step s, partial p (0..63) at [s x 64 + p]; polarity 0 for a silent bin.
  std::vector<float> stepMagnitudes;
  std::vector<int16_t> stepPolarities;
  HarmonicMatrix harmonics;
  PartialTable table;
  int32_t stretch = kScanPreviewStretchBase;  // the preview stretch, handed back as R
  std::vector<float> preview;
  size_t previewLength = 0;

  bool OffersSliceFill() const { return steps > kSliceCount; }
};

// nearest(16 x 256 / step size) with pitch adaption, else 16; 1..32.
int32_t ScanloopPreviewStretch(int32_t stepSize, bool pitchAdaption);

// The spectra of the steps (no window), progress "ANALYSIS PROGRESS: ".
MessageCode AnalyzeScanSteps(std::span<const float> signal, int32_t stepSize, int32_t steps, ScanloopAnalysis& analysis,
                               const ProgressHooks& hooks);

// Steps onto slices: one step per slice up to 33 steps, else each slice
// averages its share of the steps ("FULL SIGNAL") or takes its first step
// ("EXCERPTS"); the polarity is the first non-zero one among them.
void MapScanSteps(ScanloopAnalysis& analysis);

// Entry: settings at their start values, the step spectra and the table.
// Steps that the signal does not hold are left out; kMsgNoData when no step
// remains, kMsgAborted when cancelled, else kMsgDone.
MessageCode StartScanloopAnalysis(ScanloopAnalysis& analysis, std::span<const float> signal, int32_t stepSize,
                                    int32_t steps, const ProgressHooks& hooks);

// Mapping (when from_mapping), table and preview again.
void RefreshScanloopAnalysis(ScanloopAnalysis& analysis, bool fromMapping);

enum class ScanloopButton : uint8_t {
  SliceFillMode,  // "SF_MODE" (2, 0)
  PolarityLock,   // "POL_LOCK" (3, 0)
  SharpenAttack,  // "SHARP" (4, 0)
  LowerContrast,  // "-CNTRST" (6, 0)
  RaiseContrast,  // "+CNTRST" (7, 0)
  PitchAdaption,  // "P_ADAPT" (8, 0)
};
MessageCode PressScanloopButton(ScanloopAnalysis& analysis, ScanloopButton button);

MessageCode ApplyScanloopAnalysis(const ScanloopAnalysis& analysis, PartialTable& table, int32_t& stretch);
