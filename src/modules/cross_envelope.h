#pragma once
#include <cstdint>

#include "modules/level_envelope.h"

// The cross envelope of XMRPH: 33 nodes, -127 is B, -42 is "B*A", +42 is
// "A*B", +127 is A. Edits keep to the range of the limit mode.
inline constexpr int16_t kCrossNodeB = -127;
inline constexpr int16_t kCrossNodeBA = -42;
inline constexpr int16_t kCrossNodeAB = 42;
inline constexpr int16_t kCrossNodeA = 127;

inline constexpr int kCrossLimitModeCount = 4;
struct CrossNodeRange {
  int low;
  int high;
};
// 0: -127..+127, 1: +42..+127, 2: -42..+42, 3: -127..-42.
CrossNodeRange CrossLimitRange(int limitMode);

enum class CrossEnvelopeEdit : uint8_t {
  Set,      // "SET": a flat envelope steps 0, 42, 127, -127, -42, 0; else all 0
  Random,   // "RAND"
  Smooth,   // "SMOOTH"
  Invert,   // "INVERT"
  Reverse,  // "REVERSE"
  Sweep,    // "SWEEP": a half cosine from the top of the range to its bottom
  Normal,   // "NORMAL": the largest node brought to +-127
  Limit,    // "LIMIT": the next limit mode
};
void EditCrossEnvelope(EnvelopeNodes& nodes, int16_t& limitMode, CrossEnvelopeEdit edit);

// Drawing with the pointer: the node takes the value within the range.
void DrawCrossEnvelopeNode(EnvelopeNodes& nodes, int limitMode, int node, int value);
