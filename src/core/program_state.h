#pragma once
#include <cstdint>

// The 16-bit state word of the main control loop. Values below
// kStateResize end the program; each module writes StateMainMenu when it ends.
enum ProgramState : int16_t {
  STATE_OFF = 0,
  STATE_REBOOT = 1,
  STATE_RESTART = 2,
  STATE_EXIT = 3,
  STATE_RESIZE = 4,
  STATE_MAIN_MENU = 5,
  STATE_VORTA = 6,
  STATE_XFORM = 7,
  STATE_SLOOP = 8,
  STATE_XMRPH = 9,
  STATE_RECBIN = 10,
  STATE_UTILITY = 11,
  STATE_FIRST_START = 12,
};

inline constexpr int kProgramStateCount = 13;
