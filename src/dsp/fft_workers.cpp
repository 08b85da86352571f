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

}  // namespace

void SetFftThreadLauncher(FftThreadLauncher launcher) { gLauncher = launcher ? launcher : LaunchThread; }

int FftWorkerWhole(FftWorkerArgs& args) {
  args.kernel->transform(args.part, args.share / 2, args.direction, *args.tables);
  return 0;
}

int FftWorkerSplit(FftWorkerArgs& args) {
  const int32_t half = args.share / 2;
  args.kernel->transform(args.part, half / 2, args.direction, *args.tables);
  args.kernel->transform(args.part + half, half / 2, args.direction, *args.tables);
  return 0;
}

void RunFftWorkers(int32_t total, float* buffer, const FftTables& tables, int direction) {
  const FftKernel& kernel = ActiveFftKernel();
  const int threadCount = tables.threadMode == 4 ? 4 : 2;
  // After the first split pass the buffer holds one transform of half size
  // and two of quarter size. With two threads each takes one half; with four
  // the first half is split once more here so that every quarter is equal work.
  std::array<int32_t, kMaxFftWorkers> pieces = {1, 2, 1, 1};
  if (threadCount == 4) kernel.splitPass(buffer, total / 4, direction, tables);
  const int32_t share = total / threadCount;

  std::array<FftWorkerArgs, kMaxFftWorkers> args;
  std::array<std::thread, kMaxFftWorkers> threads;
  bool failed = false;
  for (int i = 0; i < threadCount && !failed; ++i) {
    args[i] = {total, share, total / 4, tables.twiddles.data(), buffer + static_cast<ptrdiff_t>(i) * share,
               pieces[i], direction, &tables, &kernel};
    failed = !gLauncher(threads[i], pieces[i] == 2 ? FftWorkerSplit : FftWorkerWhole, args[i]);
  }
  for (auto& thread : threads)
    if (thread.joinable()) thread.join();
  if (failed) FatalError(kFatalThreadFailure);
}
