#include "wavetable/ram_wavetable.h"

#include <gtest/gtest.h>

TEST(RamWavetable, LayoutLengthsAndStretchLimits) {
  EXPECT_EQ(RenderedLength(256, 16), 16u * 8192u + 256u);
  EXPECT_LE(RenderedLength(4096, 32), kRamWavetableSamples);
  EXPECT_EQ(SliceStart(3, 256, 4), 3u * 1024u);
  // The page shows the stretch as a speed, 32 the slowest; the buttons stop at 1 and 32.
  EXPECT_EQ(ShownSpeed(16), 17);
  EXPECT_EQ(ShownSpeed(1), 32);
  EXPECT_EQ(FasterPlayback(1), 1);
  EXPECT_EQ(FasterPlayback(16), 15);
  EXPECT_EQ(SlowerPlayback(32), 32);
  EXPECT_EQ(SlowerPlayback(16), 17);
  EXPECT_EQ(ClampStretch(0), 1);
  EXPECT_EQ(RamNameFrom("A NAME LONGER THAN TWENTY-ONE"), "A NAME LONGER THAN TW");
  EXPECT_EQ(RamNameFrom("SHORT"), "SHORT");
}
