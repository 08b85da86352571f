#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "audio/play_calls.h"
#include "audio/playback_devices.h"
#include "audio/playback_state.h"
#include "platform/clock.h"
#include "ui/hold_to_play.h"
#include "ui/message_line.h"
#include "ui/playback_status.h"
#include "ui/prelisten.h"
#include "ui/ui_fixture.h"
#include "wavetable/ram_wavetable.h"

namespace {

constexpr double kRealTime = 44.1;  // frames per millisecond
constexpr int kRamButtonColumn = 9;
constexpr uint8_t kRamButtonCode = 22;

class HoldToPlay : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    gPlayback = PlaybackState{};
    Headless().sound.framesPerMillisecond = kRealTime;
    SetButton(kRamButtonColumn, 1, "pRAM_WT");
    ASSERT_EQ(TestPlaybackDevices(), 1);  // the backend's one device
  }

  void TearDown() override {
    gPlayback = PlaybackState{};
    UiTest::TearDown();
  }

  HeadlessSound& Sound() { return Headless().sound; }
  std::vector<float> tables = std::vector<float>(kTableFloats, 0.25f);  // one table of a quarter level

  // CTRL + F10 goes down and is polled as the page loop would; it is let go
  // releaseAfter ms later (never when negative).
  uint8_t HoldRamButton(int64_t releaseAfter) {
    PollInput(false, false);  // the page loop notices that an earlier key went up
    ScriptKeyDown(kKeyControl);
    ScriptKeyDown(FunctionKey(10), 5);
    SleepMillis(10);
    EXPECT_TRUE(PollInput(true, false));
    uint8_t code = kNoEvent;
    TranslateButton(code);
    EXPECT_EQ(code, kRamButtonCode);
    if (releaseAfter >= 0) ScriptKeyUp(FunctionKey(10), releaseAfter);
    return code;
  }

  bool Shown(std::string_view text) { return !TextsContaining(text).empty(); }
};

std::vector<float> Ramp(size_t frames, float scale) {
  std::vector<float> samples(frames);
  for (size_t i = 0; i < frames; ++i) samples[i] = scale * static_cast<float>(i % 1000) / 1000.0f;
  return samples;
}

}  // namespace

TEST_F(HoldToPlay, ASoundThatIsNotLoopedEndsByItselfAtItsLastSample) {
  gApp.settings.playbackVolume = 0.5f;
  const std::vector<float> left = Ramp(20000, 1.0f);
  const std::vector<float> right = Ramp(20000, -1.0f);
  const uint8_t code = HoldRamButton(-1);  // held throughout
  const int64_t start = NowMillis();
  PlaySplitHeld(left, right, 20000, false, code, kSourceRamData);
  // 20,000 frames last 454 ms at 44.1 kHz; the position is polled every 5 ms.
  EXPECT_NEAR(static_cast<double>(NowMillis() - start), 20000 / kRealTime, 6);
  const std::vector<float>& played = Sound().played;
  ASSERT_EQ(played.size(), 40000u);
  for (size_t i = 0; i < 20000; i += 997) {
    EXPECT_EQ(played[2 * i], 0.5f * left[i]);
    EXPECT_EQ(played[2 * i + 1], 0.5f * right[i]);
  }
  EXPECT_EQ(played[2 * 19999], 0.5f * left[19999]);
  EXPECT_TRUE(Shown("MESSAGE: PLAYING RAM DATA"));
  EXPECT_TRUE(Shown("CURRENT POSITION: "));
  EXPECT_EQ(ProgressWidth(), kNoProgressBar);
  // The play button was marked while playing and has its normal look again.
  EXPECT_EQ(gInput.playColumn, -1);
  EXPECT_EQ(ButtonLabel(kRamButtonColumn, 1), "pRAM_WT");
  EXPECT_FALSE(SomethingPlays());
  EXPECT_FALSE(Sound().open);
  EXPECT_EQ(Sound().gain, 0.5f);
}

TEST_F(HoldToPlay, ReleasingTheButtonStopsALoopedSoundAtOnce) {
  const uint8_t code = HoldRamButton(300);
  const int64_t start = NowMillis();
  PlayTableHeld(tables, 0, code, kSourceXformTable);
  const int64_t held = NowMillis() - start;
  EXPECT_GE(held, 295);
  EXPECT_LE(held, 310);
  EXPECT_TRUE(Shown("MESSAGE: PLAYING FILE <USING REALTIME WAVE INTERPOLATION>"));
  EXPECT_TRUE(Sound().loop);
  EXPECT_EQ(Sound().loopBreaks, 1);
  EXPECT_FALSE(Sound().open);
  // What played: about 300 ms of the table, then a short fade.
  const size_t frames = Sound().played.size() / 2;
  EXPECT_GT(frames, static_cast<size_t>(290 * kRealTime));
  EXPECT_LT(frames, static_cast<size_t>(320 * kRealTime));
  EXPECT_EQ(Sound().played[0], 0.25f);
  EXPECT_LT(Sound().played[2 * (frames - 1)], 0.25f * 0.01f);
}

TEST_F(HoldToPlay, ShortSoundsShowNoPositionAndStillEnd) {
  const std::vector<float> mono = Ramp(4096, 1.0f);
  const uint8_t code = HoldRamButton(-1);
  const int64_t start = NowMillis();
  PlaySplitHeld(mono, mono, 4096, false, code, kSourceRamData);
  EXPECT_LT(NowMillis() - start, 110);  // 93 ms of sound
  EXPECT_FALSE(Shown("CURRENT POSITION: "));
  EXPECT_EQ(Sound().played.size(), 2u * 4096);
  EXPECT_FALSE(SomethingPlays());
}

TEST_F(HoldToPlay, WithoutDeviceTheMessageStaysUntilTheButtonIsReleased) {
  Sound().deviceNames.clear();
  Sound().opens = 0;  // the set-up's device test opened the one there was
  ASSERT_EQ(TestPlaybackDevices(), 0);
  const uint8_t code = HoldRamButton(250);
  const int64_t start = NowMillis();
  PlayTableHeld(tables, 0, code, kSourceRamData);
  EXPECT_NEAR(static_cast<double>(NowMillis() - start), 250, 11);
  EXPECT_TRUE(Shown("MESSAGE: SOUND DEVICE NOT AVAILABLE"));
  EXPECT_EQ(CanvasPixel(20, 700), Palette(kBackground));  // the line is clear again
  EXPECT_EQ(Sound().opens, 0);
}

TEST_F(HoldToPlay, ADeviceThatFailsToOpenGivesNoData) {
  Sound().refusingDevices = {0};
  const uint8_t code = HoldRamButton(100);
  PlayScanHeld(tables, 1, 1, code, kSourceXformTable);
  EXPECT_TRUE(Shown("MESSAGE: NO DATA"));
  EXPECT_FALSE(Shown("PLAYING"));
}

TEST_F(HoldToPlay, ALostPositionPlaysOnUntilRelease) {
  const std::vector<float> mono = Ramp(8000, 1.0f);
  const uint8_t code = HoldRamButton(400);
  const int64_t start = NowMillis();
  // An interface unplugged while it plays no longer tells its position.
  ASSERT_TRUE(PlaySplit(mono, mono, 8000, false));
  Sound().positionLost = true;
  PlayOrReport(code, kSourceRamData);
  EXPECT_NEAR(static_cast<double>(NowMillis() - start), 400, 11);
  EXPECT_FALSE(SomethingPlays());
}

TEST_F(HoldToPlay, ADeviceThatHangsOnStopIsDroppedWithAMessage) {
  const uint8_t code = HoldRamButton(50);
  ASSERT_TRUE(PlayTable(tables, 0, true));
  Sound().teardownHangs = true;
  const int64_t start = NowMillis();
  PlayOrReport(code, kSourceRamData);
  EXPECT_GE(NowMillis() - start, 1050);
  EXPECT_LT(NowMillis() - start, 1150);
  EXPECT_TRUE(Shown("MESSAGE: SOUND DEVICE NOT AVAILABLE"));
  EXPECT_EQ(Sound().drops, 1);
  EXPECT_FALSE(SomethingPlays());
  // The next play opens the device again.
  Sound().teardownHangs = false;
  EXPECT_TRUE(PlayTable(tables, 0, true));
}

TEST_F(HoldToPlay, ScanOfOneTablePlaysItOnceAsAWaveFile) {
  const std::vector<float> twoTables(2 * kTableFloats, 0.25f);
  const uint8_t code = HoldRamButton(100);
  PlayScanHeld(twoTables, 8, 1, code, kSourceXformTable);
  EXPECT_TRUE(Shown("MESSAGE: PLAYING FILE <WAVE DATA>"));
  EXPECT_FALSE(Sound().loop);
  EXPECT_EQ(Sound().totalFrames, kTableFrames);
  const uint8_t again = HoldRamButton(100);
  PlayScanHeld(twoTables, 8, 2, again, kSourceXformTable);
  EXPECT_EQ(Sound().totalFrames, kTableFrames / 8);
}

TEST_F(HoldToPlay, FileEntriesCheckTheSelectionAndLoopShortFiles) {
  const std::vector<float> mono = Ramp(3000, 1.0f);
  uint8_t code = HoldRamButton(100);
  PlayFileHeld(-1, mono, mono, 3000, code, kSourceWaveFile);
  EXPECT_TRUE(Shown("MESSAGE: NO FILE SELECTED"));
  EXPECT_EQ(Sound().starts, 0);
  SleepMillis(200);
  code = HoldRamButton(100);
  PlayFileHeld(4, mono, mono, 3000, code, kSourceSingleCycle);
  EXPECT_TRUE(Sound().loop);
  EXPECT_TRUE(Shown("MESSAGE: PLAYING FILE <WAVE DATA, RESAMPLED TO 172.265625 HZ>"));
}

TEST_F(HoldToPlay, RamWavetablePlaysItsStretchedLengthOnce) {
  RamWavetable ram;
  AllocateRamWavetable(ram);
  ram.samples[0] = 0.5f;
  const uint8_t code = HoldRamButton(50);
  PlayRamWavetableHeld(ram, 4, code);
  EXPECT_EQ(Sound().totalFrames, 4 * 8192 + 256);
  EXPECT_FALSE(Sound().loop);
  EXPECT_EQ(Sound().played[0], 0.5f);
  EXPECT_EQ(Sound().played[1], 0.5f);  // mono on both channels
  EXPECT_TRUE(Shown("MESSAGE: PLAYING RAM DATA"));
}

TEST_F(HoldToPlay, VolumeAndSpeedStepWithinTheirLimits) {
  // {volume before, button, volume after, value shown, message}: 1/64 .. 1 in doublings.
  const std::tuple<float, int, float, const char*, const char*> volumes[] = {
      {1.0f / 64, 1, 1.0f / 64, nullptr, "MESSAGE: MIN VALUE"}, {1.0f / 64, 2, 1.0f / 32, "2", nullptr},
      {1.0f, 2, 1.0f, "64", "MESSAGE: MAX VALUE"}};
  for (const auto& [before, button, after, shown, message] : volumes) {
    Headless().texts.clear();
    gApp.settings.playbackVolume = before;
    EXPECT_TRUE(HandleVolumeButton(button));
    EXPECT_EQ(gApp.settings.playbackVolume, after);
    if (shown) {
      EXPECT_EQ(Headless().texts.back().text, shown);
    }
    if (message) {
      EXPECT_TRUE(Shown(message));
    }
  }
  ASSERT_FALSE(TextsContaining("PLAYBACK VOLUME:").empty());
  EXPECT_EQ(TextsContaining("PLAYBACK VOLUME:").back().x, 7);
  EXPECT_EQ(TextsContaining("PLAYBACK VOLUME:").back().y, 80);
  EXPECT_FALSE(HandleVolumeButton(3));

  // {stretch before, button, handled, stretch after, value shown}: 32 is the slowest, shown as 01.
  const std::tuple<int32_t, int, bool, int32_t, const char*> speeds[] = {
      {32, 9, false, 32, "01"}, {1, 10, false, 1, "32"}, {16, 9, true, 17, "16"}, {17, 10, true, 16, "17"}};
  for (const auto& [before, button, handled, after, shown] : speeds) {
    int32_t stretch = before;
    EXPECT_EQ(HandleRamSpeedButton(button, stretch), handled) << before;
    EXPECT_EQ(stretch, after);
    EXPECT_EQ(Headless().texts.back().text, shown) << before;
  }
  EXPECT_TRUE(Shown("MESSAGE: MIN VALUE"));
  ASSERT_FALSE(TextsContaining("SPEED <RAM WT PLAYBACK>:").empty());
  EXPECT_EQ(TextsContaining("SPEED <RAM WT PLAYBACK>:").back().x, 521);
  EXPECT_EQ(TextsContaining("SPEED <RAM WT PLAYBACK>:").back().y, 61);
}

TEST_F(HoldToPlay, SoundDeviceField) {
  Sound().deviceNames.clear();
  TestPlaybackDevices();
  ShowSoundDevice();
  EXPECT_TRUE(Shown("NO VALID DEVICE FOUND"));
  Sound().deviceNames = {"Speakers (USB)", "Line Out"};
  TestPlaybackDevices();
  gApp.settings.playbackDeviceIndex = 1;
  ShowSoundDevice();
  EXPECT_EQ(TextsContaining("SOUND DEVICE:").back().x, 521);
  EXPECT_EQ(TextsContaining("SOUND DEVICE:").back().y, 23);
  EXPECT_EQ(Headless().texts.back().text, "LINE OUT");
  gApp.settings.playbackDeviceIndex = 0;
  ShowSoundDevice();
  EXPECT_EQ(Headless().texts.back().text, "SPEAKERS <USB>");
}

TEST_F(HoldToPlay, PrelistenPlaysTheSelectionOnlyWhileAModifierIsHeld) {
  SetButton(7, 1, "pFILE");
  const std::vector<float> threeTables(3 * kTableFloats, 0.125f);
  const std::vector<float> cycle = Ramp(600, 1.0f);
  int loads = 0;
  BrowserList list;
  list.category = 13;
  list.selected = 2;
  const PrelistenLoad loadTables = [&](PrelistenSource& source) {
    ++loads;
    source.tables = threeTables;
    source.tableCount = 3;
    source.scanSpeed = 16;
    return true;
  };
  // DOWN without a modifier moves the selection but plays nothing.
  ScriptKeyDown(kKeyDown);
  SleepMillis(5);
  ASSERT_TRUE(PollInput(true, false));
  EXPECT_FALSE(Prelisten(loadTables, PageEvent::Selection(), list, 20));
  EXPECT_EQ(loads, 0);
  // With CTRL held it plays; the list's loop holds it.
  ScriptKeyDown(kKeyControl);
  SleepMillis(5);
  EXPECT_FALSE(Prelisten(loadTables, PageEvent{}, list, 20));  // only on a changed selection
  EXPECT_TRUE(Prelisten(loadTables, PageEvent::Selection(), list, 20));
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(gPlayback.playingFrames, 2 * 131072 / 16);
  EXPECT_TRUE(Shown("MESSAGE: PLAYING FILE <USING REALTIME WAVE INTERPOLATION>"));
  EXPECT_EQ(gInput.playColumn, 7);
  ScriptKeyUp(kKeyDown, 100);
  HoldAndStop();
  EXPECT_FALSE(SomethingPlays());
  EXPECT_EQ(gInput.playColumn, -1);

  // A single cycle loops; with prelistening off, or no selection, nothing plays.
  list.category = 2;
  const PrelistenLoad loadCycle = [&](PrelistenSource& source) {
    source.left = cycle;
    source.right = cycle;
    source.frames = 600;
    return true;
  };
  ScriptKeyDown(kKeyDown);
  SleepMillis(5);
  PollInput(true, false);
  EXPECT_TRUE(Prelisten(loadCycle, PageEvent::Selection(), list, 22));
  EXPECT_TRUE(Sound().loop);
  EXPECT_TRUE(Shown("MESSAGE: PLAYING FILE <WAVE DATA, RESAMPLED TO 172.265625 HZ>"));
  ScriptKeyUp(kKeyDown, 20);
  HoldAndStop();
  gApp.settings.prelistenOn = 0;
  EXPECT_FALSE(Prelisten(loadCycle, PageEvent::Selection(), list, 22));
  gApp.settings.prelistenOn = 1;
  list.selected = -1;
  EXPECT_FALSE(Prelisten(loadCycle, PageEvent::Selection(), list, 22));
  list.selected = 0;
  EXPECT_FALSE(Prelisten([](PrelistenSource&) { return false; }, PageEvent::Selection(), list, 22));
  EXPECT_FALSE(SomethingPlays());
}
