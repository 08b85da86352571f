#pragma once
#include <array>
#include <cstdint>

#include "wavetable/partial_table.h"

// A shift envelope: one value -127..127 per slice, used by the filter shape
// editor (shift in partials) and the formant shifter (shift in octaves).
using ShiftEnvelope = std::array<int16_t, kSliceCount>;

struct EnvelopeEditor {
  ShiftEnvelope values{};
  int limitMode = 0;
};

// "RAND": every value drawn from the limit range.
void RandomizeEnvelope(EnvelopeEditor& editor);
// "RND_POL": random signs; the limit mode returns to both polarities.
void RandomEnvelopePolarity(EnvelopeEditor& editor);
// "SMOOTH": one rounded [1, 2, 1] / 4 pass with open ends.
void SmoothEnvelope(EnvelopeEditor& editor);
// "LIMIT".
void CycleEnvelopeLimit(EnvelopeEditor& editor);
// Pointer drawing, clamped to the limit range.
void SetEnvelopeValue(EnvelopeEditor& editor, int slice, int value);
