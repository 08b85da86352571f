#pragma once
#include <cstdint>
#include <string>

#include "ui/page_event.h"

// A horizontal control for a value from 0 to 1, owned by its page.
struct Slider {
  double resetValue = 0.0;
  int16_t x0 = 0;  // outer box
  int16_t y0 = 0;
  int16_t x1 = 0;
  int16_t y1 = 0;
  int16_t barX = 0;      // where the bar starts
  float scale = 100.0f;  // pixels per unit
  int16_t barTop = 0;
  int16_t barBottom = 0;
  uint16_t readoutColumn = 0;
  uint16_t readoutRow = 0;
  uint8_t number = 0;  // the digit key that selects it
  std::string label;
  bool isSigned = false;  // readout -100..+100 instead of 0..100
};

inline constexpr int kSliderReadoutWidth = 7;

void DrawSlider(double value, const Slider& slider);

// Keyboard (a held LEFT, RIGHT or R with the slider's digit key down) and
// mouse control (a click in the box drags, on "RESET" resets). A changed
// value gives a Slider event with the slider's number, else None.
PageEvent StepSlider(double& value, const PageEvent& event, const Slider& slider);
