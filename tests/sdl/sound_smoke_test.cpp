// Real SDL audio: the device test and three sounds. Under CI SDL's dummy driver stands in for a sound card (SDL_AUDIODRIVER);
// with another driver the sounds are heard.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
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
  const int64_t until = NowMillis() + kWaitLimitMillis;
  while (PlaybackFrames() < target && NowMillis() < until) SleepMillis(5);
  return PlaybackFrames();
}

}  // namespace

// A quarter-second sound, a scan of 65,536 frames rendered while it already
// plays, and a looped table: the first two stay at their end, the loop runs
// on past its first pass; each stops at once.
TEST_F(SdlSoundSmoke, SoundsEndAtTheirLengthAndLoopsRunOnUntilStopped) {
  const std::vector<float> tone = Tone(11025, 440.0);
  struct Case {
    std::function<bool()> play;
    int64_t frames;
    bool loop;
  };
  const Case cases[] = {{[&] { return PlaySplit(tone, tone, 11025, false); }, 11025, false},
                        {[] { return PlayScan(Tables({220.0, 440.0, 660.0}), 4, 3); }, 65536, false},
                        {[] { return PlayTable(Tables({220.0}), 0, true); }, kTableFrames, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frames);
    ASSERT_TRUE(c.play());
    EXPECT_TRUE(gPlayback.deviceOpen);
    EXPECT_EQ(gPlayback.playingFrames, c.frames);
    const int64_t target = c.loop ? c.frames + 4410 : c.frames;
    EXPECT_GE(WaitForPosition(target), target);
    SleepMillis(100);
    if (c.loop) {
      EXPECT_GT(PlaybackFrames(), target);
    } else {
      EXPECT_EQ(PlaybackFrames(), c.frames);
    }
    const int64_t stopStart = NowMillis();
    EXPECT_EQ(StopPlayback(), kMsgNone);
    EXPECT_LT(NowMillis() - stopStart, 1000);
    EXPECT_FALSE(gPlayback.deviceOpen);
    EXPECT_FALSE(SomethingPlays());
  }
}
