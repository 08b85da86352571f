#include "wavetable/vorta_synthesis.h"

#include "core/byte_order.h"
#include "vorta_fixture.h"
#include "wavetable/limit_peak.h"
#include "wavetable/line_smoothing.h"
#include "wavetable/partial_table.h"
#include "wavetable/payload.h"
#include "wavetable/ram_wavetable.h"
#include "wavetable/single_cycle_partials.h"

namespace {

// Fields both families share; the chunk header before 68 is the WAV writer's.
void ExpectFrame(const std::vector<uint8_t>& block, const std::string& id, uint32_t stretch, PayloadFamily family) {
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data() + 68), 8), id);
  EXPECT_EQ(ReadU32LE(block.data() + 4300), stretch);
  EXPECT_EQ(std::memcmp(block.data() + 4304, "LOG_", 4), 0);
  EXPECT_TRUE(block[0] == 0xEE && block[67] == 0xEE);  // the chunk header is left alone
  EXPECT_EQ(PayloadFamilyOf(block), family);
}

struct Sine {
  int partial;
  double amplitude, phase;
};
std::vector<float> Cycle(int length, std::initializer_list<Sine> sines) {
  std::vector<float> cycle(static_cast<size_t>(length));
  for (int j = 0; j < length; ++j)
    for (const Sine& s : sines)
      cycle[static_cast<size_t>(j)] +=
          static_cast<float>(s.amplitude * std::sin(2 * std::numbers::pi * s.partial * j / length + s.phase));
  return cycle;
}

}  // namespace

TEST(PartialTable, CodesOfTheBoundaryAmplitudesAndTheEncodingCeiling) {
  // {amplitude, code}: 35.157 codes per decade, never beyond full scale, NaN silent.
  const std::pair<double, int> codes[] = {{4096.0, 127}, {-4096.0, -127}, {0.99, 0},     {1.0, 0},
                                          {1.0677, 1},   {1.0e9, 127},    {-1.0e9, -127}, {std::nan(""), 0}};
  for (const auto& [amplitude, code] : codes) EXPECT_EQ(EncodeAmplitude(amplitude), code) << amplitude;
  EXPECT_EQ(DecodeCode(0), 0.0);
  EXPECT_NEAR(DecodeCode(127), 4096.0, 1e-6);
  EXPECT_NEAR(DecodeCode(1), 1.0677, 1e-4);
  for (int code = -127; code <= 127; ++code) EXPECT_EQ(EncodeAmplitude(DecodeCode(code)), code) << code;

  AmplitudeMatrix loud;
  loud.at(0, 0) = 8192.0f;
  loud.at(1, 5) = -4096.0f;
  ExpectCodes(EncodeTable(loud, kDefaultCeiling), {{0, 0, 127}, {1, 5, -116}});  // halved

  AmplitudeMatrix quiet;
  quiet.at(3, 3) = 100.0f;
  EXPECT_EQ(EncodeTable(quiet, kDefaultCeiling).at(3, 3), 70);  // unchanged: log10(100) x 35.157
  EXPECT_EQ(EncodeTable(quiet, 0.0).at(3, 3), 127);             // ceiling 0 always raises
  EXPECT_TRUE(TableIsSilent(EncodeTable(AmplitudeMatrix{}, 0.0)));  // silence stays silence
}

TEST(PartialTable, LayoutClampAndSelection) {
  PartialTable table;
  table.at(2, 5) = 9;
  EXPECT_TRUE(table.codes[2 * 33 + 5] == 9 && table.Row(2)[5] == 9);
  EXPECT_TRUE(SliceIsFilled(table, 5) && !SliceIsFilled(table, 4));
  table.at(0, 0) = 300;
  table.at(0, 1) = -32768;
  ClampTableCodes(table);
  ExpectCodes(table, {{0, 0, 127}, {0, 1, -127}});

  EXPECT_EQ((std::array{SelectedSlices(7).first, SelectedSlices(7).end, SelectedSlices(33).first,
                        SelectedSlices(1000).end, SelectedRows(64).end, SelectedRows(-1).end}),
            (std::array{7, 8, 0, 33, 64, 0}));
  EXPECT_EQ(std::pair(Nearest(2.5), Nearest(-2.5)), std::pair(3.0, -3.0));
}

TEST(Payload, VortaFieldsLieAtTheirOffsetsDamagedOnesAreClampedAndShortBlocksRefused) {
  const PartialTable table = TableWith({{0, 0, 127}, {0, 1, -1}, {63, 32, 42}});
  std::vector<uint8_t> block(kSamplerBlockBytes, 0xEE);
  ASSERT_TRUE(WriteVortaPayload(block, table, 7));
  ExpectFrame(block, "VORTA___", 7, PayloadFamily::Vorta);
  EXPECT_EQ(std::vector<uint8_t>(block.begin() + 76, block.begin() + 80), (std::vector<uint8_t>{127, 0, 0xFF, 0xFF}));
  EXPECT_EQ(ReadI16LE(block.data() + 76 + 2 * (63 * 33 + 32)), 42);

  PartialTable back;
  int32_t stretch = 0;
  ASSERT_TRUE(ReadVortaPayload(block, back, stretch));
  EXPECT_EQ(std::pair(back, stretch), std::pair(table, 7));

  // Damaged values are clamped. A foreign format's block carries no id; stretches outside 1..32 read as 16.
  block.assign(kSamplerBlockBytes, 0);
  WriteI16LE(block.data() + 76, 131);  // a code beyond full scale
  WriteI16LE(block.data() + 78, -32768);
  for (int32_t stored : {0, 33}) {
    WriteI32LE(block.data() + 4300, stored);
    stretch = 0;
    ASSERT_TRUE(ReadVortaPayload(block, back, stretch));
    EXPECT_EQ(stretch, 16) << stored;
  }
  ExpectCodes(back, {{0, 0, 127}, {0, 1, -127}});

  std::vector<uint8_t> shortBlock(4307, 0);
  EXPECT_FALSE(ReadVortaPayload(shortBlock, back, stretch));
  EXPECT_FALSE(WriteVortaPayload(shortBlock, back, 16));
  EXPECT_TRUE(std::all_of(shortBlock.begin(), shortBlock.end(), [](uint8_t b) { return b == 0; }));
}

TEST(Payload, XformProfileRoundTripAndFamilies) {
  XformBandProfile profile{};
  for (size_t i = 0; i < profile.size(); ++i) profile[i] = static_cast<uint8_t>(i % 128);
  std::vector<uint8_t> block(kSamplerBlockBytes, 0xEE);
  ASSERT_TRUE(WriteXformPayload(block, profile));
  ExpectFrame(block, "XFORM___", 0, PayloadFamily::Xform);
  EXPECT_EQ(block[76 + 129], 1);

  block[76] = 200;  // out of range in a damaged file
  XformBandProfile back{};
  ASSERT_TRUE(ReadXformPayload(block, back));
  profile[0] = 127;
  EXPECT_EQ(back, profile);

  PartialTable table;
  int32_t stretch = 0;
  EXPECT_FALSE(ReadVortaPayload(block, table, stretch));  // the other family
  EXPECT_EQ(PayloadFamilyOf(std::vector<uint8_t>(kSamplerBlockBytes, 0)), PayloadFamily::None);
}

TEST_F(VortaTest, SynthesisMatchesTheSumOfSines) {
  PartialTable table;
  SeedRandom(7);
  for (int16_t& code : table.codes) code = static_cast<int16_t>(RandomBelow(255) - 127);
  for (int length : {128, 256, 512, 1024}) {
    std::vector<float> cycle(static_cast<size_t>(length));
    for (int slice : {0, 17, 32}) {
      SynthesizeSlice(table, slice, length, cycle);
      const std::vector<double> expected = DirectCycle(table, slice, length);
      for (int j = 0; j < length; ++j)
        ASSERT_NEAR(cycle[static_cast<size_t>(j)], expected[static_cast<size_t>(j)], 2e-4) << length << " " << j;
    }
  }
  // A slice outside the table is silence; a length beyond the transform's leaves the buffer alone.
  const struct { int slice, length; float after; } edges[] = {
      {-1, 256, 0.0f}, {33, 256, 0.0f}, {0, kMaxSliceLength + 1, 7.0f}, {-1, kMaxSliceLength + 1, 7.0f}};
  for (const auto& edge : edges) {
    std::vector<float> cycle(static_cast<size_t>(edge.length), 7.0f);
    SynthesizeSlice(table, edge.slice, edge.length, cycle);
    EXPECT_EQ(cycle, std::vector<float>(cycle.size(), edge.after)) << edge.slice << " " << edge.length;
  }
}

TEST_F(VortaTest, RamLayoutAndRenderBlendsLengthsPitchAndLimiting) {
  EXPECT_EQ(SliceStart(3, 256, 4), 3u * 1024u);
  // The page shows the stretch as a speed, 32 the slowest; the buttons stop at 1 and 32.
  EXPECT_EQ((std::array{ShownSpeed(16), ShownSpeed(1), FasterPlayback(1), FasterPlayback(16), SlowerPlayback(32),
                        SlowerPlayback(16), ClampStretch(0)}),
            (std::array{17, 32, 1, 15, 32, 17, 1}));
  EXPECT_EQ(RamNameFrom("A NAME LONGER THAN TWENTY-ONE"), "A NAME LONGER THAN TW");
  EXPECT_EQ(RamNameFrom("SHORT"), "SHORT");

  std::vector<float> out(kRamWavetableSamples, 7.0f);
  ASSERT_EQ(RenderTable(TableWithCode(0, 0, 127), out, 4, 1.0), 4u * 8192u + 256u);
  for (int j = 0; j < 256; ++j) ASSERT_NEAR(out[j], std::sin(2 * std::numbers::pi * j / 256), 1e-5);
  for (int k = 1; k < 4; ++k)  // the blends towards silent slice 1
    for (int j = 0; j < 256; ++j)
      ASSERT_NEAR(out[static_cast<size_t>(k * 256 + j)], (4 - k) / 4.0 * out[static_cast<size_t>(j)], 1e-6) << k;
  EXPECT_EQ(PeakOf(std::span(out).subspan(1024, 4u * 8192u + 256u - 1024u)), 0.0);

  PartialTable table;
  for (int r = 0; r < 8; ++r) table.at(r, 5) = 127;  // far above full scale
  // {stretch, pitch factor, length}: 33 slices, stretch - 1 blends between neighbours.
  const struct { int stretch; double pitch; size_t length; } renders[] = {
      {1, 1.0, 8448u}, {32, 1.0, 262400u}, {32, 0.0625, 32u * 4096u * 32u + 4096u}, {16, 2.0, 16u * 32u * 128u + 128u}};
  for (const auto& r : renders) EXPECT_EQ(RenderTable(table, out, r.stretch, r.pitch), r.length) << r.stretch;
  RenderTable(table, out, 1, 1.0);
  EXPECT_NEAR(PeakOf(std::span(out).subspan(5 * 256, 256)), 1.0, 1e-6);
  EXPECT_EQ(RenderTable(table, std::span(out).first(8447), 1, 1.0), 0u);  // one sample short

  std::array<float, 512> cycle{};
  EXPECT_EQ(RenderSlice(table, 5, cycle, 0.5), 512);
  EXPECT_NEAR(PeakOf(cycle), 1.0, 1e-6);
  EXPECT_EQ(RenderSlice(table, 5, std::span<float>(cycle).first(100), 1.0), 0);
  // Short cycles cannot hold the upper partials: they are left out, not written past the spectrum.
  EXPECT_EQ(RenderSlice(table, 5, std::span<float>(cycle).first(32), 8.0), 32);

  // A partial row alone is not limited.
  table.at(0, 0) = 127;
  ASSERT_EQ(RenderPartialRow(table, 0, out, 2), 2u * 8192u + 256u);
  EXPECT_NEAR(PeakOf(std::span(out).first(256)), 1.0, 1e-5);
  EXPECT_NEAR(PeakOf(std::span(out).subspan(256, 256)), 0.5, 1e-5);      // the blend towards slice 1
  EXPECT_NEAR(PeakOf(std::span(out).subspan(5 * 512, 256)), 1.0, 1e-5);  // slice 5's first partial only
}

TEST_F(VortaTest, SlicePeakOptimizeAndNormalize) {
  const PartialTable peaked = TableWith({{0, 3, 120}, {2, 3, -110}, {6, 3, 100}});
  const auto [low, high] = std::ranges::minmax(DirectCycle(peaked, 3, 256));
  EXPECT_NEAR(SlicePeak(peaked, 3), std::max(-low, high), 1e-4);
  EXPECT_EQ(SlicePeak(peaked, 4), 0.0);

  PartialTable quiet;
  for (int s = 0; s < 33; ++s) quiet.at(0, s) = 116;  // peak 0.487
  quiet.at(0, 7) = 0;
  quiet.at(3, 7) = 100;
  OptimizeTable(quiet, kOptimizeRaise);
  ExpectCodes(quiet, {{0, 0, 127}, {3, 7, 111}});  // raised by about 11 codes (6 dB)
  OptimizeTable(quiet = TableWithCode(0, 0, 100), kOptimizeLowerOnly);
  EXPECT_EQ(quiet, TableWithCode(0, 0, 100));

  PartialTable loud = TableWith({{0, 0, 127}, {2, 0, -127}});  // sin x - sin 3x peaks at exactly 2.0
  for (int s = 1; s < 33; ++s) loud.at(0, s) = 124;  // about 0.8
  EXPECT_NEAR(SlicePeak(loud, 0), 2.0, 1e-4);
  OptimizeTable(loud, kOptimizeRaise);
  for (int s = 1; s < 33; ++s) ASSERT_EQ(loud.at(0, s), 124);  // only the loud slice moves
  ExpectCodes(loud, {{0, 0, 116}, {2, 0, -116}});              // halved: 10.6 code steps down

  PartialTable normal = TableWithCode(0, 4, 100);
  NormalizeTable(normal);
  EXPECT_EQ(normal.at(0, 4), 127);
  normal.at(1, 4) = 127;
  NormalizeTable(normal);
  EXPECT_NEAR(SlicePeak(normal, 4), 1.0, 0.07);

  PartialTable silent;
  OptimizeTable(silent, kOptimizeRaise);
  NormalizeTable(silent);
  EXPECT_TRUE(TableIsSilent(silent));
}

TEST_F(VortaTest, SmoothingSpreadsInAmplitude) {
  // Open ends: (2 x0 + x1) / 3; circular lines wrap around; 64 rows and above mean all.
  std::array<double, 33> line{};
  line[16] = 4096.0;
  SmoothLine(line, 1);
  EXPECT_EQ(std::vector<double>(line.begin() + 14, line.begin() + 19),
            (std::vector<double>{0.0, 1024.0, 2048.0, 1024.0, 0.0}));
  std::array<double, 4> circle = {4.0, 0.0, 0.0, 0.0};
  SmoothLineCircular(circle, 1);
  EXPECT_EQ(circle, (std::array<double, 4>{2.0, 1.0, 0.0, 1.0}));
  std::array<double, 2> pair = {4.0, 0.0};
  SmoothLineCircular(pair, 1);
  EXPECT_EQ(pair, (std::array<double, 2>{2.0, 2.0}));

  PartialTable table = TableWith({{9, 16, 127}, {0, 0, 127}, {5, 32, 127}});
  SmoothRows(table, 9, 1);
  ExpectCodes(table, {{9, 15, EncodeAmplitude(1024.0)}, {9, 16, EncodeAmplitude(2048.0)},
                      {9, 17, EncodeAmplitude(1024.0)}, {9, 14, 0}, {0, 0, 127}});
  SmoothRows(table, 64, 1);
  ExpectCodes(table, {{0, 0, EncodeAmplitude(4096.0 * 2 / 3)}, {0, 1, EncodeAmplitude(1024.0)}, {0, 2, 0},
                      {5, 32, EncodeAmplitude(4096.0 * 2 / 3)}});
}

TEST_F(VortaTest, LimitPeakOnlyAboveTheThreshold) {
  // {samples before, threshold, samples after}; threshold 0 always brings them to full scale.
  const struct { std::array<float, 3> in; double threshold; std::array<float, 3> out; } cases[] = {
      {{0.5f, -2.0f, 1.0f}, 1.0, {0.25f, -1.0f, 0.5f}}, {{0.5f, -0.25f, 0.0f}, 1.0, {0.5f, -0.25f, 0.0f}},
      {{0.5f, -0.25f, 0.0f}, 0.0, {1.0f, -0.5f, 0.0f}}, {{0.0f, 0.0f, 0.0f}, 0.0, {0.0f, 0.0f, 0.0f}}};
  for (const auto& c : cases) {
    auto samples = c.in;
    LimitPeak(samples, c.threshold, 1.0);
    EXPECT_EQ(samples, c.out) << c.in[0] << " " << c.threshold;
  }
}

TEST_F(VortaTest, GeneratedHarmonicsFollowTheFormulaAndCyclesBecomeSignedPartials) {
  const PartialTable flat = GenerateHarmonics(1.0, 0.0, 0, 1);  // no modulation: every slice alike
  for (int s = 1; s < 33; ++s)
    for (int r = 0; r < 64; ++r) ASSERT_EQ(flat.at(r, s), flat.at(r, 0));
  // 1/n falloff: partial 2 lies 6 dB plus the extra damping below partial 1.
  EXPECT_NEAR(flat.at(0, 0) - flat.at(1, 0), 20 * std::log10(2.0 * (1 + 0.01562)) / (20.0 / 35.1570723376), 1.0);
  EXPECT_NEAR(SlicePeak(flat, 0), 1.0, 0.07);

  const PartialTable spread = GenerateHarmonics(1.0, 1.0, 0, 4);
  for (int r = 0; r < 64; ++r) EXPECT_EQ(spread.at(r, 0) != 0, r % 4 == 0) << r;
  // Partial 2 turns by pi/32 per slice: negative after slice 16.
  EXPECT_TRUE(spread.at(4, 15) > 0 && spread.at(4, 32) < 0);

  std::vector<float> waves(33 * 128, 0.0f);
  const std::vector<float> first = Cycle(128, {{1, 0.25, 0.0}, {3, -0.125, 0.0}});
  const std::vector<float> fifth = Cycle(128, {{2, 0.25, 0.5}});  // the phase is dropped
  std::copy(first.begin(), first.end(), waves.begin());
  std::copy(fifth.begin(), fifth.end(), waves.begin() + 5 * 128);
  // The loudest is raised to full scale; wave 5's partial 2 is as loud as wave 0's partial 1.
  ExpectCodes(AnalyzeCycles(waves),
              {{0, 0, 127}, {2, 0, -EncodeAmplitude(2048.0)}, {1, 0, 0}, {1, 5, 127}, {63, 0, 0}});
  EXPECT_TRUE(TableIsSilent(AnalyzeCycles(std::vector<float>(33 * 128, 0.0f))));
  EXPECT_TRUE(TableIsSilent(AnalyzeCycles({})));

  for (int length : {128, 1000, 2048, 4096}) {
    SCOPED_TRACE(length);
    const std::vector<float> cycle = Cycle(length, {{1, 0.5, 0.0}, {3, -0.25, 0.0}, {40, 0.125, 1.0}});
    const PartialTable table = SingleCycleToPartials(cycle);
    ExpectCodes(table, {{0, 0, EncodeAmplitude(2048.0)}, {2, 0, -EncodeAmplitude(1024.0)},
                        {39, 0, EncodeAmplitude(512.0)}, {1, 0, 0}});
    EXPECT_FALSE(SliceIsFilled(table, 1));
    const PartialTable filled = FillTableWithCycle(cycle);
    EXPECT_NEAR(SlicePeak(filled, 0), 1.0, 0.07);
    EXPECT_EQ(filled.Row(0)[32], filled.at(0, 0));
  }
  for (size_t length : {size_t{0}, size_t{127}, size_t{4097}})
    EXPECT_TRUE(TableIsSilent(SingleCycleToPartials(std::vector<float>(length, 0.5f)))) << length;
}
