#include "core/random.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

TEST(Random, SeededSequenceIsTheClassicFifteenBitOne) {
  SeedRandom(1);
  const std::array<int, 5> expected = {41, 18467, 6334, 26500, 19169};
  for (int value : expected) EXPECT_EQ(RandomNext(), value);
  SeedRandom(1);
  EXPECT_EQ(RandomNext(), 41);
}

TEST(Random, RandomBelowStaysInRangeAndCoversIt) {
  SeedRandom(12345);
  EXPECT_EQ(RandomBelow(0), 0);
  EXPECT_EQ(RandomBelow(1), 0);
  EXPECT_EQ(RandomBelow(-5), 0);
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    const int v = RandomBelow(33);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 33);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 33u);
  for (int i = 0; i < 1000; ++i) {
    const int v = RandomBelow(32767);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 32767);
  }
  // Beyond one draw's range: no division by zero, still in range.
  int largest = 0;
  for (int i = 0; i < 1000; ++i) {
    const int v = RandomBelow(100000);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 100000);
    largest = std::max(largest, v);
  }
  EXPECT_GT(largest, 32767);
}

}  // namespace
