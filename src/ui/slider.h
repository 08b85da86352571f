#pragma once
#include <cstdint>
#include <string>

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

// Keyboard (digit key with LEFT, RIGHT or R) and mouse control. A changed
// value gives code 29 + number and changed = true.
void StepSlider(double& value, uint8_t& code, bool& changed, const Slider& slider);
