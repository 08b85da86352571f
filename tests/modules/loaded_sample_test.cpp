// The modules fed through the sample loader with files written by sox or
// laid out by hand, as the file operations pages will feed them.
#include "modules/loaded_sample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "files/folder_table.h"
#include "files/wave_fixtures.h"
#include "module_fixture.h"
#include "modules/resynthesis.h"
#include "modules/scanloop_analysis.h"
#include "modules/spectral_analysis.h"
#include "support/temp_folder.h"

using namespace wave_fixtures;

namespace {

const ReadRules kRules{true};
constexpr size_t kBufferFrames = 200000;

struct Loaded {
  std::vector<float> left = std::vector<float>(kBufferFrames, 0.0f);
  std::vector<float> right = std::vector<float>(kBufferFrames, 0.0f);
  SampleDescriptor descriptor;
};

bool Load(const std::string& path, Loaded& loaded) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  const bool ok = LoadSampleStream(file, path.substr(path.rfind('/') + 1), kCategorySample, loaded.left, loaded.right,
                                   loaded.descriptor, kRules);
  std::fclose(file);
  return ok;
}

bool Sox(const std::string& arguments) { return std::system(("sox -q " + arguments + " 2>/dev/null").c_str()) == 0; }

std::vector<uint8_t> Pcm16(const std::vector<float>& samples) {
  std::vector<uint8_t> bytes;
  for (float v : samples) PutU16(bytes, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767.0f))));
  return bytes;
}

}  // namespace

using LoadedSampleTest = ModuleTest;

TEST_F(LoadedSampleTest, SoxSineAnalysedAnOctaveUp) {
  ASSERT_TRUE(SoxAvailable());
  TempFolder folder;
  const std::string path = folder / "octave.wav";
  // A 344.53125 Hz sine in both channels of a 16-bit stereo file.
  ASSERT_TRUE(Sox("-r 44100 -c 2 -n -b 16 '" + path + "' synth 30000s sine 344.53125 vol 0.5"));
  Loaded loaded;
  ASSERT_TRUE(Load(path, loaded));
  AnalysisRange range;
  ASSERT_EQ(OpenAnalysisRange(range, SampleChannelsOf(loaded.left, loaded.right, loaded.descriptor)), kMsgNone);
  EXPECT_TRUE(range.stereoFile);
  EXPECT_EQ(range.fileLength, 30000);
  SpectralAnalysis analysis;
  ASSERT_EQ(StartSpectralAnalysis(analysis, range.Range(), {}), kMsgDone);
  SetAnalysisCents(analysis, 1200);
  EXPECT_EQ(ShownFundamentalFrequency(analysis.settings.cents), "344.5313");
  for (int s = 0; s < kSliceCount; ++s) {
    EXPECT_EQ(std::abs(analysis.table.at(0, s)), 127) << s;
    for (int r = 1; r < kPartialCount; ++r) ASSERT_LT(std::abs(analysis.table.at(r, s)), 90) << r << " " << s;
  }
}

TEST_F(LoadedSampleTest, ScanLoopFileBecomesATable) {
  TempFolder folder;
  const std::string path = folder / "scan.wav";
  // Twenty 256-sample cycles (a sample needs 4,097 frames or more), cycle c
  // holding harmonic c + 1; the first is looped.
  std::vector<float> cycles;
  for (int c = 0; c < 20; ++c)
    for (int j = 0; j < 256; ++j) cycles.push_back(0.5f * static_cast<float>(std::sin(2 * M_PI * (c + 1) * j / 256.0)));
  HandWave wave;
  wave.frames = static_cast<uint32_t>(cycles.size());
  wave.audio = Pcm16(cycles);
  Smpl smpl;
  smpl.end = 255;
  wave.chunksAfterData = SmplChunk(smpl);
  WriteAllBytes(path, BuildWave(wave));
  Loaded loaded;
  ASSERT_TRUE(Load(path, loaded));
  const ScanLoopShape shape = ScanLoopShapeOf(loaded.descriptor);
  EXPECT_EQ(shape.stepSize, 256);
  EXPECT_EQ(shape.steps, 20);
  ScanloopAnalysis analysis;
  ASSERT_EQ(StartScanloopAnalysis(analysis, std::span<const float>(loaded.left).first(loaded.descriptor.frames), shape.stepSize,
                                  shape.steps, {}),
            kMsgDone);
  for (int c = 0; c < 20; ++c) EXPECT_EQ(analysis.table.at(c, c), 127) << c;
  // Plain samples are no scan loops.
  EXPECT_EQ(ScanLoopShapeOf(SampleDescriptor{}).steps, 0);
  EXPECT_EQ(analysis.stretch, 16);
}

TEST_F(LoadedSampleTest, LoopAndCrossSynthesisFromFiles) {
  ASSERT_TRUE(SoxAvailable());
  TempFolder folder;
  const std::string pathA = folder / "a.wav", pathB = folder / "b.wav";
  ASSERT_TRUE(Sox("-r 44100 -c 1 -n -b 16 '" + pathA + "' synth 20000s pinknoise vol 0.4"));
  ASSERT_TRUE(Sox("-r 44100 -c 2 -n -e floating-point -b 32 '" + pathB + "' synth 26000s sine 300 sine 450 vol 0.6"));
  Smpl alternate;
  alternate.type = 1;  // alternating
  alternate.start = 5000;
  alternate.end = 19999;
  AppendChunk(pathA, SmplChunk(alternate));
  Loaded a, b;
  ASSERT_TRUE(Load(pathA, a));
  ASSERT_TRUE(Load(pathB, b));

  LoopSynthesis loop;
  ASSERT_EQ(LoadLoopInputFromSample(loop, a.left, a.right, a.descriptor, "A.WAV"), kMsgDone);
  EXPECT_EQ(loop.length, 20000);
  EXPECT_EQ(loop.channels, 1);
  EXPECT_EQ(loop.loopStart, 5000);
  EXPECT_EQ(loop.loopEnd, 19999);
  EXPECT_EQ(loop.name, "A.WAV");
  ASSERT_EQ(ComputeLoop(loop, {}), kMsgDone);
  EXPECT_TRUE(AllFinite(loop.outputLeft));
  EXPECT_NEAR(MaxAbsOf(loop.outputLeft), 1.0, 1e-6);

  CrossSynthesis cross;
  ASSERT_EQ(LoadCrossSources(cross, CrossSourceOf(a.left, a.right, a.descriptor, "A.WAV"),
                             CrossSourceOf(b.left, b.right, b.descriptor, "B.WAV")),
            kMsgDone);
  EXPECT_EQ(cross.a.loop.type, kLoopTypeAlternate);
  EXPECT_EQ(cross.b.loop.type, kLoopTypeNone);
  EXPECT_EQ(cross.length, 20000);
  EXPECT_EQ(CycleLoopMode(cross), kMsgNone);
  EXPECT_EQ(cross.loopMode, kLoopActiveFileA);
  EXPECT_EQ(cross.length, 26000);
  EXPECT_EQ(cross.aLeft[20000], cross.aLeft[19999]);  // back through the loop
  EXPECT_EQ(cross.aLeft[20001], cross.aLeft[19998]);
  ASSERT_EQ(Resynthesize(cross, {}, 1), kMsgDone);
  RemixCrossOutput(cross);
  EXPECT_TRUE(AllFinite(cross.outLeft));
  EXPECT_GT(MaxAbsOf(cross.abRight), 0.0);
}
