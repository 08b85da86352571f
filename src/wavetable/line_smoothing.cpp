#include "wavetable/line_smoothing.h"

#include <vector>

namespace {

void OpenPass(std::span<const double> x, std::span<double> y) {
  const size_t n = x.size();
  y[0] = (2.0 * x[0] + x[1]) / 3.0;
  for (size_t i = 1; i + 1 < n; ++i) y[i] = (x[i - 1] + 2.0 * x[i] + x[i + 1]) / 4.0;
  y[n - 1] = (2.0 * x[n - 1] + x[n - 2]) / 3.0;
}

void CircularPass(std::span<const double> x, std::span<double> y) {
  const size_t n = x.size();
  y[0] = (x[n - 1] + 2.0 * x[0] + x[1]) / 4.0;
  for (size_t i = 1; i + 1 < n; ++i) y[i] = (x[i - 1] + 2.0 * x[i] + x[i + 1]) / 4.0;
  y[n - 1] = (x[n - 2] + 2.0 * x[n - 1] + x[0]) / 4.0;
}

template <typename Pass>
void RunPasses(std::span<double> values, int passes, Pass pass) {
  if (values.size() < 2) return;
  std::vector<double> previous(values.size());
  for (int p = 0; p < passes; ++p) {
    std::copy(values.begin(), values.end(), previous.begin());
    pass(previous, values);
  }
}

}  // namespace

void SmoothLine(std::span<double> values, int passes) { RunPasses(values, passes, OpenPass); }

void SmoothLineCircular(std::span<double> values, int passes) { RunPasses(values, passes, CircularPass); }

void SmoothLineCircular(std::span<float> values, int passes) {
  std::vector<double> wide(values.begin(), values.end());
  SmoothLineCircular(std::span<double>(wide), passes);
  for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<float>(wide[i]);
}
