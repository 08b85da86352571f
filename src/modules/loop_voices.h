#pragma once
#include <cstdint>
#include <span>
#include <vector>

// The voices of loop synthesis: where in the tripled loop each copy of the
// input starts reading, in which direction, and which output channels it
// feeds.

inline constexpr int32_t kJitterRange = 32767;   // draws 0 .. 32766
inline constexpr int32_t kJitterCentre = 16383;  // r = draw - 16383
inline constexpr double kJitterScale = 32766.0;  // r s / 32766: at most half a spacing

inline constexpr uint8_t kVoiceFeedsLeft = 1;
inline constexpr uint8_t kVoiceFeedsRight = 2;

struct LoopVoicePlan {
  int32_t widening = 0;    // w: 1 when widening applies (it needs S >= 2)
  int32_t voiceCount = 0;  // K = S 2^w
  int64_t spacing = 0;     // s = L / (D 2^w)
  std::vector<int64_t> offsets;     // first index read in the tripled loop
  std::vector<int8_t> directions;   // +1 forward, -1 backward
  std::vector<uint8_t> channels;    // kVoiceFeedsLeft | kVoiceFeedsRight
};

// Voice 0 has no jitter; every further voice draws r = RandomBelow(32767) -
// 16383 again while r equals the absolute value of an earlier voice's r.
// Offset of voice v = nearest(r s / 32766) + 2L - v s. With the
// bidirectional mix, voices whose bit w is set read backward; with widening,
// odd voices feed only the left and even voices only the right channel.
LoopVoicePlan PlanLoopVoices(int32_t length, int32_t density, int32_t smear, bool bidirectional, bool widening);

// The jitters in drawing order, for a voice count (voice 0 gets 0). Uses a
// table of the values taken, so the draw stays linear in the voice count.
std::vector<int32_t> DrawVoiceJitters(int32_t voiceCount);
