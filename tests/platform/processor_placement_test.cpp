#include "platform/processor_placement.h"

#include <gtest/gtest.h>

#if defined(__linux__)
#include <sched.h>

namespace {

// A thread told to leave its processor moves when it may, and may afterwards
// run everywhere it could before; nonsense processors change nothing.
TEST(ProcessorPlacement, LeavingMovesTheThreadAndKeepsWhereItMayRun) {
  cpu_set_t before;
  ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
  for (int nonsense : {-1, CPU_SETSIZE, 1 << 20}) LeaveProcessor(nonsense);
  const int here = CurrentProcessor();
  ASSERT_GE(here, 0);
  LeaveProcessor(here);
  EXPECT_TRUE(CPU_COUNT(&before) == 1 || CurrentProcessor() != here);
  cpu_set_t after;
  ASSERT_EQ(sched_getaffinity(0, sizeof after, &after), 0);
  EXPECT_TRUE(CPU_EQUAL(&before, &after));
}

}  // namespace
#endif
