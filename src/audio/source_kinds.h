#pragma once
#include <string_view>

#include "core/message_codes.h"

// What a sound that plays comes from, as the message line names it. The
// numbers 1 to 13 are the file categories of the sound; 20 and up are the
// modules' own data.
enum SourceKind : int {
  kSourceWaveFile = 1,          // a sample
  kSourceSingleCycle = 2,       // a single cycle, looped at unity pitch
  kSourceSynthesisFirst = 3,    // 3..9: wavetable files, played by synthesis
  kSourceSynthesisLast = 9,
  kSourceXformTable = 13,       // an XFORM table, scanned
  kSourceRamData = 20,
  kSourceRamPitchAdapted = 21,
  kSourceAnalysisFundamental = 22,
  kSourceSingleEnvelope = 23,
  kSourceAmplitudeOptimized = 24,
};

struct PlayMessage {
  MessageCode number = kMsgPlayingFile;
  std::string_view appended;
};

// "PLAYING FILE", "PLAYING RAM DATA" or "PLAYING ANALYSIS FUNDAMENTAL" with
// the note of the source kind.
PlayMessage PlayMessageFor(int kind);
