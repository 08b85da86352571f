#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "dsp/fft_kernels.h"
#include "dsp/fft_tables.h"

inline constexpr int kMaxFftWorkers = 4;

// Stages of a threaded transform. The workers take the tasks of a stage one
// at a time from a shared counter, so a worker that starts late or loses its
// processor to another program leaves its share to the others instead of
// holding them up; a stage begins when every task of the one before is done.
// The calling thread starts on the first split pass while the workers come
// up, then waits for them. The arithmetic is that of the single-thread
// transform, so the results are identical to the last bit.
enum FftWorkerStage : int {
  kStageFirstSplit = 0,   // the split pass over all N points, in chunks
  kStageSecondSplit = 1,  // with four workers: the split pass over the first half
  kStageDeep = 2,         // the remaining transforms, largest first
  kStagePermute = 3,      // the bit-reversal permutation, in chunks
  kFftWorkerStageCount = 4,
};

// What the workers of one transform share.
struct FftWorkerSync {
  enum Gate : int { kClosed = 0, kGo = 1, kAbort = 2 };

  std::atomic<int> gate{kClosed};  // opened once all threads exist, or with abort
  std::array<std::atomic<int>, kFftWorkerStageCount> claimed{};
  std::array<std::atomic<int>, kFftWorkerStageCount> finished{};
  std::array<int, kFftWorkerStageCount> taskCount{};
};

// One independent transform left after the split passes.
struct FftSubTransform {
  int32_t offset = 0;  // first point
  int32_t length = 0;  // points
};

// What every worker thread gets: the whole buffer, the shared read-only
// tables and the task lists.
struct FftWorkerArgs {
  int32_t total = 0;  // floats of the whole transform (2N)
  int32_t nw = 0;     // entries of the quarter-wave twiddle table (N/2)
  const double* w = nullptr;
  float* buffer = nullptr;
  int index = 0;  // 0 .. count-1
  int count = 2;  // workers of this transform
  int direction = 0;
  const FftTables* tables = nullptr;
  const FftKernel* kernel = nullptr;
  FftWorkerSync* sync = nullptr;
  const FftSubTransform* deepTasks = nullptr;  // kStageDeep, largest first
};

// The worker entry: runs tasks of every stage until the transform is done.
int FftWorker(FftWorkerArgs& args);

// Runs a whole transform of total / 2 points (nothing done yet; the result
// in natural order) over tables.threadMode (2 or 4) threads and returns when
// all have finished. A thread that cannot be created ends the program with
// fatal error 7 once the started ones are released and joined, before any
// data has been touched.
void RunFftWorkers(int32_t total, float* buffer, FftTables& tables, int direction);

// Starts a thread running entry(args); false when the system refuses one.
// Replaceable so that tests can count or refuse thread starts.
using FftThreadLauncher = bool (*)(std::thread& thread, int (*entry)(FftWorkerArgs&), FftWorkerArgs& args);
void SetFftThreadLauncher(FftThreadLauncher launcher);  // nullptr restores the default
