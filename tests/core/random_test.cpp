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
  // 33 must be covered; beyond one draw's range (100,000) there is no
  // division by zero and the upper part is reached.
  for (int limit : {33, 32767, 100000}) {
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
      const int v = RandomBelow(limit);
      ASSERT_GE(v, 0);
      ASSERT_LT(v, limit);
      seen.insert(v);
    }
    if (limit == 33) {
      EXPECT_EQ(seen.size(), 33u);
    }
    if (limit == 100000) {
      EXPECT_GT(*seen.rbegin(), 32767);
    }
  }
}

}  // namespace
