#include "audio/play_calls.h"

#include <algorithm>
#include <cstring>

#include "audio/playback_devices.h"
#include "audio/playback_render.h"
#include "audio/playback_state.h"
#include "audio/playback_teardown.h"
#include "core/app_globals.h"
#include "platform/sound_output.h"

namespace {

// The rest of a long sound is published to the device in steps of this
// many frames, so that it can follow the rendering closely.
constexpr int64_t kPublishFrames = 16384;

// The common start: buffer there, device open.
bool Prepare() {
  if (!PlaybackBufferPresent()) return false;
  if (gPlayback.deviceOpen) StopPlayback();
  return OpenPlayback() == kSoundOk;
}

std::span<float> BufferFrames(int64_t first, int64_t count) {
  return std::span<float>(gPlayback.buffer).subspan(static_cast<size_t>(2 * first), static_cast<size_t>(2 * count));
}

// Hands the buffer to the device with its first ready frames rendered.
bool Start(int64_t frames, int64_t ready, bool loop) {
  if (StartSoundBuffer(gPlayback.buffer.data(), frames, ready, loop, gApp.settings.playbackVolume) != kSoundOk) {
    CloseDevice();
    return false;
  }
  gPlayback.playingFrames = frames;
  gPlayback.looped = loop;
  return true;
}

// Renders a sound in two parts: the first up to 131,072 frames, then the
// device starts, then the rest while it plays.
template <typename Render>
bool RenderAndStart(int64_t frames, bool loop, Render render) {
  const int64_t first = std::min<int64_t>(frames, kFirstPartFrames);
  render(0, BufferFrames(0, first));
  if (!Start(frames, first, loop)) return false;
  for (int64_t done = first; done < frames;) {
    const int64_t count = std::min(kPublishFrames, frames - done);
    render(done, BufferFrames(done, count));
    done += count;
    SetSoundFramesReady(done);
  }
  return true;
}

}  // namespace

bool PlayTable(std::span<const float> tables, int index, bool loop) {
  if (index < 0 || tables.size() / kTableFloats <= static_cast<size_t>(index)) return false;
  if (!Prepare()) return false;
  std::memcpy(gPlayback.buffer.data(), tables.data() + static_cast<size_t>(index) * kTableFloats,
              kTableFloats * sizeof(float));
  return Start(kTableFrames, kTableFrames, loop);
}

bool PlayScan(std::span<const float> tables, int32_t speed, int count) {
  const size_t inSource = tables.size() / kTableFloats;
  count = static_cast<int>(std::min<size_t>(static_cast<size_t>(std::max(count, 0)), inSource));
  if (count < 1) return false;
  speed = std::max<int32_t>(speed, 1);
  if (!Prepare()) return false;
  // The length counts every table asked for; the walk stops at the 33rd.
  const int walked = std::min(count, kMaxScanTables);
  ScanCursor cursor;
  return RenderAndStart(ScanFrames(count, speed), false, [&](int64_t, std::span<float> out) {
    RenderScan(tables, walked, speed, cursor, out);
  });
}

bool PlaySplit(std::span<const float> left, std::span<const float> right, int64_t frames, bool loop) {
  frames = std::min<int64_t>({frames, kPlaybackBufferFrames, static_cast<int64_t>(left.size()),
                              static_cast<int64_t>(right.size())});
  if (frames <= 0) return false;
  if (!Prepare()) return false;
  return RenderAndStart(frames, loop, [&](int64_t first, std::span<float> out) {
    InterleaveFrames(left, right, first, out);
  });
}
