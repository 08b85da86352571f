#pragma once
#include <cstdint>
#include <span>

// Peak detection of the XFORM analysis. A frame is 65,536 bins of
// (left, right) magnitudes; each value gets a stage byte: 0 for values at
// or below 1/1024 of the frame's largest magnitude, 1 for the rest, and one
// more for every round in which it stays a peak of the peaks: a value is a
// peak when it stands above both neighbours at distances 1 and 2 of its own
// channel once every lower-stage run has been replaced by the straight line
// between the values around it.

inline constexpr int kMaxPeakStage = 33;      // rounds stop when this stage is reached
inline constexpr float kStageOneRatio = 1.0f / 1024.0f;
inline constexpr int32_t kPeakFrameBins = 65536;

// Writes the stage of every value (same layout as the magnitudes) and
// returns the frame's top stage. Stages of bins below the low-cut bin are 0.
// When two or more values share the top stage the first of them (lowest bin,
// left before right) rises one stage more, and its right partner with it
// when that holds the top stage too, unless the two are the only values
// there.
int DetectPeakStages(std::span<const float> magnitudes, std::span<uint8_t> stages);

// True when work[j] is a peak: greater than both neighbours at distance 2,
// and greater than one neighbour at distance 1 and at least equal to the
// other. Values without both neighbours at distances 1 and 2 never are.
bool IsStagePeak(std::span<const float> work, int32_t j);

// The work copy of one channel (every second value of the frame, from
// `channel`) for round `level`: values of stage >= level as they are, each
// run below that level the straight line between the values around it; a
// run at either end holds its one neighbouring value, a channel without any
// value of that stage is all zero.
void BuildStageWorkCopy(std::span<const float> magnitudes, std::span<const uint8_t> stages, int channel, int level,
                        std::span<float> work);

// The frame's stereo phase link: per bin with a non-zero phase difference d
// (left minus right) and two different magnitudes above 0, a = |d| folded
// into 0..pi; the louder channel takes a / (2 pi) of the quieter one's
// magnitude from it.
void LinkStereoPhase(std::span<float> magnitudes, std::span<const float> phaseDifferences);
