// Real SDL audio (the dummy driver unless SDL_AUDIODRIVER names another): the device test and two sounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <tuple>
#include <vector>

#include "audio/play_calls.h"
#include "audio/playback_devices.h"
#include "audio/playback_state.h"
#include "audio/playback_teardown.h"
#include "core/app_globals.h"
#include "platform/clock.h"

namespace {

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

// Stereo tables of sine tones, each with a 5 ms rise and fall so that it starts and ends quietly.
std::vector<float> Tones(std::initializer_list<double> hertz) {
  const int frames = kTableFrames;
  std::vector<float> samples;
  for (double h : hertz) {
    for (int i = 0; i < frames; ++i) {
      const double edge = std::min({1.0, i / 220.0, (frames - 1 - i) / 220.0});
      samples.insert(samples.end(), 2, static_cast<float>(edge * std::sin(2.0 * M_PI * h * i / 44100.0)));
    }
  }
  return samples;
}

}  // namespace

// A scan rendered while it plays stays at its end; a looped table runs on past its first pass; each stops.
TEST_F(SdlSoundSmoke, SoundsEndAtTheirLengthAndLoopsRunOnUntilStopped) {
  const std::tuple<std::function<bool()>, int64_t, bool> cases[] = {  // play, frames, looped
      {[] { return PlayScan(Tones({220.0, 440.0, 660.0}), 4, 3); }, 65536, false},
      {[] { return PlayTable(Tones({220.0}), 0, true); }, kTableFrames, true}};
  for (const auto& [play, frames, loop] : cases) {
    SCOPED_TRACE(frames);
    ASSERT_TRUE(play());
    EXPECT_EQ(gPlayback.playingFrames, frames);
    const int64_t target = loop ? frames + 4410 : frames;
    for (const int64_t until = NowMillis() + 10000; PlaybackFrames() < target && NowMillis() < until;) SleepMillis(5);
    EXPECT_GE(PlaybackFrames(), target);
    SleepMillis(100);
    const int64_t after = PlaybackFrames();
    EXPECT_TRUE(loop ? after > target : after == frames) << after;
    EXPECT_EQ(StopPlayback(), kMsgNone);
    EXPECT_FALSE(gPlayback.deviceOpen || SomethingPlays());
  }
}
