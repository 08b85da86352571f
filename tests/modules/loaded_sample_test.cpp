// What the sample loader hands over becomes each module's input (the loader
// itself is tested in tests/files, these adapters on real files in tests/cli).
#include "modules/loaded_sample.h"

#include "module_fixture.h"

TEST(LoadedSample, DescriptorsBecomeModuleInputs) {
  // The buffers are larger than the file: only the loaded frames count.
  const std::vector<float> left = Noise(30000, 1), right = Noise(30000, 2);
  // One loop, alternating in the file.
  SampleDescriptor descriptor{.frames = 20000, .channels = 2, .loopStart = 5000, .loopEnd = 19999, .loopCount = 1,
                              .loopType = 1, .family = {}};
  const SampleChannels channels = SampleChannelsOf(left, right, descriptor);
  EXPECT_EQ(std::pair(channels.length, channels.channels), std::pair(20000, 2));
  EXPECT_EQ(ScanLoopShapeOf(descriptor).steps, 0);  // one loop is no scan loop

  LoopSynthesis loop;
  ASSERT_EQ(LoadLoopInputFromSample(loop, left, right, descriptor, "A.WAV"), kMsgDone);
  EXPECT_EQ(std::tuple(loop.length, loop.channels, loop.loopStart, loop.loopEnd, loop.name),
            std::tuple(20000, 2, 5000, 19999, std::string("A.WAV")));
  const CrossSourceInput cross = CrossSourceOf(left, right, descriptor, "A.WAV");
  EXPECT_EQ(std::tuple(cross.length, cross.channels, cross.loop.type, cross.loop.start, cross.loop.end),
            std::tuple(20000, 2, kLoopTypeAlternate, 5000, 19999));

  // Twenty 256-sample cycles with the first looped: a scan loop.
  descriptor.channels = 1;
  descriptor.loopStart = 0;
  descriptor.loopEnd = 255;
  descriptor.scanLoopCount = 20;
  EXPECT_EQ(std::pair(ScanLoopShapeOf(descriptor).stepSize, ScanLoopShapeOf(descriptor).steps), std::pair(256, 20));
  EXPECT_EQ(SampleChannelsOf(left, right, descriptor).channels, 1);
  descriptor.loopCount = 0;
  EXPECT_EQ(CrossSourceOf(left, right, descriptor, "A.WAV").loop.type, kLoopTypeNone);
}
