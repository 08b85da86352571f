#include "wavetable/partial_envelopes.h"

#include <algorithm>

#include "core/checked_alloc.h"
#include "wavetable/limit_mode.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/table_editing.h"
#include "wavetable/vorta_synthesis.h"

uint16_t StepEnvelope(uint16_t current, EnvelopeButton button) {
  int offset = 0;
  switch (button) {
    case EnvelopeButton::Back1: offset = kPartialCount - 1; break;
    case EnvelopeButton::Back7: offset = kPartialCount - 7; break;
    case EnvelopeButton::Forward7: offset = 7; break;
    case EnvelopeButton::Forward1: offset = 1; break;
    default: break;
  }
  return static_cast<uint16_t>((current + offset) % kPartialCount);
}

void RotateRowLeft(CodeRow row) { std::rotate(row.begin(), row.begin() + 1, row.end()); }

void RotateRowRight(CodeRow row) { std::rotate(row.begin(), row.end() - 1, row.end()); }

void ApplyEnvelopeButton(PartialEnvelopes& state, PartialTable& table, EnvelopeButton button) {
  const int row = state.current % kPartialCount;
  switch (button) {
    case EnvelopeButton::Back1:
    case EnvelopeButton::Back7:
    case EnvelopeButton::Forward7:
    case EnvelopeButton::Forward1: state.current = StepEnvelope(state.current, button); break;
    case EnvelopeButton::Random: {
      const CodeRange range = LimitRange(state.limitMode);
      RandomCodes(table, kAllSlices, row, range.high, range.low);
      break;
    }
    case EnvelopeButton::RandomPolarity: RandomPolarity(table, kAllSlices, row); break;
    case EnvelopeButton::Smooth: SmoothRows(table, row, 1); break;
    case EnvelopeButton::RotateLeft: RotateRowLeft(table.Row(row)); break;
    case EnvelopeButton::RotateRight: RotateRowRight(table.Row(row)); break;
    case EnvelopeButton::View: state.viewAll = !state.viewAll; break;
    case EnvelopeButton::Limit: state.limitMode = NextLimitMode(state.limitMode); break;
  }
}

void SetEnvelopeCode(PartialEnvelopes& state, PartialTable& table, int slice, int code) {
  if (slice < 0 || slice > kLastSlice) return;
  table.at(state.current % kPartialCount, slice) = static_cast<int16_t>(ClampToLimit(code, state.limitMode));
}

size_t RenderEnvelopePreview(PartialEnvelopes& state, const PartialTable& table, int32_t stretch) {
  if (state.preview.size() != kRamWavetableSamples) CheckedAlloc(state.preview, kRamWavetableSamples);
  return RenderPartialRow(table, state.current % kPartialCount, state.preview, ClampStretch(stretch));
}
