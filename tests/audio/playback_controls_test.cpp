#include <gtest/gtest.h>

#include "audio/playback_controls.h"
#include "audio/source_kinds.h"

TEST(PlaybackControls, VolumeStepsByTwoWithinItsLimits) {
  float volume = 1.0f;
  EXPECT_EQ(RaiseVolume(volume), kMsgMaxValue);
  EXPECT_EQ(volume, 1.0f);
  for (int step = 0; step < 6; ++step) EXPECT_EQ(LowerVolume(volume), kMsgNone);
  EXPECT_EQ(volume, 1.0f / 64);
  EXPECT_EQ(ShownVolume(volume), 1.0);
  EXPECT_EQ(LowerVolume(volume), kMsgMinValue);
  EXPECT_EQ(volume, 1.0f / 64);
  EXPECT_EQ(RaiseVolume(volume), kMsgNone);
  EXPECT_EQ(ShownVolume(volume), 2.0);
  EXPECT_EQ(ShownVolume(1.0f), 64.0);
}

TEST(PlaybackControls, RamSpeedStepsTheStretch) {
  int32_t stretch = 16;
  EXPECT_EQ(SlowerRamPlayback(stretch), kMsgNone);
  EXPECT_EQ(stretch, 17);
  stretch = 32;
  EXPECT_EQ(SlowerRamPlayback(stretch), kMsgMinValue);
  EXPECT_EQ(stretch, 32);
  stretch = 2;
  EXPECT_EQ(FasterRamPlayback(stretch), kMsgNone);
  EXPECT_EQ(FasterRamPlayback(stretch), kMsgMaxValue);
  EXPECT_EQ(stretch, 1);
  EXPECT_EQ(RamPlaybackFrames(1), 8448);
  EXPECT_EQ(RamPlaybackFrames(16), 131328);
  EXPECT_EQ(RamPlaybackFrames(32), 262400);
}

TEST(SourceKinds, MessagesAndNotes) {
  const auto check = [](int kind, MessageCode number, std::string_view note) {
    const PlayMessage message = PlayMessageFor(kind);
    EXPECT_EQ(message.number, number) << kind;
    EXPECT_EQ(message.appended, note) << kind;
  };
  check(1, kMsgPlayingFile, " <WAVE DATA>");
  check(2, kMsgPlayingFile, " <WAVE DATA, RESAMPLED TO 172.265625 HZ>");
  for (int kind = 3; kind <= 9; ++kind) check(kind, kMsgPlayingFile, " <USING SYNTHESIS>");
  check(13, kMsgPlayingFile, " <USING REALTIME WAVE INTERPOLATION>");
  check(20, kMsgPlayingRamData, "");
  check(21, kMsgPlayingRamData, " <PITCH ADAPTED>");
  check(22, kMsgPlayingFundamental, "");
  check(23, kMsgPlayingRamData, " <SINGLE ENVELOPE>");
  check(24, kMsgPlayingRamData, " <AMPLITUDE OPTIMIZED>");
  for (int kind : {0, 10, 11, 12, 14, 19, 25, 255}) check(kind, kMsgPlayingFile, "");
}
