#include "wavetable/partial_table.h"

#include <algorithm>
#include <cmath>

namespace {

// Amplitudes of the 255 codes, built once.
struct DecodeLookup {
  std::array<double, 2 * kMaxCode + 1> amplitude{};
  DecodeLookup() {
    for (int code = -kMaxCode; code <= kMaxCode; ++code) {
      const double magnitude = code == 0 ? 0.0 : std::pow(10.0, std::abs(code) * kDecadesPerCode);
      amplitude[static_cast<size_t>(code + kMaxCode)] = code < 0 ? -magnitude : magnitude;
    }
  }
};

const DecodeLookup& Lookup() {
  static const DecodeLookup lookup;
  return lookup;
}

}  // namespace

double Nearest(double x) { return std::round(x); }

int16_t ClampCode(int value) { return static_cast<int16_t>(std::clamp(value, -kMaxCode, kMaxCode)); }

double DecodeCode(int code) {
  return Lookup().amplitude[static_cast<size_t>(ClampCode(code) + kMaxCode)];
}

int16_t EncodeAmplitude(double amplitude) {
  const double magnitude = std::fabs(amplitude);
  if (!(magnitude >= 1.0)) return 0;  // also NaN
  const double code = std::min(Nearest(std::log10(magnitude) * kCodesPerDecade), static_cast<double>(kMaxCode));
  const int16_t rounded = static_cast<int16_t>(code);
  return amplitude < 0 ? static_cast<int16_t>(-rounded) : rounded;
}

AmplitudeMatrix DecodeTable(const PartialTable& table) {
  AmplitudeMatrix matrix;
  for (size_t i = 0; i < table.codes.size(); ++i) matrix.values[i] = static_cast<float>(DecodeCode(table.codes[i]));
  return matrix;
}

PartialTable EncodeTable(const AmplitudeMatrix& amplitudes, double ceiling) {
  double largest = 0.0;
  for (float value : amplitudes.values) largest = std::max(largest, std::fabs(static_cast<double>(value)));
  const double gain = largest > ceiling ? kFullScaleAmplitude / largest : 1.0;
  PartialTable table;
  for (size_t i = 0; i < table.codes.size(); ++i) table.codes[i] = EncodeAmplitude(amplitudes.values[i] * gain);
  return table;
}

void ClampTableCodes(PartialTable& table) {
  for (int16_t& code : table.codes) code = ClampCode(code);
}

bool SliceIsFilled(const PartialTable& table, int slice) {
  for (int row = 0; row < kPartialCount; ++row)
    if (table.at(row, slice) != 0) return true;
  return false;
}

bool TableIsSilent(const PartialTable& table) {
  return std::all_of(table.codes.begin(), table.codes.end(), [](int16_t c) { return c == 0; });
}

IndexRange SelectedSlices(int slice) {
  if (slice < 0) return {0, 0};
  if (slice > kLastSlice) return {0, kSliceCount};
  return {slice, slice + 1};
}

IndexRange SelectedRows(int row) {
  if (row < 0) return {0, 0};
  if (row >= kPartialCount) return {0, kPartialCount};
  return {row, row + 1};
}
