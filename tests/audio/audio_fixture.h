#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "audio/playback_state.h"
#include "core/app_globals.h"
#include "platform/headless/headless_platform.h"

// The headless sound card with the playback engine reset: no devices tested
// yet, default settings.
class AudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHeadless();
    gApp = AppGlobals{};
    gPlayback = PlaybackState{};
  }

  void TearDown() override {
    gPlayback = PlaybackState{};
    ResetHeadless();
  }

  HeadlessSound& Sound() { return Headless().sound; }
};

// count stereo tables of 131,072 frames: table t holds left = t + position /
// 131,072 and right = -(t + 1) everywhere, so every frame tells its source.
inline std::vector<float> MakeTables(int count) {
  std::vector<float> tables(static_cast<size_t>(count) * kTableFloats);
  for (int t = 0; t < count; ++t) {
    for (int i = 0; i < kTableFrames; ++i) {
      const size_t at = static_cast<size_t>(t) * kTableFloats + 2 * static_cast<size_t>(i);
      tables[at] = static_cast<float>(t) + static_cast<float>(i) / kTableFrames;
      tables[at + 1] = -static_cast<float>(t + 1);
    }
  }
  return tables;
}
