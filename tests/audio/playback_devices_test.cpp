#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "audio/audio_fixture.h"
#include "audio/playback_devices.h"
#include "audio/playback_teardown.h"
#include "platform/sound_output.h"

using PlaybackDevices = AudioTest;

TEST(DeviceDisplayName, UpperCaseAngleBracketsFortyCharactersLatinOne) {
  // UTF-8 from the system becomes the screen's Latin-1, letters in capitals; what the font cannot show becomes "?".
  const std::pair<std::string, std::string> cases[] = {
      {"Built-in Audio (Analog Stereo)", "BUILT-IN AUDIO <ANALOG STEREO>"},
      {std::string(60, 'x'), std::string(40, 'X')},
      {"K\xC3\xBC" "che", "K\xDC" "CHE"}, {"\xE6\x97\xA5 1", "? 1"}, {"a\tb\xFF", "A?B?"}, {"", ""},
  };
  for (const auto& [name, shown] : cases) EXPECT_EQ(DeviceDisplayName(name), shown) << name;
}

TEST_F(PlaybackDevices, OnlyDevicesThatOpenAndTellTheirPositionAreValid) {
  Sound().deviceNames = {"Card A (HDMI)", "Card B", "Card C", "Card D"};
  Sound().refusingDevices = {1};
  Sound().positionlessDevices = {2};
  gApp.settings.playbackDeviceIndex = 5;
  EXPECT_EQ(TestPlaybackDevices(), 2);
  EXPECT_EQ(gPlayback.deviceIds, (std::vector<int>{0, 3}));
  EXPECT_EQ(gPlayback.deviceNames, (std::vector<std::string>{"CARD A <HDMI>", "CARD D"}));
  EXPECT_EQ(gPlayback.buffer.size(), 8912896u);
  // The stored index 5 was beyond the list.
  EXPECT_EQ(std::tuple(gApp.settings.playbackDeviceIndex, SelectedDeviceName()), std::tuple(0, "CARD A <HDMI>"));
  // Every device that opened was closed again.
  EXPECT_EQ(std::tuple(Sound().opens, Sound().closes, Sound().open, gPlayback.deviceOpen),
            std::tuple(3, 3, false, false));
  uint16_t selected = 1;  // the last steps back to the first (0 to 1: the utility page)
  EXPECT_EQ(StepPlaybackDevice(selected), kMsgNone);
  EXPECT_EQ(selected, 0);
  gApp.settings.playbackDeviceIndex = 1;
  EXPECT_EQ(SelectedDeviceName(), "CARD D");
  EXPECT_EQ(OpenPlayback(), kSoundOk);
  EXPECT_EQ(Sound().openId, 3);
  ReleasePlayback();  // stops, frees the buffer, shuts the device down
  EXPECT_EQ(std::tuple(gPlayback.buffer.empty(), gPlayback.deviceOpen, Sound().open), std::tuple(true, false, false));
}

TEST_F(PlaybackDevices, AtMostSixteenAndADefaultOutputThatCannotBeListedCountsAsOne) {
  Sound().deviceNames.clear();
  for (int i = 0; i < 20; ++i) Sound().deviceNames.push_back("out " + std::to_string(i));
  EXPECT_EQ(TestPlaybackDevices(), 16);
  EXPECT_EQ(std::tuple(gPlayback.deviceNames.back(), Sound().opens), std::tuple("OUT 15", 16));
  Sound().listsDevices = false;
  Sound().defaultName = "pulseaudio";
  EXPECT_EQ(TestPlaybackDevices(), 1);
  EXPECT_EQ(gPlayback.deviceIds, (std::vector<int>{kDefaultSoundDevice}));
  EXPECT_EQ(SelectedDeviceName(), "PULSEAUDIO");
}

TEST_F(PlaybackDevices, NoValidDeviceMeansNoBuffer) {
  Sound().deviceNames = {"only"};
  Sound().refusingDevices = {0};
  EXPECT_EQ(TestPlaybackDevices(), 0);
  EXPECT_EQ(std::tuple(gPlayback.buffer.empty(), SelectedDeviceName()), std::tuple(true, ""));
  EXPECT_NE(OpenPlayback(), kSoundOk);

  // A second test that finds a device allocates the buffer; a third that finds none releases it again.
  Sound().refusingDevices.clear();
  EXPECT_EQ(TestPlaybackDevices(), 1);
  EXPECT_FALSE(gPlayback.buffer.empty());
  Sound().deviceNames.clear();
  EXPECT_EQ(TestPlaybackDevices(), 0);
  EXPECT_TRUE(gPlayback.buffer.empty());
}
