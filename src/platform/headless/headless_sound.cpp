// The test sound card: the same stream logic as the real one, fed on request
// (or with the virtual clock) instead of by an audio thread, and recording
// every sample it would have sent to the speakers.
#include <algorithm>
#include <cmath>

#include "platform/headless/headless_platform.h"
#include "platform/sound_output.h"
#include "platform/sound_stream.h"

namespace {

constexpr int64_t kFeedChunkFrames = 4096;

SoundStream& Stream() {
  static SoundStream stream;
  return stream;
}

bool Listed(const std::vector<int>& ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

// One break, reset or close call: false while the test makes them fail.
bool TeardownAnswers() {
  HeadlessSound& sound = Headless().sound;
  if (sound.teardownHangs) return false;
  if (sound.failingTeardownCalls > 0) {
    --sound.failingTeardownCalls;
    return false;
  }
  return true;
}

// Feeds up to frames frames; the silence after the sound fell quiet is not
// recorded.
int64_t Feed(int64_t frames) {
  HeadlessSound& sound = Headless().sound;
  SoundStream& stream = Stream();
  std::vector<float> out;
  int64_t fed = 0;
  while (fed < frames && CurrentPhase(stream) != StreamPhase::Idle && CurrentPhase(stream) != StreamPhase::Quiet) {
    const int64_t chunk = std::min(kFeedChunkFrames, frames - fed);
    out.assign(static_cast<size_t>(chunk) * 2, 0.0f);
    const int64_t quietBefore = stream.quietFrames.load();
    FeedSoundStream(stream, out);
    const int64_t sounding = chunk - (stream.quietFrames.load() - quietBefore);
    sound.played.insert(sound.played.end(), out.begin(), out.begin() + sounding * 2);
    fed += chunk;
  }
  return fed;
}

void FollowClock() {
  HeadlessSound& sound = Headless().sound;
  if (sound.framesPerMillisecond <= 0 || CurrentPhase(Stream()) == StreamPhase::Idle) return;
  const auto due = static_cast<int64_t>(
      std::floor(static_cast<double>(Headless().clockMillis - sound.clockAtStart) * sound.framesPerMillisecond));
  if (due > sound.fedByClock) {
    Feed(due - sound.fedByClock);
    sound.fedByClock = due;
  }
}

}  // namespace

std::vector<SoundDeviceEntry> ListSoundDevices() {
  const HeadlessSound& sound = Headless().sound;
  std::vector<SoundDeviceEntry> devices;
  if (!sound.listsDevices) {
    devices.push_back({kDefaultSoundDevice, sound.defaultName});
    return devices;
  }
  for (size_t i = 0; i < sound.deviceNames.size(); ++i) devices.push_back({static_cast<int>(i), sound.deviceNames[i]});
  return devices;
}

int OpenSoundDevice(int id) {
  HeadlessSound& sound = Headless().sound;
  const bool known = sound.listsDevices ? id >= 0 && id < static_cast<int>(sound.deviceNames.size())
                                        : id == kDefaultSoundDevice;
  if (!known || Listed(sound.refusingDevices, id)) return kSoundOpenFailed;
  if (sound.open) CloseSoundDevice();
  EndSoundStream(Stream());
  sound.open = true;
  sound.openId = id;
  sound.positionLost = false;
  ++sound.opens;
  return kSoundOk;
}

int StartSoundBuffer(const float* data, int64_t frames, int64_t readyFrames, bool loop, float gain) {
  HeadlessSound& sound = Headless().sound;
  if (!sound.open) return kSoundNotOpen;
  if (!data || frames <= 0) return kSoundBadBuffer;
  BeginSoundStream(Stream(), data, frames, readyFrames, loop, gain);
  ++sound.starts;
  sound.totalFrames = frames;
  sound.readyAtStart = Stream().readyFrames.load();
  sound.loop = loop;
  sound.gain = gain;
  sound.played.clear();
  sound.clockAtStart = Headless().clockMillis;
  sound.fedByClock = 0;
  return kSoundOk;
}

void SetSoundFramesReady(int64_t readyFrames) {
  if (Headless().sound.open) PublishReadyFrames(Stream(), readyFrames);
}

int64_t SoundPosition() {
  HeadlessSound& sound = Headless().sound;
  if (!sound.open || sound.positionLost || Listed(sound.positionlessDevices, sound.openId)) return -1;
  FollowClock();
  return Stream().consumed.load();
}

int BreakSoundLoop() {
  HeadlessSound& sound = Headless().sound;
  if (!sound.open) return kSoundNotOpen;
  if (!TeardownAnswers()) return kSoundStillBusy;
  Stream().loop.store(false);
  ++sound.loopBreaks;
  return kSoundOk;
}

int ResetSound() {
  HeadlessSound& sound = Headless().sound;
  if (!sound.open) return kSoundNotOpen;
  if (!TeardownAnswers()) return kSoundStillBusy;
  FollowClock();
  if (CurrentPhase(Stream()) != StreamPhase::Idle) {
    RequestStreamStop(Stream());
    Feed(kSoundFadeFrames + 1);  // the fade goes to the card too
  }
  EndSoundStream(Stream());
  ++sound.resets;
  return kSoundOk;
}

int CloseSoundDevice() {
  HeadlessSound& sound = Headless().sound;
  if (!sound.open) return kSoundNotOpen;
  if (!TeardownAnswers()) return kSoundStillBusy;
  EndSoundStream(Stream());
  sound.open = false;
  ++sound.closes;
  return kSoundOk;
}

void DropSoundDevice() {
  HeadlessSound& sound = Headless().sound;
  if (!sound.open) return;
  EndSoundStream(Stream());
  sound.open = false;
  ++sound.drops;
}

void ShutDownSound() {
  if (Headless().sound.open) DropSoundDevice();
}

int64_t AdvanceHeadlessSound(int64_t frames) { return Feed(std::max<int64_t>(frames, 0)); }

int64_t HeadlessReadyFrames() { return Stream().readyFrames.load(); }

void ResetHeadlessSound() { EndSoundStream(Stream()); }
