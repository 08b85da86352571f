#include "dsp/fft_workers.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <climits>
#include <system_error>

#include "core/fatal_error.h"
#include "dsp/fft_pacing.h"

#if defined(__linux__)
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

constexpr int kMaxStages = 16;
constexpr int kMaxHelpers = kMaxFftWorkers - 1;
constexpr size_t kCacheLine = 64;
// Permutation chunks of at least this many points: each task costs a few
// exchanges of shared counters between the processors.
constexpr int32_t kPermuteChunkMinPoints = 4096;

// A task lasts some microseconds and transforms come in bursts: a waiting
// thread spins this long before it blocks, so that the next stage or the
// next transform of a burst finds it awake, while a thread kept waiting
// for longer gives its processor back.
constexpr auto kSpinTime = std::chrono::microseconds(60);
constexpr int kSpinsPerClockCheck = 32;

// ----------------------------------------------------------------------------
// Blocking wait on a 32-bit word.

#if defined(__linux__)
void BlockWhileEqual(std::atomic<uint32_t>& word, uint32_t expected) {
  syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAIT_PRIVATE, expected, nullptr, nullptr, 0);
}
void WakeAll(std::atomic<uint32_t>& word) {
  syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}
#else
void BlockWhileEqual(std::atomic<uint32_t>& word, uint32_t expected) { word.wait(expected); }
void WakeAll(std::atomic<uint32_t>& word) { word.notify_all(); }
#endif

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// ----------------------------------------------------------------------------
// The claim word of a stage: transform number (32 bits), next task (16),
// task count (16). A thread takes a task only while the word still carries
// the number of the transform it works on, so a helper that wakes after its
// transform is over can never take a task of the next one.

constexpr uint64_t Claim(uint32_t epoch, uint32_t next, uint32_t count) {
  return (uint64_t{epoch} << 32) | (uint64_t{next} << 16) | count;
}
constexpr uint32_t ClaimEpoch(uint64_t word) { return static_cast<uint32_t>(word >> 32); }
constexpr uint32_t ClaimNext(uint64_t word) { return static_cast<uint32_t>(word >> 16) & 0xFFFF; }
constexpr uint32_t ClaimCount(uint64_t word) { return static_cast<uint32_t>(word) & 0xFFFF; }

struct Job {
  const FftWorkPlan* plan = nullptr;
  float* data = nullptr;
  int direction = 0;
  const FftKernel* kernel = nullptr;
  const FftTables* tables = nullptr;
};

bool LaunchThread(std::thread& thread, void (*entry)(int), int helperIndex) {
  try {
    thread = std::thread(entry, helperIndex);
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

void HelperMain(int helperIndex);

struct Pool {
  // Bumped, with a wake-up of the blocked threads, whenever something a
  // waiting thread may wait for happens: a transform is handed out, a stage
  // is complete, the helpers are told to stop.
  // Each group on a cache line of its own: the threads spinning on one
  // should not slow down the updates of another.
  alignas(kCacheLine) std::atomic<uint32_t> signal{0};
  std::atomic<uint32_t> blocked{0};
  alignas(kCacheLine) std::atomic<uint32_t> epoch{0};  // number of the current transform
  std::atomic<int> helpersWanted{0};
  std::atomic<bool> stop{false};
  alignas(kCacheLine) std::array<std::atomic<uint64_t>, kMaxStages> claims{};
  alignas(kCacheLine) std::array<std::atomic<uint32_t>, kMaxStages> finished{};
  alignas(kCacheLine) Job job;
  // The job is written by the calling thread between transforms only; a
  // helper reads it after taking a task, which keeps the transform open.
  FftWorkPlan plan;
  int planThreads = 0;
  std::array<FftPace, 32> paces{};  // by log2 of the length
  std::array<std::thread, kMaxHelpers> threads;
  int started = 0;
  // Read by each new helper as it starts, written again when more helpers
  // are started beside ones that may never have taken a task.
  std::atomic<uint32_t> startEpoch{0};
  FftThreadLauncher launcher = LaunchThread;
  std::atomic<FftTaskDelayHook> delayHook{nullptr};

  ~Pool() { Stop(); }

  void Signal() {
    signal.fetch_add(1, std::memory_order_seq_cst);
    if (blocked.load(std::memory_order_seq_cst) > 0) WakeAll(signal);
  }

  // Spins, then blocks, until done() holds.
  template <class Done>
  void WaitUntil(Done done) {
    const auto start = std::chrono::steady_clock::now();
    for (int spins = 1;; ++spins) {
      const uint32_t seen = signal.load(std::memory_order_seq_cst);
      if (done()) return;
      if (spins % kSpinsPerClockCheck != 0 || std::chrono::steady_clock::now() - start < kSpinTime) {
        CpuRelax();
        continue;
      }
      blocked.fetch_add(1, std::memory_order_seq_cst);
      if (!done()) BlockWhileEqual(signal, seen);
      blocked.fetch_sub(1, std::memory_order_seq_cst);
    }
  }

  void Stop() {
    if (started == 0) return;
    stop.store(true, std::memory_order_seq_cst);
    Signal();
    for (int i = 0; i < started; ++i) threads[i].join();
    started = 0;
    stop.store(false);
    paces = {};
  }

  // Starts helpers up to count. A failure of the very first start is fatal;
  // later the helpers present carry on.
  void EnsureHelpers(int count) {
    if (started >= count) return;
    const bool first = started == 0;
    startEpoch.store(epoch.load(), std::memory_order_relaxed);
    while (started < count) {
      if (!launcher(threads[started], HelperMain, started)) {
        if (!first) return;
        Stop();
        FatalError(kFatalThreadFailure);
      }
      ++started;
    }
  }

  void FinishTask(int stage, uint32_t count) {
    if (finished[stage].fetch_add(1, std::memory_order_acq_rel) + 1 == count) Signal();
  }

  // Takes and runs tasks of every stage of transform `number`, stage after
  // stage. Returns at the end of the transform, or at once when a helper
  // finds the transform already over.
  void Participate(uint32_t number, bool caller) {
    for (int stage = 0; stage < kMaxStages; ++stage) {
      uint64_t word = claims[stage].load(std::memory_order_acquire);
      const uint32_t count = ClaimCount(word);
      if (ClaimEpoch(word) != number || count == 0) return;
      while (ClaimEpoch(word) == number && ClaimNext(word) < count) {
        if (!claims[stage].compare_exchange_weak(word, word + (uint64_t{1} << 16), std::memory_order_acq_rel,
                                                 std::memory_order_acquire))
          continue;
        const uint32_t task = ClaimNext(word);
        if (!caller) {
          if (FftTaskDelayHook hook = delayHook.load(std::memory_order_relaxed)) hook(stage, static_cast<int>(task));
        }
        const FftTask& t = job.plan->tasks[static_cast<size_t>(job.plan->stages[stage].first) + task];
        RunFftTask(t, job.data, job.plan->length, job.direction, *job.kernel, *job.tables);
        FinishTask(stage, count);
        word = claims[stage].load(std::memory_order_acquire);
      }
      if (ClaimEpoch(word) != number) return;
      // A helper has nothing to wait for after the last stage.
      if (!caller && (stage + 1 == kMaxStages || ClaimCount(claims[stage + 1].load()) == 0)) return;
      bool over = false;
      WaitUntil([&] {
        if (finished[stage].load(std::memory_order_acquire) >= count) return true;
        over = !caller && epoch.load(std::memory_order_acquire) != number;
        return over;
      });
      if (over) return;
    }
  }

  void Run(const Job& next, int helpers) {
    job = next;
    helpersWanted.store(helpers, std::memory_order_relaxed);
    const uint32_t number = epoch.load(std::memory_order_relaxed) + 1;
    const auto stageCount = static_cast<int>(job.plan->stages.size());
    for (int stage = 0; stage < kMaxStages; ++stage) {
      const auto count = stage < stageCount ? static_cast<uint32_t>(job.plan->stages[stage].count) : 0u;
      finished[stage].store(0, std::memory_order_relaxed);
      claims[stage].store(Claim(number, 0, count), std::memory_order_relaxed);
    }
    epoch.store(number, std::memory_order_release);
    Signal();
    Participate(number, true);
  }
};

Pool gPool;

void HelperMain(int helperIndex) {
  Pool& pool = gPool;
  uint32_t done = pool.startEpoch.load(std::memory_order_relaxed);
  for (;;) {
    uint32_t number = done;
    pool.WaitUntil([&] {
      number = pool.epoch.load(std::memory_order_acquire);
      return pool.stop.load(std::memory_order_acquire) || number != done;
    });
    if (pool.stop.load(std::memory_order_acquire)) return;
    done = number;
    if (helperIndex < pool.helpersWanted.load(std::memory_order_relaxed)) pool.Participate(number, false);
  }
}

}  // namespace

FftWorkPlan PlanThreadedFft(int32_t n, int threads) {
  struct Piece {
    int32_t offset;
    int32_t length;
  };
  FftWorkPlan plan;
  plan.length = n;
  std::vector<Piece> pieces = {{0, n}};
  // Two threads split once and share out the halves and quarters whole (the
  // half to one, both quarters to the other); four split twice. Every stage
  // boundary is a wait for the slowest thread, and a short leaf stays in one
  // processor's cache.
  const int32_t leafPoints = std::max(kFftLeafPoints, threads <= 2 ? n / 2 : n / 4);
  auto addStage = [&](auto fill) {
    FftStagePlan stage;
    stage.first = static_cast<int32_t>(plan.tasks.size());
    fill();
    stage.count = static_cast<int32_t>(plan.tasks.size()) - stage.first;
    plan.stages.push_back(stage);
  };
  // One split pass per level, all pieces of the level in one stage.
  while (std::any_of(pieces.begin(), pieces.end(), [leafPoints](const Piece& p) { return p.length > leafPoints; })) {
    std::vector<Piece> next;
    addStage([&] {
      for (const Piece& p : pieces) {
        if (p.length <= leafPoints) {
          next.push_back(p);
          continue;
        }
        const int32_t butterflies = p.length / 4;
        // Two chunks per thread: few enough that each thread streams a long
        // run, enough that one taking over a late thread's share is short.
        const int32_t chunk = std::max(butterflies / (2 * threads), kFftSplitChunkButterflies);
        for (int32_t b = 0; b < butterflies; b += chunk)
          plan.tasks.push_back({FftTask::kSplit, p.offset, p.length, b, std::min(b + chunk, butterflies)});
        next.push_back({p.offset, p.length / 2});
        next.push_back({p.offset + p.length / 2, p.length / 4});
        next.push_back({p.offset + 3 * (p.length / 4), p.length / 4});
      }
    });
    pieces = std::move(next);
  }
  // The pieces, longest first, so that the short ones even out the end.
  std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.length > b.length; });
  addStage([&] {
    for (const Piece& p : pieces) plan.tasks.push_back({FftTask::kLeaf, p.offset, p.length, 0, 0});
  });
  addStage([&] {
    const int32_t parts = std::clamp<int32_t>(n / kPermuteChunkMinPoints, 1, kFftPermuteChunks);
    for (int32_t part = 0; part < parts; ++part) plan.tasks.push_back({FftTask::kPermute, 0, n, part, parts});
  });
  return plan;
}

void RunFftTask(const FftTask& task, float* data, int32_t n, int direction, const FftKernel& kernel,
                const FftTables& tables) {
  float* piece = data + 2 * static_cast<ptrdiff_t>(task.offset);
  switch (task.kind) {
    case FftTask::kSplit: kernel.splitPass(piece, piece, task.length, task.begin, task.end, direction, tables); break;
    case FftTask::kLeaf: kernel.transform(piece, task.length, direction, tables); break;
    case FftTask::kPermute: BitReversePermutePart(data, n, tables, task.begin, task.end); break;
  }
}

void RunFftWorkers(int32_t total, float* buffer, FftTables& tables, int direction) {
  const int32_t n = total / 2;
  const int threads = std::clamp<int>(tables.threadMode, 1, kMaxFftWorkers);
  Pool& pool = gPool;
  pool.EnsureHelpers(threads - 1);
  if (pool.plan.length != n || pool.planThreads != threads) {
    pool.plan = PlanThreadedFft(n, threads);
    pool.planThreads = threads;
  }
  const FftKernel& kernel = ActiveFftKernel();
  FftPace& pace = pool.paces[static_cast<size_t>(Log2OfPowerOfTwo(n))];
  // While a test delays the helpers every transform is shared, so the delays
  // are met.
  const bool solo = pool.delayHook.load(std::memory_order_relaxed) == nullptr && ShouldRunSolo(pace);
  const auto start = std::chrono::steady_clock::now();
  if (solo) {
    kernel.transform(buffer, n, direction, tables);
    BitReversePermute(buffer, n, tables);
  } else {
    pool.Run({&pool.plan, buffer, direction, &kernel, &tables}, threads - 1);
  }
  const double micros = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  if (solo) {
    RecordSolo(pace, micros);
  } else {
    RecordShared(pace, micros);
  }
}

void StopFftWorkers() { gPool.Stop(); }

int FftWorkerCount() { return gPool.started; }

void SetFftThreadLauncher(FftThreadLauncher launcher) { gPool.launcher = launcher ? launcher : LaunchThread; }

void SetFftTaskDelayHook(FftTaskDelayHook hook) { gPool.delayHook.store(hook); }
