#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

#include "audio/play_calls.h"
#include "audio/playback_devices.h"
#include "audio/playback_state.h"
#include "ui/hold_to_play.h"
#include "ui/message_line.h"
#include "ui/playback_status.h"
#include "ui/prelisten.h"
#include "ui/ui_fixture.h"

namespace {

constexpr double kRealTime = 44.1;  // frames per millisecond
constexpr int kRamButtonColumn = 9;
constexpr uint8_t kRamButtonCode = 22;

std::vector<float> Ramp(size_t frames) {
  std::vector<float> samples(frames);
  for (size_t i = 0; i < frames; ++i) samples[i] = static_cast<float>(i % 1000) / 1000.0f;
  return samples;
}

class HoldToPlay : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    gPlayback = PlaybackState{};
    SetButton(kRamButtonColumn, 1, "pRAM_WT");
    ASSERT_EQ(FreshDevices(), 1);  // the backend's one device
  }
  void TearDown() override {
    gPlayback = PlaybackState{};
    UiTest::TearDown();
  }

  static HeadlessSound& Sound() { return Headless().sound; }

  // A clean message line and the backend's devices as new (for each case of a table): how many.
  static int FreshDevices() {
    Headless().texts.clear();
    Sound() = HeadlessSound{};
    Sound().framesPerMillisecond = kRealTime;
    return TestPlaybackDevices();
  }

  // CTRL + F10 down, polled as a page would, let go releaseAfter ms later: `play`'s held milliseconds.
  static int64_t HeldFor(int64_t releaseAfter, const std::function<void(uint8_t)>& play) {
    PollInput(false, false);  // the page loop notices that an earlier key went up
    ScriptKeyDown(kKeyControl);
    ScriptKeyDown(FunctionKey(10), 5);
    SleepMillis(10);
    EXPECT_TRUE(PollInput(true, false));
    uint8_t code = kNoEvent;
    EXPECT_EQ(TranslateButton(code), kRamButtonCode);
    ScriptKeyUp(FunctionKey(10), releaseAfter);
    const int64_t start = NowMillis();
    play(code);
    return NowMillis() - start;
  }

  const std::vector<float> tables = std::vector<float>(2 * kTableFloats, 0.25f);
};

}  // namespace

// Not looped, a sound ends at its last sample with the button held; over 4096 frames the position shows.
TEST_F(HoldToPlay, ASoundEndsAtItsLastSampleOrWhenReleasedIfLooped) {
  for (const int frames : {20000, 4097, 4096}) {
    SCOPED_TRACE(frames);
    FreshDevices();
    const std::vector<float> mono = Ramp(static_cast<size_t>(frames));
    // Released long after the sound's end (454 ms at most).
    const int64_t held = HeldFor(600, [&](uint8_t code) { PlaySplitHeld(mono, mono, frames, false, code, kSourceRamData); });
    EXPECT_NEAR(static_cast<double>(held), frames / kRealTime, 8);  // the position is polled every 5 ms
    EXPECT_EQ(Sound().played.size(), 2u * frames);
    EXPECT_TRUE(Shown("MESSAGE: PLAYING RAM DATA"));
    EXPECT_EQ(Shown("CURRENT POSITION: "), frames > 4096);
    EXPECT_EQ(ProgressWidth(), kNoProgressBar);
    // The play button was marked while playing and has its normal look again.
    EXPECT_EQ(std::pair(gInput.playColumn, ButtonLabel(kRamButtonColumn, 1)), std::pair(-1, std::string("pRAM_WT")));
    EXPECT_FALSE(SomethingPlays() || Sound().open);
    SleepMillis(600);
  }
  // Releasing the button stops a looped sound at once.
  FreshDevices();
  const int64_t held = HeldFor(300, [&](uint8_t code) { PlayTableHeld(tables, 0, code, kSourceXformTable); });
  EXPECT_TRUE(held >= 295 && held <= 310) << held;
  EXPECT_TRUE(Shown("MESSAGE: PLAYING FILE <USING REALTIME WAVE INTERPOLATION>"));
  EXPECT_EQ(std::tuple(Sound().loop, Sound().loopBreaks, Sound().open), std::tuple(true, 1, false));
  // About 300 ms of the table and a short fade.
  EXPECT_NEAR(static_cast<double>(Sound().played.size() / 2), 305 * kRealTime, 15 * kRealTime);
}

TEST_F(HoldToPlay, FailingDevicesReportAndHoldUntilRelease) {
  const std::vector<float> mono = Ramp(8000);
  struct Case {
    const char* name;
    std::function<void()> breakDevice;  // none: the position is lost while it plays
    int64_t releaseAfter, minMillis, maxMillis;
    bool played, lineKept;
    const char* message;
  };
  // Failures report until release, a lost position plays on, a device hanging on stop is dropped after 1 s.
  const Case cases[] = {
      {"fails to open", [] { Sound().refusingDevices = {0}; }, 100, 90, 111, false, false, "MESSAGE: NO DATA"},
      {"position lost", nullptr, 400, 389, 411, true, false, "MESSAGE: PLAYING RAM DATA"},
      {"hangs on stop", [] { Sound().teardownHangs = true; }, 50, 1050, 1150, true, true,
       "MESSAGE: SOUND DEVICE NOT AVAILABLE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FreshDevices();
    Sound().opens = 0;  // the device test's own opening
    if (c.breakDevice) c.breakDevice();
    const int64_t held = HeldFor(c.releaseAfter, [&](uint8_t code) {  // 8,000 frames not looped: 181 ms
      if (c.breakDevice) return PlaySplitHeld(mono, mono, 8000, false, code, kSourceRamData);
      ASSERT_TRUE(PlaySplit(mono, mono, 8000, false));
      Sound().positionLost = true;  // an interface unplugged while it plays
      PlayOrReport(code, kSourceRamData);
    });
    EXPECT_TRUE(held >= c.minMillis && held <= c.maxMillis) << held;
    EXPECT_TRUE(Shown(c.message));
    EXPECT_EQ(std::pair(Shown("PLAYING"), Sound().opens > 0), std::pair(c.played, c.played));
    int inked = 0;  // on the message line
    for (int x = 2; x < 400; ++x) inked += CanvasPixel(x, 700) != Palette(kBackground);
    EXPECT_EQ(inked > 0, c.lineKept);  // a failure's message goes with the release, a dropped device's stays
    EXPECT_FALSE(SomethingPlays());
  }
  EXPECT_EQ(Sound().drops, 1);  // the hanging device of the last case
}

// Each source plays with its own message, looped or once, at its length.
TEST_F(HoldToPlay, SourcesPlayWithTheirMessageAndLength) {
  const std::vector<float> mono = Ramp(3000);
  struct Case { std::function<void(uint8_t)> play; const char* message; bool loop; int64_t totalFrames; };
  const Case cases[] = {
      {[&](uint8_t code) { PlayScanHeld(tables, 8, 1, code, kSourceXformTable); }, "MESSAGE: PLAYING FILE <WAVE DATA>",
       false, kTableFrames},  // a scan of one table plays it once
      {[&](uint8_t code) { PlayScanHeld(tables, 8, 2, code, kSourceXformTable); },
       "MESSAGE: PLAYING FILE <USING REALTIME WAVE INTERPOLATION>", false, kTableFrames / 8},
      {[&](uint8_t code) { PlayFileHeld(4, mono, mono, 3000, code, kSourceSingleCycle); },
       "MESSAGE: PLAYING FILE <WAVE DATA, RESAMPLED TO 172.265625 HZ>", true, 3000},
      {[&](uint8_t code) { PlayFileHeld(-1, mono, mono, 3000, code, kSourceWaveFile); }, "MESSAGE: NO FILE SELECTED",
       false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    FreshDevices();
    HeldFor(100, c.play);
    EXPECT_TRUE(Shown(c.message));
    EXPECT_EQ(std::pair(Sound().loop, Sound().totalFrames), std::pair(c.loop, c.totalFrames));
    SleepMillis(50);  // the next hold must find the key up
  }
  EXPECT_EQ(Sound().starts, 0);  // no file selected: nothing started
}

TEST_F(HoldToPlay, VolumeSpeedAndDeviceFields) {
  EXPECT_FALSE(HandleVolumeButton(3));  // not a volume button (its steps: the module loop tests)
  // {stretch before, button, handled, stretch after, value shown}: 32 is the slowest, shown as 01.
  for (const auto& [before, button, handled, after, shown] :
       {std::tuple(32, 9, false, 32, "01"), std::tuple(1, 10, false, 1, "32"), std::tuple(16, 9, true, 17, "16"),
        std::tuple(17, 10, true, 16, "17")}) {
    int32_t stretch = before;
    const bool got = HandleRamSpeedButton(static_cast<uint8_t>(button), stretch);
    EXPECT_EQ(std::tuple(got, stretch, LastText()), std::tuple(handled, after, std::string(shown))) << before;
  }
  EXPECT_TRUE(Shown("MESSAGE: MIN VALUE"));
  ExpectTextAt("SPEED <RAM WT PLAYBACK>:", 521, 61);

  ShowSoundDevice();  // names: the utility page; here where the field lies
  ExpectTextAt("SOUND DEVICE:", 521, 23);
}

TEST_F(HoldToPlay, PrelistenPlaysTheSelectionOnlyWhileAModifierIsHeld) {
  SetButton(7, 1, "pFILE");
  const std::vector<float> threeTables(3 * kTableFloats, 0.125f);
  const std::vector<float> cycle = Ramp(600);
  int loads = 0;
  BrowserList list;
  list.category = 13;
  list.selected = 2;
  const PrelistenLoad loadTables = [&](PrelistenSource& source) {
    source = PrelistenSource{threeTables, 3, 16, {}, {}, 0};
    return ++loads > 0;
  };
  const auto pressDown = [] { ScriptKeyDown(kKeyDown); SleepMillis(5); return PollInput(true, false); };
  ASSERT_TRUE(pressDown());  // DOWN without a modifier: nothing plays
  EXPECT_FALSE(Prelisten(loadTables, PageEvent::Selection(), list, 20));
  EXPECT_EQ(loads, 0);
  ScriptKeyDown(kKeyControl);  // with CTRL it plays, on a changed selection only
  SleepMillis(5);
  EXPECT_FALSE(Prelisten(loadTables, PageEvent{}, list, 20));
  EXPECT_TRUE(Prelisten(loadTables, PageEvent::Selection(), list, 20));
  EXPECT_EQ(std::pair(loads, gPlayback.playingFrames), std::pair(1, int64_t{2 * 131072 / 16}));
  EXPECT_TRUE(Shown("MESSAGE: PLAYING FILE <USING REALTIME WAVE INTERPOLATION>"));
  EXPECT_EQ(gInput.playColumn, 7);
  ScriptKeyUp(kKeyDown, 100);
  HoldAndStop();
  EXPECT_FALSE(SomethingPlays() || gInput.playColumn != -1);

  // A single cycle loops; with prelistening off, no selection or a failed load, nothing plays.
  list.category = 2;
  const PrelistenLoad loadCycle = [&](PrelistenSource& source) {
    source = PrelistenSource{{}, 0, 1, cycle, cycle, 600};
    return true;
  };
  pressDown();
  EXPECT_TRUE(Prelisten(loadCycle, PageEvent::Selection(), list, 22));
  EXPECT_TRUE(Sound().loop);
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
