#include "ui/pages/shared/playback_link.h"

#include "audio/playback_controls.h"
#include "audio/playback_devices.h"
#include "audio/playback_state.h"

MessageCode LowerPlaybackVolume(float& volume) { return LowerVolume(volume); }
MessageCode RaisePlaybackVolume(float& volume) { return RaiseVolume(volume); }
double ShownPlaybackVolume(float volume) { return ShownVolume(volume); }
MessageCode SlowerTablePlayback(int32_t& stretch) { return SlowerRamPlayback(stretch); }
MessageCode FasterTablePlayback(int32_t& stretch) { return FasterRamPlayback(stretch); }
int PlaybackDeviceCount() { return DeviceCount(); }
std::string PlaybackDeviceName() { return SelectedDeviceName(); }
MessageCode NextPlaybackDevice(uint16_t& selected) { return StepPlaybackDevice(selected); }
int CountPlaybackDevices() { return TestPlaybackDevices(); }
