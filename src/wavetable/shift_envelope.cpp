#include "wavetable/shift_envelope.h"

#include "core/random.h"
#include "wavetable/amplitude_profile.h"
#include "wavetable/limit_mode.h"

void RandomizeEnvelope(EnvelopeEditor& editor) {
  const CodeRange range = LimitRange(editor.limitMode);
  for (int16_t& value : editor.values) value = static_cast<int16_t>(range.low + RandomBelow(range.high + 1 - range.low));
}

void RandomEnvelopePolarity(EnvelopeEditor& editor) {
  for (int16_t& value : editor.values) value = static_cast<int16_t>(value * (1 - 2 * RandomBelow(2)));
  editor.limitMode = kLimitBipolar;
}

void SmoothEnvelope(EnvelopeEditor& editor) { SmoothLevels(editor.values); }

void CycleEnvelopeLimit(EnvelopeEditor& editor) { editor.limitMode = NextLimitMode(editor.limitMode); }

void SetEnvelopeValue(EnvelopeEditor& editor, int slice, int value) {
  if (slice < 0 || slice > kLastSlice) return;
  editor.values[static_cast<size_t>(slice)] = static_cast<int16_t>(ClampToLimit(value, editor.limitMode));
}
