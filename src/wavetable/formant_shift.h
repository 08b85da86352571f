#pragma once

#include "wavetable/partial_table.h"
#include "wavetable/shift_envelope.h"

// The formant shifter: each slice's partial amplitudes are stretched along
// the partial axis by k = 2^(e[s] O / 127), O octaves at full envelope.
inline constexpr int kMinFormantOctaves = 1;
inline constexpr int kMaxFormantOctaves = 5;

enum class FormantAlgorithm { Continuous, Discontinuous };

struct FormantShifter {
  EnvelopeEditor shift;
  int octaves = kMinFormantOctaves;  // "ENV INTENSITY <OCTAVES>:"
  FormantAlgorithm algorithm = FormantAlgorithm::Continuous;
  bool polarityLock = false;
};

FormantShifter StartFormantShifter(const PartialTable& ramTable);
int NextFormantOctaves(int octaves);  // 1..5, then back to 1
FormantAlgorithm OtherFormantAlgorithm(FormantAlgorithm algorithm);

// "CONTINUOUS" gathers for upward shifts (each output partial reads between
// two input partials) and scatters for downward ones; "DISCONTINUOUS"
// always scatters (each input partial is shared between two output partials).
PartialTable ShiftFormants(const PartialTable& table, const ShiftEnvelope& shift, int octaves,
                           FormantAlgorithm algorithm, bool polarityLock);
