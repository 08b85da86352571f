#include "files/wave_reader.h"

#include <gtest/gtest.h>

#include "files/folder_table.h"
#include "files/riff_chunks.h"
#include "files/wave_fixtures.h"
#include "support/temp_folder.h"

using namespace wave_fixtures;

namespace {

const ReadRules kForceLoop{true};
const ReadRules kNoForceLoop{false};

struct Result {
  int category;
  FileInfo info;
};

Result Classify(const std::string& path, const ReadRules& rules = kForceLoop) {
  Result r;
  r.category = TestSoundFile(path, &r.info, rules);
  return r;
}

Result TestBytes(const TempFolder& folder, const std::vector<uint8_t>& bytes, const std::string& name = "T.WAV",
                 const ReadRules& rules = kForceLoop) {
  WriteAllBytes(folder / name, bytes);
  return Classify(folder / name, rules);
}

class SoxFiles : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SoxAvailable()) << "sox is installed by scripts/setup.sh"; }

  std::string Sox(const std::string& name, uint32_t frames, const std::string& format, int channels = 1,
                  int rate = 44100) {
    const std::string path = folder / name;
    EXPECT_TRUE(SoxSine(path, frames, format, channels, rate)) << name;
    return path;
  }

  TempFolder folder;
};

TEST_F(SoxFiles, SingleCycleNeedsAFullLoopWhileForceLoopIsOn) {
  const std::string mono = Sox("CYCLE.wav", 2048, "-b 16");
  Result r = Classify(mono);
  EXPECT_EQ(r.category, 0);
  EXPECT_EQ(r.info.remark, "LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION");

  r = Classify(mono, kNoForceLoop);
  EXPECT_EQ(r.category, kCategorySingleCycle);
  EXPECT_EQ(r.info.length, "2048");
  EXPECT_EQ(r.info.format, "16 PCM");
  EXPECT_EQ(r.info.loop, "");

  const std::string stereo = Sox("STEREO.wav", 2048, "-b 16", 2);
  r = Classify(stereo, kNoForceLoop);
  EXPECT_EQ(r.category, 0);
  EXPECT_EQ(r.info.remark, "ONLY MONO FILES CAN BE CLASSIFIED AS SINGLE CYCLE");

  // A loop over part of the cycle is not enough; a loop over all of it is.
  const std::string partial = Sox("PART.wav", 2048, "-b 16");
  Smpl loop;
  loop.end = 1023;
  AppendChunk(partial, SmplChunk(loop));
  r = Classify(partial);
  EXPECT_EQ(r.info.remark, "LOOP SIZE MUST BE EQUAL TO FILE SIZE FOR SINGLE CYCLE CLASSIFICATION");
  EXPECT_EQ(Classify(partial, kNoForceLoop).category, kCategorySingleCycle);
  EXPECT_EQ(Classify(partial, kNoForceLoop).info.loop, "");

  const std::string full = Sox("FULL.wav", 2048, "-b 16");
  loop.end = 2047;
  AppendChunk(full, SmplChunk(loop));
  r = Classify(full);
  EXPECT_EQ(r.category, kCategorySingleCycle);
  EXPECT_EQ(r.info.loop, "YES");
  EXPECT_EQ(r.info.length, "2048");
}

TEST_F(SoxFiles, SamplesOfEveryAcceptedFormat) {
  struct Case {
    const char* name;
    const char* format;
    int channels;
    const char* formatText;
  };
  const Case cases[] = {
      {"P8.wav", "-b 8", 1, "8 PCM"},
      {"P16.wav", "-b 16", 2, "16 PCM"},
      {"P32.wav", "-t wavpcm -b 32", 1, "32 PCM"},
      {"F32.wav", "-e floating-point -b 32", 2, "32 FLOAT"},
  };
  for (const Case& c : cases) {
    const Result r = Classify(Sox(c.name, 44100, c.format, c.channels));
    EXPECT_EQ(r.category, kCategorySample) << c.name << " " << r.info.remark;
    EXPECT_EQ(r.info.format, c.formatText) << c.name;
    EXPECT_EQ(r.info.channels, c.channels == 1 ? "MONO" : "STEREO") << c.name;
    EXPECT_EQ(r.info.length, "1.00 SEC") << c.name;
    EXPECT_EQ(r.info.loop, "") << c.name;
  }
}

TEST_F(SoxFiles, RejectedFormatsGetTheirMessages) {
  EXPECT_EQ(Classify(Sox("P24.wav", 8000, "-t wavpcm -b 24")).info.remark, "WRONG PCM BIT DEPHT");
  // sox writes 24- and 32-bit PCM in the extensible layout (format tag 65,534).
  EXPECT_EQ(Classify(Sox("X24.wav", 8000, "-b 24")).info.remark, "UNSUPPORTED AUDIO FORMAT");
  EXPECT_EQ(Classify(Sox("X32.wav", 8000, "-b 32")).info.remark, "UNSUPPORTED AUDIO FORMAT");
  EXPECT_EQ(Classify(Sox("R48.wav", 8000, "-b 16", 1, 48000)).info.remark, "WRONG SAMPLE RATE <MUST BE 44.1 KHZ>");
  EXPECT_EQ(Classify(Sox("C3.wav", 8000, "-b 16", 3)).info.remark, "WRONG CHANNEL COUNT");
  EXPECT_EQ(Classify(Sox("F64.wav", 8000, "-e floating-point -b 64")).info.remark, "WRONG IEEE FLOAT BIT DEPHT");
  Result r = Classify(Sox("SHORT.wav", 127, "-b 16"));
  EXPECT_EQ(r.category, 0);
  EXPECT_EQ(r.info.remark, "FILE IS TOO SMALL");
  r = Classify(Sox("LONGER.wav", 4097, "-b 16"));
  EXPECT_EQ(r.category, kCategorySample);
  EXPECT_EQ(r.info.length, "0.09 SEC");
}

TEST_F(SoxFiles, NinetySecondsIsTheLongestSample) {
  EXPECT_EQ(Classify(Sox("MAX.wav", 3969000, "-b 8")).category, kCategorySample);
  const Result r = Classify(Sox("OVER.wav", 3969001, "-b 8"));
  EXPECT_EQ(r.category, 0);
  EXPECT_EQ(r.info.remark, "FILE IS TOO LARGE");
}

TEST_F(SoxFiles, LoadModeLeavesTheFileAtTheAudioData) {
  const std::string path = Sox("LOAD.wav", 5000, "-e floating-point -b 32");
  std::FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  WaveHeader header;
  SamplerBlock block;
  block.bytes[100] = 1;  // left over from an earlier file
  EXPECT_EQ(ReadSoundFile(file, "LOAD.wav", nullptr, &header, &block, kForceLoop), kCategorySample);
  const std::vector<uint8_t> bytes = ReadAllBytes(path);
  // sox puts a "fact" chunk before the data of float files.
  const long position = std::ftell(file);
  ASSERT_GT(position, 8);
  EXPECT_EQ(std::string(bytes.begin() + position - 8, bytes.begin() + position - 4), "data");
  EXPECT_EQ(header.dataSize, 5000u * 4);
  EXPECT_EQ(header.fmtSize, 18u);
  EXPECT_EQ(header.formatTag, kFormatFloat);
  EXPECT_EQ(block.bytes[100], 0);
  std::fclose(file);
}

TEST(WaveReader, ChunkSizeRules) {
  TempFolder folder;
  HandWave w;
  w.frames = 5000;
  // True RIFF size is data size + 36 for this layout.
  EXPECT_EQ(TestBytes(folder, BuildWave(w)).category, kCategorySample);
  w.riffSizeDelta = -1;
  EXPECT_EQ(TestBytes(folder, BuildWave(w)).info.remark, "CHUNK SIZE ERROR");
  w.riffSizeDelta = 0;
  w.fmtSize = 14;
  EXPECT_EQ(TestBytes(folder, BuildWave(w)).info.remark, "CHUNK SIZE ERROR");
}

TEST(WaveReader, MissingTagsInOrder) {
  TempFolder folder;
  HandWave w;
  w.frames = 5000;
  std::vector<uint8_t> bytes = BuildWave(w);
  std::vector<uint8_t> broken = bytes;
  broken[0] = 'X';
  EXPECT_EQ(TestBytes(folder, broken).info.remark, "RIFF TAG MISSING");
  broken = bytes;
  broken[8] = 'X';
  EXPECT_EQ(TestBytes(folder, broken).info.remark, "WAVE TAG MISSING");
  broken = bytes;
  broken[36] = 'X';
  EXPECT_EQ(TestBytes(folder, broken).info.remark, "DATA CHUNK MISSING");
  broken = bytes;
  broken[12] = 'X';
  EXPECT_EQ(TestBytes(folder, broken).info.remark, "FORMAT CHUNK MISSING");
  EXPECT_EQ(TestBytes(folder, {}).info.remark, "RIFF TAG MISSING");
}

TEST(WaveReader, ZeroBitsAreRejectedBeforeAnyDivision) {
  TempFolder folder;
  HandWave w;
  w.frames = 0;
  w.audio.assign(1000, 0);
  w.bits = 0;
  EXPECT_EQ(TestBytes(folder, BuildWave(w)).info.remark, "WRONG PCM BIT DEPHT");
  w.formatTag = kFormatFloat;
  EXPECT_EQ(TestBytes(folder, BuildWave(w)).info.remark, "WRONG IEEE FLOAT BIT DEPHT");
  w.formatTag = 0xFFFE;
  EXPECT_EQ(TestBytes(folder, BuildWave(w)).info.remark, "UNSUPPORTED AUDIO FORMAT");
}

TEST(WaveReader, ExtensionSelectsTheBranch) {
  TempFolder folder;
  HandWave w;
  w.frames = 5000;
  const auto bytes = BuildWave(w);
  EXPECT_EQ(TestBytes(folder, bytes, "lower.wav").category, kCategorySample);
  EXPECT_EQ(TestBytes(folder, bytes, "LONG.WAVE").info.remark, "UNKNOWN FILE TYPE OR EXTENSION");
  EXPECT_EQ(TestBytes(folder, bytes, "NODOT").info.remark, "UNKNOWN FILE TYPE OR EXTENSION");
  EXPECT_EQ(TestBytes(folder, bytes, ".WAV").info.remark, "UNKNOWN FILE TYPE OR EXTENSION");
  // A WAV file under the extension of another format goes to that format's
  // reader, which refuses it.
  const std::pair<const char*, const char*> foreign[] = {
      {"A.SYX", "FILE IS TOO SMALL"},
      {"A.WT", "DATA RANGE ERROR <KOMPLEXER WT>"},
      {"A.EFE", "NOT AN EFE INSTRUMENT FILE"},
      {"A.WTS", "NO VORTA WAVETABLE FILE"},
  };
  for (const auto& [name, remark] : foreign) {
    const Result r = TestBytes(folder, bytes, name);
    EXPECT_EQ(r.category, 0) << name;
    EXPECT_EQ(r.info.remark, remark) << name;
  }
  FileInfo info;
  EXPECT_EQ(TestSoundFile(folder / "MISSING.WAV", &info, kForceLoop), 0);
  EXPECT_EQ(info.remark, "ACCESS DENIED");
}

TEST(WaveReader, LoopIsKeptOnlyWithinTheFile) {
  TempFolder folder;
  HandWave w;
  w.frames = 10000;
  auto withLoop = [&](uint32_t type, uint32_t start, uint32_t end, uint32_t loops = 1) {
    Smpl s;
    s.type = type;
    s.start = start;
    s.end = end;
    s.loops = loops;
    w.chunksAfterData = SmplChunk(s);
    return TestBytes(folder, BuildWave(w));
  };
  EXPECT_EQ(withLoop(0, 100, 9999).info.loop, "YES <NORMAL>");
  EXPECT_EQ(withLoop(1, 100, 9999).info.loop, "YES <ALTERNATE>");
  EXPECT_EQ(withLoop(2, 0, 5000).info.loop, "YES <REVERSE>");
  EXPECT_EQ(withLoop(0, 0, 255).info.loop, "YES <SCANLOOP>");
  EXPECT_EQ(withLoop(0, 0, 10000).info.loop, "");  // end beyond the last frame
  EXPECT_EQ(withLoop(0, 500, 400).info.loop, "");  // start after end
  EXPECT_EQ(withLoop(3, 0, 255).info.loop, "");    // unknown loop type
  EXPECT_EQ(withLoop(0, 0, 255, 2).info.loop, "");  // more than one loop
  EXPECT_EQ(withLoop(0, 0xFFFFFFFFu, 0xFFFFFFFEu).info.loop, "");
  EXPECT_EQ(withLoop(0, 0, 0xFFFFFFFFu).category, kCategorySample);

  // A scan loop needs two cycles of 128 to 4,096 frames in a mono file.
  w.frames = 5000;
  EXPECT_EQ(withLoop(0, 0, 2499).info.loop, "YES <SCANLOOP>");
  EXPECT_EQ(withLoop(0, 0, 2500).info.loop, "YES <NORMAL>");
  EXPECT_EQ(withLoop(0, 0, 126).info.loop, "YES <NORMAL>");
  w.channels = 2;
  EXPECT_EQ(withLoop(0, 0, 255).info.loop, "YES <NORMAL>");
}

TEST(WaveReader, ScanLoopCount) {
  WaveHeader header;
  header.channels = 1;
  SamplerBlock block;
  SetSamplerU32(block, sampler_offset::kLoopCount, 1);
  SetSamplerU32(block, sampler_offset::kLoopEnd, 127);
  EXPECT_EQ(ScanLoopCount(header, block, 1000), 7u);
  SetSamplerU32(block, sampler_offset::kLoopEnd, 4095);
  EXPECT_EQ(ScanLoopCount(header, block, 8192), 2u);
  SetSamplerU32(block, sampler_offset::kLoopEnd, 4096);
  EXPECT_EQ(ScanLoopCount(header, block, 8194), 0u);
  SetSamplerU32(block, sampler_offset::kLoopEnd, 0xFFFFFFFFu);
  EXPECT_EQ(ScanLoopCount(header, block, 8194), 0u);
}

TEST(WaveReader, XformTables) {
  TempFolder folder;
  HandWave w;
  w.formatTag = kFormatFloat;
  w.bits = 32;
  w.frames = 262144;
  w.chunksAfterData = SmplChunk(TableSmpl("XFORM___", 131071));
  Result r = TestBytes(folder, BuildWave(w));
  EXPECT_EQ(r.category, kCategoryXformWav) << r.info.remark;
  EXPECT_EQ(r.info.count, "2");
  EXPECT_EQ(r.info.length, "131072");
  EXPECT_EQ(r.info.channels, "MONO");
  EXPECT_EQ(r.info.family, "XFORM");
  EXPECT_EQ(r.info.remark, "SYNTHESIS DATA");

  w.channels = 2;
  r = TestBytes(folder, BuildWave(w));
  EXPECT_EQ(r.category, kCategoryXformWav);
  EXPECT_EQ(r.info.channels, "STEREO");

  w.channels = 1;
  w.frames = 200000;
  EXPECT_EQ(TestBytes(folder, BuildWave(w)).info.remark, "DAMAGED XFORM WAVETABLE PARAMETER");
  w.frames = 262144;
  w.chunksAfterData = SmplChunk(TableSmpl("XFORM___", 131070));
  EXPECT_EQ(TestBytes(folder, BuildWave(w)).info.remark, "DAMAGED XFORM WAVETABLE PARAMETER");
}

TEST(WaveReader, VortaAndSerumTables) {
  TempFolder folder;
  HandWave w;
  w.frames = 33 * 2048;
  w.chunksAfterData = SmplChunk(TableSmpl("VORTA___", 2047));
  Result r = TestBytes(folder, BuildWave(w));
  EXPECT_EQ(r.category, kCategoryVortaWav) << r.info.remark;
  EXPECT_EQ(r.info.count, "33");
  EXPECT_EQ(r.info.length, "2048");
  EXPECT_EQ(r.info.format, "16 PCM");
  EXPECT_EQ(r.info.family, "VORTA");

  // Its loop cleared, a table has no wave count.
  w.chunksAfterData = SmplChunk(TableSmpl("VORTA___", 70000));
  r = TestBytes(folder, BuildWave(w));
  EXPECT_EQ(r.category, kCategoryVortaWav);
  EXPECT_EQ(r.info.count, "");
  EXPECT_EQ(r.info.length, "");

  w.chunksAfterData = SmplChunk(TableSmpl("VORTA___", 2047, 4236));
  EXPECT_EQ(TestBytes(folder, BuildWave(w)).info.remark, "OUTDATED WAVETABLE FORMAT");
  // Outside 4,232 .. 4,240 the sampler data is some other program's: a sample.
  w.chunksAfterData = SmplChunk(TableSmpl("VORTA___", 2047, 4300));
  EXPECT_EQ(TestBytes(folder, BuildWave(w)).category, kCategorySample);
  // A small VORTA file with little sampler data counts as a cycle candidate.
  HandWave cycle;
  cycle.frames = 2048;
  cycle.chunksAfterData = SmplChunk(TableSmpl("VORTA___", 2047, 100));
  EXPECT_EQ(TestBytes(folder, BuildWave(cycle)).category, kCategorySingleCycle);

  // Serum: float, mono, "JUNK" and "clm " besides the usual chunks.
  HandWave serum;
  serum.formatTag = kFormatFloat;
  serum.bits = 32;
  serum.frames = 5 * 2048;
  serum.chunksBeforeFmt = Chunk("JUNK", std::vector<uint8_t>(28, 0));
  std::vector<uint8_t> clm(48, ' ');
  std::memcpy(clm.data(), "<!>2048 10000000 wavetable (Sonic-Loom)", 39);
  serum.chunksAfterData = Chunk("clm ", clm);
  const auto smpl = SmplChunk(TableSmpl("VORTA___", 2047));
  serum.chunksAfterData.insert(serum.chunksAfterData.end(), smpl.begin(), smpl.end());
  r = TestBytes(folder, BuildWave(serum));
  EXPECT_EQ(r.category, kCategorySerum) << r.info.remark;
  EXPECT_EQ(r.info.count, "5");
  EXPECT_EQ(r.info.length, "2048");
  // The same table without the extra chunks is a plain float VORTA table.
  serum.chunksBeforeFmt.clear();
  serum.chunksAfterData = smpl;
  EXPECT_EQ(TestBytes(folder, BuildWave(serum)).category, kCategoryVortaWav);
}

TEST(WaveReader, ChunkListQuirks) {
  TempFolder folder;
  HandWave w;
  w.frames = 5000;
  // A text chunk before the real ones holding tag names must not be taken
  // for chunks.
  std::vector<uint8_t> text;
  for (const char* word : {"metadata smpl fmt data RIFF WAVE"}) PutText(text, word, std::strlen(word));
  w.chunksBeforeFmt = Chunk("LIST", text);
  Smpl loop;
  loop.type = 1;
  loop.end = 4999;
  w.chunksAfterData = SmplChunk(loop);
  Result r = TestBytes(folder, BuildWave(w));
  EXPECT_EQ(r.category, kCategorySample) << r.info.remark;
  EXPECT_EQ(r.info.loop, "YES <ALTERNATE>");

  // An odd-sized chunk without its pad byte.
  w.chunksBeforeFmt = Chunk("note", {1, 2, 3}, false);
  r = TestBytes(folder, BuildWave(w));
  EXPECT_EQ(r.category, kCategorySample) << r.info.remark;
  EXPECT_EQ(r.info.loop, "YES <ALTERNATE>");

  // Garbage between chunks: the tag search takes over.
  w.chunksBeforeFmt = {0, 0, 0, 1, 2, 3};
  r = TestBytes(folder, BuildWave(w));
  EXPECT_EQ(r.category, kCategorySample) << r.info.remark;
  EXPECT_EQ(r.info.loop, "YES <ALTERNATE>");

  // A chunk whose size runs past the end of the file is searched inside.
  w.chunksBeforeFmt = {'b', 'a', 'd', ' ', 0xFF, 0xFF, 0xFF, 0x7F};
  r = TestBytes(folder, BuildWave(w));
  EXPECT_EQ(r.category, kCategorySample) << r.info.remark;
}

TEST(WaveReader, SamplerChunkIsCappedAndNothingSurvivesFromTheLastScan) {
  TempFolder folder;
  HandWave w;
  w.frames = 5000;
  Smpl big;
  big.end = 4999;
  big.samplerDataSize = 8000;
  big.samplerDataBytes = 8000;
  big.payload.assign(7992, 0xAB);
  w.chunksAfterData = SmplChunk(big);
  WriteAllBytes(folder / "BIG.WAV", BuildWave(w));
  std::FILE* file = std::fopen((folder / "BIG.WAV").c_str(), "rb");
  WaveHeader header;
  SamplerBlock block;
  ScanRiffChunks(file, header, block, false);
  EXPECT_EQ(SamplerChunkSize(block), 60u + 8000u);
  EXPECT_EQ(block.bytes[kSamplerBlockBytes - 1], 0xAB);
  std::fclose(file);

  // A file without "smpl" after it: the block is all zero again.
  HandWave plain;
  plain.frames = 5000;
  WriteAllBytes(folder / "PLAIN.WAV", BuildWave(plain));
  file = std::fopen((folder / "PLAIN.WAV").c_str(), "rb");
  ScanRiffChunks(file, header, block, false);
  EXPECT_EQ(block.bytes, SamplerBlock{}.bytes);
  std::fclose(file);

  // Load mode hands out nothing for a rejected file.
  WriteAllBytes(folder / "BAD.WAV", {'R', 'I', 'F', 'F'});
  file = std::fopen((folder / "BAD.WAV").c_str(), "rb");
  block.bytes[5] = 9;
  header.channels = 2;
  EXPECT_EQ(ReadSoundFile(file, "BAD.WAV", nullptr, &header, &block, kForceLoop), 0);
  EXPECT_EQ(block.bytes, SamplerBlock{}.bytes);
  EXPECT_EQ(header.channels, 0);
  std::fclose(file);
}

// Chunks found by the tag search behind a run of junk: across a border of
// the search blocks they are found; past 64 MiB of junk (a sparse hole
// here) the search gives up and the file is damaged, at once.
TEST(WaveReader, TagSearchReadsBlocksAndGivesUpOnHugeJunk) {
  TempFolder folder;
  HandWave w;
  w.frames = 5000;
  const std::vector<uint8_t> plain = BuildWave(w);
  const std::vector<uint8_t> chunks(plain.begin() + 12, plain.end());
  const std::vector<uint8_t> riffHeader(plain.begin(), plain.begin() + 12);
  const struct {
    uint64_t chunksAt;
    int category;
    const char* remark;
  } cases[] = {
      {12 + 65536 - 2, kCategorySample, ""},          // "fmt " across the first border
      {12 + 65533 + 65536 - 1, kCategorySample, ""},  // and across the second
      {(64ull << 20) + 4096, kCategoryUnrecognized, "DATA CHUNK MISSING"},
  };
  for (const auto& c : cases) {
    const std::string path = folder / "JUNK.WAV";
    {
      std::FILE* file = std::fopen(path.c_str(), "wb");
      std::vector<uint8_t> header = riffHeader;
      header[4] = header[5] = header[6] = 0xFF;  // the RIFF size covers everything
      header[7] = 0x3F;
      std::fwrite(header.data(), 1, header.size(), file);
      std::fseek(file, static_cast<long>(c.chunksAt), SEEK_SET);
      std::fwrite(chunks.data(), 1, chunks.size(), file);
      std::fclose(file);
    }
    const Result r = Classify(path);
    EXPECT_EQ(r.category, c.category) << c.chunksAt << " " << r.info.remark;
    EXPECT_EQ(r.info.remark, c.remark) << c.chunksAt;
  }
}

TEST(WaveReader, TruncatedDataIsStillClassified) {
  TempFolder folder;
  HandWave w;
  w.frames = 10000;
  std::vector<uint8_t> bytes = BuildWave(w);
  bytes.resize(bytes.size() - 5000);  // the data chunk claims more than the file holds
  const Result r = TestBytes(folder, bytes);
  EXPECT_EQ(r.category, kCategorySample);
  EXPECT_EQ(r.info.length, "0.23 SEC");
}

}  // namespace
