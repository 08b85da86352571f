#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "audio/playback_controls.h"
#include "audio/source_kinds.h"

// Each step: the value before, up or down, the message, the value after.
TEST(PlaybackControls, VolumeStepsByTwoAndRamSpeedStepsTheStretchWithinTheirLimits) {
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
  const std::tuple<int32_t, bool, MessageCode, int32_t> speedSteps[] = {
      {16, true, kMsgNone, 17}, {32, true, kMsgMinValue, 32}, {2, false, kMsgNone, 1}, {1, false, kMsgMaxValue, 1}};
  for (auto [stretch, slower, message, after] : speedSteps) {
    EXPECT_EQ(slower ? SlowerRamPlayback(stretch) : FasterRamPlayback(stretch), message) << after;
    EXPECT_EQ(stretch, after);
  }
  EXPECT_EQ(std::tuple(RamPlaybackFrames(1), RamPlaybackFrames(16), RamPlaybackFrames(32)),
            std::tuple(8448, 131328, 262400));
}

TEST(SourceKinds, MessagesAndNotes) {
  std::vector<std::tuple<int, MessageCode, std::string_view>> cases = {
      {1, kMsgPlayingFile, " <WAVE DATA>"}, {2, kMsgPlayingFile, " <WAVE DATA, RESAMPLED TO 172.265625 HZ>"},
      {13, kMsgPlayingFile, " <USING REALTIME WAVE INTERPOLATION>"}, {20, kMsgPlayingRamData, ""},
      {21, kMsgPlayingRamData, " <PITCH ADAPTED>"}, {22, kMsgPlayingFundamental, ""},
      {23, kMsgPlayingRamData, " <SINGLE ENVELOPE>"}, {24, kMsgPlayingRamData, " <AMPLITUDE OPTIMIZED>"}};
  for (int kind = 3; kind <= 9; ++kind) cases.emplace_back(kind, kMsgPlayingFile, " <USING SYNTHESIS>");
  for (int kind : {0, 10, 11, 12, 14, 19, 25, 255}) cases.emplace_back(kind, kMsgPlayingFile, "");
  for (const auto& [kind, number, note] : cases) {
    const PlayMessage message = PlayMessageFor(kind);
    EXPECT_EQ(std::tuple(message.number, message.appended), std::tuple(number, note)) << kind;
  }
}
