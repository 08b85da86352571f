#include "core/phase_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

// 37 leading zeros, then random angles in [0, 2 pi): nearly all distinct, their mean close to pi.
TEST(PhaseTable, SizeRangeAndLeadingZeros) {
  EXPECT_EQ(sizeof(kPhaseTableResource), 262144u);
  for (int i = 0; i < 37; ++i) EXPECT_EQ(kPhaseTableResource[i], 0.0f) << i;
  const std::set<float> distinct(kPhaseTableResource + 37, kPhaseTableResource + kPhaseCount);
  EXPECT_GE(*distinct.begin(), 0.0f);
  EXPECT_LT(static_cast<double>(*distinct.rbegin()), 2.0 * M_PI);
  EXPECT_GT(distinct.size(), 60000u);
  double sum = 0.0;
  for (int i = 37; i < kPhaseCount; ++i) sum += kPhaseTableResource[i];
  EXPECT_NEAR(sum / (kPhaseCount - 37), M_PI, 0.05);
}

}  // namespace
