#include "audio/playback_devices.h"

#include <vector>

#include "audio/playback_state.h"
#include "audio/playback_teardown.h"
#include "core/app_globals.h"
#include "core/checked_alloc.h"
#include "platform/sound_output.h"

namespace {

// Decodes one UTF-8 character at text[i]; code points that do not decode
// give 0xFFFD.
uint32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int more = 0;
  uint32_t code = 0;
  if ((lead & 0xE0) == 0xC0) {
    more = 1;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3;
    code = lead & 0x07;
  } else {
    return 0xFFFD;
  }
  for (int k = 0; k < more; ++k) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
    code = (code << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  return code;
}

char ScreenCharacter(uint32_t code) {
  if (code == '(') return '<';
  if (code == ')') return '>';
  if (code >= 'a' && code <= 'z') return static_cast<char>(code - 32);
  // Latin-1 small letters have their capitals 32 below (but the division sign
  // and the y with diaeresis have none).
  if (code >= 0xE0 && code <= 0xFE && code != 0xF7) return static_cast<char>(code - 32);
  if (code < 32 || code == 127 || code > 0xFF) return '?';
  return static_cast<char>(code);
}

int SelectedDevice() {
  const int selected = gApp.settings.playbackDeviceIndex;
  return selected < DeviceCount() ? selected : 0;
}

}  // namespace

std::string DeviceDisplayName(std::string_view systemName) {
  std::string shown;
  size_t i = 0;
  while (i < systemName.size() && shown.size() < kDeviceNameChars) {
    shown += ScreenCharacter(NextCodePoint(systemName, i));
  }
  return shown;
}

int TestPlaybackDevices() {
  if (SomethingPlays() || gPlayback.deviceOpen) StopPlayback();
  gPlayback.deviceIds.clear();
  gPlayback.deviceNames.clear();
  for (const SoundDeviceEntry& entry : ListSoundDevices()) {
    if (DeviceCount() >= kMaxPlaybackDevices) break;
    if (OpenSoundDevice(entry.id) != kSoundOk) continue;
    gPlayback.deviceOpen = true;
    if (SoundPosition() != -1) {
      gPlayback.deviceIds.push_back(entry.id);
      gPlayback.deviceNames.push_back(DeviceDisplayName(entry.name));
    }
    CloseDevice();
  }
  if (DeviceCount() == 0) {
    std::vector<float>().swap(gPlayback.buffer);
    return 0;
  }
  if (gPlayback.buffer.size() != kPlaybackBufferFloats) CheckedAlloc(gPlayback.buffer, kPlaybackBufferFloats);
  if (gApp.settings.playbackDeviceIndex >= DeviceCount()) gApp.settings.playbackDeviceIndex = 0;
  return DeviceCount();
}

int OpenPlayback() {
  if (DeviceCount() == 0) return kSoundNotOpen;
  const int result = OpenSoundDevice(gPlayback.deviceIds[static_cast<size_t>(SelectedDevice())]);
  gPlayback.deviceOpen = result == kSoundOk;
  return result;
}

std::string SelectedDeviceName() {
  if (DeviceCount() == 0) return {};
  return gPlayback.deviceNames[static_cast<size_t>(SelectedDevice())];
}

MessageCode StepPlaybackDevice(uint16_t& selected) {
  if (DeviceCount() == 0) return kMsgNoDevice;
  if (DeviceCount() == 1) return kMsgSingleDevice;
  selected = static_cast<uint16_t>((selected + 1) % DeviceCount());
  return kMsgNone;
}

void ReleasePlayback() {
  StopPlayback();
  std::vector<float>().swap(gPlayback.buffer);
  ShutDownSound();
}
