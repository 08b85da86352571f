#include "wavetable/formant_shift.h"

#include <array>
#include <cmath>

#include "wavetable/filter_shape.h"
#include "wavetable/table_editing.h"
#include "wavetable/vorta_synthesis.h"

namespace {

// Amplitudes indexed by partial number 1..64 (index 0 unused).
using PartialColumn = std::array<double, kPartialCount + 2>;

bool IsPartial(long n) { return n >= 1 && n <= kPartialCount; }

PartialColumn Gather(const PartialColumn& in, double k) {
  PartialColumn out{};
  for (int n = 1; n <= kPartialCount; ++n) {
    const double x = n / k;
    const long q = static_cast<long>(std::floor(x));
    const double f = x - static_cast<double>(q);
    double value = 0.0;
    if (IsPartial(q)) value += (1.0 - f) * in[static_cast<size_t>(q)];
    if (IsPartial(q + 1)) value += f * in[static_cast<size_t>(q + 1)];
    out[static_cast<size_t>(n)] = value;
  }
  return out;
}

PartialColumn Scatter(const PartialColumn& in, double k) {
  PartialColumn out{};
  for (int n = 1; n <= kPartialCount; ++n) {
    const double x = n * k;
    const double q = std::floor(x);
    const double f = x - q;
    if (q >= 1 && q <= kPartialCount) out[static_cast<size_t>(q)] += (1.0 - f) * in[static_cast<size_t>(n)];
    if (q + 1 >= 1 && q + 1 <= kPartialCount) out[static_cast<size_t>(q + 1)] += f * in[static_cast<size_t>(n)];
  }
  return out;
}

}  // namespace

FormantShifter StartFormantShifter(const PartialTable& ramTable) {
  FormantShifter shifter;
  shifter.polarityLock = InitialPolarityLock(ramTable);
  return shifter;
}

int NextFormantOctaves(int octaves) { return octaves >= kMaxFormantOctaves || octaves < kMinFormantOctaves ? kMinFormantOctaves : octaves + 1; }

FormantAlgorithm OtherFormantAlgorithm(FormantAlgorithm algorithm) {
  return algorithm == FormantAlgorithm::Continuous ? FormantAlgorithm::Discontinuous : FormantAlgorithm::Continuous;
}

PartialTable ShiftFormants(const PartialTable& table, const ShiftEnvelope& shift, int octaves,
                           FormantAlgorithm algorithm, bool polarityLock) {
  const AmplitudeMatrix input = DecodeTable(table);
  AmplitudeMatrix output;
  for (int s = 0; s < kSliceCount; ++s) {
    const int e = shift[static_cast<size_t>(s)];
    const double k = std::pow(2.0, e * static_cast<double>(octaves) / kMaxCode);
    PartialColumn column{};
    for (int n = 1; n <= kPartialCount; ++n) column[static_cast<size_t>(n)] = input.at(n - 1, s);
    const bool gather = algorithm == FormantAlgorithm::Continuous && e >= 0;
    const PartialColumn shifted = gather ? Gather(column, k) : Scatter(column, k);
    for (int n = 1; n <= kPartialCount; ++n) output.at(n - 1, s) = static_cast<float>(shifted[static_cast<size_t>(n)]);
  }
  PartialTable result = EncodeTable(output, kDefaultCeiling);
  if (polarityLock) LockPolarity(result, kAllRows);
  OptimizeTable(result, kOptimizeRaise);
  return result;
}
