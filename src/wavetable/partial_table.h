#pragma once
#include <array>
#include <cstdint>
#include <span>

// The VORTA table: 64 partial rows by 33 slice columns of signed logarithmic
// amplitude codes, stored row after row. Row r is partial r + 1 (the
// (r + 1)-th harmonic of the slice's fundamental); column s is slice s.
inline constexpr int kPartialCount = 64;
inline constexpr int kSliceCount = 33;
inline constexpr int kLastSlice = kSliceCount - 1;
inline constexpr int kTableCodeCount = kPartialCount * kSliceCount;  // 2,112
inline constexpr int kTableBytes = kTableCodeCount * 2;                // 4,224

// Selection arguments of the editing tools: a slice above the last selects
// all 33 slices, a row above the last selects all 64 rows.
inline constexpr int kAllSlices = kSliceCount;
inline constexpr int kAllRows = kPartialCount;

// Code c stands for sign(c) x 10^(|c| / 35.157...); 127 is full scale.
inline constexpr int kMaxCode = 127;
inline constexpr double kFullScaleAmplitude = 4096.0;
inline constexpr double kCodesPerDecade = 35.1570723376;
inline constexpr double kDecadesPerCode = 0.028443779117822445;
// Callers that must never raise a quiet matrix pass full scale as ceiling.
inline constexpr double kDefaultCeiling = kFullScaleAmplitude;

using CodeRow = std::span<int16_t, kSliceCount>;
using ConstCodeRow = std::span<const int16_t, kSliceCount>;

struct PartialTable {
  std::array<int16_t, kTableCodeCount> codes{};

  int16_t& at(int row, int slice) { return codes[static_cast<size_t>(row * kSliceCount + slice)]; }
  int16_t at(int row, int slice) const { return codes[static_cast<size_t>(row * kSliceCount + slice)]; }
  CodeRow Row(int row) { return CodeRow(codes.data() + row * kSliceCount, kSliceCount); }
  ConstCodeRow Row(int row) const { return ConstCodeRow(codes.data() + row * kSliceCount, kSliceCount); }

  bool operator==(const PartialTable&) const = default;
};

// The decoded form: linear amplitudes 0..4096 (signed), same layout.
struct AmplitudeMatrix {
  std::array<float, kTableCodeCount> values{};

  float& at(int row, int slice) { return values[static_cast<size_t>(row * kSliceCount + slice)]; }
  float at(int row, int slice) const { return values[static_cast<size_t>(row * kSliceCount + slice)]; }
};

// nearest(x): halves away from zero.
double Nearest(double x);

int16_t ClampCode(int value);

// One code to its amplitude and back. Encoding gives 0 below amplitude 1.0
// and never leaves -127..127.
double DecodeCode(int code);
int16_t EncodeAmplitude(double amplitude);

AmplitudeMatrix DecodeTable(const PartialTable& table);

// When the loudest amplitude exceeds the ceiling, the whole matrix is first
// scaled so that it becomes 4096; with ceiling 0 it always does.
PartialTable EncodeTable(const AmplitudeMatrix& amplitudes, double ceiling);

// Forces every code into -127..127 (codes that arrive from files).
void ClampTableCodes(PartialTable& table);

// A slice holds data when any of its 64 codes is non-zero.
bool SliceIsFilled(const PartialTable& table, int slice);
bool TableIsSilent(const PartialTable& table);

// Selection helpers: the first and one-past-last index a slice or row
// argument stands for (a negative argument selects nothing).
struct IndexRange {
  int first;
  int end;
};
IndexRange SelectedSlices(int slice);
IndexRange SelectedRows(int row);
