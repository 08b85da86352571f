#include "core/random.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

TEST(Random, SeededSequenceIsTheClassicFifteenBitOne) {
  for (int pass = 0; pass < 2; ++pass) {
    SeedRandom(1);
    for (int value : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(RandomNext(), value);
  }
}

TEST(Random, RandomBelowStaysInRangeAndCoversIt) {
  SeedRandom(12345);
  for (int limit : {0, 1, -5}) EXPECT_EQ(RandomBelow(limit), 0) << limit;
  // All of 33 is covered; beyond one draw's range (100,000) there is no division by zero and the upper part is reached.
  const std::tuple<int, int, int> cases[] = {{33, 33, 32}, {32767, 1900, 30000}, {100000, 1900, 97000}};
  for (const auto& [limit, distinct, highest] : cases) {
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) seen.insert(RandomBelow(limit));
    EXPECT_TRUE(*seen.begin() >= 0 && *seen.rbegin() < limit) << limit;
    EXPECT_GE(static_cast<int>(seen.size()), distinct) << limit;
    EXPECT_GE(*seen.rbegin(), highest) << limit;
  }
}

}  // namespace
