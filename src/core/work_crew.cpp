#include "core/work_crew.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/processor_placement.h"

struct WorkCrew {
  std::mutex mutex;
  std::condition_variable wake;      // helpers: a new batch, or the end
  std::condition_variable progress;  // calling thread: a helper finished a job
  // Guarded by mutex.
  uint32_t batch = 0;
  bool quit = false;
  int helpersWanted = 0;
  const CrewJob* job = nullptr;
  uint32_t count = 0;
  int finished = 0;
  int callerProcessor = -1;
  // The batch number in the high half, the next job in the low half: a job
  // is taken only while the word still names the batch its taker woke for,
  // so a helper that wakes after its batch is over never takes a job of the
  // next one (nor touches the job function of a batch that has returned).
  std::atomic<uint64_t> claim{0};
  std::vector<std::thread> helpers;
};

namespace {

bool TakeJob(WorkCrew& crew, uint32_t batch, uint32_t count, uint32_t& index) {
  uint64_t word = crew.claim.load(std::memory_order_acquire);
  for (;;) {
    const auto next = static_cast<uint32_t>(word);
    if (static_cast<uint32_t>(word >> 32) != batch || next >= count) return false;
    if (crew.claim.compare_exchange_weak(word, word + 1, std::memory_order_acq_rel, std::memory_order_acquire)) {
      index = next;
      return true;
    }
  }
}

// Counts a finished job; returns the jobs finished in the batch so far.
int FinishJob(WorkCrew& crew) {
  std::lock_guard lock(crew.mutex);
  return ++crew.finished;
}

void HelperLoop(WorkCrew* crew, int member, uint32_t seen) {
  for (;;) {
    const CrewJob* job = nullptr;
    uint32_t count = 0;
    int callerProcessor = -1;
    {
      std::unique_lock lock(crew->mutex);
      crew->wake.wait(lock, [&] { return crew->quit || crew->batch != seen; });
      if (crew->quit) return;
      seen = crew->batch;
      if (member > crew->helpersWanted) continue;
      job = crew->job;
      count = crew->count;
      callerProcessor = crew->callerProcessor;
    }
    // Woken on the calling thread's processor (the system tends to put a
    // thread woken by another beside it), the two would take turns while
    // another processor might have room.
    LeaveProcessor(callerProcessor);
    uint32_t index = 0;
    while (TakeJob(*crew, seen, count, index)) {
      (*job)(static_cast<int>(index), member);
      FinishJob(*crew);
      crew->progress.notify_one();
    }
  }
}

void StartHelpers(WorkCrew& crew, int wanted) {
  while (static_cast<int>(crew.helpers.size()) < wanted) {
    const int member = static_cast<int>(crew.helpers.size()) + 1;
    try {
      crew.helpers.emplace_back(HelperLoop, &crew, member, crew.batch);
    } catch (const std::system_error&) {
      return;  // the members present share the jobs
    }
  }
}

bool RunAlone(int count, const CrewJob& job, const CrewStopCheck& stopAfter) {
  for (int i = 0; i < count; ++i) {
    job(i, 0);
    if (i + 1 < count && stopAfter && stopAfter(i + 1)) return false;
  }
  return true;
}

}  // namespace

void WorkCrewStop::operator()(WorkCrew* crew) const {
  {
    std::lock_guard lock(crew->mutex);
    crew->quit = true;
  }
  crew->wake.notify_all();
  for (auto& helper : crew->helpers) helper.join();
  delete crew;
}

bool RunCrewJobs(WorkCrewHandle& handle, int members, int count, const CrewJob& job, const CrewStopCheck& stopAfter) {
  if (count <= 0) return true;
  const int wanted = std::min(members, count) - 1;
  if (wanted > 0 && !handle) handle.reset(new WorkCrew);
  if (wanted > 0) StartHelpers(*handle, wanted);
  const int helpers = handle ? std::min(wanted, static_cast<int>(handle->helpers.size())) : 0;
  if (helpers <= 0) return RunAlone(count, job, stopAfter);

  WorkCrew& crew = *handle;
  const auto jobs = static_cast<uint32_t>(count);
  uint32_t batch = 0;
  {
    std::lock_guard lock(crew.mutex);
    batch = ++crew.batch;
    crew.helpersWanted = helpers;
    crew.job = &job;
    crew.count = jobs;
    crew.finished = 0;
    crew.callerProcessor = CurrentProcessor();
    crew.claim.store(uint64_t{batch} << 32, std::memory_order_release);
  }
  crew.wake.notify_all();

  bool stopped = false;
  uint32_t index = 0;
  while (TakeJob(crew, batch, jobs, index)) {
    job(static_cast<int>(index), 0);
    const int finished = FinishJob(crew);
    if (finished < count && stopAfter && stopAfter(finished)) {
      stopped = true;
      break;
    }
  }
  // Close the batch: from here no job begins, and the jobs begun are known.
  const uint64_t last = crew.claim.exchange((uint64_t{batch} << 32) | jobs, std::memory_order_acq_rel);
  const int begun = static_cast<int>(std::min(static_cast<uint32_t>(last), jobs));
  std::unique_lock lock(crew.mutex);
  crew.progress.wait(lock, [&] { return crew.finished >= begun; });
  return !stopped;
}

int CrewHelperCount(const WorkCrewHandle& crew) { return crew ? static_cast<int>(crew->helpers.size()) : 0; }
