#pragma once
#include <atomic>
#include <cstdint>
#include <span>

// What the main thread and the thread that feeds the sound card share about
// the one playing buffer: atomics only. The main thread hands a buffer over
// (BeginSoundStream), publishes rendered frames and asks for a stop; the
// feeding thread (FeedSoundStream) copies frames to the card and counts them.
// Both backends use it, so the headless device plays exactly as the real one.

// A stop fades out over this many frames (about 5 ms) instead of cutting the
// wave, which would click.
inline constexpr int kSoundFadeFrames = 220;

enum class StreamPhase : int {
  Idle = 0,     // no buffer
  Playing = 1,
  Fading = 2,   // a stop was asked for: the gain ramps down
  Quiet = 3,    // ended or faded: the card gets silence
};

struct SoundStream {
  // Written by the main thread before the phase becomes Playing.
  std::atomic<const float*> data{nullptr};
  std::atomic<int64_t> totalFrames{0};
  std::atomic<float> gain{1.0f};
  // Written by the main thread while playing.
  std::atomic<int64_t> readyFrames{0};  // rendered so far; released after the samples are written
  std::atomic<bool> loop{false};
  std::atomic<bool> stopRequested{false};
  // Written by the feeding thread while playing.
  std::atomic<int> phase{static_cast<int>(StreamPhase::Idle)};
  std::atomic<int64_t> cursor{0};        // next frame of the buffer
  std::atomic<int64_t> consumed{0};      // frames taken, across loop passes
  std::atomic<int> fadeLeft{0};
  std::atomic<int64_t> quietFrames{0};   // silence delivered since the sound fell quiet
};

// Main thread, while the feeding thread does not run or sees the phase
// Idle: a new buffer, playing from its first frame.
void BeginSoundStream(SoundStream& stream, const float* data, int64_t frames, int64_t readyFrames, bool loop,
                      float gain);

// Main thread: more frames are rendered (never fewer).
void PublishReadyFrames(SoundStream& stream, int64_t readyFrames);

// Main thread: asks the feeding thread to fade out and fall quiet.
void RequestStreamStop(SoundStream& stream);

// Main thread: back to Idle (the feeding thread must be stopped or paused).
void EndSoundStream(SoundStream& stream);

StreamPhase CurrentPhase(const SoundStream& stream);

// Feeding thread: fills out (interleaved stereo, out.size() / 2 frames).
// Frames not rendered yet are never read: the card gets silence and the
// position waits for them.
void FeedSoundStream(SoundStream& stream, std::span<float> out);
