#include "core/random.h"

namespace {

uint32_t gRandomState = 1;

}  // namespace

void SeedRandom(uint32_t seed) { gRandomState = seed; }

int RandomNext() {
  gRandomState = gRandomState * 214013u + 2531011u;
  return static_cast<int>((gRandomState >> 16) & 0x7FFFu);
}

int RandomBelow(int n) {
  if (n < 2) return 0;
  const int divisor = kRandomMax / n;
  if (divisor > 0) {
    for (;;) {
      const int quotient = RandomNext() / divisor;
      if (quotient < n) return quotient;
    }
  }
  // Beyond one draw's range the quotient rule would divide by zero: two
  // draws make 30 bits, rejected the same way.
  const int wideDivisor = ((kRandomMax + 1) * (kRandomMax + 1) - 1) / n;
  for (;;) {
    const int wide = (RandomNext() << 15) | RandomNext();
    const int quotient = wide / wideDivisor;
    if (quotient < n) return quotient;
  }
}
