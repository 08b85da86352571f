#include "ui/slider.h"

#include <algorithm>
#include <cmath>

#include "platform/clock.h"
#include "ui/draw.h"
#include "ui/input.h"
#include "ui/page_frame.h"

namespace {

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

void StepByKeys(double& value, const Slider& slider, int key, int digitKey) {
  if (key == kKeyLetterR) {
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

void StepByMouse(double& value, const Slider& slider, int x, int y) {
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

PageEvent StepSlider(double& value, const PageEvent& event, const Slider& slider) {
  const double before = value;
  const int digitKey = kKeyDigit0 + slider.number;
  if (event.kind == EventKind::Key &&
      (event.key == kKeyLeft || event.key == kKeyRight || event.key == kKeyLetterR)) {
    StepByKeys(value, slider, event.key, digitKey);
  } else if (event.kind == EventKind::Click) {
    StepByMouse(value, slider, event.x, event.y);
  }
  return value != before ? PageEvent::SliderMoved(slider.number) : PageEvent{};
}
