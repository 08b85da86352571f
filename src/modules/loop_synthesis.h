#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "modules/level_envelope.h"
#include "modules/loop_voice_sum.h"
#include "core/message_codes.h"
#include "modules/progress_hooks.h"

// Loop synthesis (SLOOP): many copies of the looped input, started at
// spread, slightly jittered positions, summed into a seamless loop of the
// same length.

inline constexpr int32_t kMaxLoopDensity = 16384;
inline constexpr int32_t kDensityStartDivisor = 512;  // D = S start near L / 512
inline constexpr int32_t kDensityLimitDivisor = 128;  // "+DENSITY" stops at L / 128

// The module's data while it is open.
struct LoopSynthesis {
  std::vector<float> inputLeft;   // normalised to a common peak of 1.0
  std::vector<float> inputRight;  // a mono input is copied here too
  int32_t length = 0;             // L
  double inputPeak = 0.0;         // the pair's peak before normalising
  int channels = 0;               // 1 or 2, 0 without input
  int32_t loopStart = 0;          // as read with the file
  int32_t loopEnd = 0;
  std::vector<float> envelopedLeft;   // input x per-sample envelope: what
  std::vector<float> envelopedRight;  // "pINPUT" plays and the synthesis reads
  std::vector<float> outputLeft;      // empty until computed
  std::vector<float> outputRight;
  int32_t density = 1;                // D, "SPECTRAL DENSITY:"
  int32_t smear = 1;                  // S, "SPECTRAL SMEARING:"
  bool bidirectional = false;         // "BIDIRECTIONAL MIX:"
  bool widening = false;              // "STEREO WIDENING:"
  bool widened = false;               // the last computation applied widening
  EnvelopeNodes envelope = FlatEnvelope();
  std::vector<float> envelopeSamples; // per-sample factors of the envelope
  std::string name;                   // shown after "RAM:"
  VoiceSumMethod sumMethod = VoiceSumMethod::Automatic;

  bool HasInput() const { return length > 0; }
  bool HasOutput() const { return !outputLeft.empty(); }
};

// "FLUSH" and leaving the module: every buffer released, the envelope
// flat, no name; the switches keep their state.
void FlushLoopSynthesis(LoopSynthesis& loop);

// D = S = the smallest power of two not below L / 512, at most 16384.
int32_t StartDensity(int32_t length);

// Copies the channels (a mono input to both), keeps their common peak,
// normalises them to 1.0 (a silent input stays silent), sets D and S from
// the length and applies the envelope. kMsgNoData when there are no samples.
MessageCode LoadLoopInput(LoopSynthesis& loop, std::span<const float> left, std::span<const float> right, int32_t length,
                            int channels, int32_t loopStart, int32_t loopEnd, std::string_view name = {});

// Enveloped input = input x per-sample envelope, both channels.
void ApplyLevelEnvelope(LoopSynthesis& loop);

// Sums the voices into the output, removes each channel's mean and
// normalises: the stereo path (widening or a stereo input) as a pair, the
// mono path on the left channel, copied to the right. kMsgDone, or kMsgAborted
// (the output is then released), or kMsgNoData without input.
MessageCode ComputeLoop(LoopSynthesis& loop, const ProgressHooks& hooks);

// The buttons of "LOOP SYNTHESIS", by button code (column + 1 in the upper
// row): 1 "-DENSITY", 2 "+DENSITY", 3 "-SMEAR", 4 "+SMEAR", 6 "BIDIR",
// 7 "WIDE", 8 "REVERSE", 9 "OUT>IN", 10 "E_RESET", 12 "fCOMPUTE". kMsgNoData
// for any of 1..12 while no input is loaded.
inline constexpr int kLoopLowerDensity = 1;
inline constexpr int kLoopRaiseDensity = 2;
inline constexpr int kLoopLowerSmear = 3;
inline constexpr int kLoopRaiseSmear = 4;
inline constexpr int kLoopBidirectional = 6;
inline constexpr int kLoopWide = 7;
inline constexpr int kLoopReverse = 8;
inline constexpr int kLoopOutToIn = 9;
inline constexpr int kLoopEnvelopeReset = 10;
inline constexpr int kLoopCompute = 12;
MessageCode PressLoopSynthesisButton(LoopSynthesis& loop, int buttonCode, const ProgressHooks& hooks);

// Drawing on the envelope graph: the nodes (clamped to -127..127) replace
// the envelope, which is applied again; the output is released.
MessageCode SetLoopEnvelope(LoopSynthesis& loop, const EnvelopeNodes& nodes);
