#pragma once
#include <cstdint>
#include <vector>

#include "wavetable/partial_table.h"

// The partial envelopes page: one partial's row of 33 codes, read across
// the slices, edited as its envelope over the wavetable.
struct PartialEnvelopes {
  uint16_t current = 0;   // row e, partial e + 1
  int limitMode = 0;      // "LIMIT": range of "RAND" and pointer drawing
  bool viewAll = false;   // "VIEWING ENVELOPES:" "ALL" / "CURRENT"
  std::vector<float> preview;  // the current partial rendered alone
};

enum class EnvelopeButton {
  Back1,        // "<<1_ENV"
  Back7,        // "<<7_ENV"
  Forward7,     // "ENV_7>>"
  Forward1,     // "ENV_1>>"
  Random,       // "RAND": random codes within the limit range
  RandomPolarity,  // "RND_POL"
  Smooth,       // "SMOOTH": one pass along the row, in amplitude
  RotateLeft,   // "<<ROTATE"
  RotateRight,  // "ROTATE>>"
  View,         // "VIEW"
  Limit,        // "LIMIT"
};

uint16_t StepEnvelope(uint16_t current, EnvelopeButton button);

// Acts on the state and the table; the caller records undo and re-renders.
void ApplyEnvelopeButton(PartialEnvelopes& state, PartialTable& table, EnvelopeButton button);

void RotateRowLeft(CodeRow row);   // value[s] = old[s + 1], value[32] = old[0]
void RotateRowRight(CodeRow row);  // value[s] = old[s - 1], value[0] = old[32]

// Pointer drawing: the code of the current row at one slice, clamped to the
// limit range.
void SetEnvelopeCode(PartialEnvelopes& state, PartialTable& table, int slice, int code);

// Renders the current partial alone into the preview buffer (allocated on
// first use) at the table's stretch.
size_t RenderEnvelopePreview(PartialEnvelopes& state, const PartialTable& table, int32_t stretch);
