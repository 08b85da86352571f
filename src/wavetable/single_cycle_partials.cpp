#include "wavetable/single_cycle_partials.h"

#include <cmath>
#include <vector>

#include "dsp/mixed_radix_dft.h"
#include "wavetable/table_editing.h"

PartialTable SingleCycleToPartials(std::span<const float> cycle) {
  AmplitudeMatrix amplitudes;
  const int n = static_cast<int>(cycle.size());
  if (n < kMinCycleFrames || n > kMaxCycleFrames) return PartialTable{};
  std::vector<float> x(cycle.begin(), cycle.end());
  for (float& v : x) {
    if (!std::isfinite(v)) v = 0.0f;
  }
  std::vector<float> re(static_cast<size_t>(n));
  std::vector<float> im(static_cast<size_t>(n));
  RealSpectrum(n, x.data(), re.data(), im.data());
  // A sine of amplitude a over n samples gives im = a x n / 2.
  const double scale = 2.0 * kFullScaleAmplitude / n;
  for (int p = 1; p <= kPartialCount && p < n / 2; ++p) {
    const double r = re[static_cast<size_t>(p)];
    const double i = im[static_cast<size_t>(p)];
    const double magnitude = std::hypot(r, i) * scale;
    amplitudes.at(p - 1, 0) = static_cast<float>(i < 0.0 ? -magnitude : magnitude);
  }
  return EncodeTable(amplitudes, kDefaultCeiling);
}

PartialTable FillTableWithCycle(std::span<const float> cycle) {
  PartialTable table = SingleCycleToPartials(cycle);
  NormalizeSlice(table, 0, 0);
  for (int row = 0; row < kPartialCount; ++row) {
    for (int slice = 1; slice < kSliceCount; ++slice) table.at(row, slice) = table.at(row, 0);
  }
  return table;
}
