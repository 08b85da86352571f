#pragma once
#include <cstdint>
#include <thread>
#include <vector>

#include "dsp/fft_kernels.h"
#include "dsp/fft_tables.h"

inline constexpr int kMaxFftWorkers = 4;

// How a threaded transform is shared out. The split-radix recursion is
// unrolled breadth first: every split pass over a piece longer than the leaf
// length (half the transform for two threads, a quarter for four, at least
// kFftLeafPoints) is cut into chunks, the pieces left are transformed whole,
// and the bit-reversal permutation is cut into chunks too. A stage
// starts when every task of the one before is done; within a stage the
// threads take tasks one at a time from a shared counter, so a thread that
// wakes late or loses its processor to another program holds up only the
// one task it has taken. The arithmetic of every pass is that of the
// single-thread transform, so the result is the same to the last bit.
inline constexpr int32_t kFftLeafPoints = 8192;
inline constexpr int32_t kFftSplitChunkButterflies = 2048;  // at least
inline constexpr int32_t kFftPermuteChunks = 32;  // at most

struct FftTask {
  enum Kind : uint8_t { kSplit, kLeaf, kPermute };
  Kind kind = kLeaf;
  int32_t offset = 0;  // first point of the piece (split, leaf)
  int32_t length = 0;  // points of the piece (split, leaf)
  int32_t begin = 0;   // butterflies begin .. end-1 (split); part of the permutation (permute)
  int32_t end = 0;     // ... of `end` parts (permute)
};

struct FftStagePlan {
  int32_t first = 0;  // index into FftWorkPlan::tasks
  int32_t count = 0;
};

struct FftWorkPlan {
  int32_t length = 0;  // complex points
  std::vector<FftTask> tasks;
  std::vector<FftStagePlan> stages;
};

// The stages of a whole transform of n points (n >= 2 * kFftLeafPoints)
// shared by `threads` threads.
FftWorkPlan PlanThreadedFft(int32_t n, int threads);

// Runs one task of a plan on data.
void RunFftTask(const FftTask& task, float* data, int32_t n, int direction, const FftKernel& kernel,
                const FftTables& tables);

// Runs a whole transform of total / 2 points (result in natural order) on the
// calling thread and tables.threadMode - 1 helper threads, and returns when
// it is complete. While sharing has lately been slower than the calling
// thread alone (another program holds a processor), it runs the transform
// alone: the result is the same to the last bit either way. The helpers are started by the first threaded transform
// and then wait, a short spin followed by a blocking wait, for the next one;
// ReleaseFftTables (or the end of the program) stops them. When the first
// start of a helper fails the program ends with fatal error 7 before any data
// has been touched; when a later start (more helpers for a longer transform)
// fails, the transform goes on with the helpers that exist.
void RunFftWorkers(int32_t total, float* buffer, FftTables& tables, int direction);

// Stops and joins the helper threads; the next threaded transform starts them
// again (a first start once more).
void StopFftWorkers();

// Helper threads running now.
int FftWorkerCount();

// Starts a thread running entry(helperIndex); false when the system refuses
// one. Replaceable so that tests can count or refuse thread starts.
using FftThreadLauncher = bool (*)(std::thread& thread, void (*entry)(int), int helperIndex);
void SetFftThreadLauncher(FftThreadLauncher launcher);  // nullptr restores the default

// Test hook: called by a helper thread after it has taken a task and before
// it runs it (stage, task index within the stage), e.g. to sleep and stand
// for a helper that lost its processor. nullptr (the default) for none.
using FftTaskDelayHook = void (*)(int stage, int task);
void SetFftTaskDelayHook(FftTaskDelayHook hook);
