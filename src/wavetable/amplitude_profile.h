#pragma once
#include <array>
#include <cstdint>

#include "wavetable/partial_table.h"
#include "core/message_codes.h"

// Amplitude profile scaling: one level per slice, -127 (silent) .. +127
// (the slice at full scale), measured from the table, edited, and applied
// to the slices whose level was changed.
using LevelProfile = std::array<int16_t, kSliceCount>;
inline constexpr int kSilentLevel = -kMaxCode;
inline constexpr int kFullLevel = kMaxCode;
inline constexpr int kLevelSpan = 2 * kMaxCode;  // 254

struct ProfileScaling {
  PartialTable input;      // the table, optimised so that no slice exceeds full scale
  LevelProfile reference;  // the measured levels
  LevelProfile profile;    // the edited levels
};

// The page's start: input = table after OptimizeTable(1), both profiles measured.
ProfileScaling StartProfileScaling(const PartialTable& table);

// Level of each slice: -127 + ceil(254 peak / full-scale peak), kept within -127..127.
LevelProfile MeasureLevelProfile(const PartialTable& input);

enum class ProfileButton { Smooth, Zero, Ceil, Normal, Restore };
// NoData (and no change) when there is nothing to work on: a silent input,
// or "SMOOTH" / "NORMAL" on a profile that is silent throughout.
MessageCode ApplyProfileButton(ProfileScaling& scaling, ProfileButton button);

// Pointer editing of one level.
void SetProfileLevel(ProfileScaling& scaling, int slice, int level);

// The buttons and the pointer on a bare pair of profiles, for every table
// kind that measures its levels its own way (the XFORM table does so from
// its slice peaks). NoData and no change as above.
MessageCode ApplyLevelButton(LevelProfile& profile, const LevelProfile& reference, ProfileButton button);
void SetLevel(LevelProfile& profile, int slice, int level);

// The "SCALED WAVETABLE OUTPUT": changed slices are normalised and then scaled
// by (level + 127) / 254.
PartialTable ScaledProfileOutput(const ProfileScaling& scaling);

// One pass of [1, 2, 1] / 4 over 33 integer levels with open ends, rounded.
void SmoothLevels(std::span<int16_t, kSliceCount> levels);
