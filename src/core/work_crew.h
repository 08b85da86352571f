#pragma once
#include <functional>
#include <memory>

// Helper threads that stay between batches of jobs. A batch's jobs are
// taken one at a time from a shared counter by the calling thread and the
// helpers; the calling thread never waits for a helper to wake up, only for
// the jobs that helpers have actually begun. So a helper that another
// program keeps off its processor delays a batch by at most the one job it
// holds, and a batch whose helpers never got to run ends as soon as the
// calling thread has done every job itself.

struct WorkCrew;
struct WorkCrewStop {
  void operator()(WorkCrew* crew) const;  // tells the helpers to end and joins them
};
using WorkCrewHandle = std::unique_ptr<WorkCrew, WorkCrewStop>;

// job(index, member): member 0 is the calling thread, 1 .. members-1 the
// helpers; a member runs one job at a time, so per-member scratch needs no
// lock.
using CrewJob = std::function<void(int index, int member)>;
// Called by the calling thread after each job of its own with the number of
// jobs finished so far (by any member); true means no new job may begin.
using CrewStopCheck = std::function<bool(int finished)>;

// Runs job(index, member) for index 0 .. count-1 and returns when every job
// begun is finished: true when all count jobs ran, false when stopAfter
// stopped the batch. Helpers are started as the first batch that wants them
// comes; a helper the system refuses leaves its share to the others.
bool RunCrewJobs(WorkCrewHandle& crew, int members, int count, const CrewJob& job, const CrewStopCheck& stopAfter);

// Helper threads running now (0 for a crew never started).
int CrewHelperCount(const WorkCrewHandle& crew);
