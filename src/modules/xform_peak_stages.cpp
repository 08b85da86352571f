#include "modules/xform_peak_stages.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/checked_alloc.h"
#include "wavetable/xform_table.h"

namespace {

int64_t CountFromLowCut(std::span<const uint8_t> stages, int level) {
  int64_t count = 0;
  for (size_t i = 2 * static_cast<size_t>(kXformLowCutBin); i < stages.size(); ++i) count += stages[i] >= level;
  return count;
}

void PromotePeaks(std::span<const float> magnitudes, std::span<uint8_t> stages, int level, std::span<float> work) {
  const auto bins = static_cast<int32_t>(magnitudes.size() / 2);
  for (int channel = 0; channel < 2; ++channel) {
    BuildStageWorkCopy(magnitudes, stages, channel, level, work);
    for (int32_t j = 2; j + 2 < bins; ++j) {
      uint8_t& stage = stages[2 * static_cast<size_t>(j) + static_cast<size_t>(channel)];
      if (stage == level && IsStagePeak(work, j)) stage = static_cast<uint8_t>(level + 1);
    }
  }
}

void Demote(std::span<uint8_t> stages, int from, int to) {
  for (uint8_t& stage : stages)
    if (stage == from) stage = static_cast<uint8_t>(to);
}

// Two or more values at the top: the first of them rises once more so that
// every frame has one leading peak (with its right partner, unless that
// pair would again be all there is at the top).
int SeparateTop(std::span<uint8_t> stages) {
  int top = 0;
  for (uint8_t stage : stages) top = std::max<int>(top, stage);
  if (top == 0) return 0;
  size_t holders = 0;
  size_t first = stages.size();
  for (size_t i = 0; i < stages.size(); ++i) {
    if (stages[i] != top) continue;
    if (holders++ == 0) first = i;
  }
  if (holders < 2) return top;
  const auto raised = static_cast<uint8_t>(top + 1);
  stages[first] = raised;
  const bool leftWithPartner = first % 2 == 0 && first + 1 < stages.size() && stages[first + 1] == top;
  if (leftWithPartner && holders != 2) stages[first + 1] = raised;
  return top + 1;
}

}  // namespace

bool IsStagePeak(std::span<const float> work, int32_t j) {
  const auto n = static_cast<int32_t>(work.size());
  if (j < 2 || j + 2 >= n) return false;
  const float x = work[static_cast<size_t>(j)];
  const float left1 = work[static_cast<size_t>(j - 1)];
  const float right1 = work[static_cast<size_t>(j + 1)];
  const bool nearPeak = (x > left1 && x >= right1) || (x >= left1 && x > right1);
  return nearPeak && x > work[static_cast<size_t>(j - 2)] && x > work[static_cast<size_t>(j + 2)];
}

void BuildStageWorkCopy(std::span<const float> magnitudes, std::span<const uint8_t> stages, int channel, int level,
                        std::span<float> work) {
  const auto bins = static_cast<int32_t>(std::min(magnitudes.size() / 2, work.size()));
  auto value = [&](int32_t j) { return magnitudes[2 * static_cast<size_t>(j) + static_cast<size_t>(channel)]; };
  auto kept = [&](int32_t j) { return stages[2 * static_cast<size_t>(j) + static_cast<size_t>(channel)] >= level; };
  int32_t previous = -1;
  for (int32_t j = 0; j < bins; ++j) {
    if (!kept(j)) continue;
    const float v = value(j);
    work[static_cast<size_t>(j)] = v;
    if (previous < 0) {
      std::fill(work.begin(), work.begin() + j, v);
    } else if (j - previous > 1) {
      const double from = value(previous);
      const double step = (static_cast<double>(v) - from) / (j - previous);
      for (int32_t k = previous + 1; k < j; ++k) work[static_cast<size_t>(k)] = static_cast<float>(from + step * (k - previous));
    }
    previous = j;
  }
  if (previous < 0) {
    std::fill(work.begin(), work.begin() + bins, 0.0f);
  } else {
    std::fill(work.begin() + previous + 1, work.begin() + bins, value(previous));
  }
}

int DetectPeakStages(std::span<const float> magnitudes, std::span<uint8_t> stages) {
  const size_t count = std::min(magnitudes.size(), stages.size());
  magnitudes = magnitudes.first(count);
  stages = stages.first(count);
  float largest = 0.0f;
  for (float v : magnitudes)
    if (std::isfinite(v)) largest = std::max(largest, v);
  const float limit = largest * kStageOneRatio;
  for (size_t i = 0; i < count; ++i) stages[i] = largest > 0.0f && magnitudes[i] > limit ? 1 : 0;

  std::vector<float> work;
  CheckedAlloc(work, count / 2);
  int level = 1;
  int64_t atLevel = CountFromLowCut(stages, level);
  while (atLevel > 0 && level < kMaxPeakStage) {
    PromotePeaks(magnitudes, stages, level, work);
    const int64_t promoted = CountFromLowCut(stages, level + 1);
    if (promoted == atLevel) {  // every value of this level is a peak again: nothing new to rank
      Demote(stages, level + 1, level);
      break;
    }
    if (promoted == 0) break;
    ++level;
    atLevel = promoted;
  }
  const size_t lowCut = std::min(count, 2 * static_cast<size_t>(kXformLowCutBin));
  std::fill(stages.begin(), stages.begin() + static_cast<std::ptrdiff_t>(lowCut), uint8_t{0});
  return SeparateTop(stages);
}

void LinkStereoPhase(std::span<float> magnitudes, std::span<const float> phaseDifferences) {
  constexpr double kTwoPi = 2.0 * std::numbers::pi;
  const size_t bins = std::min(magnitudes.size() / 2, phaseDifferences.size());
  for (size_t j = 0; j < bins; ++j) {
    const double d = phaseDifferences[j];
    float& left = magnitudes[2 * j];
    float& right = magnitudes[2 * j + 1];
    if (d == 0.0 || !std::isfinite(d) || !(left > 0.0f) || !(right > 0.0f) || left == right) continue;
    double a = std::fabs(d);
    if (a > std::numbers::pi) a = kTwoPi - a;
    if (left > right) {
      const auto amount = static_cast<float>(a * right / kTwoPi);
      left += amount;
      right -= amount;
    } else {
      const auto amount = static_cast<float>(a * left / kTwoPi);
      right += amount;
      left -= amount;
    }
  }
}
