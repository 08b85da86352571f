#pragma once
#include <cstdint>

// The message-line numbers the analysis and resynthesis modules hand back to
// their pages; the values are the numbers the message line shows.
enum class ModuleMessage : uint8_t {
  None = 0,
  MinValue = 1,               // "MIN VALUE"
  MaxValue = 2,               // "MAX VALUE"
  Done = 3,                   // "DONE"
  NoLoopData = 5,             // "NO LOOP DATA"
  EnvelopeIsFlat = 7,         // "ENVELOPE IS FLAT"
  NoData = 8,                 // "NO DATA"
  PreparingCalculations = 14, // "PREPARING CALCULATIONS, PLEASE WAIT"
  Calculating = 21,           // "CALCULATING, PLEASE WAIT"
  MinimumAnalysisRange = 22,  // "MINIMUM ANALYSIS RANGE <4097 SAMPLES>"
  Aborted = 25,               // "ABORTED"
  EqualFileLength = 27,       // "EQUAL FILE LENGTH, PADDING NOT REQUIRED"
};

inline constexpr uint8_t MessageNumber(ModuleMessage message) { return static_cast<uint8_t>(message); }
