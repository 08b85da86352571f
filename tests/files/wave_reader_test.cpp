#include "files/wave_reader.h"

#include <gtest/gtest.h>

#include "files/folder_table.h"
#include "files/riff_chunks.h"
#include "files/wave_fixtures.h"

using namespace wave_fixtures;

namespace {

const ReadRules kForceLoop{true};
const ReadRules kNoForceLoop{false};
const char* const kPlainCard = "1||||MONO|16 PCM||0.11 SEC";  // 5,000 frames of 16-bit mono

class WaveReader : public ::testing::Test {
 protected:
  std::string Put(const std::vector<uint8_t>& bytes, const std::string& name = "T.WAV") {
    WriteAllBytes(folder / name, bytes);
    return folder / name;
  }
  std::string Sox(const std::string& name, uint32_t frames, const std::string& format, int channels = 1,
                  int rate = 44100) {
    EXPECT_TRUE(SoxSine(folder / name, frames, format, channels, rate)) << name << " (sox comes with setup.sh)";
    return folder / name;
  }
  void ExpectCards(const std::vector<std::pair<std::vector<uint8_t>, std::string>>& cases) {
    for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(Card(Put(cases[i].first)), cases[i].second) << "case " << i;
  }
  TempFolder folder;
};

// Files of an independent writer; single cycles need a loop over all frames while force-loop is on.
TEST_F(WaveReader, SoxFilesSamplesCyclesAndRejectedFormats) {
  const std::string cycle = Sox("CYCLE.wav", 2048, "-b 16");
  const std::string partial = Sox("PART.wav", 2048, "-b 16");
  const std::string full = Sox("FULL.wav", 2048, "-b 16");
  AppendChunk(partial, SmplChunk({.end = 1023}));
  AppendChunk(full, SmplChunk({.end = 2047}));
  const struct { std::string path; const char* card; const ReadRules& rules = kForceLoop; } cases[] = {
      {cycle, "0|LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION||||||"},
      {cycle, "2|||||16 PCM||2048", kNoForceLoop},
      {Sox("STEREO.wav", 2048, "-b 16", 2), "0|ONLY MONO FILES CAN BE CLASSIFIED AS SINGLE CYCLE||||||", kNoForceLoop},
      {partial, "0|LOOP SIZE MUST BE EQUAL TO FILE SIZE FOR SINGLE CYCLE CLASSIFICATION||||||"},
      {full, "2||YES|||16 PCM||2048"},
      {Sox("P8.wav", 44100, "-b 8"), "1||||MONO|8 PCM||1.00 SEC"},
      {Sox("P16.wav", 44100, "-b 16", 2), "1||||STEREO|16 PCM||1.00 SEC"},
      {Sox("P32.wav", 44100, "-t wavpcm -b 32"), "1||||MONO|32 PCM||1.00 SEC"},
      {Sox("F32.wav", 44100, "-e floating-point -b 32", 2), "1||||STEREO|32 FLOAT||1.00 SEC"},
      {Sox("LONGER.wav", 4097, "-b 16"), "1||||MONO|16 PCM||0.09 SEC"},
      {Sox("MAX.wav", 3969000, "-b 8"), "1||||MONO|8 PCM||90.00 SEC"},  // ninety seconds at most
      {Sox("OVER.wav", 3969001, "-b 8"), "0|FILE IS TOO LARGE||||||"},
      {Sox("SHORT.wav", 127, "-b 16"), "0|FILE IS TOO SMALL||||||"},
      {Sox("P24.wav", 8000, "-t wavpcm -b 24"), "0|WRONG PCM BIT DEPHT||||||"},
      // sox writes 24-bit PCM in the extensible layout (format tag 65,534).
      {Sox("X24.wav", 8000, "-b 24"), "0|UNSUPPORTED AUDIO FORMAT||||||"},
      {Sox("R48.wav", 8000, "-b 16", 1, 48000), "0|WRONG SAMPLE RATE <MUST BE 44.1 KHZ>||||||"},
      {Sox("C3.wav", 8000, "-b 16", 3), "0|WRONG CHANNEL COUNT||||||"},
      {Sox("F64.wav", 8000, "-e floating-point -b 64"), "0|WRONG IEEE FLOAT BIT DEPHT||||||"},
  };
  for (const auto& c : cases) EXPECT_EQ(Card(c.path, c.rules), c.card) << c.path;
}

// A file that fails hands out an empty header and sampler block; a sampler chunk larger than the
// block is cut to it, and nothing of it survives into the scan of a file without one.
TEST_F(WaveReader, SamplerBlockIsCappedAndNeverLeftOver) {
  Smpl big{.end = 4999, .samplerDataSize = 8000, .samplerDataBytes = 8000};
  big.payload.assign(7992, 0xAB);
  WaveHeader header;
  SamplerBlock block;
  for (const auto& chunks : {SmplChunk(big), std::vector<uint8_t>{}}) {
    std::FILE* file = std::fopen(Put(BuildWave({.frames = 5000, .chunksAfterData = chunks})).c_str(), "rb");
    ScanRiffChunks(file, header, block, false);
    std::fclose(file);
    EXPECT_EQ(SamplerChunkSize(block), chunks.empty() ? 0u : 60u + 8000u);
    EXPECT_EQ(block.bytes[kSamplerBlockBytes - 1], chunks.empty() ? 0 : 0xAB);
  }
  EXPECT_EQ(block.bytes, SamplerBlock{}.bytes);
  block.bytes[5] = 9;
  header.channels = 2;
  std::FILE* file = std::fopen(Put({'R', 'I', 'F', 'F'}).c_str(), "rb");
  EXPECT_EQ(ReadSoundFile(file, "BAD.WAV", nullptr, &header, &block, kForceLoop), 0);
  std::fclose(file);
  EXPECT_EQ(std::pair(block.bytes, header.channels), std::pair(SamplerBlock{}.bytes, uint16_t{0}));
}

// Damaged headers, each with its message, in the order the reader tests.
TEST_F(WaveReader, HandMadeHeadersAndTheirMessages) {
  const std::vector<uint8_t> good = BuildWave({.frames = 5000});
  const auto changed = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> bytes = good;
    bytes[at] = value;
    return bytes;
  };
  std::vector<uint8_t> truncated = BuildWave({.frames = 10000});
  truncated.resize(truncated.size() - 5000);  // the data chunk claims more than the file holds
  const std::vector<uint8_t> silence(1000, 0);
  const std::string text = "metadata smpl fmt data RIFF WAVE";
  const auto before = [](const std::vector<uint8_t>& chunks) {
    const auto loop = SmplChunk({.type = 1, .end = 4999});
    return BuildWave({.frames = 5000, .chunksBeforeFmt = chunks, .chunksAfterData = loop});
  };
  const char* const looped = "1||YES <ALTERNATE>||MONO|16 PCM||0.11 SEC";
  ExpectCards({
      {good, kPlainCard},
      {truncated, "1||||MONO|16 PCM||0.23 SEC"},
      {{}, "0|RIFF TAG MISSING||||||"},
      {changed(0, 'X'), "0|RIFF TAG MISSING||||||"},
      {changed(8, 'X'), "0|WAVE TAG MISSING||||||"},
      {changed(36, 'X'), "0|DATA CHUNK MISSING||||||"},
      {changed(12, 'X'), "0|FORMAT CHUNK MISSING||||||"},
      // True RIFF size is data size + 36 for this layout.
      {BuildWave({.frames = 5000, .riffSizeDelta = -1}), "0|CHUNK SIZE ERROR||||||"},
      {BuildWave({.frames = 5000, .fmtSize = 14}), "0|CHUNK SIZE ERROR||||||"},
      // Zero bits are rejected before any division.
      {BuildWave({.bits = 0, .audio = silence}), "0|WRONG PCM BIT DEPHT||||||"},
      {BuildWave({.formatTag = kFormatFloat, .bits = 0, .audio = silence}), "0|WRONG IEEE FLOAT BIT DEPHT||||||"},
      {BuildWave({.formatTag = 0xFFFE, .bits = 0, .audio = silence}), "0|UNSUPPORTED AUDIO FORMAT||||||"},
      // Before "fmt ": a text chunk holding tag names; an odd-sized chunk without its pad byte;
      // garbage (the tag search takes over); a size past the end of the file (searched inside).
      {before(Chunk("LIST", {text.begin(), text.end()})), looped},
      {before(Chunk("note", {1, 2, 3}, false)), looped},
      {before({0, 0, 0, 1, 2, 3}), looped},
      {before({'b', 'a', 'd', ' ', 0xFF, 0xFF, 0xFF, 0x7F}), looped},
      // A last chunk that ends with the file is not searched: the "smpl" inside it is text.
      {BuildWave({.frames = 5000, .chunksAfterData = Chunk("LIST", SmplChunk({.end = 4999}))}), kPlainCard},
  });
  // A WAV file under the extension of another format goes to that format's reader, which refuses it
  // (which extension is which category: FolderTable.CategoryByExtension).
  const std::pair<const char*, const char*> names[] = {
      {"LONG.WAVE", "0|UNKNOWN FILE TYPE OR EXTENSION||||||"}, {"A.SYX", "0|FILE IS TOO SMALL||||||"},
      {"A.WT", "0|DATA RANGE ERROR <KOMPLEXER WT>||||||"},     {"A.EFE", "0|NOT AN EFE INSTRUMENT FILE||||||"},
      {"A.WTS", "0|NO VORTA WAVETABLE FILE||||||"},
  };
  for (const auto& [name, card] : names) EXPECT_EQ(Card(Put(good, name)), card) << name;
  EXPECT_EQ(Card(folder / "MISSING.WAV"), "0|ACCESS DENIED||||||");
}

TEST_F(WaveReader, LoopIsKeptOnlyWithinTheFile) {
  const struct { uint32_t frames; uint16_t channels; Smpl loop; const char* shown; } cases[] = {
      {10000, 1, {.start = 100, .end = 9999}, "YES <NORMAL>"},   {10000, 1, {.type = 2, .end = 5000}, "YES <REVERSE>"},
      {10000, 1, {.type = 1, .start = 100, .end = 9999}, "YES <ALTERNATE>"},
      {10000, 1, {.end = 255}, "YES <SCANLOOP>"},
      // Dropped: an end beyond the last frame or before the start, an unknown type, two loops, overflows.
      {10000, 1, {.end = 10000}, ""},        {10000, 1, {.start = 500, .end = 400}, ""},
      {10000, 1, {.type = 3, .end = 255}, ""}, {10000, 1, {.loops = 2, .end = 255}, ""},
      {10000, 1, {.start = 0xFFFFFFFFu, .end = 0xFFFFFFFEu}, ""}, {10000, 1, {.end = 0xFFFFFFFFu}, ""},
      // A scan loop needs two cycles of 128 to 4,096 frames in a mono file.
      {5000, 1, {.end = 2499}, "YES <SCANLOOP>"}, {5000, 1, {.end = 2500}, "YES <NORMAL>"},
      {5000, 1, {.end = 126}, "YES <NORMAL>"},    {5000, 2, {.end = 255}, "YES <NORMAL>"},
  };
  for (const auto& c : cases) {
    FileInfo info;
    const HandWave w{.channels = c.channels, .frames = c.frames, .chunksAfterData = SmplChunk(c.loop)};
    EXPECT_EQ(TestSoundFile(Put(BuildWave(w)), &info, kForceLoop), kCategorySample);
    EXPECT_EQ(info.loop, c.shown) << c.frames << " " << c.loop.start << ".." << c.loop.end;
  }
  WaveHeader header{.channels = 1};
  SamplerBlock block;
  SetSamplerU32(block, sampler_offset::kLoopCount, 1);
  for (const auto& [end, frames, count] : {std::tuple<uint32_t, uint32_t, uint32_t>{127, 1000, 7}, {4095, 8192, 2},
                                           {4096, 8194, 0}, {0xFFFFFFFFu, 8194, 0}}) {
    SetSamplerU32(block, sampler_offset::kLoopEnd, end);
    EXPECT_EQ(ScanLoopCount(header, block, frames), count) << end;
  }
}

TEST_F(WaveReader, SynthesisTables) {
  const auto xform = [&](uint16_t channels, uint32_t frames, uint32_t loopEnd) {
    return BuildWave({.formatTag = kFormatFloat, .channels = channels, .bits = 32, .frames = frames,
                      .chunksAfterData = SmplChunk(TableSmpl("XFORM___", loopEnd))});
  };
  const auto vorta = [&](uint32_t loopEnd, uint32_t samplerData, uint32_t frames = 33 * 2048) {
    return BuildWave({.frames = frames, .chunksAfterData = SmplChunk(TableSmpl("VORTA___", loopEnd, samplerData))});
  };
  // Serum: float, mono, "JUNK" and "clm " besides the usual chunks; without them a plain float table.
  const std::string clm = "<!>2048 10000000 wavetable (Sonic-Loom)" + std::string(9, ' ');
  const HandWave plainFloat{.formatTag = kFormatFloat, .bits = 32, .frames = 5 * 2048,
                            .chunksAfterData = SmplChunk(TableSmpl("VORTA___", 2047))};
  HandWave serum = plainFloat;
  serum.chunksBeforeFmt = Chunk("JUNK", std::vector<uint8_t>(28, 0));
  serum.chunksAfterData = Chunk("clm ", {clm.begin(), clm.end()});
  serum.chunksAfterData.insert(serum.chunksAfterData.end(), plainFloat.chunksAfterData.begin(),
                               plainFloat.chunksAfterData.end());
  ExpectCards({
      {xform(1, 262144, 131071), "13|SYNTHESIS DATA||XFORM|MONO||2|131072"},
      {xform(2, 262144, 131071), "13|SYNTHESIS DATA||XFORM|STEREO||2|131072"},
      {xform(1, 200000, 131071), "0|DAMAGED XFORM WAVETABLE PARAMETER||XFORM||||"},
      {xform(1, 262144, 131070), "0|DAMAGED XFORM WAVETABLE PARAMETER||XFORM||||"},
      {vorta(2047, 4240), "3|SYNTHESIS DATA||VORTA||16 PCM|33|2048"},
      {vorta(70000, 4240), "3|SYNTHESIS DATA||VORTA||16 PCM||"},  // its loop cleared: no wave count
      {vorta(2047, 4236), "0|OUTDATED WAVETABLE FORMAT||VORTA||||"},
      // Outside 4,232 .. 4,240 the sampler data is some other program's: a sample.
      {vorta(2047, 4300), "1|SYNTHESIS DATA|YES <SCANLOOP>|VORTA|MONO|16 PCM||1.53 SEC"},
      // A small VORTA file with little sampler data counts as a cycle candidate.
      {vorta(2047, 100, 2048), "2|SYNTHESIS DATA|YES|VORTA||16 PCM||2048"},
      {BuildWave(serum), "10|SYNTHESIS DATA||VORTA|||5|2048"},
      {BuildWave(plainFloat), "3|SYNTHESIS DATA||VORTA||32 FLOAT|5|2048"},
  });
}

// The tag search finds chunks behind junk across the borders of its blocks; past 64 MiB of junk (a
// sparse hole here) it gives up and the file is damaged, at once.
TEST_F(WaveReader, TagSearchReadsBlocksAndGivesUpOnHugeJunk) {
  const std::vector<uint8_t> plain = BuildWave({.frames = 5000});
  std::vector<uint8_t> header(plain.begin(), plain.begin() + 12);
  SetU32(header, 4, 0x3FFFFFFF);  // the RIFF size covers everything
  const std::pair<uint64_t, const char*> cases[] = {
      {12 + 65536 - 2, kPlainCard},          // "fmt " across the first border
      {12 + 65533 + 65536 - 1, kPlainCard},  // and across the second
      {(64ull << 20) + 4096, "0|DATA CHUNK MISSING||||||"},
  };
  for (const auto& [chunksAt, card] : cases) {
    const std::string path = Put(header, "JUNK.WAV");
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary).seekp(static_cast<std::streamoff>(chunksAt))
        .write(reinterpret_cast<const char*>(plain.data()) + 12, static_cast<std::streamsize>(plain.size() - 12));
    EXPECT_EQ(Card(path), card) << chunksAt;
  }
}

}  // namespace
