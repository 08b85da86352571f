#include "modules/level_envelope.h"

#include "core/checked_alloc.h"
#include "wavetable/partial_table.h"

namespace {

double NodeFactor(int16_t node) { return (node + 127.0) / 254.0; }

int64_t NodePosition(int node, int64_t length) {
  return static_cast<int64_t>(Nearest(static_cast<double>(node) * static_cast<double>(length - 1) / 32.0));
}

}  // namespace

EnvelopeNodes FlatEnvelope(int16_t value) {
  EnvelopeNodes nodes;
  nodes.fill(value);
  return nodes;
}

void EnvelopeToSamples(int64_t length, const EnvelopeNodes& nodes, std::vector<float>& out) {
  CheckedAlloc(out, length > 0 ? static_cast<size_t>(length) : 0);
  if (length <= 0) return;
  for (int k = 0; k + 1 < kEnvelopeNodeCount; ++k) {
    const int64_t from = NodePosition(k, length);
    const int64_t to = NodePosition(k + 1, length);
    const double start = NodeFactor(nodes[static_cast<size_t>(k)]);
    const double slope = to > from ? (NodeFactor(nodes[static_cast<size_t>(k + 1)]) - start) / static_cast<double>(to - from) : 0.0;
    for (int64_t i = from; i < to; ++i) out[static_cast<size_t>(i)] = static_cast<float>(start + slope * static_cast<double>(i - from));
  }
  out[static_cast<size_t>(NodePosition(kEnvelopeNodeCount - 1, length))] = static_cast<float>(NodeFactor(nodes.back()));
}
