#include "ui/slider.h"

#include <algorithm>
#include <cmath>

#include "platform/clock.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/page_frame.h"

namespace {

constexpr uint8_t kSliderCodeBase = 29;
constexpr int kResetTextLeft = 6;
constexpr int kResetHitLeft = 2;
constexpr int kResetHitRight = 54;
constexpr int kDragWaitMillis = 10;

double Clamp01(double value) { return std::clamp(value, 0.0, 1.0); }

void Reset(double& value, const Slider& slider) {
  SetInk(PaletteColour(kBright));
  DrawText(slider.x1 + kResetTextLeft, slider.y0 + 1, "RESET", 'L');
  DrawSlider(slider.resetValue, slider);
  SleepMillis(kPressFeedbackMillis);
  SetInk(PaletteColour(kText));
  DrawText(slider.x1 + kResetTextLeft, slider.y0 + 1, "RESET", 'L');
  value = slider.resetValue;
}

void StepByKeys(double& value, const Slider& slider, int digitKey) {
  if (gInput.heldKey == kKeyLetterR) {
    if (KeyDown(digitKey)) Reset(value, slider);
    return;
  }
  if (!KeyDown(digitKey)) return;
  const double step = slider.scale > 0 ? 1.0 / slider.scale : 0.0;
  while (KeyDown(digitKey)) {
    if (KeyDown(kKeyLeft)) {
      value = Clamp01(value - step);
      DrawSlider(value, slider);
    } else if (KeyDown(kKeyRight)) {
      value = Clamp01(value + step);
      DrawSlider(value, slider);
    }
    PauseHeldStep(digitKey);
  }
}

void StepByMouse(double& value, const Slider& slider) {
  if (!gInput.clickPolled && !Link().captured) return;
  const int x = MouseLogicalX();
  const int y = MouseLogicalY();
  if (y < slider.y0 || y > slider.y1) return;
  if (x >= slider.x0 && x <= slider.x1) {
    do {
      if (slider.scale > 0) value = Clamp01((MouseLogicalX() - slider.barX) / static_cast<double>(slider.scale));
      DrawSlider(value, slider);
      FlushMouse();
      WaitForInput(kDragWaitMillis);
    } while (!LeftReleased());
    return;
  }
  if (x >= slider.x1 + kResetHitLeft && x <= slider.x1 + kResetHitRight) Reset(value, slider);
}

}  // namespace

void DrawSlider(double value, const Slider& slider) {
  HoldRepaint();
  SetPaper(PaletteColour(kFace));
  FillBox(slider.x0 + 1, slider.y0 + 1, slider.x1, slider.y1);
  SetPaper(PaletteColour(kDim));
  FillBox(slider.barX, slider.barTop, slider.barX + static_cast<int>(std::lround(slider.scale * value)),
          slider.barBottom);
  FlushRegion(slider.x0, slider.y0, slider.x1, slider.y1);
  SetPaper(PaletteColour(kBackground));
  if (slider.isSigned) {
    DrawStatusValue(slider.readoutColumn, slider.readoutRow, slider.label, "%+.2f", (value - 0.5) * 200.0,
                    kSliderReadoutWidth);
  } else {
    DrawStatusValue(slider.readoutColumn, slider.readoutRow, slider.label, "%.2f", value * 100.0,
                    kSliderReadoutWidth);
  }
}

void StepSlider(double& value, uint8_t& code, bool& changed, const Slider& slider) {
  if (code != kNoEvent) {
    changed = true;
    return;
  }
  const double before = value;
  const int digitKey = kKeyDigit0 + slider.number;
  if (gInput.heldKey == kKeyLeft || gInput.heldKey == kKeyRight || gInput.heldKey == kKeyLetterR) {
    StepByKeys(value, slider, digitKey);
  } else if (gInput.heldKey == kNoKey) {
    StepByMouse(value, slider);
  }
  if (value != before) {
    code = static_cast<uint8_t>(kSliderCodeBase + slider.number);
    changed = true;
  } else {
    changed = false;
  }
}
