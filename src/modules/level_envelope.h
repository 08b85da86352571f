#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The 33-node envelopes of loop and cross synthesis: each node -127..+127
// stands for the factor (node + 127) / 254, so +127 is 1.0 and -127 is 0.0.
inline constexpr int kEnvelopeNodeCount = 33;
inline constexpr int kEnvelopeNodeMax = 127;
inline constexpr int kEnvelopeNodeMin = -127;

using EnvelopeNodes = std::array<int16_t, kEnvelopeNodeCount>;

EnvelopeNodes FlatEnvelope(int16_t value = kEnvelopeNodeMax);

// Node k is placed at sample nearest(k (length - 1) / 32); the samples in
// between are interpolated linearly and the last sample keeps the value of
// the last node. Writes length factors into out (resized).
void EnvelopeToSamples(int64_t length, const EnvelopeNodes& nodes, std::vector<float>& out);
