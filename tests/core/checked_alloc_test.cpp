#include "core/checked_alloc.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"

namespace {

TEST(CheckedAlloc, FreesAndAllocatesZeroFilled) {
  std::vector<float> buffer = {1.0f, 2.0f};
  CheckedAlloc(buffer, 5);
  EXPECT_EQ(buffer, std::vector<float>(5, 0.0f));
  CheckedAlloc(buffer, 0);
  EXPECT_EQ(buffer.capacity(), 0u);
  FloatMatrix matrix;
  CheckedAllocMatrix(matrix, 3, 4);
  EXPECT_EQ(matrix, FloatMatrix(3, std::vector<float>(4, 0.0f)));
  CheckedAllocMatrix(matrix, 0, 4);
  EXPECT_TRUE(matrix.empty());
}

TEST(CheckedAllocDeathTest, ExhaustionIsFatalThreeWithResultZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::vector<double> buffer;
  EXPECT_EXIT(CheckedAlloc(buffer, SIZE_MAX / 4), ::testing::ExitedWithCode(kHeadlessExitBase), "Error allocating memory!");
}

}  // namespace
