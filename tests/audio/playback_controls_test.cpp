#include <gtest/gtest.h>

#include <tuple>

#include "audio/playback_controls.h"
#include "audio/source_kinds.h"

// Each step: the value before, up or down, the message, the value after.
TEST(PlaybackControls, VolumeStepsByTwoWithinItsLimits) {
  const std::tuple<float, bool, MessageCode, float> steps[] = {
      {1.0f, true, kMsgMaxValue, 1.0f},        {1.0f, false, kMsgNone, 0.5f},
      {1.0f / 32, false, kMsgNone, 1.0f / 64}, {1.0f / 64, false, kMsgMinValue, 1.0f / 64},
      {1.0f / 64, true, kMsgNone, 1.0f / 32},
  };
  for (auto [volume, up, message, after] : steps) {
    EXPECT_EQ(up ? RaiseVolume(volume) : LowerVolume(volume), message) << after;
    EXPECT_EQ(volume, after);
  }
  EXPECT_EQ(std::tuple(ShownVolume(1.0f / 64), ShownVolume(1.0f / 32), ShownVolume(1.0f)), std::tuple(1.0, 2.0, 64.0));
}

TEST(PlaybackControls, RamSpeedStepsTheStretch) {
  const std::tuple<int32_t, bool, MessageCode, int32_t> steps[] = {
      {16, true, kMsgNone, 17}, {32, true, kMsgMinValue, 32}, {2, false, kMsgNone, 1}, {1, false, kMsgMaxValue, 1}};
  for (auto [stretch, slower, message, after] : steps) {
    EXPECT_EQ(slower ? SlowerRamPlayback(stretch) : FasterRamPlayback(stretch), message) << after;
    EXPECT_EQ(stretch, after);
  }
  EXPECT_EQ(std::tuple(RamPlaybackFrames(1), RamPlaybackFrames(16), RamPlaybackFrames(32)),
            std::tuple(8448, 131328, 262400));
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
