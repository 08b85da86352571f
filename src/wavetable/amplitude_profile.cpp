#include "wavetable/amplitude_profile.h"

#include <algorithm>
#include <cmath>

#include "wavetable/line_smoothing.h"
#include "wavetable/table_editing.h"
#include "wavetable/vorta_synthesis.h"

namespace {

int16_t ClampLevel(double level) {
  if (!(level >= kSilentLevel)) return static_cast<int16_t>(kSilentLevel);
  return static_cast<int16_t>(std::min(level, static_cast<double>(kFullLevel)));
}

bool ProfileIsSilent(const LevelProfile& levels) {
  return std::all_of(levels.begin(), levels.end(), [](int16_t v) { return v == kSilentLevel; });
}

void NormalizeLevels(LevelProfile& levels) {
  int largest = 0;
  for (int16_t v : levels) largest = std::max(largest, v + kMaxCode);
  if (largest == 0) return;
  for (int16_t& v : levels)
    v = ClampLevel(Nearest((v + kMaxCode) * static_cast<double>(kLevelSpan) / largest) - kMaxCode);
}

}  // namespace

LevelProfile MeasureLevelProfile(const PartialTable& input) {
  LevelProfile levels{};
  for (int s = 0; s < kSliceCount; ++s) {
    PartialTable normalised = input;
    NormalizeSlice(normalised, s, 0);
    const double fullScalePeak = SlicePeak(normalised, s);
    levels[s] = static_cast<int16_t>(kSilentLevel);
    if (fullScalePeak > 0.0)
      levels[s] = ClampLevel(kSilentLevel + std::ceil(kLevelSpan * SlicePeak(input, s) / fullScalePeak));
  }
  return levels;
}

ProfileScaling StartProfileScaling(const PartialTable& table) {
  ProfileScaling scaling;
  scaling.input = table;
  OptimizeTable(scaling.input, kOptimizeLowerOnly);
  scaling.reference = MeasureLevelProfile(scaling.input);
  scaling.profile = scaling.reference;
  return scaling;
}

void SmoothLevels(std::span<int16_t, kSliceCount> levels) {
  std::array<double, kSliceCount> wide{};
  std::copy(levels.begin(), levels.end(), wide.begin());
  SmoothLine(wide, 1);
  for (int s = 0; s < kSliceCount; ++s) levels[s] = ClampCode(static_cast<int>(Nearest(wide[s])));
}

MessageCode ApplyLevelButton(LevelProfile& profile, const LevelProfile& reference, ProfileButton button) {
  if (ProfileIsSilent(reference)) return kMsgNoData;
  const bool needsLevels = button == ProfileButton::Smooth || button == ProfileButton::Normal;
  if (needsLevels && ProfileIsSilent(profile)) return kMsgNoData;
  switch (button) {
    case ProfileButton::Smooth: SmoothLevels(profile); break;
    case ProfileButton::Zero: profile.fill(static_cast<int16_t>(kSilentLevel)); break;
    case ProfileButton::Ceil: profile.fill(static_cast<int16_t>(kFullLevel)); break;
    case ProfileButton::Normal: NormalizeLevels(profile); break;
    case ProfileButton::Restore: profile = reference; break;
  }
  return kMsgNone;
}

MessageCode ApplyProfileButton(ProfileScaling& scaling, ProfileButton button) {
  return ApplyLevelButton(scaling.profile, scaling.reference, button);
}

void SetLevel(LevelProfile& profile, int slice, int level) {
  if (slice < 0 || slice > kLastSlice) return;
  profile[static_cast<size_t>(slice)] = ClampCode(level);
}

void SetProfileLevel(ProfileScaling& scaling, int slice, int level) { SetLevel(scaling.profile, slice, level); }

PartialTable ScaledProfileOutput(const ProfileScaling& scaling) {
  PartialTable output = scaling.input;
  for (int s = 0; s < kSliceCount; ++s) {
    if (scaling.profile[s] == scaling.reference[s]) continue;
    NormalizeSlice(output, s, 0);
    const double gain = (scaling.profile[s] + kMaxCode) / static_cast<double>(kLevelSpan);
    for (int r = 0; r < kPartialCount; ++r) {
      const double amplitude = std::clamp(DecodeCode(output.at(r, s)) * gain, -kFullScaleAmplitude, kFullScaleAmplitude);
      output.at(r, s) = EncodeAmplitude(amplitude);
    }
  }
  return output;
}
