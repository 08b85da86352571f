#pragma once
#include <cstdint>

// Direction flags of ComplexFft, named as the callers use them.
inline constexpr uint8_t kFftForward = 0;  // X[k] = sum x[j] exp(+2 pi i jk/N)
inline constexpr uint8_t kFftInverse = 1;  // X[k] = sum x[j] exp(-2 pi i jk/N)

// In-place, unnormalised complex transform of n points (a power of two, at
// least 2) held as interleaved floats re0, im0, re1, im1, ... Forward then
// inverse returns the input times n. Uses the process-wide gFftTables,
// rebuilding them when n changes; from 32,768 points up the work is shared by
// 2 or 4 threads, the calling one and persistent helpers (fft_workers.h).
// Other lengths leave the buffer unchanged.
// Not to be entered from two threads at once.
void ComplexFft(int32_t n, float* data, uint8_t flag);
