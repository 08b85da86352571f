#include "audio/playback_controls.h"

#include "core/settings_block.h"
#include "wavetable/ram_wavetable.h"

MessageCode LowerVolume(float& volume) {
  if (volume <= kMinPlaybackVolume) return kMsgMinValue;
  volume *= 0.5f;
  return kMsgNone;
}

MessageCode RaiseVolume(float& volume) {
  if (volume >= kMaxPlaybackVolume) return kMsgMaxValue;
  volume *= 2.0f;
  return kMsgNone;
}

double ShownVolume(float volume) { return static_cast<double>(volume) * 64.0; }

MessageCode SlowerRamPlayback(int32_t& stretch) {
  if (stretch >= kMaxStretch) return kMsgMinValue;
  stretch = SlowerPlayback(stretch);
  return kMsgNone;
}

MessageCode FasterRamPlayback(int32_t& stretch) {
  if (stretch <= kMinStretch) return kMsgMaxValue;
  stretch = FasterPlayback(stretch);
  return kMsgNone;
}

int64_t RamPlaybackFrames(int32_t stretch) {
  return static_cast<int64_t>(RenderedLength(kUnitySliceLength, ClampStretch(stretch)));
}
