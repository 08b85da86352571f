#pragma once
#include <cstdint>

// Milliseconds on a steady clock.
int64_t NowMillis();

void SleepMillis(int milliseconds);

// Waits until an input message arrives (key, character, mouse, focus,
// close request) or the time is up.
void WaitForInput(int timeoutMillis);

// Pops a typed character, waiting up to the time-out for one; false when
// none came.
bool WaitForCharacter(uint8_t& character, int timeoutMillis);

struct LocalTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int dayOfMonth = 1;
};

LocalTime QueryLocalTime();
