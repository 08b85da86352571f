#include "platform/sound_stream.h"

#include <algorithm>

void BeginSoundStream(SoundStream& stream, const float* data, int64_t frames, int64_t readyFrames, bool loop,
                      float gain) {
  stream.data.store(data, std::memory_order_relaxed);
  stream.totalFrames.store(std::max<int64_t>(frames, 0), std::memory_order_relaxed);
  stream.gain.store(gain, std::memory_order_relaxed);
  stream.readyFrames.store(std::clamp<int64_t>(readyFrames, 0, std::max<int64_t>(frames, 0)),
                           std::memory_order_relaxed);
  stream.loop.store(loop, std::memory_order_relaxed);
  stream.stopRequested.store(false, std::memory_order_relaxed);
  stream.cursor.store(0, std::memory_order_relaxed);
  stream.consumed.store(0, std::memory_order_relaxed);
  stream.fadeLeft.store(0, std::memory_order_relaxed);
  stream.quietFrames.store(0, std::memory_order_relaxed);
  // The phase goes last: the feeding thread reads everything above only
  // after it has seen Playing.
  stream.phase.store(static_cast<int>(StreamPhase::Playing), std::memory_order_release);
}

void PublishReadyFrames(SoundStream& stream, int64_t readyFrames) {
  const int64_t limit = stream.totalFrames.load(std::memory_order_relaxed);
  const int64_t ready = std::clamp<int64_t>(readyFrames, 0, limit);
  if (ready > stream.readyFrames.load(std::memory_order_relaxed)) {
    stream.readyFrames.store(ready, std::memory_order_release);
  }
}

void RequestStreamStop(SoundStream& stream) { stream.stopRequested.store(true, std::memory_order_release); }

void EndSoundStream(SoundStream& stream) {
  stream.phase.store(static_cast<int>(StreamPhase::Idle), std::memory_order_release);
  stream.data.store(nullptr, std::memory_order_relaxed);
  stream.readyFrames.store(0, std::memory_order_relaxed);
}

StreamPhase CurrentPhase(const SoundStream& stream) {
  return static_cast<StreamPhase>(stream.phase.load(std::memory_order_acquire));
}

void FeedSoundStream(SoundStream& stream, std::span<float> out) {
  const size_t frames = out.size() / 2;
  const StreamPhase entered = CurrentPhase(stream);
  StreamPhase phase = entered;
  if (phase == StreamPhase::Idle) {
    std::fill(out.begin(), out.end(), 0.0f);
    return;
  }
  const float* data = stream.data.load(std::memory_order_relaxed);
  const int64_t total = stream.totalFrames.load(std::memory_order_relaxed);
  const int64_t ready = stream.readyFrames.load(std::memory_order_acquire);
  const float gain = stream.gain.load(std::memory_order_relaxed);
  const bool loop = stream.loop.load(std::memory_order_relaxed);
  int64_t cursor = stream.cursor.load(std::memory_order_relaxed);
  int64_t consumed = stream.consumed.load(std::memory_order_relaxed);
  int fadeLeft = stream.fadeLeft.load(std::memory_order_relaxed);
  int64_t quiet = stream.quietFrames.load(std::memory_order_relaxed);
  if (phase == StreamPhase::Playing && stream.stopRequested.load(std::memory_order_acquire)) {
    phase = StreamPhase::Fading;
    fadeLeft = kSoundFadeFrames;
  }
  if (!data || total <= 0) phase = StreamPhase::Quiet;

  for (size_t i = 0; i < frames; ++i) {
    float* frame = &out[2 * i];
    frame[0] = frame[1] = 0.0f;
    if (phase == StreamPhase::Quiet) {
      ++quiet;
      continue;
    }
    if (cursor >= total) {
      if (!loop) {
        phase = StreamPhase::Quiet;
        ++quiet;
        continue;
      }
      cursor = 0;
    }
    if (cursor >= ready) {
      // Not rendered yet: silence, and the position waits. A fade has
      // nothing left to fade.
      if (phase == StreamPhase::Fading) phase = StreamPhase::Quiet;
      continue;
    }
    float level = gain;
    if (phase == StreamPhase::Fading) {
      level *= static_cast<float>(fadeLeft) / static_cast<float>(kSoundFadeFrames);
      if (--fadeLeft <= 0) phase = StreamPhase::Quiet;
    }
    frame[0] = data[2 * cursor] * level;
    frame[1] = data[2 * cursor + 1] * level;
    ++cursor;
    ++consumed;
  }

  stream.cursor.store(cursor, std::memory_order_relaxed);
  stream.fadeLeft.store(fadeLeft, std::memory_order_relaxed);
  stream.quietFrames.store(quiet, std::memory_order_relaxed);
  stream.consumed.store(consumed, std::memory_order_release);
  // A main thread that ended the stream meanwhile keeps it ended.
  int expected = static_cast<int>(entered);
  stream.phase.compare_exchange_strong(expected, static_cast<int>(phase), std::memory_order_acq_rel);
}
