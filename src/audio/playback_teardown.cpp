#include "audio/playback_teardown.h"

#include "audio/playback_state.h"
#include "platform/clock.h"
#include "platform/sound_output.h"

namespace {

bool RetryUntilDone(int (*call)()) {
  const int64_t until = NowMillis() + kTeardownLimitMillis;
  while (call() != kSoundOk) {
    if (NowMillis() >= until) return false;
    SleepMillis(kTeardownRetryMillis);
  }
  return true;
}

void ForgetSound() {
  gPlayback.deviceOpen = false;
  gPlayback.playingFrames = 0;
  gPlayback.looped = false;
}

}  // namespace

int64_t PlaybackFrames() {
  if (!gPlayback.deviceOpen) return -1;
  return SoundPosition();
}

bool CloseDevice() {
  if (!gPlayback.deviceOpen) return true;
  const bool closed = RetryUntilDone(CloseSoundDevice);
  if (!closed) DropSoundDevice();
  ForgetSound();
  return closed;
}

MessageCode StopPlayback() {
  if (!gPlayback.deviceOpen) {
    ForgetSound();
    return kMsgNone;
  }
  bool answered = true;
  if (gPlayback.looped) answered = RetryUntilDone(BreakSoundLoop);
  if (answered) answered = RetryUntilDone(ResetSound);
  if (answered) return CloseDevice() ? kMsgNone : kMsgSoundDeviceNotAvailable;
  DropSoundDevice();
  ForgetSound();
  return kMsgSoundDeviceNotAvailable;
}
