#include "audio/playback_state.h"

PlaybackState gPlayback;

bool SomethingPlays() { return gPlayback.playingFrames > 0; }

bool PlaybackBufferPresent() { return !gPlayback.buffer.empty(); }

int DeviceCount() { return static_cast<int>(gPlayback.deviceIds.size()); }
