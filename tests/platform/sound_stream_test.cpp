#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "platform/sound_stream.h"

namespace {

std::vector<float> Ramp(int frames) {  // left sample of frame i: i + 1, right -(i + 1)
  std::vector<float> data(2 * static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) data[2 * i] = static_cast<float>(i + 1), data[2 * i + 1] = -data[2 * i];
  return data;
}

// The left samples of the next frames asked for; each right sample must be the negated left one.
std::vector<float> FeedLefts(SoundStream& stream, int frames) {
  std::vector<float> out(2 * static_cast<size_t>(frames), 99.0f), lefts(frames);
  FeedSoundStream(stream, out);
  for (int i = 0; i < frames; ++i) {
    lefts[i] = out[2 * i];
    EXPECT_EQ(out[2 * i + 1], -out[2 * i]) << "frame " << i;
  }
  return lefts;
}

}  // namespace

TEST(SoundStream, PlaysOnceWithGainThenFallsQuietOrLoopsUntilTheLoopIsBroken) {
  SoundStream stream;
  EXPECT_EQ(FeedLefts(stream, 4), std::vector<float>(4, 0.0f));  // idle: silence
  const std::vector<float> data = Ramp(10);
  BeginSoundStream(stream, data.data(), 10, 10, false, 0.5f);
  EXPECT_EQ(FeedLefts(stream, 16), (std::vector<float>{0.5f, 1, 1.5f, 2, 2.5f, 3, 3.5f, 4, 4.5f, 5, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(std::tuple(CurrentPhase(stream), stream.quietFrames.load()), std::tuple(StreamPhase::Quiet, 6));
  FeedLefts(stream, 10);
  EXPECT_EQ(std::tuple(stream.consumed.load(), stream.quietFrames.load()), std::tuple(10, 16));  // not beyond
  BeginSoundStream(stream, data.data(), 4, 4, true, 1.0f);
  EXPECT_EQ(FeedLefts(stream, 10), (std::vector<float>{1, 2, 3, 4, 1, 2, 3, 4, 1, 2}));
  EXPECT_EQ(stream.consumed.load(), 10);
  stream.loop = false;  // the current pass ends, then silence
  EXPECT_EQ(FeedLefts(stream, 4), (std::vector<float>{3, 4, 0, 0}));
  EXPECT_EQ(std::tuple(stream.consumed.load(), CurrentPhase(stream)), std::tuple(12, StreamPhase::Quiet));
}

TEST(SoundStream, NeverReadsFramesThatAreNotRenderedYet) {
  SoundStream stream;
  const std::vector<float> rendered = Ramp(1000);
  std::vector<float> data = rendered;
  std::fill(data.begin() + 200, data.end(), 1e30f);  // frames 100 and beyond are not rendered yet
  BeginSoundStream(stream, data.data(), 1000, 100, false, 1.0f);
  std::vector<float> lefts = FeedLefts(stream, 300);
  EXPECT_EQ(lefts[99], 100.0f);
  EXPECT_EQ(std::vector<float>(lefts.begin() + 100, lefts.end()), std::vector<float>(200, 0.0f));
  EXPECT_EQ(std::tuple(stream.consumed.load(), CurrentPhase(stream)), std::tuple(100, StreamPhase::Playing));  // waits
  // The rest is rendered and published; the sound goes on where it waited.
  std::copy(rendered.begin() + 200, rendered.end(), data.begin() + 200);
  PublishReadyFrames(stream, 1000);
  PublishReadyFrames(stream, 500);  // never fewer
  EXPECT_EQ(stream.readyFrames.load(), 1000);
  lefts = FeedLefts(stream, 900);
  EXPECT_EQ(std::tuple(lefts[0], lefts[899]), std::tuple(101.0f, 1000.0f));
  EXPECT_EQ(stream.consumed.load(), 1000);
}

TEST(SoundStream, StopFadesOutInsteadOfCutting) {
  SoundStream stream;
  std::vector<float> data(2 * 100000, 1.0f);
  for (size_t i = 1; i < data.size(); i += 2) data[i] = -1.0f;  // right -1, as FeedLefts expects
  BeginSoundStream(stream, data.data(), 100000, 100000, true, 1.0f);
  FeedLefts(stream, 64);
  RequestStreamStop(stream);
  const std::vector<float> lefts = FeedLefts(stream, kSoundFadeFrames + 30);
  for (int i = 0; i < kSoundFadeFrames; ++i) EXPECT_NEAR(lefts[i], 1.0f - static_cast<float>(i) / kSoundFadeFrames, 1e-6);
  EXPECT_EQ(std::vector<float>(lefts.begin() + kSoundFadeFrames, lefts.end()), std::vector<float>(30, 0.0f));
  EXPECT_EQ(std::tuple(CurrentPhase(stream), stream.quietFrames.load()), std::tuple(StreamPhase::Quiet, 30));
  EndSoundStream(stream);
  EXPECT_EQ(CurrentPhase(stream), StreamPhase::Idle);
  EXPECT_EQ(FeedLefts(stream, 3), std::vector<float>(3, 0.0f));
}
