#pragma once
#include <span>
#include <vector>

#include "wavetable/partial_table.h"

// The table viewer's graphs: the stacked waves of a whole table and the
// spectra or profiles of its partials, drawn over the cleared main area.

inline constexpr int kViewerWaveCount = 129;   // 33 slices and 3 blends between each two
inline constexpr int kViewerWaveLength = 256;
inline constexpr int kViewerStretch = 4;
inline constexpr double kWaveViewGain = 80.0;      // pixels at magnification 1
inline constexpr double kPartialViewGain = 0.8;    // pixels per code at magnification 1

// The table rendered for the viewer: 129 waves of 256 samples.
std::vector<float> RenderViewerWaves(const PartialTable& table);

enum class WaveView { kOblique, kFlat };  // "WAVETABLE <VIEW A>", "<VIEW B>"

// Waves 0, step, 2 step, ... 128 (step 1 or 4) each as one path in Text;
// gain = magnification x 80.
void DrawTableWaves(std::span<const float> waves, int step, double gain, WaveView view);

enum class PartialView { kSpectra, kMagnitudeSpectra, kProfiles, kMagnitudeProfiles };  // SPEC, MSPEC, PROF, MPROF

// Spectra: one slanted spectrum per slice, 16 pixels right of and 9 above
// the previous. Profiles: one line across the slices per partial. The
// magnitude views drop the signs; gain = magnification x 0.8.
void DrawPartialWaterfall(const PartialTable& table, double gain, PartialView view);

// The table viewer's readouts: "VIEWING:" (2, 0) for views 0 to 5 ("WAVE_A",
// "WAVE_B", "SPEC", "MSPEC", "PROF", "MPROF"), "VIEW MAGNIFICATION <%>:"
// (1, 0), and for the wave views "VIEW MODE:" (1, 1) of the step.
void ShowTableViewerReadouts(int view, double magnification, int step);
