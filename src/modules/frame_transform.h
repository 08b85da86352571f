#pragma once
#include <cstdint>

// The power-of-two transform for frame-by-frame work that runs on several
// threads at once. The process-wide tables are built for the frame length
// once, on the calling thread, before the threads start; the transforms
// themselves only read them. Frame lengths stay below the length from which
// the transform would split itself over worker threads.

// Builds the tables for n points (a power of two, 2 .. 16384).
void PrepareFrameTransforms(int32_t n);

// Same result as ComplexFft(n, data, flag) for the prepared n.
void FrameTransform(int32_t n, float* data, uint8_t flag);
