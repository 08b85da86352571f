#include "core/work_crew.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr int kMembers = 3;

// Every job of every batch runs exactly once, on a member that runs nothing
// else meanwhile, while helpers are randomly late to take or finish a job;
// a batch stopped early returns only when the jobs it began are done.
TEST(WorkCrew, BatchesRunEachJobOnceWithLateHelpersAndStops) {
  WorkCrewHandle crew;
  std::array<std::atomic<int>, kMembers> busy{};
  uint32_t draw = 7;
  for (int batch = 0; batch < 400; ++batch) {
    const int count = 1 + batch % 37;
    const int stopAt = batch % 5 == 4 ? 1 + batch % count : 0;  // 0: run to the end
    std::vector<std::atomic<int>> runs(static_cast<size_t>(count));
    std::atomic<int> running{0};
    std::atomic<bool> misuse{false};
    draw = draw * 1664525u + 1013904223u;
    const uint32_t lateMask = draw >> 24;
    const bool finished = RunCrewJobs(
        crew, kMembers, count,
        [&](int index, int member) {
          if (member < 0 || member >= kMembers || busy[static_cast<size_t>(member)].exchange(1) != 0) misuse = true;
          running.fetch_add(1);
          const bool late = member > 0 && (lateMask >> (index % 8) & 1) != 0;
          if (late) std::this_thread::sleep_for(std::chrono::microseconds(200));
          runs[static_cast<size_t>(index)].fetch_add(1);
          running.fetch_sub(1);
          busy[static_cast<size_t>(member)] = 0;
        },
        [&](int done) { return stopAt > 0 && done >= stopAt; });
    ASSERT_FALSE(misuse.load()) << batch;
    ASSERT_EQ(running.load(), 0) << batch;
    int ran = 0;
    for (auto& r : runs) {
      ASSERT_LE(r.load(), 1) << batch;
      ran += r.load();
    }
    // A stopped batch may still have run every job (helpers had begun them
    // all); one that reports success has.
    EXPECT_TRUE(!finished || ran == count) << batch;
    EXPECT_TRUE(finished || (stopAt > 0 && stopAt < count && ran >= stopAt)) << batch;
  }
  EXPECT_EQ(CrewHelperCount(crew), kMembers - 1);
}

// A helper that holds its job for long keeps only that job: the calling
// thread does all the others, and returns once the held job is done. One
// member, or one job, never starts a helper.
TEST(WorkCrew, SlowHelperHoldsOnlyItsOwnJobAndSingleMemberRunsAlone) {
  WorkCrewHandle crew;
  std::array<int, 2> byMember{};
  std::atomic<bool> heldDone{false};
  EXPECT_TRUE(RunCrewJobs(
      crew, 2, 40,
      [&](int, int member) {
        ++byMember[static_cast<size_t>(member)];
        if (member == 1) {
          std::this_thread::sleep_for(std::chrono::milliseconds(100));
          heldDone = true;
        } else {
          std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
      },
      {}));
  EXPECT_LE(byMember[1], 1);
  EXPECT_EQ(heldDone.load(), byMember[1] == 1);  // a job begun is waited for
  EXPECT_EQ(byMember[0] + byMember[1], 40);

  WorkCrewHandle alone;
  const auto caller = std::this_thread::get_id();
  int calls = 0;
  for (int members : {1, 4}) {
    const int count = members == 1 ? 5 : 1;
    EXPECT_TRUE(RunCrewJobs(
        alone, members, count,
        [&](int index, int member) {
          EXPECT_EQ(member, 0);
          EXPECT_EQ(std::this_thread::get_id(), caller);
          EXPECT_EQ(index, calls % 5);
          ++calls;
        },
        {}));
  }
  EXPECT_EQ(calls, 6);
  EXPECT_EQ(CrewHelperCount(alone), 0);
}

}  // namespace
