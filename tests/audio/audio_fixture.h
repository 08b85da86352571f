#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "audio/playback_state.h"
#include "core/app_globals.h"
#include "platform/headless/headless_platform.h"

// The headless sound card with the playback engine reset: no devices tested yet, default settings.
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

// Tables where left = t + position / 131,072 and right = -(t + 1): every frame tells its source.
inline std::vector<float> MakeTables(int count) {
  std::vector<float> tables(static_cast<size_t>(count) * kTableFloats);
  for (size_t at = 0; at < tables.size(); at += 2) {
    const auto table = static_cast<float>(at / kTableFloats);
    tables[at] = table + static_cast<float>(at % kTableFloats / 2) / kTableFrames;
    tables[at + 1] = -(table + 1.0f);
  }
  return tables;
}
