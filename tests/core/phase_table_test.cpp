#include "core/phase_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

TEST(PhaseTable, SizeRangeAndLeadingZeros) {
  EXPECT_EQ(sizeof(kPhaseTableResource), 262144u);
  for (int i = 0; i < 37; ++i) EXPECT_EQ(kPhaseTableResource[i], 0.0f) << i;
  std::set<float> distinct;
  double sum = 0.0;
  for (int i = 37; i < kPhaseCount; ++i) {
    const float phase = kPhaseTableResource[i];
    ASSERT_GE(phase, 0.0f) << i;
    ASSERT_LT(static_cast<double>(phase), 2.0 * M_PI) << i;
    distinct.insert(phase);
    sum += phase;
  }
  // Random angles: nearly all distinct, mean close to pi.
  EXPECT_GT(distinct.size(), 60000u);
  EXPECT_NEAR(sum / (kPhaseCount - 37), M_PI, 0.05);
}

}  // namespace
