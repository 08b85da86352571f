#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "modules/cross_envelope.h"
#include "modules/level_envelope.h"
#include "modules/loop_pad.h"
#include "core/message_codes.h"
#include "core/progress_hooks.h"

// Cross synthesis (XMRPH): two files A and B, two spectral hybrids "A*B"
// and "B*A" computed from them, and an envelope that moves the output along
// B -> B*A -> A*B -> A.

// The results keep this many samples beyond the common length for the
// longest frame's tail.
inline constexpr int32_t kResultHeadroom = 65536;
// The longest frame the resynthesis offers.
inline constexpr int32_t kMaxResynthesisFrame = 8192;

// Process-wide settings of the resynthesis, kept for the whole run.
inline constexpr int32_t kStartOverlap = 16;
inline constexpr int32_t kStartFrameSize = 1024;
inline constexpr float kStartSpectralContrast = 0.5f;
struct ResynthesisSettings {
  int32_t overlap = kStartOverlap;      // O, "OVERLAP FACTOR:"
  int32_t frameSize = kStartFrameSize;  // N complex points, "FFT FRAME SIZE:"
  bool phaseCorrection = true;          // "PHASE CORRECTION:"
  float contrast = kStartSpectralContrast;  // c, shown as 2c "SPECTRAL CONTRAST:"
};

// Loop-active modes ("LOOP ACTIVE FOR:").
inline constexpr int16_t kLoopActiveNone = 0;   // "NONE": the shorter length
inline constexpr int16_t kLoopActiveFileA = 1;  // "FILE A": A padded to B's length
inline constexpr int16_t kLoopActiveFileB = 2;  // "FILE B": B padded to A's length
inline constexpr int16_t kLoopActiveBoth = 3;   // "BOTH": both padded to the longer
inline constexpr int kLoopActiveModeCount = 4;
const char* LoopActiveText(int16_t mode);

struct CrossSource {
  std::vector<float> left;
  std::vector<float> right;  // a mono file fills both alike
  int32_t length = 0;
  SourceLoop loop;           // type kLoopTypeNone when the file has no usable loop
  std::string name;          // "RAM A:" / "RAM B:"
};

// A loaded file as the loader hands it over.
struct CrossSourceInput {
  std::span<const float> left;
  std::span<const float> right;
  int32_t length = 0;
  int channels = 1;
  SourceLoop loop;
  std::string_view name;
};

struct CrossSynthesis {
  CrossSource a;
  CrossSource b;
  int16_t loopMode = kLoopActiveNone;
  int32_t length = 0;  // L
  // The work signals, L samples each.
  std::vector<float> aLeft, aRight, bLeft, bRight;
  // "A*B" and "B*A", L + 65536 samples each, L of them used.
  std::vector<float> abLeft, abRight, baLeft, baRight;
  std::vector<float> outLeft, outRight;  // L samples
  std::vector<float> envelopeSamples;    // L factors 0..1
  // Kept while the program runs, also across flushes.
  EnvelopeNodes envelope = FlatEnvelope(0);
  int16_t limitMode = 0;
  ResynthesisSettings settings;
  int threads = 1;  // threads of the resynthesis options page: the processor count

  bool HasOutput() const { return length > 0 && !outLeft.empty(); }
};

// Module entry: RAM A and RAM B flushed, the transform tables prepared for
// frames of up to 8192 points, the resynthesis given `threads` threads (the
// processor count). Leaving: the tables released, A and B flushed.
void EnterCrossSynthesis(CrossSynthesis& cross, int threads);
void LeaveCrossSynthesis(CrossSynthesis& cross);

// Leaving the module and "FLUSH": the files, work signals, results and
// output released; settings, envelope, limit mode and threads stay.
void FlushCrossSynthesis(CrossSynthesis& cross);

// Loading A and B: lengths, loop data (kept only when valid), loop mode 0,
// ApplyLoopMode(0) and the output mixed from the empty results. kMsgNoData when
// either file has no samples (nothing is kept then).
MessageCode LoadCrossSources(CrossSynthesis& cross, const CrossSourceInput& a, const CrossSourceInput& b);

// The common length of a mode: 0 the shorter, 1 B's, 2 A's, 3 the longer.
int32_t LoopModeLength(int16_t mode, int32_t lengthA, int32_t lengthB);

// Sets L for the mode and rebuilds the work signals (copied, or padded with
// the file's loop), with the results cleared and the output and envelope
// arrays allocated for L.
void ApplyLoopMode(CrossSynthesis& cross, int16_t mode);

// Whether a loop-active mode can be chosen for the loaded files.
bool LoopModeIsValid(const CrossSynthesis& cross, int16_t mode);

// "LOOP": kMsgNoLoopData when neither file has a loop, kMsgEqualFileLength when the
// lengths are equal (nothing changes then); else the next valid mode is
// applied and kMsgNone returned.
MessageCode CycleLoopMode(CrossSynthesis& cross);

// The output from the per-sample envelope: the chain B, B*A, A*B, A in
// three segments of 86 steps.
void MixCrossOutput(CrossSynthesis& cross);

// The per-sample envelope from the nodes, then the mix.
void RemixCrossOutput(CrossSynthesis& cross);

// "CROSS SYNTHESIS" page buttons by code: 1 "SET", 2 "RAND", 3 "SMOOTH",
// 4 "INVERT", 5 "REVERSE", 6 "SWEEP", 7 "NORMAL", 12 "LIMIT"; each remixes
// the output. kMsgNoData for any of 1..12 while no output exists.
MessageCode PressCrossSynthesisButton(CrossSynthesis& cross, int buttonCode);

// Drawing on the graph: the node within the limit range, then the remix.
MessageCode DrawCrossEnvelope(CrossSynthesis& cross, int node, int value);
