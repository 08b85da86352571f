#pragma once
#include <cstdint>
#include <thread>

#include "dsp/fft_kernels.h"
#include "dsp/fft_tables.h"

inline constexpr int kMaxFftWorkers = 4;

// What one worker thread gets: its part of the buffer and the shared,
// read-only tables.
struct FftWorkerArgs {
  int32_t total = 0;  // floats of the whole transform (2N)
  int32_t share = 0;  // floats of this worker's part
  int32_t nw = 0;     // entries of the quarter-wave twiddle table (N/2)
  const double* w = nullptr;
  float* part = nullptr;
  int32_t pieces = 1;  // 1: the part is one transform; 2: two of half its size
  int direction = 0;
  const FftTables* tables = nullptr;
  const FftKernel* kernel = nullptr;
};

// Worker entries: the part as one transform, or as two half-size transforms.
int FftWorkerWhole(FftWorkerArgs& args);
int FftWorkerSplit(FftWorkerArgs& args);

// Runs the deep stages of a transform of total / 2 points over
// tables.threadMode (2 or 4) threads, after the caller's first split pass,
// and returns when all have finished. A thread that cannot be created ends
// the program with fatal error 7 once the started ones are joined.
void RunFftWorkers(int32_t total, float* buffer, const FftTables& tables, int direction);

// Starts a thread running entry(args); false when the system refuses one.
// Replaceable so that tests can count or refuse thread starts.
using FftThreadLauncher = bool (*)(std::thread& thread, int (*entry)(FftWorkerArgs&), FftWorkerArgs& args);
void SetFftThreadLauncher(FftThreadLauncher launcher);  // nullptr restores the default
