#pragma once
#include <array>
#include <cstdint>

// What the program keeps for the whole run without saving it: the values
// of option pages (rendering formats, levels, page numbers of lists) and
// the places the utility module, the recycle bin and the main menu clock
// were left at. One record beside AppGlobals; a test starts a run afresh by
// assigning a new one. Pages that add such values add them here.
struct KeptForRun {
  // Main menu clock: the stamp (seconds x 1000 + milliseconds) last drawn,
  // -1 before the first, which seeds the random generator.
  int32_t menuClockStamp = -1;
  bool randomSeeded = false;

  uint16_t utilityScreen = 0;   // the utility page open when the module was left
  int parameterLine = 0;        // selected line of "SYSTEM PARAMETER SETTINGS"
  int userPathLine = 0;         // selected line of "USER PATH SETTINGS"
  uint16_t recycleBinPage = 1;  // the recycle bin page shown last

  // VORTA "WAVETABLE RENDERING <WAV>": bits mode 0..3 (8, 16, 32 PCM, 32
  // float), ALTERNATE base, waves per slice step M, samples per slice S.
  int16_t tableBitsMode = 1;
  bool tableAlternateBase = false;
  int tableWavesPerStep = 32;
  int tableSamplesPerSlice = 256;
  // VORTA "SINGLE CYCLE RENDERING <WAV>": bits mode, INVERTED polarity,
  // output samples S.
  int16_t cycleBitsMode = 1;
  bool cycleInverted = false;
  int cycleSamples = 256;
  // VORTA "TABLE VIEWER": the view 0..5 shown, its magnification and the
  // wave step of the wave views (1 every wave, 4 only the slices).
  int viewerView = 0;
  double viewerMagnification = 1.0;
  int viewerStep = 1;
  // Cross synthesis: the resynthesis settings O, N, c and the phase
  // correction, and the envelope with its limit mode.
  int32_t crossOverlap = 16;
  int32_t crossFrameSize = 1024;
  float crossContrast = 0.5f;
  bool crossPhaseCorrection = true;
  std::array<int16_t, 33> crossEnvelope{};
  int16_t crossLimitMode = 0;
  // The rendering pages of loop and cross synthesis: "BITS PER SAMPLE:"
  // modes (16-bit PCM), level modes ("FULL RANGE") and the loop start offset.
  int loopBitsMode = 1;
  int loopLevelMode = 0;
  int32_t loopStartOffset = 0;
  int crossBitsMode = 1;
  int crossLevelMode = 0;
};

extern KeptForRun gKept;
