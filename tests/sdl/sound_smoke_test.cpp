// Real SDL audio: the device test, a short sound that ends by itself, a loop
// that stops at once, and a long scan rendered while it already plays.
// Under CI SDL's dummy driver stands in for a sound card (SDL_AUDIODRIVER);
// with another driver the sounds are heard.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "audio/play_calls.h"
#include "audio/playback_devices.h"
#include "audio/playback_state.h"
#include "audio/playback_teardown.h"
#include "core/app_globals.h"
#include "platform/clock.h"

namespace {

constexpr int64_t kWaitLimitMillis = 10000;

class SdlSoundSmoke : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // a driver chosen from outside wins
    gApp = AppGlobals{};
    gApp.settings.playbackVolume = 0.25f;
    gPlayback = PlaybackState{};
    if (TestPlaybackDevices() == 0) GTEST_SKIP() << "no sound device";
    std::printf("sound device: %s\n", SelectedDeviceName().c_str());
  }

  void TearDown() override { ReleasePlayback(); }
};

// A sine tone with a 5 ms rise and fall, so that it starts and ends quietly.
std::vector<float> Tone(int frames, double hertz) {
  std::vector<float> samples(static_cast<size_t>(frames));
  const int ramp = 220;
  for (int i = 0; i < frames; ++i) {
    const double edge = std::min({1.0, static_cast<double>(i) / ramp, static_cast<double>(frames - 1 - i) / ramp});
    samples[static_cast<size_t>(i)] = static_cast<float>(edge * std::sin(2.0 * M_PI * hertz * i / 44100.0));
  }
  return samples;
}

// A stereo table per tone, one after another.
std::vector<float> Tables(std::initializer_list<double> hertz) {
  std::vector<float> tables;
  for (double h : hertz) {
    for (float sample : Tone(kTableFrames, h)) tables.insert(tables.end(), {sample, sample});
  }
  return tables;
}

// Polls the position every 5 ms until it reaches the target or time runs out.
int64_t WaitForPosition(int64_t target) {
  const int64_t start = NowMillis();
  int64_t position = 0;
  while (position < target && NowMillis() - start < kWaitLimitMillis) {
    SleepMillis(5);
    position = PlaybackFrames();
  }
  return position;
}

}  // namespace

TEST_F(SdlSoundSmoke, AShortSoundEndsByItselfAtItsLength) {
  const int frames = 11025;  // a quarter of a second
  const std::vector<float> tone = Tone(frames, 440.0);
  ASSERT_TRUE(PlaySplit(tone, tone, frames, false));
  EXPECT_TRUE(gPlayback.deviceOpen);
  EXPECT_EQ(WaitForPosition(frames), frames);
  SleepMillis(100);
  EXPECT_EQ(PlaybackFrames(), frames);  // not looped: it stays at its end
  EXPECT_EQ(StopPlayback(), kMsgNone);
  EXPECT_FALSE(gPlayback.deviceOpen);
  EXPECT_FALSE(SomethingPlays());
}

TEST_F(SdlSoundSmoke, ALoopRunsOnUntilItIsStoppedAndThenStopsAtOnce) {
  ASSERT_TRUE(PlayTable(Tables({220.0}), 0, true));
  // Past the end of the first pass: the loop goes on.
  EXPECT_GE(WaitForPosition(kTableFrames + 4410), kTableFrames + 4410);
  const int64_t stopStart = NowMillis();
  EXPECT_EQ(StopPlayback(), kMsgNone);
  EXPECT_LT(NowMillis() - stopStart, 1000);
  EXPECT_FALSE(gPlayback.deviceOpen);
}

TEST_F(SdlSoundSmoke, ALongScanIsRenderedWhileItPlays) {
  ASSERT_TRUE(PlayScan(Tables({220.0, 440.0, 660.0}), 4, 3));  // 65,536 frames
  EXPECT_EQ(gPlayback.playingFrames, 65536);
  EXPECT_EQ(WaitForPosition(65536), 65536);
  EXPECT_EQ(StopPlayback(), kMsgNone);
}
