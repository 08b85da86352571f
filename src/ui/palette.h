#pragma once
#include <array>

#include "platform/frame_buffer.h"

// The seven named colours of a colour mode.
enum PaletteSlot : int {
  kFaint = 0,   // grid and faint graph lines
  kDim = 1,     // stipple of shaded buttons, progress bars
  kText = 2,    // normal ink; paper of play buttons and inverted fields
  kBright = 3,  // ink of a pressed or marked button
  kFace = 4,    // paper of function and navigation buttons
  kAccent = 5,  // graph markers
  kBackground = 6,
};

inline constexpr int kPaletteSize = 7;
inline constexpr int kLcdColourMode = 3;  // light grey on blue, no backlight
inline constexpr Colour kBlack = Rgb(0, 0, 0);
inline constexpr Colour kWhite = Rgb(255, 255, 255);

using Palette = std::array<Colour, kPaletteSize>;

// Modes 00 green, 01 yellow-green, 02 grey phosphor, 03 LCD.
inline constexpr std::array<Palette, 4> kColourTable = {{
    {Rgb(0, 90, 0), Rgb(0, 135, 0), Rgb(0, 192, 0), Rgb(128, 255, 128), Rgb(0, 50, 0), Rgb(0, 205, 0),
     Rgb(0, 25, 0)},
    {Rgb(90, 100, 0), Rgb(135, 145, 0), Rgb(187, 207, 0), Rgb(240, 255, 210), Rgb(50, 60, 0), Rgb(205, 215, 0),
     Rgb(25, 25, 0)},
    {Rgb(90, 90, 90), Rgb(135, 135, 135), Rgb(192, 192, 192), Rgb(255, 255, 255), Rgb(50, 50, 50),
     Rgb(205, 205, 205), Rgb(25, 25, 25)},
    {Rgb(0, 0, 90), Rgb(135, 135, 135), Rgb(192, 192, 192), Rgb(255, 255, 255), Rgb(0, 0, 110), Rgb(205, 205, 205),
     Rgb(0, 0, 128)},
}};

// The palette of a mode with the backlight rule: with the backlight off the
// phosphor modes draw on black; the LCD mode ignores the backlight.
Palette PaletteFor(int colourMode, bool backlight);
