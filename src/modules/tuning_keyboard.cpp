#include "modules/tuning_keyboard.h"

#include <algorithm>

const std::array<int16_t, kTuningKeyColumns> kTuningKeyCents = {
    0,    0,    100,  200,  300,  400,  500,  600,  700,  700,  800,  900,  1000, 1100, 1200,
    1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900, 1900, 2000, 2100, 2200, 2300, 2400, 2400};

namespace {

constexpr int kCentsOffset = 1200;
constexpr int kMaxCents = 1200;

// The white keys of the lower band, two columns each.
constexpr std::array<int16_t, kTuningKeyColumns / 2> kWhiteKeyCents = {0,    200,  400,  500,  700,  900,  1100, 1200,
                                                                      1400, 1600, 1700, 1900, 2100, 2300, 2400};

}  // namespace

int TuningKeyColumn(int xFromLeft) {
  if (xFromLeft < 0 || xFromLeft >= kTuningKeyColumns * kTuningKeyWidth) return -1;
  return xFromLeft / kTuningKeyWidth;
}

int TuningKeyClickCents(int column, bool whiteKeyBand) {
  const int key = std::clamp(column, 0, kTuningKeyColumns - 1);
  if (whiteKeyBand) return kWhiteKeyCents[static_cast<size_t>(key / 2)] - kCentsOffset;
  return kTuningKeyCents[static_cast<size_t>(key)] - kCentsOffset;
}

int StepTuningCents(int cents, int direction) {
  const int stepped = cents + (direction < 0 ? -kTuningArrowStep : kTuningArrowStep);
  if (stepped > kMaxCents) return -kMaxCents;
  if (stepped < -kMaxCents) return kMaxCents;
  return stepped;
}
