// The sound card through SDL's audio callback. The callback runs on SDL's
// own audio thread and reads the one playing buffer through a SoundStream;
// the main thread and that thread share nothing else.
#include <SDL.h>

#include <thread>

#include "platform/clock.h"
#include "platform/sound_output.h"
#include "platform/sound_stream.h"

namespace {

// Frames per callback: about 23 ms, short enough for a quick start, long
// enough not to starve on a busy machine.
constexpr Uint16 kCallbackFrames = 1024;
// After a sound falls quiet, this much silence beyond two callback buffers
// goes out before the device stops, so that what the sound system still
// holds of the sound (its last samples, or the fade) reaches the speakers.
constexpr int64_t kDrainMarginFrames = 2205;  // 50 ms
constexpr int kRestLimitMillis = 500;
constexpr int kRestPollMillis = 2;

struct SdlSound {
  bool initialised = false;
  SDL_AudioDeviceID device = 0;
  SoundStream* stream = nullptr;  // one per opened device; the callback's user data
  int64_t drainFrames = 0;
};

// Never destroyed: the audio thread of a dropped device may still run at exit.
SdlSound& gSound = *new SdlSound;

void SDLCALL FeedCallback(void* userData, Uint8* bytes, int length) {
  auto* stream = static_cast<SoundStream*>(userData);
  FeedSoundStream(*stream, std::span<float>(reinterpret_cast<float*>(bytes),
                                            static_cast<size_t>(length) / sizeof(float)));
}

bool EnsureAudio() {
  if (gSound.initialised) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  gSound.initialised = true;
  return true;
}

// The default output's name as the driver reports it.
std::string DefaultDeviceName() {
#if SDL_VERSION_ATLEAST(2, 24, 0)
  char* name = nullptr;
  SDL_AudioSpec defaultFormat{};
  if (SDL_GetDefaultAudioInfo(&name, &defaultFormat, 0) == 0 && name) {
    std::string text = name;
    SDL_free(name);
    if (!text.empty()) return text;
  }
#endif
  const char* driver = SDL_GetCurrentAudioDriver();
  return driver ? driver : "default";
}

bool DeviceLost() { return SDL_GetAudioDeviceStatus(gSound.device) == SDL_AUDIO_STOPPED; }

void ForgetStream() {
  delete gSound.stream;
  gSound.stream = nullptr;
  gSound.device = 0;
}

}  // namespace

std::vector<SoundDeviceEntry> ListSoundDevices() {
  std::vector<SoundDeviceEntry> devices;
  if (!EnsureAudio()) return devices;
  const int count = SDL_GetNumAudioDevices(0);
  for (int index = 0; index < count; ++index) {
    const char* name = SDL_GetAudioDeviceName(index, 0);
    devices.push_back({index, name ? name : ""});
  }
  // Some drivers open a default output without listing anything.
  if (devices.empty()) devices.push_back({kDefaultSoundDevice, DefaultDeviceName()});
  return devices;
}

int OpenSoundDevice(int id) {
  if (!EnsureAudio()) return kSoundNoSystem;
  if (gSound.device != 0) CloseSoundDevice();
  const char* name = nullptr;
  if (id != kDefaultSoundDevice) {
    name = SDL_GetAudioDeviceName(id, 0);
    if (!name) return kSoundOpenFailed;
  }
  auto* stream = new SoundStream;
  SDL_AudioSpec want{};
  want.freq = kSoundRate;
  want.format = AUDIO_F32SYS;
  want.channels = kSoundChannels;
  want.samples = kCallbackFrames;
  want.callback = FeedCallback;
  want.userdata = stream;
  SDL_AudioSpec have{};
  // No changes allowed: SDL converts to whatever the card takes, so the
  // buffer is always 44,100 Hz float stereo.
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
  if (device == 0) {
    delete stream;
    return kSoundOpenFailed;
  }
  gSound.device = device;
  gSound.stream = stream;
  gSound.drainFrames = 2 * static_cast<int64_t>(have.samples > 0 ? have.samples : kCallbackFrames) + kDrainMarginFrames;
  return kSoundOk;
}

int StartSoundBuffer(const float* data, int64_t frames, int64_t readyFrames, bool loop, float gain) {
  if (gSound.device == 0) return kSoundNotOpen;
  if (!data || frames <= 0) return kSoundBadBuffer;
  SDL_PauseAudioDevice(gSound.device, 1);  // the callback is not running after this
  BeginSoundStream(*gSound.stream, data, frames, readyFrames, loop, gain);
  SDL_PauseAudioDevice(gSound.device, 0);
  return kSoundOk;
}

void SetSoundFramesReady(int64_t readyFrames) {
  if (gSound.stream) PublishReadyFrames(*gSound.stream, readyFrames);
}

int64_t SoundPosition() {
  if (gSound.device == 0 || DeviceLost()) return -1;
  return gSound.stream->consumed.load(std::memory_order_acquire);
}

int BreakSoundLoop() {
  if (gSound.device == 0) return kSoundNotOpen;
  gSound.stream->loop.store(false, std::memory_order_release);
  return kSoundOk;
}

int ResetSound() {
  if (gSound.device == 0) return kSoundNotOpen;
  SoundStream& stream = *gSound.stream;
  if (CurrentPhase(stream) != StreamPhase::Idle) {
    if (DeviceLost()) return kSoundStillBusy;
    RequestStreamStop(stream);
    const int64_t until = NowMillis() + kRestLimitMillis;
    while (!(CurrentPhase(stream) == StreamPhase::Quiet &&
             stream.quietFrames.load(std::memory_order_relaxed) >= gSound.drainFrames)) {
      if (NowMillis() >= until || DeviceLost()) return kSoundStillBusy;
      SleepMillis(kRestPollMillis);
    }
  }
  SDL_PauseAudioDevice(gSound.device, 1);
  EndSoundStream(stream);
  return kSoundOk;
}

int CloseSoundDevice() {
  if (gSound.device == 0) return kSoundNotOpen;
  SDL_CloseAudioDevice(gSound.device);  // waits for the audio thread to end
  ForgetStream();
  return kSoundOk;
}

void DropSoundDevice() {
  if (gSound.device == 0) return;
  // The device does not answer: its thread may hang in the driver, so it is
  // closed on a thread of its own, and its stream reads the buffer no more.
  EndSoundStream(*gSound.stream);
  const SDL_AudioDeviceID device = gSound.device;
  gSound.stream = nullptr;  // left to the closing thread's callback, never freed
  gSound.device = 0;
  std::thread([device] { SDL_CloseAudioDevice(device); }).detach();
}

void ShutDownSound() {
  if (gSound.device != 0) CloseSoundDevice();
  if (gSound.initialised) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  gSound.initialised = false;
}
