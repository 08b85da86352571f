#include "dsp/mixed_radix_dft.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/checked_alloc.h"

DftTables gDftTables;

namespace {

// Radices with their own butterflies, tried largest first.
constexpr int32_t kDedicatedRadices[] = {10, 8, 5, 4, 3, 2};

DftPassRunner gRunner = nullptr;

DftPassRunner ActiveRunner() {
  if (gRunner == nullptr) SelectDftPassRunner(nullptr);
  return gRunner;
}

void AllocateRows(DftTables& tables, int32_t maxLength) {
  const auto n = static_cast<size_t>(maxLength);
  for (auto* row : {&tables.trigCos, &tables.trigSin, &tables.rowARe, &tables.rowAIm, &tables.rowBRe,
                    &tables.rowBIm, &tables.radixCos, &tables.radixSin})
    CheckedAlloc(*row, n);
  CheckedAlloc(tables.zeroImag, n);
  CheckedAlloc(tables.scratchImag, n);
  for (auto* row : {&tables.rowCRe, &tables.rowCIm, &tables.realCos, &tables.realSin})
    CheckedAlloc(*row, n / 2 + 1);
  // Index 1 .. (radix - 1) / 2 is used.
  for (auto* row : {&tables.oddSumRe, &tables.oddSumIm, &tables.oddDiffRe, &tables.oddDiffIm})
    CheckedAlloc(*row, (n + 1) / 2 + 1);
  tables.maxLength = maxLength;
  tables.cachedLength = 0;
  tables.factorCount = 0;
  tables.realLength = 0;
}

void BuildTwiddles(DftTables& tables) {
  int32_t offset = 0;
  for (int i = 1; i <= tables.factorCount; ++i) {
    const int32_t r = tables.actual[i];
    const int32_t s = tables.sofar[i];
    const double step = 2.0 * std::numbers::pi / (static_cast<double>(s) * r);
    for (int32_t t = 1; t < r; ++t) {
      for (int32_t k = 0; k < s; ++k) {
        // t k < s r, so the angle stays below one turn.
        const double angle = step * static_cast<double>(t * k);
        tables.trigCos[offset + (t - 1) * s + k] = std::cos(angle);
        tables.trigSin[offset + (t - 1) * s + k] = std::sin(angle);
      }
    }
    offset += (r - 1) * s;
  }
}

// Runs the transform of the cached length in the given form; the real forms
// also use the pair rows and the cos / sin table of PrepareHalfLength.
void RunTransform(DftTables& tables, DftForm form, const float* inRe, const float* inIm, float* outRe,
                  float* outIm) {
  DftPassPlan plan;
  plan.n = tables.cachedLength;
  plan.factorCount = tables.factorCount;
  plan.form = form;
  plan.inRe = inRe;
  plan.inIm = inIm;
  plan.outRe = outRe;
  plan.outIm = outIm;
  plan.actual = tables.actual.data();
  plan.sofar = tables.sofar.data();
  plan.remain = tables.remain.data();
  plan.trigCos = tables.trigCos.data();
  plan.trigSin = tables.trigSin.data();
  plan.aRe = tables.rowARe.data();
  plan.aIm = tables.rowAIm.data();
  plan.bRe = tables.rowBRe.data();
  plan.bIm = tables.rowBIm.data();
  plan.oddSumRe = tables.oddSumRe.data();
  plan.oddSumIm = tables.oddSumIm.data();
  plan.oddDiffRe = tables.oddDiffRe.data();
  plan.oddDiffIm = tables.oddDiffIm.data();
  plan.radixCos = tables.radixCos.data();
  plan.radixSin = tables.radixSin.data();
  plan.packRe = tables.scratchImag.data();
  plan.packIm = plan.packRe + tables.cachedLength;
  plan.halfRe = tables.rowCRe.data();
  plan.halfIm = tables.rowCIm.data();
  plan.realCos = tables.realCos.data();
  plan.realSin = tables.realSin.data();
  ActiveRunner()(plan);
}

// A real signal of even length n is transformed as n / 2 complex points,
// x[2j] + i x[2j + 1], and split apart after: half the work of treating it
// as n complex points with zero imaginary parts.
bool UsesHalfLength(int32_t n) { return n >= 2 && n % 2 == 0; }

// The tables of the n / 2-point transform and the split's cos / sin table.
void PrepareHalfLength(DftTables& tables, int32_t n) {
  // The packed samples and these rows need n, not n / 2.
  if (n > tables.maxLength) AllocateRows(tables, n);
  PrepareDftTables(tables, n / 2);
  if (tables.realLength == n) return;
  for (int32_t k = 0; k <= n / 2; ++k) {
    const double angle = 2.0 * std::numbers::pi * k / n;
    tables.realCos[k] = std::cos(angle);
    tables.realSin[k] = std::sin(angle);
  }
  tables.realLength = n;
}

bool ValidLength(int32_t n) { return n >= 1; }

}  // namespace

std::vector<int32_t> DftFactors(int32_t n) {
  std::vector<int32_t> found;
  if (n <= 1) return {1};
  int32_t rest = n;
  for (int32_t radix : kDedicatedRadices) {
    while (rest % radix == 0) {
      found.push_back(radix);
      rest /= radix;
    }
  }
  // 2 x 8 costs more than 4 x 4: a trailing 2 turns the latest 8 into a 4 too.
  if (!found.empty() && found.back() == 2) {
    const auto eight = std::find(found.rbegin(), found.rend(), 8);
    if (eight != found.rend()) {
      *eight = 4;
      found.back() = 4;
    }
  }
  for (int32_t k = 2; static_cast<int64_t>(k) * k <= rest; ++k) {
    while (rest % k == 0) {
      found.push_back(k);
      rest /= k;
    }
  }
  if (rest > 1) found.push_back(rest);
  // The factors found last are applied first.
  std::reverse(found.begin(), found.end());
  return found;
}

void SelectDftPassRunner(DftPassRunner runner) {
  if (runner == nullptr) runner = VectorDftPassRunner() ? VectorDftPassRunner() : PortableDftPassRunner();
  gRunner = runner;
}

void AllocateDftTables(int32_t maxLength) { AllocateRows(gDftTables, std::max<int32_t>(maxLength, 1)); }

void ReleaseDftTables() {
  DftTables& t = gDftTables;
  for (auto* row : {&t.trigCos, &t.trigSin, &t.rowARe, &t.rowAIm, &t.rowBRe, &t.rowBIm, &t.radixCos, &t.radixSin,
                    &t.oddSumRe, &t.oddSumIm, &t.oddDiffRe, &t.oddDiffIm, &t.rowCRe, &t.rowCIm, &t.realCos,
                    &t.realSin})
    CheckedAlloc(*row, 0);
  CheckedAlloc(t.zeroImag, 0);
  CheckedAlloc(t.scratchImag, 0);
  t.maxLength = 0;
  t.cachedLength = 0;
  t.factorCount = 0;
  t.realLength = 0;
}

void PrepareDftTables(DftTables& tables, int32_t n) {
  if (n == tables.cachedLength) return;
  // A length beyond the reserved rows grows them instead of running past their end.
  if (n > tables.maxLength) AllocateRows(tables, n);
  const std::vector<int32_t> factors = DftFactors(n);
  tables.factorCount = static_cast<int32_t>(factors.size());
  int32_t applied = 1;
  for (int i = 1; i <= tables.factorCount; ++i) {
    tables.actual[i] = factors[i - 1];
    tables.sofar[i] = applied;
    applied *= factors[i - 1];
    tables.remain[i] = n / applied;
  }
  tables.cachedLength = n;
  BuildTwiddles(tables);
}

void MixedRadixDft(int32_t n, const float* inRe, const float* inIm, float* outRe, float* outIm) {
  if (!ValidLength(n)) return;
  PrepareDftTables(gDftTables, n);
  RunTransform(gDftTables, DftForm::Complex, inRe, inIm, outRe, outIm);
}

void RealSpectrum(int32_t n, const float* x, float* re, float* im) {
  if (!ValidLength(n)) return;
  if (UsesHalfLength(n)) {
    PrepareHalfLength(gDftTables, n);
    RunTransform(gDftTables, DftForm::Spectrum, x, nullptr, re, im);
    return;
  }
  PrepareDftTables(gDftTables, n);
  RunTransform(gDftTables, DftForm::Complex, x, gDftTables.zeroImag.data(), re, im);
  // exp(-i...) gives -sum x sin; the spectrum keeps +sum x sin.
  for (int32_t k = 0; k < n; ++k) im[k] = -im[k];
}

void SpectrumToWave(int32_t n, const float* re, const float* im, float* y) {
  if (!ValidLength(n)) return;
  if (UsesHalfLength(n)) {
    PrepareHalfLength(gDftTables, n);
    RunTransform(gDftTables, DftForm::Wave, re, im, y, nullptr);
    return;
  }
  PrepareDftTables(gDftTables, n);
  RunTransform(gDftTables, DftForm::Complex, re, im, y, gDftTables.scratchImag.data());
}
