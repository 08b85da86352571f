#include "dsp/fft_workers.h"

#include <functional>
#include <system_error>

#include "core/fatal_error.h"

namespace {

// Chunks of the passes that touch the whole buffer: enough for one worker to
// take over another's share in small steps.
constexpr int kSplitChunks = 16;
constexpr int kPermuteChunks = 32;
constexpr int kMaxDeepTasks = 5;

bool LaunchThread(std::thread& thread, int (*entry)(FftWorkerArgs&), FftWorkerArgs& args) {
  try {
    thread = std::thread(entry, std::ref(args));
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

FftThreadLauncher gLauncher = LaunchThread;

// Stages last well under a millisecond: a waiting worker spins for a while
// (a sleeping one would add a wake-up delay to every stage) and only then
// starts giving its processor away.
constexpr int kSpinsBeforeYield = 4000;

inline void PauseBriefly(int spins) {
  if (spins < kSpinsBeforeYield) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  } else {
    std::this_thread::yield();
  }
}

bool WaitForStart(FftWorkerSync& sync) {
  int state = FftWorkerSync::kClosed;
  for (int spins = 0; (state = sync.gate.load(std::memory_order_acquire)) == FftWorkerSync::kClosed; ++spins)
    PauseBriefly(spins);
  return state == FftWorkerSync::kGo;
}

// Takes tasks of the stage until none is left.
template <class Task>
void TakeTasks(FftWorkerSync& sync, int stage, Task runTask) {
  const int count = sync.taskCount[stage];
  for (int task = sync.claimed[stage].fetch_add(1); task < count; task = sync.claimed[stage].fetch_add(1)) {
    runTask(task);
    sync.finished[stage].fetch_add(1, std::memory_order_acq_rel);
  }
}

// Takes tasks of the stage until none is left, then waits until the others
// have finished the ones they took.
template <class Task>
void RunStage(FftWorkerSync& sync, int stage, Task runTask) {
  TakeTasks(sync, stage, runTask);
  const int count = sync.taskCount[stage];
  for (int spins = 0; sync.finished[stage].load(std::memory_order_acquire) < count; ++spins) PauseBriefly(spins);
}

void SplitChunk(const FftWorkerArgs& args, float* data, int32_t m, int chunk) {
  const int32_t size = m / 4 / kSplitChunks;
  args.kernel->splitPass(data, data, m, chunk * size, (chunk + 1) * size, args.direction, *args.tables);
}

}  // namespace

void SetFftThreadLauncher(FftThreadLauncher launcher) { gLauncher = launcher ? launcher : LaunchThread; }

int FftWorker(FftWorkerArgs& args) {
  FftWorkerSync& sync = *args.sync;
  if (!WaitForStart(sync)) return 0;
  const int32_t n = args.total / 2;
  RunStage(sync, kStageFirstSplit, [&](int chunk) { SplitChunk(args, args.buffer, n, chunk); });
  RunStage(sync, kStageSecondSplit, [&](int chunk) { SplitChunk(args, args.buffer, n / 2, chunk); });
  RunStage(sync, kStageDeep, [&](int task) {
    const FftSubTransform& piece = args.deepTasks[task];
    args.kernel->transform(args.buffer + 2 * static_cast<ptrdiff_t>(piece.offset), piece.length, args.direction,
                           *args.tables);
  });
  RunStage(sync, kStagePermute,
           [&](int chunk) { BitReversePermutePart(args.buffer, n, *args.tables, chunk, kPermuteChunks); });
  return 0;
}

void RunFftWorkers(int32_t total, float* buffer, FftTables& tables, int direction) {
  const FftKernel& kernel = ActiveFftKernel();
  const int threadCount = tables.threadMode == 4 ? 4 : 2;
  const int32_t n = total / 2;

  // After the first split pass the buffer holds one transform of half size
  // and two of quarter size. Four workers split the half once more so that
  // five pieces of at most a quarter share out evenly.
  std::array<FftSubTransform, kMaxDeepTasks> deep;
  int deepCount = 0;
  if (threadCount == 4) {
    deep = {{{0, n / 4}, {n / 2, n / 4}, {3 * n / 4, n / 4}, {n / 4, n / 8}, {3 * n / 8, n / 8}}};
    deepCount = 5;
  } else {
    deep = {{{0, n / 2}, {n / 2, n / 4}, {3 * n / 4, n / 4}}};
    deepCount = 3;
  }

  FftWorkerSync sync;
  sync.taskCount = {kSplitChunks, threadCount == 4 ? kSplitChunks : 0, deepCount, kPermuteChunks};
  std::array<FftWorkerArgs, kMaxFftWorkers> args;
  std::array<std::thread, kMaxFftWorkers> threads;
  bool failed = false;
  for (int i = 0; i < threadCount && !failed; ++i) {
    FftWorkerArgs& a = args[i];
    a.total = total;
    a.nw = total / 4;
    a.w = tables.twiddles.data();
    a.buffer = buffer;
    a.index = i;
    a.count = threadCount;
    a.direction = direction;
    a.tables = &tables;
    a.kernel = &kernel;
    a.sync = &sync;
    a.deepTasks = deep.data();
    failed = !gLauncher(threads[i], FftWorker, a);
  }
  sync.gate.store(failed ? FftWorkerSync::kAbort : FftWorkerSync::kGo, std::memory_order_release);
  // The first split pass is the calling thread's, and it starts on it at
  // once; the workers take what is left of it as they come up.
  if (!failed) TakeTasks(sync, kStageFirstSplit, [&](int chunk) { SplitChunk(args[0], buffer, total / 2, chunk); });
  for (auto& thread : threads)
    if (thread.joinable()) thread.join();
  if (failed) FatalError(kFatalThreadFailure);
}
