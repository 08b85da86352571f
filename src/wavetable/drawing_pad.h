#pragma once
#include <array>
#include <cstdint>

#include "wavetable/partial_table.h"

// The waveform drawing pad: one cycle of 512 samples. Samples 0..256 are
// drawn; 257..511 always hold the negated mirror (sample 512 - m = -sample m),
// so the pad is odd-symmetric and holds only sine components, like the
// engine's zero-phase partials. Samples 0 and 256 of an odd cycle are 0.
inline constexpr int kPadLength = 512;
inline constexpr int kPadHalf = kPadLength / 2;  // 256
inline constexpr double kPadAmplitudeScale = 16.0;  // |X| = 256 of a full-scale sine -> 4096
inline constexpr int kPadRandomSmoothPasses = 20;
inline constexpr int kPadSmoothPasses = 5;

using DrawingPad = std::array<float, kPadLength>;

// What changed the pad; it decides how the pad becomes partials again.
enum class PadMode { Draw, Random, Smooth, Invert, Normal, Clear };

// Fills the mirrored area from the drawn half.
void MirrorPad(DrawingPad& pad);

// A pointer stroke from one pad position (0..256) and value to another,
// filled in between, clamped to full scale, mirrored.
void DrawPadStroke(DrawingPad& pad, int fromSample, double fromValue, int toSample, double toValue);

void RandomPad(DrawingPad& pad);   // "RAND"
void SmoothPad(DrawingPad& pad);   // "SMOOTH"
void InvertPad(DrawingPad& pad);   // "INVERT"
void NormalPad(DrawingPad& pad);   // "NORMAL": any non-silent pad to peak 1.0
void ClearPad(DrawingPad& pad);    // "CLEAR"

// The slice's cycle at pitch 0.5 (512 samples).
DrawingPad PadFromSlice(const PartialTable& table, int slice);

// The pad's first 64 harmonics become the slice's codes (sign from the sine
// part). After "SMOOTH" and "NORMAL" a partial keeps its new code only where
// its sign agrees with the code it had; after every mode but "INVERT" and
// "CLEAR" the slice is brought down when it exceeds full scale.
void ResynthesizePad(PartialTable& table, int slice, const DrawingPad& pad, PadMode mode);

// The waveform drawing page: it works on a copy of the RAM table.
struct WaveformDrawing {
  PartialTable original;  // the RAM table as the page found it
  PartialTable working;
  int16_t slice = 0;
  DrawingPad pad{};
  bool awaitingData = true;  // no stroke drawn yet
};

WaveformDrawing StartWaveformDrawing(const PartialTable& ramTable, int slice);

enum class PadButton { Random, Smooth, Invert, Normal, Restore, Clear, PadSync };
void ApplyPadButton(WaveformDrawing& drawing, PadButton button);
void DrawOnPad(WaveformDrawing& drawing, int fromSample, double fromValue, int toSample, double toValue);

// "PAD HAS ORIGINAL DATA:"
bool PadHasOriginalData(const WaveformDrawing& drawing);
