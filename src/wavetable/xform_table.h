#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "wavetable/partial_table.h"
#include "wavetable/payload.h"
#include "wavetable/slice_order.h"
#include "core/message_codes.h"

// The XFORM table: up to 33 slices of 131,072 frames of stereo noise, each
// held twice, as the magnitude spectrum it was made from and as the noise
// itself. The spectra are the table's truth (undo keeps them, the noise can
// always be made again from them); the noise is what plays and what files
// carry.
inline constexpr int32_t kXformSliceLength = 131072;  // 0x20000, also the transform length
inline constexpr int32_t kXformBinCount = kXformSliceLength / 2;  // 65,536 bins kept per channel
inline constexpr size_t kXformSliceSpectrumFloats = 2 * static_cast<size_t>(kXformBinCount);  // (|L|, |R|) per bin
inline constexpr size_t kXformSliceNoiseFloats = 2 * static_cast<size_t>(kXformSliceLength);  // L, R per frame
inline constexpr size_t kXformSpectrumFloats = kSliceCount * kXformSliceSpectrumFloats;  // 4,325,376
inline constexpr size_t kXformNoiseFloats = kSliceCount * kXformSliceNoiseFloats;        // 8,650,752
inline constexpr int64_t kXformMaxFrames = static_cast<int64_t>(kSliceCount) * kXformSliceLength;

// Bins below 50 Hz (50 x 131,072 / 44,100 = 148.6, rounded) are never
// synthesised.
inline constexpr int32_t kXformLowCutBin = 149;

// A slice whose peak is not above this holds nothing.
inline constexpr double kXformSilentPeak = 0.00001;

// Playback speed of the scan through the slices, powers of two.
inline constexpr int32_t kXformStartSpeed = 32;
inline constexpr int32_t kXformMinSpeed = 1;
inline constexpr int32_t kXformMaxSpeed = 1024;

// Band profile: 128 bands of 512 bins (172.265625 Hz) per slice.
inline constexpr int32_t kXformBandBins = kXformBinCount / kXformBandCount;  // 512
inline constexpr double kXformBandFullScale = 4096.0;

struct XformTable {
  std::vector<float> spectrum;  // kSliceCount x (|L_k|, |R_k|) for k = 0 .. 65535
  std::vector<float> noise;     // kSliceCount x 131,072 frames of (left, right)
  int32_t speed = kXformStartSpeed;
  int32_t reservedA = 0;  // kept for the table record's layout, always 0
  int32_t reservedB = 0;
  XformBandProfile bandProfile{};
  std::array<float, kSliceCount> slicePeaks{};  // largest |sample| of each slice's noise, 0 = empty
  std::string ramName;
};

std::span<float> SpectrumSlice(XformTable& table, int slice);
std::span<const float> SpectrumSlice(const XformTable& table, int slice);
std::span<float> NoiseSlice(XformTable& table, int slice);
std::span<const float> NoiseSlice(const XformTable& table, int slice);

// Zero-filled buffers for all 33 slices; a table that already has them is
// cleared instead. Speed back to its start value, no name.
void AllocateXformTable(XformTable& table);
// Every slice, peak and profile byte to 0 and the name cleared; the speed stays.
void ClearXformTable(XformTable& table);
void ReleaseXformTable(XformTable& table);
bool XformTableAllocated(const XformTable& table);

void ClearXformSlice(XformTable& table, int slice);

// Slices up to the last one that holds noise (0 for an empty table).
int XformUsedSlices(const XformTable& table);

// Band j of slice s: the sum of both channels' magnitudes over bins
// 512 j .. 512 j + 511, all 4,224 sums scaled together so that the largest is
// 4,096 and coded like partial amplitudes (below 1.0: 0). An empty table
// gives all zeros.
XformBandProfile BuildBandProfile(const XformTable& table);
// The parts of the profile: the kXformBandCount band sums of one slice into
// sums, and the codes from all slices' sums (slice after slice).
void SumXformBands(const XformTable& table, int slice, std::span<double> sums);
XformBandProfile BandProfileFromSums(std::span<const double> sums);
void RebuildBandProfile(XformTable& table);

// Multiplies noise and spectrum of the slice by gain. When the new peak is
// not above the silence limit the slice is cleared instead. A gain that is
// not a finite number changes nothing.
void ScaleXformSlice(XformTable& table, int slice, double gain);
// ScaleXformSlice followed by SumXformBands, in one pass over the spectrum.
void ScaleXformSliceAndSumBands(XformTable& table, int slice, double gain, std::span<double> sums);

// Brings the loudest slice to peak 1.0 (all slices by one gain) and rebuilds
// the band profile. A table whose loudest peak is within the silence limit
// is left as it is.
void NormalizeXform(XformTable& table);
// The gain NormalizeXform applies to every slice with a peak; 0 for none.
double NormalizingGain(const XformTable& table);
// The same for slices with these peaks.
double NormalizingGainOf(std::span<const float> peaks);

// Output slice c receives noise, spectrum and peak of input slice order[c]
// (entries outside 0..32 wrap). The output's buffers are allocated when
// missing; speed and name are the input's; the band profile is rebuilt.
void ReorderXform(const XformTable& input, const SliceOrder& order, XformTable& output);

// "-SPEED" halves the speed (MinValue at 1), "+SPEED" doubles it (MaxValue
// from 1,024 on); None when changed.
MessageCode SlowerXformSpeed(int32_t& speed);
MessageCode FasterXformSpeed(int32_t& speed);

// A speed from a file or a caller: the power of two at or below it within
// 1 .. 1,024; anything below 1 gives the start value.
int32_t ValidXformSpeed(int32_t speed);

// Bytes of the two buffers, for the memory readouts.
size_t XformTableBytes(const XformTable& table);
