#include "modules/cross_envelope.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "core/random.h"
#include "wavetable/partial_table.h"

namespace {

int16_t Rounded(double value) { return static_cast<int16_t>(Nearest(value)); }

int16_t NextSetValue(const EnvelopeNodes& nodes) {
  const int16_t v = nodes[0];
  if (!std::all_of(nodes.begin(), nodes.end(), [v](int16_t node) { return node == v; })) return 0;
  switch (v) {
    case 0: return kCrossNodeAB;
    case kCrossNodeAB: return kCrossNodeA;
    case kCrossNodeA: return kCrossNodeB;
    case kCrossNodeB: return kCrossNodeBA;
    case kCrossNodeBA: return 0;
    default: return v;
  }
}

void Smooth(EnvelopeNodes& nodes) {
  const EnvelopeNodes old = nodes;
  const int last = kEnvelopeNodeCount - 1;
  nodes[0] = Rounded((2.0 * old[0] + old[1]) / 3.0);
  nodes[static_cast<size_t>(last)] = Rounded((2.0 * old[static_cast<size_t>(last)] + old[static_cast<size_t>(last - 1)]) / 3.0);
  for (int k = 1; k < last; ++k)
    nodes[static_cast<size_t>(k)] = Rounded((old[static_cast<size_t>(k - 1)] + 2.0 * old[static_cast<size_t>(k)] + old[static_cast<size_t>(k + 1)]) / 4.0);
}

void Normalise(EnvelopeNodes& nodes) {
  int largest = 0;
  for (int16_t node : nodes) largest = std::max(largest, std::abs(static_cast<int>(node)));
  if (largest <= 0) return;
  for (int16_t& node : nodes) node = Rounded(node * 127.0 / largest);
}

}  // namespace

CrossNodeRange CrossLimitRange(int limitMode) {
  switch (limitMode) {
    case 1: return {kCrossNodeAB, kCrossNodeA};
    case 2: return {kCrossNodeBA, kCrossNodeAB};
    case 3: return {kCrossNodeB, kCrossNodeBA};
    default: return {kCrossNodeB, kCrossNodeA};
  }
}

void EditCrossEnvelope(EnvelopeNodes& nodes, int16_t& limitMode, CrossEnvelopeEdit edit) {
  const CrossNodeRange range = CrossLimitRange(limitMode);
  const int span = range.high - range.low;
  switch (edit) {
    case CrossEnvelopeEdit::Set:
      nodes.fill(NextSetValue(nodes));
      limitMode = 0;
      break;
    case CrossEnvelopeEdit::Random:
      for (int16_t& node : nodes) node = static_cast<int16_t>(range.low + RandomBelow(span + 1));
      break;
    case CrossEnvelopeEdit::Smooth: Smooth(nodes); break;
    case CrossEnvelopeEdit::Invert:
      for (int16_t& node : nodes) node = static_cast<int16_t>(-node);
      limitMode = 0;
      break;
    case CrossEnvelopeEdit::Reverse: std::reverse(nodes.begin(), nodes.end()); break;
    case CrossEnvelopeEdit::Sweep:
      for (int k = 0; k < kEnvelopeNodeCount; ++k)
        nodes[static_cast<size_t>(k)] = Rounded(std::cos(k * std::numbers::pi / 32.0) * span / 2.0 + range.low + span / 2.0);
      break;
    case CrossEnvelopeEdit::Normal:
      Normalise(nodes);
      limitMode = 0;
      break;
    case CrossEnvelopeEdit::Limit: limitMode = static_cast<int16_t>((limitMode + 1) % kCrossLimitModeCount); break;
  }
}

void DrawCrossEnvelopeNode(EnvelopeNodes& nodes, int limitMode, int node, int value) {
  if (node < 0 || node >= kEnvelopeNodeCount) return;
  const CrossNodeRange range = CrossLimitRange(limitMode);
  nodes[static_cast<size_t>(node)] = static_cast<int16_t>(std::clamp(value, range.low, range.high));
}
