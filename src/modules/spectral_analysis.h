#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "modules/analysis_table.h"
#include "core/message_codes.h"
#include "modules/progress_hooks.h"
#include "wavetable/partial_table.h"

// Sample analysis ("SAMPLE ANALYSIS OPTIONS II"): short-time spectra of the
// analysis range, mapped onto the 33 slices, sampled at the harmonics of a
// tunable fundamental and built into a PartialTable with a playable preview.

inline constexpr int32_t kAnalysisFrameLength = 1024;
inline constexpr int32_t kAnalysisHop = 512;
inline constexpr int32_t kAnalysisBins = 512;            // bins 1..512 are kept
inline constexpr int32_t kSliceSpectrumBins = 513;       // bins 0..512 per slice
inline constexpr int32_t kMinimumFrameCount = 7;
inline constexpr int32_t kSamplesPerStretchStep = 8448;  // 33 x 256
inline constexpr float kSharpenAttackGain = 1.175f;
// 4 bins of 44,100 / 1,024 Hz make the table's unity pitch, 172.265625 Hz.
inline constexpr double kBinsPerHarmonic = 4.0;
inline constexpr int32_t kFundamentalToneSamples = 88200;  // 2 seconds
inline constexpr int kMinCents = -1200;
inline constexpr int kMaxCents = 1200;
inline constexpr int kCentsStep = 5;

// Frames f = 0 .. F-1: magnitude and phase of bins 1..512, bin b at
// [f x 512 + b - 1].
struct FrameSpectra {
  int32_t frames = 0;
  std::vector<float> magnitudes;
  std::vector<float> phases;
};

// Bins 0..bins-1 of each of the 33 slices, slice s at [s x bins + b].
struct SliceSpectra {
  int32_t bins = kSliceSpectrumBins;
  std::vector<float> magnitudes;
  std::vector<int16_t> polarities;
};

// F = (E - S) / 512 - 1, lowered to the last non-zero sample's frame but
// never below 7.
int32_t AnalysisFrameCount(std::span<const float> range);
// R = nearest(range / 8448), 1..32.
int32_t AnalysisStretch(int32_t rangeLength);

// Windowed 1024-point spectra every 512 samples, the window centre rotated
// to position 0. Frames that would read past the range see silence there.
// Reports progress under "ANALYSIS PROGRESS: "; kMsgAborted when cancelled
// (the spectra are then released), else kMsgDone.
MessageCode AnalyzeFrames(std::span<const float> range, int32_t frames, FrameSpectra& spectra,
                            const ProgressHooks& hooks);

void FramesToSlices(const FrameSpectra& frames, SliceFill fill, bool sharpenAttack, SliceSpectra& slices);

// Harmonic h of slice s at bin position 4 h t, interpolated linearly
// between the two neighbouring bins; polarity of the nearer bin.
void SampleHarmonics(const SliceSpectra& slices, double tuneFactor, HarmonicMatrix& harmonics);

double TuneFactor(int cents);                 // 2^(cents / 1200)
double FundamentalFrequency(int cents);       // "FUND FREQUENCY <HZ>:"
double FundamentalNoteOffset(int cents);      // "FUND NOTE OFFSET:"
// The two readouts as shown, "%.4f" and "%+.2f" with halves rounded away
// from zero (344.53125 Hz shows as 344.5313).
std::string ShownFundamentalFrequency(int cents);
std::string ShownNoteOffset(int cents);

// 88,200 samples of the fundamental sine at 172.265625 Hz x t, fading
// linearly from 1 to 0.
void MakeFundamentalTone(double tuneFactor, std::vector<float>& tone);

// The analysis record. It is made when the range page opens, so that its
// settings last for every "fANALYZE" of that run; the spectra, table and
// preview are made afresh on each.
struct SpectralAnalysis {
  AnalysisSettings settings;
  int32_t frameCount = 0;  // F
  int32_t stretch = 16;    // R
  FrameSpectra frames;
  SliceSpectra slices;
  HarmonicMatrix harmonics;
  PartialTable table;
  std::vector<float> preview;
  size_t previewLength = 0;
  std::vector<float> fundamental;

  // The preview's pitch factor p: t with pitch adaption, else 1.
  double PreviewPitch() const;
  // "SF_MODE" and "SLICE FILL MODE:" are offered only from 34 frames on.
  bool OffersSliceFill() const { return frameCount >= 34; }
};

// The stages a change starts from; every later stage runs too.
enum class AnalysisStage : uint8_t { Slices, Harmonics, Table, Preview };

// Entry to "SAMPLE ANALYSIS OPTIONS II": F, R, the frame spectra and every
// later stage with the record's settings, and the fundamental tone.
// kMsgAborted when cancelled.
MessageCode StartSpectralAnalysis(SpectralAnalysis& analysis, std::span<const float> range, const ProgressHooks& hooks);
void RefreshSpectralAnalysis(SpectralAnalysis& analysis, AnalysisStage from);

enum class SpectralButton : uint8_t {
  SliceFillMode,   // "SF_MODE" (0, 0)
  PolarityLock,    // "POL_LOCK" (1, 0)
  SharpenAttack,   // "SHARP" (2, 0)
  LowerContrast,   // "-CNTRST" (3, 0)
  RaiseContrast,   // "+CNTRST" (4, 0)
  LowerCents,      // "-5_CENT" (6, 0)
  RaiseCents,      // "+5_CENT" (7, 0)
  PitchAdaption,   // "P_ADAPT" (8, 0)
};
// Changes the setting and redoes what depends on it; kMsgMinValue / kMsgMaxValue at
// the limits (nothing changes then), else kMsgNone.
MessageCode PressSpectralButton(SpectralAnalysis& analysis, SpectralButton button);

// A tuning keyboard click or arrow key: the new cents (-1200..1200), the
// harmonics, table, preview and fundamental tone redone.
void SetAnalysisCents(SpectralAnalysis& analysis, int cents);

// "fAPPLY": the table and R go to the caller; kMsgDone.
MessageCode ApplySpectralAnalysis(const SpectralAnalysis& analysis, PartialTable& table, int32_t& stretch);
// "fCANCEL": the caller's table is cleared and R = 16; kMsgAborted.
MessageCode CancelSpectralAnalysis(PartialTable& table, int32_t& stretch);
