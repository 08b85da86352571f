#pragma once
#include <array>
#include <cstdint>

// The "ANALYZER TUNING KEYBOARD": two octaves in 30 key columns of 26
// pixels. Each column carries a cent value 0..2400; a click tunes the
// analysis to value - 1200 cents.
inline constexpr int kTuningKeyColumns = 30;
inline constexpr int kTuningKeyWidth = 26;
inline constexpr int kTuningArrowStep = 100;

extern const std::array<int16_t, kTuningKeyColumns> kTuningKeyCents;

// The column under a pointer x, measured from the keyboard's left edge;
// -1 outside the keyboard.
int TuningKeyColumn(int xFromLeft);

// Cents for a click on a column. In the lower, white-key band every white
// key is two columns wide (columns 2k and 2k + 1 are white key k), so that
// F, whose black neighbour covers its right half above, stays F below.
int TuningKeyClickCents(int column, bool whiteKeyBand);

// Left (-1) and Right (+1) arrows: -100 / +100 cents, wrapping past either
// end to the other (+1300 becomes -1200, -1300 becomes +1200).
int StepTuningCents(int cents, int direction);
