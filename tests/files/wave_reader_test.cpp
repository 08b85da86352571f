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

std::string Remark(const std::string& path) {
  FileInfo info;
  TestSoundFile(path, &info, kForceLoop);
  return info.remark;
}

class WaveReader : public ::testing::Test {
 protected:
  std::string Put(const std::vector<uint8_t>& bytes, const std::string& name = "T.WAV") {
    WriteAllBytes(folder / name, bytes);
    return folder / name;
  }
  std::string Sox(const std::string& name, uint32_t frames, const std::string& format, int channels = 1,
                  int rate = 44100) {
    EXPECT_TRUE(SoxAvailable()) << "sox is installed by scripts/setup.sh";
    const std::string path = folder / name;
    EXPECT_TRUE(SoxSine(path, frames, format, channels, rate)) << name;
    return path;
  }
  TempFolder folder;
};

TEST_F(WaveReader, SoxSingleCyclesNeedAFullLoopWhileForceLoopIsOn) {
  const std::string mono = Sox("CYCLE.wav", 2048, "-b 16");
  const std::string partial = Sox("PART.wav", 2048, "-b 16");
  const std::string full = Sox("FULL.wav", 2048, "-b 16");
  Smpl loop;
  loop.end = 1023;
  AppendChunk(partial, SmplChunk(loop));
  loop.end = 2047;
  AppendChunk(full, SmplChunk(loop));
  const struct {
    std::string path;
    const ReadRules& rules;
    const char* card;
  } cases[] = {
      {mono, kForceLoop, "0|LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION||||||"},
      {mono, kNoForceLoop, "2|||||16 PCM||2048"},
      {Sox("STEREO.wav", 2048, "-b 16", 2), kNoForceLoop, "0|ONLY MONO FILES CAN BE CLASSIFIED AS SINGLE CYCLE||||||"},
      // A loop over part of the cycle is not enough; a loop over all of it is.
      {partial, kForceLoop, "0|LOOP SIZE MUST BE EQUAL TO FILE SIZE FOR SINGLE CYCLE CLASSIFICATION||||||"},
      {partial, kNoForceLoop, "2|||||16 PCM||2048"},
      {full, kForceLoop, "2||YES|||16 PCM||2048"},
  };
  for (const auto& c : cases) EXPECT_EQ(Card(c.path, c.rules), c.card);
}

TEST_F(WaveReader, SoxSamplesAndRejectedFormats) {
  const std::pair<std::string, const char*> cases[] = {
      {Sox("P8.wav", 44100, "-b 8"), "1||||MONO|8 PCM||1.00 SEC"},
      {Sox("P16.wav", 44100, "-b 16", 2), "1||||STEREO|16 PCM||1.00 SEC"},
      {Sox("P32.wav", 44100, "-t wavpcm -b 32"), "1||||MONO|32 PCM||1.00 SEC"},
      {Sox("F32.wav", 44100, "-e floating-point -b 32", 2), "1||||STEREO|32 FLOAT||1.00 SEC"},
      {Sox("LONGER.wav", 4097, "-b 16"), "1||||MONO|16 PCM||0.09 SEC"},
      {Sox("MAX.wav", 3969000, "-b 8"), "1||||MONO|8 PCM||90.00 SEC"},  // ninety seconds at most
      {Sox("OVER.wav", 3969001, "-b 8"), "0|FILE IS TOO LARGE||||||"},
      {Sox("SHORT.wav", 127, "-b 16"), "0|FILE IS TOO SMALL||||||"},
  };
  for (const auto& [path, card] : cases) EXPECT_EQ(Card(path), card);
  EXPECT_EQ(Remark(Sox("P24.wav", 8000, "-t wavpcm -b 24")), "WRONG PCM BIT DEPHT");
  // sox writes 24- and 32-bit PCM in the extensible layout (format tag 65,534).
  EXPECT_EQ(Remark(Sox("X24.wav", 8000, "-b 24")), "UNSUPPORTED AUDIO FORMAT");
  EXPECT_EQ(Remark(Sox("X32.wav", 8000, "-b 32")), "UNSUPPORTED AUDIO FORMAT");
  EXPECT_EQ(Remark(Sox("R48.wav", 8000, "-b 16", 1, 48000)), "WRONG SAMPLE RATE <MUST BE 44.1 KHZ>");
  EXPECT_EQ(Remark(Sox("C3.wav", 8000, "-b 16", 3)), "WRONG CHANNEL COUNT");
  EXPECT_EQ(Remark(Sox("F64.wav", 8000, "-e floating-point -b 64")), "WRONG IEEE FLOAT BIT DEPHT");
}

TEST_F(WaveReader, LoadModeLeavesTheFileAtTheAudioData) {
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

  // Load mode hands out nothing for a rejected file.
  file = std::fopen(Put({'R', 'I', 'F', 'F'}).c_str(), "rb");
  block.bytes[5] = 9;
  header.channels = 2;
  EXPECT_EQ(ReadSoundFile(file, "BAD.WAV", nullptr, &header, &block, kForceLoop), 0);
  EXPECT_EQ(block.bytes, SamplerBlock{}.bytes);
  EXPECT_EQ(header.channels, 0);
  std::fclose(file);
}

// Damaged headers, each with its message, in the order the reader tests.
TEST_F(WaveReader, HandMadeHeadersAndTheirMessages) {
  HandWave w;
  w.frames = 5000;
  const std::vector<uint8_t> good = BuildWave(w);
  const auto changed = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> bytes = good;
    bytes[at] = value;
    return bytes;
  };
  const auto built = [&](auto change) {
    HandWave v = w;
    change(v);
    return BuildWave(v);
  };
  std::vector<uint8_t> truncated = built([](HandWave& v) { v.frames = 10000; });
  truncated.resize(truncated.size() - 5000);  // the data chunk claims more than the file holds
  const std::pair<std::vector<uint8_t>, const char*> cases[] = {
      {good, "1||||MONO|16 PCM||0.11 SEC"},
      {truncated, "1||||MONO|16 PCM||0.23 SEC"},
      {{}, "0|RIFF TAG MISSING||||||"},
      {changed(0, 'X'), "0|RIFF TAG MISSING||||||"},
      {changed(8, 'X'), "0|WAVE TAG MISSING||||||"},
      {changed(36, 'X'), "0|DATA CHUNK MISSING||||||"},
      {changed(12, 'X'), "0|FORMAT CHUNK MISSING||||||"},
      // True RIFF size is data size + 36 for this layout.
      {built([](HandWave& v) { v.riffSizeDelta = -1; }), "0|CHUNK SIZE ERROR||||||"},
      {built([](HandWave& v) { v.fmtSize = 14; }), "0|CHUNK SIZE ERROR||||||"},
      // Zero bits are rejected before any division.
      {built([](HandWave& v) { v.frames = 0, v.audio.assign(1000, 0), v.bits = 0; }), "0|WRONG PCM BIT DEPHT||||||"},
      {built([](HandWave& v) { v.audio.assign(1000, 0), v.bits = 0, v.formatTag = kFormatFloat; }),
       "0|WRONG IEEE FLOAT BIT DEPHT||||||"},
      {built([](HandWave& v) { v.audio.assign(1000, 0), v.bits = 0, v.formatTag = 0xFFFE; }),
       "0|UNSUPPORTED AUDIO FORMAT||||||"},
  };
  for (const auto& [bytes, card] : cases) EXPECT_EQ(Card(Put(bytes)), card);
}

TEST_F(WaveReader, ExtensionSelectsTheBranch) {
  HandWave w;
  w.frames = 5000;
  const auto bytes = BuildWave(w);
  EXPECT_EQ(Card(Put(bytes, "lower.wav")).front(), '1');
  // A WAV file under the extension of another format goes to that format's
  // reader, which refuses it.
  const std::pair<const char*, const char*> names[] = {
      {"LONG.WAVE", "UNKNOWN FILE TYPE OR EXTENSION"},  {"NODOT", "UNKNOWN FILE TYPE OR EXTENSION"},
      {".WAV", "UNKNOWN FILE TYPE OR EXTENSION"},       {"A.SYX", "FILE IS TOO SMALL"},
      {"A.WT", "DATA RANGE ERROR <KOMPLEXER WT>"},      {"A.EFE", "NOT AN EFE INSTRUMENT FILE"},
      {"A.WTS", "NO VORTA WAVETABLE FILE"},
  };
  for (const auto& [name, remark] : names)
    EXPECT_EQ(Card(Put(bytes, name)), std::string("0|") + remark + "||||||") << name;
  EXPECT_EQ(Remark(folder / "MISSING.WAV"), "ACCESS DENIED");
}

TEST_F(WaveReader, LoopIsKeptOnlyWithinTheFile) {
  HandWave w;
  w.frames = 10000;
  auto loopOf = [&](uint32_t type, uint32_t start, uint32_t end, uint32_t loops = 1) {
    Smpl s;
    s.type = type;
    s.start = start;
    s.end = end;
    s.loops = loops;
    w.chunksAfterData = SmplChunk(s);
    FileInfo info;
    const int category = TestSoundFile(Put(BuildWave(w)), &info, kForceLoop);
    return category == kCategorySample ? info.loop : "category " + std::to_string(category);
  };
  EXPECT_EQ(loopOf(0, 100, 9999), "YES <NORMAL>");
  EXPECT_EQ(loopOf(1, 100, 9999), "YES <ALTERNATE>");
  EXPECT_EQ(loopOf(2, 0, 5000), "YES <REVERSE>");
  EXPECT_EQ(loopOf(0, 0, 255), "YES <SCANLOOP>");
  EXPECT_EQ(loopOf(0, 0, 10000), "");  // end beyond the last frame
  EXPECT_EQ(loopOf(0, 500, 400), "");  // start after end
  EXPECT_EQ(loopOf(3, 0, 255), "");    // unknown loop type
  EXPECT_EQ(loopOf(0, 0, 255, 2), "");  // more than one loop
  EXPECT_EQ(loopOf(0, 0xFFFFFFFFu, 0xFFFFFFFEu), "");
  EXPECT_EQ(loopOf(0, 0, 0xFFFFFFFFu), "");

  // A scan loop needs two cycles of 128 to 4,096 frames in a mono file.
  w.frames = 5000;
  EXPECT_EQ(loopOf(0, 0, 2499), "YES <SCANLOOP>");
  EXPECT_EQ(loopOf(0, 0, 2500), "YES <NORMAL>");
  EXPECT_EQ(loopOf(0, 0, 126), "YES <NORMAL>");
  w.channels = 2;
  EXPECT_EQ(loopOf(0, 0, 255), "YES <NORMAL>");

  WaveHeader header;
  header.channels = 1;
  SamplerBlock block;
  SetSamplerU32(block, sampler_offset::kLoopCount, 1);
  for (const auto& [end, frames, count] : {std::tuple<uint32_t, uint32_t, uint32_t>{127, 1000, 7}, {4095, 8192, 2},
                                           {4096, 8194, 0}, {0xFFFFFFFFu, 8194, 0}}) {
    SetSamplerU32(block, sampler_offset::kLoopEnd, end);
    EXPECT_EQ(ScanLoopCount(header, block, frames), count) << end;
  }
}

TEST_F(WaveReader, SynthesisTables) {
  HandWave xform;
  xform.formatTag = kFormatFloat;
  xform.bits = 32;
  xform.frames = 262144;
  xform.chunksAfterData = SmplChunk(TableSmpl("XFORM___", 131071));
  HandWave vorta;
  vorta.frames = 33 * 2048;
  vorta.chunksAfterData = SmplChunk(TableSmpl("VORTA___", 2047));
  HandWave cycle;  // a small VORTA file with little sampler data counts as a cycle candidate
  cycle.frames = 2048;
  cycle.chunksAfterData = SmplChunk(TableSmpl("VORTA___", 2047, 100));
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
  HandWave plainFloat = serum;  // the same table without the extra chunks is a plain float VORTA table
  plainFloat.chunksBeforeFmt.clear();
  plainFloat.chunksAfterData = smpl;

  const auto with = [](HandWave w, auto change) {
    change(w);
    return BuildWave(w);
  };
  const std::pair<std::vector<uint8_t>, const char*> cases[] = {
      {BuildWave(xform), "13|SYNTHESIS DATA||XFORM|MONO||2|131072"},
      {with(xform, [](HandWave& w) { w.channels = 2; }), "13|SYNTHESIS DATA||XFORM|STEREO||2|131072"},
      {with(xform, [](HandWave& w) { w.frames = 200000; }), "0|DAMAGED XFORM WAVETABLE PARAMETER||XFORM||||"},
      {with(xform, [](HandWave& w) { w.chunksAfterData = SmplChunk(TableSmpl("XFORM___", 131070)); }),
       "0|DAMAGED XFORM WAVETABLE PARAMETER||XFORM||||"},
      {BuildWave(vorta), "3|SYNTHESIS DATA||VORTA||16 PCM|33|2048"},
      // Its loop cleared, a table has no wave count.
      {with(vorta, [](HandWave& w) { w.chunksAfterData = SmplChunk(TableSmpl("VORTA___", 70000)); }),
       "3|SYNTHESIS DATA||VORTA||16 PCM||"},
      {with(vorta, [](HandWave& w) { w.chunksAfterData = SmplChunk(TableSmpl("VORTA___", 2047, 4236)); }),
       "0|OUTDATED WAVETABLE FORMAT||VORTA||||"},
      // Outside 4,232 .. 4,240 the sampler data is some other program's: a sample.
      {with(vorta, [](HandWave& w) { w.chunksAfterData = SmplChunk(TableSmpl("VORTA___", 2047, 4300)); }),
       "1|SYNTHESIS DATA|YES <SCANLOOP>|VORTA|MONO|16 PCM||1.53 SEC"},
      {BuildWave(cycle), "2|SYNTHESIS DATA|YES|VORTA||16 PCM||2048"},
      {BuildWave(serum), "10|SYNTHESIS DATA||VORTA|||5|2048"},
      {BuildWave(plainFloat), "3|SYNTHESIS DATA||VORTA||32 FLOAT|5|2048"},
  };
  for (const auto& [bytes, card] : cases) EXPECT_EQ(Card(Put(bytes)), card);
}

TEST_F(WaveReader, ChunkListQuirks) {
  HandWave w;
  w.frames = 5000;
  Smpl loop;
  loop.type = 1;
  loop.end = 4999;
  w.chunksAfterData = SmplChunk(loop);
  // A text chunk before the real ones holding tag names must not be taken
  // for chunks; an odd-sized chunk without its pad byte; garbage between
  // chunks (the tag search takes over); a chunk whose size runs past the end
  // of the file (searched inside).
  std::vector<uint8_t> text;
  PutText(text, "metadata smpl fmt data RIFF WAVE", 32);
  const std::vector<uint8_t> before[] = {Chunk("LIST", text), Chunk("note", {1, 2, 3}, false), {0, 0, 0, 1, 2, 3},
                                         {'b', 'a', 'd', ' ', 0xFF, 0xFF, 0xFF, 0x7F}};
  for (const auto& chunks : before) {
    w.chunksBeforeFmt = chunks;
    EXPECT_EQ(Card(Put(BuildWave(w))), "1||YES <ALTERNATE>||MONO|16 PCM||0.11 SEC");
  }
}

TEST_F(WaveReader, SamplerChunkIsCappedAndNothingSurvivesFromTheLastScan) {
  HandWave w;
  w.frames = 5000;
  Smpl big;
  big.end = 4999;
  big.samplerDataSize = 8000;
  big.samplerDataBytes = 8000;
  big.payload.assign(7992, 0xAB);
  w.chunksAfterData = SmplChunk(big);
  std::FILE* file = std::fopen(Put(BuildWave(w), "BIG.WAV").c_str(), "rb");
  WaveHeader header;
  SamplerBlock block;
  ScanRiffChunks(file, header, block, false);
  EXPECT_EQ(SamplerChunkSize(block), 60u + 8000u);
  EXPECT_EQ(block.bytes[kSamplerBlockBytes - 1], 0xAB);
  std::fclose(file);

  // A file without "smpl" after it: the block is all zero again.
  w.chunksAfterData.clear();
  file = std::fopen(Put(BuildWave(w), "PLAIN.WAV").c_str(), "rb");
  ScanRiffChunks(file, header, block, false);
  EXPECT_EQ(block.bytes, SamplerBlock{}.bytes);
  std::fclose(file);
}

// Chunks found by the tag search behind a run of junk: across a border of
// the search blocks they are found; past 64 MiB of junk (a sparse hole
// here) the search gives up and the file is damaged, at once.
TEST_F(WaveReader, TagSearchReadsBlocksAndGivesUpOnHugeJunk) {
  HandWave w;
  w.frames = 5000;
  const std::vector<uint8_t> plain = BuildWave(w);
  const std::vector<uint8_t> chunks(plain.begin() + 12, plain.end());
  const std::pair<uint64_t, const char*> cases[] = {
      {12 + 65536 - 2, "1||||MONO|16 PCM||0.11 SEC"},          // "fmt " across the first border
      {12 + 65533 + 65536 - 1, "1||||MONO|16 PCM||0.11 SEC"},  // and across the second
      {(64ull << 20) + 4096, "0|DATA CHUNK MISSING||||||"},
  };
  for (const auto& [chunksAt, card] : cases) {
    const std::string path = folder / "JUNK.WAV";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::vector<uint8_t> header(plain.begin(), plain.begin() + 12);
    header[4] = header[5] = header[6] = 0xFF;  // the RIFF size covers everything
    header[7] = 0x3F;
    std::fwrite(header.data(), 1, header.size(), file);
    std::fseek(file, static_cast<long>(chunksAt), SEEK_SET);
    std::fwrite(chunks.data(), 1, chunks.size(), file);
    std::fclose(file);
    EXPECT_EQ(Card(path), card) << chunksAt;
  }
}

}  // namespace
