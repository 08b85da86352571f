#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace {

TEST(SingleInstance, SecondClaimAsksTheFirstToRaiseItsWindow) {
  const std::string name = "SonicLoomTest-" + std::to_string(getpid());
  SingleInstance first;
  ASSERT_EQ(ClaimSingleInstance(first, name), InstanceClaim::First);
  EXPECT_FALSE(PollRaiseRequest(first));

  SingleInstance second;
  EXPECT_EQ(ClaimSingleInstance(second, name), InstanceClaim::AnotherRunning);
  EXPECT_EQ(second.listenSocket, -1);
  EXPECT_TRUE(PollRaiseRequest(first));
  EXPECT_TRUE(first.raiseRequested);
  EXPECT_FALSE(PollRaiseRequest(first));

  ReleaseSingleInstance(first);  // the name is free again
  SingleInstance third;
  EXPECT_EQ(ClaimSingleInstance(third, name), InstanceClaim::First);
  ReleaseSingleInstance(third);
}

}  // namespace
