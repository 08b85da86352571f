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

// Polls the position every 5 ms until it reaches the target or time runs out.
int64_t WaitForPosition(int64_t target, int64_t& firstMoveMillis, int64_t start) {
  int64_t position = 0;
  firstMoveMillis = -1;
  while (position < target && NowMillis() - start < kWaitLimitMillis) {
    SleepMillis(5);
    position = PlaybackFrames();
    if (position > 0 && firstMoveMillis < 0) firstMoveMillis = NowMillis() - start;
  }
  return position;
}

}  // namespace

TEST_F(SdlSoundSmoke, AShortSoundEndsByItselfAtItsLength) {
  const int frames = 11025;  // a quarter of a second
  const std::vector<float> tone = Tone(frames, 440.0);
  const int64_t start = NowMillis();
  ASSERT_TRUE(PlaySplit(tone, tone, frames, false));
  EXPECT_TRUE(gPlayback.deviceOpen);
  int64_t firstMove = -1;
  const int64_t position = WaitForPosition(frames, firstMove, start);
  const int64_t elapsed = NowMillis() - start;
  EXPECT_EQ(position, frames);
  SleepMillis(100);
  EXPECT_EQ(PlaybackFrames(), frames);  // not looped: it stays at its end
  const int64_t stopStart = NowMillis();
  EXPECT_EQ(StopPlayback(), kMsgNone);
  std::printf("first frames taken after %lld ms; %d frames played in %lld ms; stop took %lld ms\n",
              static_cast<long long>(firstMove), frames, static_cast<long long>(elapsed),
              static_cast<long long>(NowMillis() - stopStart));
  EXPECT_FALSE(gPlayback.deviceOpen);
  EXPECT_FALSE(SomethingPlays());
}

TEST_F(SdlSoundSmoke, ALoopRunsOnUntilItIsStoppedAndThenStopsAtOnce) {
  std::vector<float> table(kTableFloats);
  const std::vector<float> tone = Tone(kTableFrames, 220.0);
  for (int i = 0; i < kTableFrames; ++i) table[2 * i] = table[2 * i + 1] = tone[static_cast<size_t>(i)];
  const int64_t start = NowMillis();
  ASSERT_TRUE(PlayTable(table, 0, true));
  int64_t firstMove = -1;
  // Past the end of the first pass: the loop goes on.
  const int64_t position = WaitForPosition(kTableFrames + 4410, firstMove, start);
  EXPECT_GE(position, kTableFrames + 4410);
  const int64_t stopStart = NowMillis();
  EXPECT_EQ(StopPlayback(), kMsgNone);
  EXPECT_LT(NowMillis() - stopStart, 1000);
  EXPECT_FALSE(gPlayback.deviceOpen);
}

TEST_F(SdlSoundSmoke, ALongScanIsRenderedWhileItPlays) {
  std::vector<float> tables(3 * kTableFloats);
  for (int t = 0; t < 3; ++t) {
    const std::vector<float> tone = Tone(kTableFrames, 220.0 * (t + 1));
    for (int i = 0; i < kTableFrames; ++i) {
      const size_t at = static_cast<size_t>(t) * kTableFloats + 2 * static_cast<size_t>(i);
      tables[at] = tables[at + 1] = tone[static_cast<size_t>(i)];
    }
  }
  const int64_t start = NowMillis();
  ASSERT_TRUE(PlayScan(tables, 4, 3));  // 65,536 frames
  EXPECT_EQ(gPlayback.playingFrames, 65536);
  int64_t firstMove = -1;
  EXPECT_EQ(WaitForPosition(65536, firstMove, start), 65536);
  EXPECT_EQ(StopPlayback(), kMsgNone);
}
