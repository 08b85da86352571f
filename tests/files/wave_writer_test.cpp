#include "files/wave_writer.h"

#include <cmath>
#include <limits>

#include "core/byte_order.h"
#include "files/library_fixture.h"
#include "files/sample_loader.h"

using namespace wave_fixtures;

namespace {

class WaveWriter : public LibraryFixture {
 protected:
  // As a rendering page prepares it: format, the module's defaults, then (for a VORTA loop over one
  // wave of wave frames) the loop and, for a table, the synthesis data and its note; prepared again.
  void Prepare(ProgramState module, uint16_t formatTag, uint16_t bits, uint16_t channels, uint32_t frames,
               uint32_t wave = 0, bool table = false, ExtraChunk* junk = nullptr, ExtraChunk* clm = nullptr) {
    header = WaveHeader{.formatTag = formatTag, .channels = module == STATE_VORTA ? uint16_t{1} : channels};
    header.bitsPerSample = bits;
    header.dataSize = frames * (bits / 8) * header.channels;
    block = SamplerBlock{};
    PrepareWaveHeader(header, block, junk, clm, module);
    if (wave == 0) return;
    if (table) SetSamplerU32(block, sampler_offset::kSamplerDataSize, kSynthesisSamplerDataSize);
    if (table) SetSamplerU32(block, sampler_offset::kUnityNote, VortaUnityNote(wave));
    SetSamplerU32(block, sampler_offset::kLoopEnd, wave - 1);
    PrepareWaveHeader(header, block, junk, clm, STATE_VORTA);
  }
  int Write(const std::string& name, int category, const std::vector<float>& left, const std::vector<float>& right) {
    return WriteWaveFile(app, name, category, header, block, left, right);
  }
  WaveHeader header;
  SamplerBlock block;
};

TEST_F(WaveWriter, VortaTablesAreByteExact) {
  Prepare(STATE_VORTA, kFormatPcm, 16, 1, 64 * 2048, 2048, true);
  for (size_t i = 0; i < kSynthesisPayloadBytes; ++i) block.bytes[sampler_offset::kPayload + i] = uint8_t(i);
  SetSamplerU32(block, sampler_offset::kSpeed, 16);
  std::vector<float> wave(64 * 2048);
  for (size_t i = 0; i < wave.size(); ++i) wave[i] = static_cast<float>(std::sin(i * 2.0 * M_PI / 2048.0) * 0.5);
  ASSERT_EQ(Write("TABLE.WAV", kCategoryVortaWav, wave, wave), kMsgDone);

  const std::vector<uint8_t> bytes = Get(kCategoryVortaWav, "TABLE.WAV");
  ASSERT_EQ(bytes.size(), 44u + 262144u + 4308u);
  // RIFF, fmt and data headers as laid out byte by byte by the fixture, with a table's 4,308-byte "smpl".
  const std::vector<uint8_t> laid = BuildWave({.frames = 64 * 2048, .chunksAfterData = SmplChunk(TableSmpl(0, 0))});
  EXPECT_TRUE(std::equal(laid.begin(), laid.begin() + 44, bytes.begin()));
  const size_t smpl = 44 + 262144;
  const auto text = [&](size_t at, size_t count) {
    return std::string(bytes.begin() + smpl + at, bytes.begin() + smpl + at + count);
  };
  EXPECT_EQ(text(0, 4) + text(68, 8) + text(4304, 4), "smplVORTA___LOG_");
  // size, sample period, unity note, pitch fraction, loops, sampler data size, loop start and end, speed
  for (const auto& [at, value] : {std::pair<size_t, uint32_t>{4, 4300}, {16, 22675}, {20, 29}, {24, 3289944948u},
                                  {36, 1}, {40, 4240}, {52, 0}, {56, 2047}, {4300, 16}}) {
    EXPECT_EQ(GetU32(bytes, smpl + at), value) << at;
  }
  EXPECT_EQ(bytes[smpl + 76 + 300], static_cast<uint8_t>(300));

  // The Serum layout adds "JUNK" and "clm " to a float table.
  ExtraChunk junk, clm;
  Prepare(STATE_VORTA, kFormatFloat, 32, 1, 5 * 2048, 2048, true, &junk, &clm);
  EXPECT_EQ(header.riffSize, 16u + 5 * 2048 * 4 + 120 + 4300);
  const std::vector<uint8_t> clmBytes = EncodeExtraChunk(clm);
  EXPECT_EQ(std::string(clmBytes.begin(), clmBytes.end()),
            std::string("clm \x30\0\0\0", 8) + "<!>2048 10000000 wavetable (Sonic-Loom)" + std::string(9, ' '));
  EXPECT_EQ(EncodeExtraChunk(junk), Chunk("JUNK", std::vector<uint8_t>(28, 0)));
}

// Levels are rounded and clamped to the format, a non-finite value is written as silence, and sox,
// reading independently, sees 16-bit 32391 as 32391 / 32768.
TEST_F(WaveWriter, LevelsRoundingAndClamping) {
  std::vector<float> left(5000, 0.0f), right(5000, 0.0f);
  std::copy_n(std::begin({1.0f, 10.0f, std::numeric_limits<float>::quiet_NaN()}), 3, left.begin());
  std::copy_n(std::begin({-1.0f, -10.0f}), 2, right.begin());
  // first: the first samples as stored, interleaved
  const struct { uint16_t format, bits, channels; const char* name; std::vector<double> first; } cases[] = {
      {kFormatPcm, 16, 2, "S16.WAV", {32391, -32391, 32767, -32768, 0, 0}},
      {kFormatPcm, 16, 1, "M16.WAV", {32391, 32767, 0}},
      {kFormatPcm, 8, 2, "S8.WAV", {128 + 126, 128 - 126, 255, 0, 128, 128}},
      {kFormatPcm, 32, 2, "S32.WAV", {2122852010, -2122852010, 2147483647, -2147483648.0, 0, 0}},
      {kFormatFloat, 32, 2, "F32.WAV", {0.98853f, -0.98853f, 9.8853f, -9.8853f, 0, 0}},
  };
  for (const auto& c : cases) {
    Prepare(STATE_SLOOP, c.format, c.bits, c.channels, 5000);
    ASSERT_EQ(Write(c.name, kCategorySample, left, c.channels == 1 ? left : right), kMsgDone);
    const std::vector<uint8_t> bytes = Get(kCategorySample, c.name);
    for (size_t i = 0; i < c.first.size(); ++i) {
      const uint8_t* p = bytes.data() + 44 + i * c.bits / 8;
      const double stored = c.format == kFormatFloat ? ReadF32LE(p)
                            : c.bits == 8            ? *p
                            : c.bits == 16           ? ReadI16LE(p)
                                                     : ReadI32LE(p);
      EXPECT_NEAR(stored, c.first[i], std::fabs(c.first[i]) * 1e-6) << c.name << " " << i;
    }
  }
  const std::string command = "sox -q '" + CategoryFilePath(app, kCategorySample, "M16.WAV") + "' -t f32 '" +
                              folder / "m16.f32" + "' trim 0 1s";
  ASSERT_EQ(std::system(command.c_str()), 0) << "sox comes with setup.sh";
  EXPECT_FLOAT_EQ(ReadF32LE(ReadAllBytes(folder / "m16.f32").data()), 32391.0f / 32768.0f);
}

TEST_F(WaveWriter, EveryKindReadsBackIntoItsCategory) {
  Prepare(STATE_XFORM, kFormatPcm, 16, 2, 0);  // XFORM slices are always float
  EXPECT_EQ(std::pair(header.formatTag, header.bitsPerSample), std::pair(kFormatFloat, uint16_t{32}));
  Prepare(STATE_SLOOP, kFormatPcm, 16, 2, 44100);  // SLOOP loops over the whole file
  EXPECT_EQ(SamplerU32(block, sampler_offset::kLoopEnd), 44099u);
  // wave: frames of one wave of a VORTA loop; each file is named by its case, "<index>.WAV"
  const struct { ProgramState module; uint16_t format, bits, channels; uint32_t frames, wave; int category;
                 const char* card; } cases[] = {
      {STATE_XFORM, kFormatFloat, 32, 2, 262144, 0, kCategoryXformWav, "13|SYNTHESIS DATA||XFORM|STEREO||2|131072"},
      {STATE_SLOOP, kFormatPcm, 16, 2, 44100, 0, kCategorySample, "1||YES <NORMAL>|SLOOP|STEREO|16 PCM||1.00 SEC"},
      {STATE_XMRPH, kFormatPcm, 32, 1, 44100, 0, kCategorySample, "1|||XMRPH|MONO|32 PCM||1.00 SEC"},
      {STATE_VORTA, kFormatFloat, 32, 1, 2048, 2048, kCategorySingleCycle, "2||YES|||32 FLOAT||2048"},
      {STATE_VORTA, kFormatPcm, 8, 1, 33 * 128, 128, kCategoryVortaWav, "3|SYNTHESIS DATA||VORTA||8 PCM|33|128"},
      {STATE_VORTA, kFormatFloat, 32, 1, 33 * 128, 128, kCategoryVortaWav, "3|SYNTHESIS DATA||VORTA||32 FLOAT|33|128"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    Prepare(c.module, c.format, c.bits, c.channels, c.frames, c.wave, c.category == kCategoryVortaWav);
    const std::vector<float> audio(c.frames, 0.1f);
    ASSERT_EQ(Write(std::to_string(i) + ".WAV", c.category, audio, audio), kMsgDone) << i;
    EXPECT_EQ(Card(CategoryFilePath(app, c.category, std::to_string(i) + ".WAV")), c.card);
  }
  // XMRPH writes unity note 60 and its level survives the load.
  std::vector<float> left(44100), right(44100);
  SampleDescriptor d;
  ASSERT_EQ(LoadSampleFile(app, {kCategorySample, "2.WAV"}, left, right, d), kMsgDone);
  EXPECT_EQ(d.unityNote, 60u);
  EXPECT_NEAR(left[10], 0.2 * 0.494265, 1e-6);
}

TEST_F(WaveWriter, AFailedWriteKeepsTheOldFile) {
  Prepare(STATE_SLOOP, kFormatPcm, 16, 1, 5000);
  const std::vector<float> audio(5000, 0.5f), quiet(5000, 0.25f), shortBuffer(4999, 0.0f);
  ASSERT_EQ(Write("KEEP.WAV", kCategorySample, quiet, quiet), kMsgDone);
  const std::vector<uint8_t> first = Get(kCategorySample, "KEEP.WAV");
  ASSERT_EQ(Write("KEEP.WAV", kCategorySample, audio, audio), kMsgDone);
  const std::vector<uint8_t> old = Get(kCategorySample, "KEEP.WAV");
  EXPECT_NE(old, first);
  EXPECT_EQ(Write("KEEP.WAV", kCategorySample, shortBuffer, audio), kMsgAccessDenied);
  EXPECT_EQ(Get(kCategorySample, "KEEP.WAV"), old);
  EXPECT_EQ(Write("../ESCAPE.WAV", kCategorySample, audio, audio), kMsgAccessDenied);
  ReadOnlyFolder guard(CategoryFolderPath(app, kCategorySample));
  if (!guard.active) GTEST_SKIP() << "no way to make a read-only folder here";
  EXPECT_EQ(Write("KEEP.WAV", kCategorySample, quiet, quiet), kMsgAccessDenied);
  EXPECT_EQ(Get(kCategorySample, "KEEP.WAV"), old);
  EXPECT_EQ(Names(kCategorySample), std::vector<std::string>{"KEEP.WAV"});
}

}  // namespace
