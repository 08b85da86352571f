#include "ui/pages/playback_link.h"

#include "ui/input.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/vorta_workspace.h"

namespace {

constexpr float kMinVolume = 1.0f / 64.0f;
constexpr float kMaxVolume = 1.0f;

}  // namespace

MessageCode LowerPlaybackVolume(float& volume) {
  if (!(volume > kMinVolume)) return kMsgMinValue;
  volume *= 0.5f;
  return kMsgNone;
}

MessageCode RaisePlaybackVolume(float& volume) {
  if (!(volume < kMaxVolume)) return kMsgMaxValue;
  volume *= 2.0f;
  return kMsgNone;
}

double ShownPlaybackVolume(float volume) { return static_cast<double>(volume) * 64.0; }

MessageCode SlowerTablePlayback(int32_t& stretch) {
  if (stretch >= kMaxStretch) return kMsgMinValue;
  ++stretch;
  return kMsgNone;
}

MessageCode FasterTablePlayback(int32_t& stretch) {
  if (stretch <= kMinStretch) return kMsgMaxValue;
  --stretch;
  return kMsgNone;
}

// Until the playback engine is part of the program there is no device.
int PlaybackDeviceCount() { return 0; }

std::string PlaybackDeviceName() { return {}; }

MessageCode NextPlaybackDevice(uint16_t& selected) {
  const int count = PlaybackDeviceCount();
  if (count == 0) return kMsgNoDevice;
  if (count == 1) return kMsgSingleDevice;
  selected = static_cast<uint16_t>((selected + 1) % count);
  return kMsgNone;
}

uint8_t PlayRamTable(const VortaWorkspace&) {
  return kMsgSoundDeviceNotAvailable;
}

int CountPlaybackDevices() { return 0; }

void PrelistenFile(int, const std::string&) {}
