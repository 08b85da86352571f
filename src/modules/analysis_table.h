#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/message_codes.h"
#include "wavetable/partial_table.h"

// What sample analysis and scan-loop analysis share once the spectra have
// been mapped onto the 33 slices: the harmonic matrix, the table built from
// it, and the playable preview.

enum class SliceFill : uint8_t {
  FullSignal = 0,  // "FULL SIGNAL": a slice averages every frame of its stretch
  Excerpts = 1,    // "EXCERPTS": a slice takes the first frame of its stretch
};
const char* SliceFillText(SliceFill fill);

inline constexpr float kContrastStart = 1.0f;
inline constexpr float kContrastStep = 0.05f;
inline constexpr float kContrastLowerLimit = 0.51f;
inline constexpr float kContrastUpperLimit = 1.99f;

// The settings of one analysis run; they start afresh with each run.
struct AnalysisSettings {
  SliceFill sliceFill = SliceFill::FullSignal;
  bool polarityLock = true;
  bool pitchAdaption = true;
  bool sharpenAttack = false;
  float contrast = kContrastStart;  // shown x 100 as "CONTRAST <%>:"
  int16_t cents = 0;                // sample analysis only
};

// "-CNTRST" / "+CNTRST": kMsgMinValue or kMsgMaxValue at the limits, else kMsgNone.
MessageCode LowerContrast(AnalysisSettings& settings);
MessageCode RaiseContrast(AnalysisSettings& settings);

// Magnitudes and polarities (+1 / -1) of 64 harmonics by 33 slices, laid
// out like the PartialTable (harmonic h at row h - 1).
struct HarmonicMatrix {
  std::array<float, kTableCodeCount> magnitudes{};
  std::array<int16_t, kTableCodeCount> polarities{};

  float& magnitude(int row, int slice) { return magnitudes[static_cast<size_t>(row * kSliceCount + slice)]; }
  int16_t& polarity(int row, int slice) { return polarities[static_cast<size_t>(row * kSliceCount + slice)]; }
  float magnitude(int row, int slice) const { return magnitudes[static_cast<size_t>(row * kSliceCount + slice)]; }
  int16_t polarity(int row, int slice) const { return polarities[static_cast<size_t>(row * kSliceCount + slice)]; }
};

// Amplitude = magnitude^contrast x polarity; the loudest amplitude becomes
// 4096 (code 127), raising quiet analyses too. A silent matrix gives a
// silent table.
PartialTable BuildTableFromHarmonics(const HarmonicMatrix& harmonics, float contrast);

// With the polarity lock every partial keeps one sign along its slices.
// When fewer than 33 slices came from the signal, the slices that hold data
// become interpolation anchors and the empty ones are interpolated.
void FinishAnalysisTable(PartialTable& table, bool polarityLock, int32_t analysedSlices);

// The preview buffer holds (R 16384 + 512) samples, kept within
// 16,896 .. 524,800.
inline constexpr size_t kPreviewMinSamples = 16896;
inline constexpr size_t kPreviewMaxSamples = 524800;
size_t PreviewBufferSamples(int32_t stretch);

// Each slice as one cycle of nearest(256 / p) samples brought to peak 1.0
// (silent slices stay silent), laid out like the rendered table with
// nearest(R p) waves per slice step. Returns the samples written.
size_t RenderPreview(const PartialTable& table, int32_t stretch, double pitchFactor, std::vector<float>& preview);
