#include "dsp/fft_workers.h"

#include <array>
#include <functional>
#include <system_error>

#include "core/fatal_error.h"

namespace {

bool LaunchThread(std::thread& thread, int (*entry)(FftWorkerArgs&), FftWorkerArgs& args) {
  try {
    thread = std::thread(entry, std::ref(args));
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

FftThreadLauncher gLauncher = LaunchThread;

// Spins of a waiting worker before it starts yielding the processor.
constexpr int kSpinsBeforeYield = 1000;

inline void PauseBriefly(int spins) {
  if (spins < kSpinsBeforeYield) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  } else {
    std::this_thread::yield();
  }
}

// This worker's share of the butterflies of one split pass over m points.
void SplitPassShare(const FftWorkerArgs& args, float* data, int32_t m) {
  const int32_t chunk = m / 4 / args.count;
  args.kernel->splitPass(data, m, args.index * chunk, (args.index + 1) * chunk, args.direction, *args.tables);
}

int RunWorker(FftWorkerArgs& args, bool twoPieces) {
  if (!args.sync->WaitForStart()) return 0;
  const int32_t n = args.total / 2;
  SplitPassShare(args, args.buffer, n);
  args.sync->ArriveAndWait();
  if (args.count == 4) {
    // With four parts the half-size transform at the front is split once
    // more, so that every quarter of the buffer is equal work.
    SplitPassShare(args, args.buffer, n / 2);
    args.sync->ArriveAndWait();
  }
  const int32_t points = args.share / 2;
  if (twoPieces) {
    args.kernel->transform(args.part, points / 2, args.direction, *args.tables);
    args.kernel->transform(args.part + points, points / 2, args.direction, *args.tables);
  } else {
    args.kernel->transform(args.part, points, args.direction, *args.tables);
  }
  args.sync->ArriveAndWait();
  BitReversePermutePart(args.buffer, n, *args.tables, args.index, args.count);
  return 0;
}

}  // namespace

bool FftWorkerSync::WaitForStart() const {
  int state = kClosed;
  for (int spins = 0; (state = gate.load(std::memory_order_acquire)) == kClosed; ++spins) PauseBriefly(spins);
  return state == kGo;
}

void FftWorkerSync::ArriveAndWait() {
  const int round = generation.load(std::memory_order_acquire);
  if (arrived.fetch_add(1, std::memory_order_acq_rel) + 1 == threadCount) {
    arrived.store(0, std::memory_order_relaxed);
    generation.store(round + 1, std::memory_order_release);
    return;
  }
  for (int spins = 0; generation.load(std::memory_order_acquire) == round; ++spins) PauseBriefly(spins);
}

void SetFftThreadLauncher(FftThreadLauncher launcher) { gLauncher = launcher ? launcher : LaunchThread; }

int FftWorkerWhole(FftWorkerArgs& args) { return RunWorker(args, false); }
int FftWorkerSplit(FftWorkerArgs& args) { return RunWorker(args, true); }

void RunFftWorkers(int32_t total, float* buffer, const FftTables& tables, int direction) {
  const FftKernel& kernel = ActiveFftKernel();
  const int threadCount = tables.threadMode == 4 ? 4 : 2;
  // After the first split pass the buffer holds one transform of half size
  // and two of quarter size: with two threads each takes one half, the
  // second as two pieces; with four, after one more split of the front half,
  // each takes a quarter, the second again as two pieces.
  constexpr std::array<int32_t, kMaxFftWorkers> kPieces = {1, 2, 1, 1};
  const int32_t share = total / threadCount;

  FftWorkerSync sync(threadCount);
  std::array<FftWorkerArgs, kMaxFftWorkers> args;
  std::array<std::thread, kMaxFftWorkers> threads;
  bool failed = false;
  for (int i = 0; i < threadCount && !failed; ++i) {
    FftWorkerArgs& a = args[i];
    a.total = total;
    a.share = share;
    a.nw = total / 4;
    a.w = tables.twiddles.data();
    a.buffer = buffer;
    a.part = buffer + static_cast<ptrdiff_t>(i) * share;
    a.pieces = kPieces[i];
    a.index = i;
    a.count = threadCount;
    a.direction = direction;
    a.tables = &tables;
    a.kernel = &kernel;
    a.sync = &sync;
    failed = !gLauncher(threads[i], a.pieces == 2 ? FftWorkerSplit : FftWorkerWhole, a);
  }
  sync.Open(failed);
  for (auto& thread : threads)
    if (thread.joinable()) thread.join();
  if (failed) FatalError(kFatalThreadFailure);
}
