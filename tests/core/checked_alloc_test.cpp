#include "core/checked_alloc.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"

#include <cstdint>

namespace {

TEST(CheckedAlloc, FreesAndAllocatesZeroFilled) {
  std::vector<float> buffer = {1.0f, 2.0f};
  CheckedAlloc(buffer, 5);
  ASSERT_EQ(buffer.size(), 5u);
  for (float v : buffer) EXPECT_EQ(v, 0.0f);
  CheckedAlloc(buffer, 0);
  EXPECT_TRUE(buffer.empty());
  EXPECT_EQ(buffer.capacity(), 0u);

  std::vector<int16_t> codes(3, 7);
  CheckedAlloc(codes, 2);
  EXPECT_EQ(codes, (std::vector<int16_t>{0, 0}));

  FloatMatrix matrix;
  CheckedAllocMatrix(matrix, 3, 4);
  ASSERT_EQ(matrix.size(), 3u);
  for (const auto& row : matrix) EXPECT_EQ(row, std::vector<float>(4, 0.0f));
  CheckedAllocMatrix(matrix, 0, 4);
  EXPECT_TRUE(matrix.empty());
}

TEST(CheckedAllocDeathTest, ExhaustionIsFatalThreeWithResultZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::vector<double> buffer;
  EXPECT_EXIT(CheckedAlloc(buffer, SIZE_MAX / 4), ::testing::ExitedWithCode(kHeadlessExitBase), "Error allocating memory!");
}

}  // namespace
