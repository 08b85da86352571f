#pragma once
#include <cstdint>

// The program's own 15-bit generator (state x 214013 + 2531011, result bits
// 16..30), so that draws have the range the table tools count on and tests
// can seed it.
inline constexpr int kRandomMax = 32767;

void SeedRandom(uint32_t seed);
int RandomNext();  // 0 .. 32767

// Uniform in 0 .. n-1 by rejection; 0 when n < 2.
int RandomBelow(int n);
