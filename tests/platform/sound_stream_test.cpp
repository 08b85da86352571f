#include <gtest/gtest.h>

#include <vector>

#include "platform/sound_stream.h"

namespace {

// A buffer whose left sample of frame i is i + 1 and right sample -(i + 1).
std::vector<float> Ramp(int frames) {
  std::vector<float> data(2 * static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    data[2 * i] = static_cast<float>(i + 1);
    data[2 * i + 1] = -static_cast<float>(i + 1);
  }
  return data;
}

std::vector<float> Feed(SoundStream& stream, int frames) {
  std::vector<float> out(2 * static_cast<size_t>(frames), 99.0f);
  FeedSoundStream(stream, out);
  return out;
}

}  // namespace

TEST(SoundStream, PlaysOnceWithGainThenFallsQuiet) {
  SoundStream stream;
  EXPECT_EQ(Feed(stream, 4), std::vector<float>(8, 0.0f));  // idle: silence
  const std::vector<float> data = Ramp(10);
  BeginSoundStream(stream, data.data(), 10, 10, false, 0.5f);
  const std::vector<float> out = Feed(stream, 16);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(out[2 * i], 0.5f * static_cast<float>(i + 1));
    EXPECT_EQ(out[2 * i + 1], -0.5f * static_cast<float>(i + 1));
  }
  for (int i = 20; i < 32; ++i) EXPECT_EQ(out[i], 0.0f);
  EXPECT_EQ(stream.consumed.load(), 10);  // the last sample played, nothing beyond
  EXPECT_EQ(CurrentPhase(stream), StreamPhase::Quiet);
  EXPECT_EQ(stream.quietFrames.load(), 6);
  Feed(stream, 10);
  EXPECT_EQ(stream.consumed.load(), 10);
  EXPECT_EQ(stream.quietFrames.load(), 16);
}

TEST(SoundStream, LoopsCountEveryPassUntilTheLoopIsBroken) {
  SoundStream stream;
  const std::vector<float> data = Ramp(4);
  BeginSoundStream(stream, data.data(), 4, 4, true, 1.0f);
  std::vector<float> out = Feed(stream, 10);
  const float lefts[10] = {1, 2, 3, 4, 1, 2, 3, 4, 1, 2};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(out[2 * i], lefts[i]);
  EXPECT_EQ(stream.consumed.load(), 10);
  stream.loop = false;  // the current pass ends, then silence
  out = Feed(stream, 4);
  EXPECT_EQ(out[0], 3.0f);
  EXPECT_EQ(out[2], 4.0f);
  EXPECT_EQ(out[4], 0.0f);
  EXPECT_EQ(stream.consumed.load(), 12);
  EXPECT_EQ(CurrentPhase(stream), StreamPhase::Quiet);
}

TEST(SoundStream, NeverReadsFramesThatAreNotRenderedYet) {
  SoundStream stream;
  std::vector<float> data = Ramp(1000);
  // Frames 100 and beyond are not rendered yet: poison them.
  for (size_t i = 200; i < data.size(); ++i) data[i] = 1e30f;
  BeginSoundStream(stream, data.data(), 1000, 100, false, 1.0f);
  std::vector<float> out = Feed(stream, 300);
  EXPECT_EQ(out[198], 100.0f);
  for (size_t i = 200; i < out.size(); ++i) ASSERT_EQ(out[i], 0.0f) << i;
  EXPECT_EQ(stream.consumed.load(), 100);  // the position waits
  EXPECT_EQ(CurrentPhase(stream), StreamPhase::Playing);
  // The rest is rendered and published; the sound goes on where it waited.
  const std::vector<float> rendered = Ramp(1000);
  for (size_t i = 200; i < data.size(); ++i) data[i] = rendered[i];
  PublishReadyFrames(stream, 1000);
  PublishReadyFrames(stream, 500);  // never fewer
  EXPECT_EQ(stream.readyFrames.load(), 1000);
  out = Feed(stream, 900);
  EXPECT_EQ(out[0], 101.0f);
  EXPECT_EQ(out[2 * 899], 1000.0f);
  EXPECT_EQ(stream.consumed.load(), 1000);
}

TEST(SoundStream, StopFadesOutInsteadOfCutting) {
  SoundStream stream;
  std::vector<float> data(2 * 100000, 1.0f);
  BeginSoundStream(stream, data.data(), 100000, 100000, true, 1.0f);
  Feed(stream, 64);
  RequestStreamStop(stream);
  const std::vector<float> out = Feed(stream, kSoundFadeFrames + 30);
  EXPECT_EQ(out[0], 1.0f);
  for (int i = 1; i < kSoundFadeFrames; ++i) {
    EXPECT_LT(out[2 * i], out[2 * (i - 1)]);
    EXPECT_NEAR(out[2 * i], 1.0f - static_cast<float>(i) / kSoundFadeFrames, 1e-6);
  }
  for (int i = kSoundFadeFrames; i < kSoundFadeFrames + 30; ++i) EXPECT_EQ(out[2 * i], 0.0f);
  EXPECT_EQ(CurrentPhase(stream), StreamPhase::Quiet);
  EXPECT_EQ(stream.quietFrames.load(), 30);
  EndSoundStream(stream);
  EXPECT_EQ(CurrentPhase(stream), StreamPhase::Idle);
  EXPECT_EQ(Feed(stream, 3), std::vector<float>(6, 0.0f));
}
