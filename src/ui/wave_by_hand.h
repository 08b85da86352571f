#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "ui/page_event.h"

// Drawing one cycle by hand: the user draws the first half cycle with the
// left mouse button in the box x 255 to 512, y 461 to 664; the line drawn
// on the screen is read back column by column, the second half completed
// by odd symmetry. The centre line y = 562 is zero, 92 pixels full scale.

inline constexpr int kHandWaveLength = 512;
using HandWave = std::array<float, kHandWaveLength>;

struct PointerPoint {
  int x = 0;
  int y = 0;
};

// The pointer positions of one stroke, as the page loop read them while
// the left button stayed down. The first drawing clears the preview box
// and shows "AWAITING DATA" (the event becomes "selection changed"); after the stroke the drawn
// columns become samples, the cycle is completed and repaired, changed =
// true.
void DrawWaveByHand(HandWave& wave, std::span<const PointerPoint> stroke, PageEvent& event, bool& changed);

// The columns firstX..lastX of the drawn line read back from the screen: a
// column without the line gets (562 - 667) / 92, about -1.14.
void ReadHandColumns(HandWave& wave, int firstX, int lastX);

// wave[511 - k] = -wave[k + 1], then every sample beyond full scale
// becomes the mean of its two neighbours (indices wrapping).
void CompleteHandWave(HandWave& wave);
