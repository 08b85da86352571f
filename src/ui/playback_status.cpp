#include "ui/playback_status.h"

#include <string>

#include "audio/playback_controls.h"
#include "audio/playback_devices.h"
#include "core/app_globals.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"
#include "wavetable/ram_wavetable.h"

namespace {

constexpr uint8_t kLowerVolumeCode = 1;
constexpr uint8_t kRaiseVolumeCode = 2;
constexpr uint8_t kSlowerSpeedCode = 9;
constexpr uint8_t kFasterSpeedCode = 10;
constexpr int kVolumeWidth = 3;
constexpr int kSpeedWidth = 3;

void Report(MessageCode result) {
  uint8_t message = result;
  if (message != kMsgNone) ShowMessage(message);
}

}  // namespace

void ShowSoundDevice() {
  const std::string name = SelectedDeviceName();
  DrawWideStatusField(2, 0, "SOUND DEVICE:", name.empty() ? "NO VALID DEVICE FOUND" : name);
}

void ShowPlaybackVolume() {
  DrawStatusValue(0, 3, "PLAYBACK VOLUME:", "%.0f", ShownVolume(gApp.settings.playbackVolume), kVolumeWidth);
}

void ShowRamSpeed(int32_t stretch) {
  DrawStatusValue(2, 2, "SPEED <RAM WT PLAYBACK>:", "%.2d", ShownSpeed(stretch), kSpeedWidth);
}

bool HandleVolumeButton(uint8_t code) {
  if (code != kLowerVolumeCode && code != kRaiseVolumeCode) return false;
  float& volume = gApp.settings.playbackVolume;
  Report(code == kLowerVolumeCode ? LowerVolume(volume) : RaiseVolume(volume));
  ShowPlaybackVolume();
  return true;
}

bool HandleRamSpeedButton(uint8_t code, int32_t& stretch) {
  if (code != kSlowerSpeedCode && code != kFasterSpeedCode) return false;
  const int32_t before = stretch;
  Report(code == kSlowerSpeedCode ? SlowerRamPlayback(stretch) : FasterRamPlayback(stretch));
  ShowRamSpeed(stretch);
  return stretch != before;
}
