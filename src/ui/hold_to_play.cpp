#include "ui/hold_to_play.h"

#include <algorithm>

#include "audio/play_calls.h"
#include "audio/playback_controls.h"
#include "audio/playback_state.h"
#include "audio/playback_teardown.h"
#include "platform/clock.h"
#include "ui/button_bar.h"
#include "ui/input.h"
#include "ui/message_line.h"
#include "ui/progress.h"

namespace {

void RestorePlayButton() {
  if (gInput.playColumn < 0) return;
  SetButton(gInput.playColumn, 1, gInput.playLabel);
  gInput.playColumn = -1;
  gInput.playLabel.clear();
}

void WaitForRelease() {
  while (ButtonStillHeld()) SleepMillis(kReleasePollMillis);
}

}  // namespace

void HoldAndStop() {
  if (!SomethingPlays()) return;
  const int64_t frames = gPlayback.playingFrames;
  const bool showsPosition = frames >= kMinPositionFrames;
  int64_t position = 0;
  // Releasing the button ends even a looped sound; a sound that is not
  // looped ends by itself at its last frame. A device that cannot tell its
  // position (-1) plays on until the button is released.
  while (gPlayback.looped || position < frames) {
    if (!ButtonStillHeld()) break;
    if (showsPosition) {
      ShowProgress(kPositionLabel, static_cast<double>(std::max<int64_t>(position, 0) % frames),
                   static_cast<double>(frames - 1));
    }
    SleepMillis(kPositionPollMillis);
    position = PlaybackFrames();
  }
  ShowProgress(nullptr, 0, 0);
  RestorePlayButton();
  uint8_t message = StopPlayback();
  if (message != kMsgNone) ShowMessage(message);
}

void PlayInfo(uint8_t code, int kind) {
  if (!SomethingPlays()) return;
  MarkPlayButton(code);
  const PlayMessage shown = PlayMessageFor(kind);
  uint8_t number = shown.number;
  ShowMessage(number, shown.appended);
}

void PlayOrReport(uint8_t code, int kind) {
  if (SomethingPlays()) {
    PlayInfo(code, kind);
    HoldAndStop();
    return;
  }
  uint8_t message = PlaybackBufferPresent() ? kMsgNoData : kMsgSoundDeviceNotAvailable;
  ShowMessage(message);
  WaitForRelease();
  ClearMessageLine();
}

void PlayTableHeld(std::span<const float> tables, int index, uint8_t code, int kind) {
  PlayTable(tables, index, true);
  PlayOrReport(code, kind);
}

void PlayScanHeld(std::span<const float> tables, int32_t speed, int count, uint8_t code, int kind) {
  if (count < 2) {
    PlayTable(tables, 0, false);
    kind = kSourceWaveFile;
  } else {
    PlayScan(tables, speed, count);
  }
  PlayOrReport(code, kind);
}

void PlaySplitHeld(std::span<const float> left, std::span<const float> right, int64_t frames, bool loop, uint8_t code,
                   int kind) {
  PlaySplit(left, right, frames, loop);
  PlayOrReport(code, kind);
}

void PlayFileHeld(int selected, std::span<const float> left, std::span<const float> right, int64_t frames,
                  uint8_t code, int kind) {
  if (selected < 0) {
    uint8_t message = kMsgNoFileSelected;
    ShowMessage(message);
    return;
  }
  PlaySplitHeld(left, right, frames, frames < kMinPositionFrames, code, kind);
}

void PlayRamWavetableHeld(const RamWavetable& ram, int32_t stretch, uint8_t code) {
  const std::span<const float> samples(ram.samples);
  PlaySplitHeld(samples, samples, RamPlaybackFrames(stretch), false, code, kSourceRamData);
}
