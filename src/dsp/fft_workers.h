#pragma once
#include <atomic>
#include <cstdint>
#include <thread>

#include "dsp/fft_kernels.h"
#include "dsp/fft_tables.h"

inline constexpr int kMaxFftWorkers = 4;

// What the workers of one transform share: the start gate (opened once all
// threads exist, or with abort when one could not be created) and the
// meeting point between the stages that read each other's results. Stages
// last well under a millisecond, so waiting threads spin for a while before
// they give up the processor: sleeping would add a wake-up delay to every
// stage on a busy machine.
struct FftWorkerSync {
  enum Gate : int { kClosed = 0, kGo = 1, kAbort = 2 };
  explicit FftWorkerSync(int threads) : threadCount(threads) {}

  void Open(bool abort) { gate.store(abort ? kAbort : kGo, std::memory_order_release); }
  // False when the transform was called off.
  bool WaitForStart() const;
  void ArriveAndWait();

  const int threadCount;
  std::atomic<int> gate{kClosed};
  std::atomic<int> arrived{0};
  std::atomic<int> generation{0};
};

// What one worker thread gets: the buffer, its own part of it and the
// shared, read-only tables.
struct FftWorkerArgs {
  int32_t total = 0;  // floats of the whole transform (2N)
  int32_t share = 0;  // floats of this worker's part
  int32_t nw = 0;     // entries of the quarter-wave twiddle table (N/2)
  const double* w = nullptr;
  float* buffer = nullptr;
  float* part = nullptr;  // buffer + index * share
  int32_t pieces = 1;     // 1: the part is one transform; 2: two of half its size
  int index = 0;
  int count = 2;
  int direction = 0;
  const FftTables* tables = nullptr;
  const FftKernel* kernel = nullptr;
  FftWorkerSync* sync = nullptr;
};

// Worker entries, one per shape of part. Each runs its share of the first
// split pass, its part's deep stages, and its share of the final
// permutation, meeting the other workers between these steps.
int FftWorkerWhole(FftWorkerArgs& args);
int FftWorkerSplit(FftWorkerArgs& args);

// Runs a whole transform of total / 2 points (before the permutation:
// nothing done yet) over tables.threadMode (2 or 4) threads and returns when
// all have finished, the result in natural order. A thread that cannot be
// created ends the program with fatal error 7 once the started ones are
// released and joined, before any data has been touched.
void RunFftWorkers(int32_t total, float* buffer, const FftTables& tables, int direction);

// Starts a thread running entry(args); false when the system refuses one.
// Replaceable so that tests can count or refuse thread starts.
using FftThreadLauncher = bool (*)(std::thread& thread, int (*entry)(FftWorkerArgs&), FftWorkerArgs& args);
void SetFftThreadLauncher(FftThreadLauncher launcher);  // nullptr restores the default
