#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <span>
#include <tuple>
#include <vector>

#include "audio/audio_fixture.h"
#include "audio/play_calls.h"
#include "audio/playback_devices.h"
#include "audio/playback_render.h"
#include "audio/playback_teardown.h"
#include "platform/sound_output.h"

using PlayCalls = AudioTest;

namespace {

float LeftOf(const std::vector<float>& buffer, int64_t frame) { return buffer[2 * static_cast<size_t>(frame)]; }
float RightOf(const std::vector<float>& buffer, int64_t frame) { return buffer[2 * static_cast<size_t>(frame) + 1]; }

// The first table step (0 into 1) with the fraction grown by speed x 2^-17 in single precision.
float ExpectedScan(int64_t frame, int32_t speed, int channel) {
  float fraction = 0.0f;
  for (int64_t i = 0; i < frame; ++i) fraction += static_cast<float>(speed) * 0x1p-17f;
  const float a = channel == 0 ? static_cast<float>(frame % kTableFrames) / kTableFrames : -1.0f;
  const float b = channel == 0 ? a + 1.0f : -2.0f;
  return a + (b - a) * fraction;
}

}  // namespace

TEST(ScanLength, LengthRules) {
  const std::tuple<int, int32_t, int64_t> cases[] = {
      {2, 1, 131072}, {2, 64, 4097} /* 2,048 would be too short */, {2, 32, 4097} /* exactly 4,096 is raised too */,
      {2, 31, 4228},  {33, 1, 4194304}, {34, 1, 4325376} /* exactly the longest */, {40, 1, 4325376} /* cut */,
      {33, 1024, 4097} /* 32 x 131,072 / 1,024 = 4,096 */, {1, 8, 4097}, {3, 0, 262144} /* speed 0 counts as 1 */,
  };
  for (const auto& [tables, speed, frames] : cases) EXPECT_EQ(ScanFrames(tables, speed), frames) << tables << " " << speed;
}

TEST_F(PlayCalls, NothingPlaysWithoutBufferSourceOrDevice) {
  const std::vector<float> tables = MakeTables(2);
  // No device test yet: no buffer.
  EXPECT_EQ(std::tuple(PlayTable(tables, 0, true), PlayScan(tables, 1, 2), PlaySplit(tables, tables, 100, false)),
            std::tuple(false, false, false));
  EXPECT_EQ(Sound().opens, 0);
  ASSERT_EQ(TestPlaybackDevices(), 1);
  // Tables beyond the source, empty sources.
  EXPECT_EQ(std::tuple(PlayTable(tables, 2, true), PlayTable(tables, -1, true), PlayScan({}, 1, 2),
                       PlaySplit({}, {}, 100, false)),
            std::tuple(false, false, false, false));
  EXPECT_FALSE(SomethingPlays());
  Sound().refusingDevices = {0};  // fails to open at play time
  EXPECT_FALSE(PlayTable(tables, 1, true));
  EXPECT_EQ(std::tuple(SomethingPlays(), gPlayback.deviceOpen), std::tuple(false, false));
}

TEST_F(PlayCalls, TableIsPlayedAsGivenWithTheVolumeOnTheWayOut) {
  const std::vector<float> tables = MakeTables(3);
  ASSERT_EQ(TestPlaybackDevices(), 1);
  gApp.settings.playbackVolume = 0.25f;
  EXPECT_EQ(PlaybackFrames(), -1);  // nothing open
  ASSERT_TRUE(PlayTable(tables, 2, true));
  EXPECT_EQ(std::tuple(SomethingPlays(), Sound().loop, Sound().gain, gPlayback.playingFrames, Sound().totalFrames,
                       Sound().readyAtStart, PlaybackFrames()),
            std::tuple(true, true, 0.25f, 131072, 131072, 131072, 0));
  AdvanceHeadlessSound(2 * 131072 + 65536);  // two and a half passes of the loop
  EXPECT_EQ(PlaybackFrames(), 2 * 131072 + 65536);
  const std::vector<float>& played = Sound().played;
  ASSERT_EQ(played.size(), 2u * (2 * 131072 + 65536));
  for (int64_t frame : {0, 1, 131071, 131072, 131073, 300000}) {
    const int64_t at = frame % 131072;
    EXPECT_EQ(LeftOf(played, frame), 0.25f * LeftOf(tables, 2 * 131072 + at)) << frame;
    EXPECT_EQ(RightOf(played, frame), -0.75f) << frame;
  }
  Sound().positionLost = true;  // a lost position reads -1
  EXPECT_EQ(PlaybackFrames(), -1);
  Sound().positionLost = false;
  EXPECT_EQ(StopPlayback(), kMsgNone);
  // One loop break, one reset, and the device test's close and this one.
  EXPECT_EQ(std::tuple(Sound().loopBreaks, Sound().resets, Sound().closes, SomethingPlays()), std::tuple(1, 1, 2, false));
}

// The scan walks at most 33 tables and holds the last one to its end, its own loop running on.
TEST_F(PlayCalls, ScanLengthsAndTheTablesTheyWalk) {
  const std::vector<float> tables = MakeTables(40);
  // {what, tables made, speed, tables asked, frames, {frame, channel (0 left, 1 right), value} probes}
  const std::tuple<const char*, int, int, int, int64_t, std::vector<std::tuple<int64_t, int, float>>> cases[] = {
      // At 65,536 frames the fraction reaches 1: table 1 takes over, fading into 2.
      {"3 tables at speed 2", 3, 2, 3, 131072,
       {{1, 0, ExpectedScan(1, 2, 0)}, {32768, 0, 0.75f}, {32768, 1, ExpectedScan(32768, 2, 1)},
        {65535, 0, ExpectedScan(65535, 2, 0)}, {65535, 1, ExpectedScan(65535, 2, 1)}, {65536, 0, 1.5f},
        {65536, 1, -2.0f}}},
      {"4 tables at speed 1", 4, 1, 4, 3 * 131072,  // table 2 at position 5, fading into table 3 by 5 / 131,072
       {{77777, 0, ExpectedScan(77777, 1, 0)}, {77777, 1, ExpectedScan(77777, 1, 1)}, {131072, 0, 1.0f},
        {2 * 131072 + 5, 0, 2.0f + 10.0f / kTableFrames}}},
      {"short and fast: the last table held", 2, 64, 2, 4097,
       {{1024, 0, ExpectedScan(1024, 64, 0)}, {2048, 0, 1.0f + 2048.0f / kTableFrames},
        {4096, 0, 1.0f + 4096.0f / kTableFrames}, {4096, 1, -2.0f}}},
      // An XFORM table of 33 slices: 4,096 frames of scan, raised to 4,097.
      {"33 slices at speed 1,024", 33, 1024, 33, 4097, {{4096, 0, 32.0f + 4096.0f / kTableFrames}}},
      {"more than 33: cut at the 33rd", 40, 1, 40, 4325376,
       {{32 * 131072 + 7, 0, 32.0f + 7.0f / kTableFrames}, {4325375, 1, -33.0f}}},
      {"fewer in the source than asked", 3, 1, 10, 2 * 131072, {}},
  };
  ASSERT_EQ(TestPlaybackDevices(), 1);
  for (const auto& [what, made, speed, asked, frames, probes] : cases) {
    const auto source = std::span<const float>(tables).first(made * kTableFloats);
    ASSERT_TRUE(PlayScan(source, speed, asked)) << what;
    EXPECT_EQ(gPlayback.playingFrames, frames) << what;
    for (const auto& [frame, channel, value] : probes)
      EXPECT_EQ(gPlayback.buffer[2 * frame + channel], value) << what << " " << frame;
    // Started once the first part is rendered; not looped, it stops by itself at its last sample.
    EXPECT_EQ(std::tuple(Sound().loop, Sound().readyAtStart, HeadlessReadyFrames()),
              std::tuple(false, std::min<int64_t>(frames, 131072), frames)) << what;
    const size_t playedBefore = Sound().played.size(), floats = 2 * static_cast<size_t>(frames);
    AdvanceHeadlessSound(frames + 10000);
    EXPECT_EQ(PlaybackFrames(), frames) << what;
    ASSERT_EQ(Sound().played.size(), playedBefore + floats) << what;
    EXPECT_TRUE(std::equal(gPlayback.buffer.begin(), gPlayback.buffer.begin() + floats, Sound().played.end() - floats));
    EXPECT_EQ(StopPlayback(), kMsgNone) << what;
  }
}

TEST_F(PlayCalls, SplitSourcesInterleaveAndKeepToTheBuffer) {
  ASSERT_EQ(TestPlaybackDevices(), 1);
  std::vector<float> left(300000), right(300000);
  std::iota(left.begin(), left.end(), 0.0f);
  std::transform(left.begin(), left.end(), right.begin(), std::negate<float>());
  ASSERT_TRUE(PlaySplit(left, right, 250000, false));
  EXPECT_EQ(std::tuple(gPlayback.playingFrames, Sound().readyAtStart), std::tuple(250000, 131072));
  EXPECT_EQ(LeftOf(gPlayback.buffer, 249999), 249999.0f);
  EXPECT_EQ(RightOf(gPlayback.buffer, 200000), -200000.0f);
  // Mono: the same array twice. More frames than the arrays hold are not read.
  ASSERT_TRUE(PlaySplit(left, left, 400000, true));
  EXPECT_EQ(gPlayback.playingFrames, 300000);
  EXPECT_EQ(RightOf(gPlayback.buffer, 299999), 299999.0f);
  // Looped, and the first sound was stopped before the second.
  EXPECT_EQ(std::tuple(Sound().loop, Sound().starts, Sound().closes), std::tuple(true, 2, 2));
  std::vector<float> huge(5000000, 0.5f);  // never beyond the buffer's 4,456,448 frames
  ASSERT_TRUE(PlaySplit(huge, huge, 5000000, false));
  EXPECT_EQ(gPlayback.playingFrames, 4456448);
}

TEST_F(PlayCalls, TeardownThatNeverAnswersDropsTheDeviceAfterASecond) {
  const std::vector<float> tables = MakeTables(1);
  ASSERT_EQ(TestPlaybackDevices(), 1);
  ASSERT_TRUE(PlayTable(tables, 0, true));
  Sound().teardownHangs = true;
  const int64_t before = Headless().clockMillis;
  EXPECT_EQ(StopPlayback(), kMsgSoundDeviceNotAvailable);
  EXPECT_GE(Headless().clockMillis - before, 1000);  // on the virtual clock
  EXPECT_LT(Headless().clockMillis - before, 1100);
  EXPECT_EQ(Sound().drops, 1);
  EXPECT_EQ(std::tuple(Sound().open, SomethingPlays(), gPlayback.deviceOpen), std::tuple(false, false, false));
  // A few failed calls are retried every 5 ms and then succeed.
  Sound().teardownHangs = false;
  ASSERT_TRUE(PlayTable(tables, 0, true));
  Sound().failingTeardownCalls = 3;
  const int64_t start = Headless().clockMillis;
  EXPECT_EQ(StopPlayback(), kMsgNone);
  EXPECT_EQ(Headless().clockMillis - start, 15);
  EXPECT_EQ(Sound().closes, 2);  // the test's close and this one
}
