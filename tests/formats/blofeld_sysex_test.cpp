#include "formats/blofeld_sysex.h"

#include <cmath>
#include <numeric>
#include <tuple>

#include "formats/foreign_table_common.h"
#include "formats/format_fixtures.h"
#include "wavetable/vorta_synthesis.h"

using namespace format_fixtures;

namespace {

using Dump = std::vector<uint8_t>;

BlofeldDump View(const Dump& dump) { return BlofeldDump(dump.data(), kBlofeldDumpBytes); }
uint8_t* MessageAt(Dump& dump, int m) { return dump.data() + static_cast<size_t>(m) * kBlofeldMessageBytes; }

uint8_t ChecksumOf(const uint8_t* message) {
  return static_cast<uint8_t>(std::accumulate(message + 7, message + 408, 0u) & 127);
}

// The 64 waves a VORTA table gives: 65 rendered with one blend between
// neighbours, the first 64 used.
std::vector<float> VortaWaves(const PartialTable& table) { return RenderWaves(table, kBlofeldWaveLength, 2); }

Dump BuildDump(const std::vector<float>& waves, const char* name = "TABLE", int32_t stretch = 16, int device = 0,
               int slot = 80) {
  Dump dump(kBlofeldDumpBytes);
  BuildBlofeldDump(std::span<uint8_t, kBlofeldDumpBytes>(dump), waves, name, stretch, device, slot);
  return dump;
}

// Negative samples written the way earlier versions did: magnitude in the
// middle and low bytes, the high byte replaced by 127 - high.
void RecodeAsSignMagnitude(Dump& dump) {
  for (int m = 0; m < kBlofeldWaveCount; ++m) {
    uint8_t* message = MessageAt(dump, m);
    for (int k = 1; k < kBlofeldWaveLength; ++k) {
      uint8_t* b = message + 8 + 3 * k;
      const int32_t v = DecodeBlofeldSample(b, BlofeldCoding::kTwosComplement);
      if (v >= 0) continue;
      const int32_t magnitude = -v;
      b[0] = static_cast<uint8_t>(127 - ((magnitude >> 14) & 127));
      b[1] = static_cast<uint8_t>((magnitude >> 7) & 127);
      b[2] = static_cast<uint8_t>(magnitude & 127);
    }
    message[408] = ChecksumOf(message);
  }
}

TEST(BlofeldSysex, SamplesAre21BitTwosComplementInThree7BitBytes) {
  using Bytes = std::array<uint8_t, 3>;
  const std::pair<double, Bytes> encoded[] = {
      {0.0, {0, 0, 0}},
      {1.0, {63, 127, 127}},                   // 1,048,575
      {-1.0, {64, 0, 1}},                      // -1,048,575
      {-1.0 / 1048575.0, {127, 127, 127}},     // -1
      {0.5 / 1048575.0, {0, 0, 1}},            // halves away from zero
      {-0.5 / 1048575.0, {127, 127, 127}},
      {2.0, {63, 127, 127}},                   // held within range
      {-2.0, {64, 0, 0}},
      {std::nan(""), {0, 0, 0}},
  };
  for (const auto& [x, bytes] : encoded) EXPECT_EQ(EncodeBlofeldSample(x), bytes) << x;
  for (double x : {1.0, -1.0, 0.25, -0.25, 1e-6, -1e-6, 0.123456, -0.987654}) {
    EXPECT_EQ(DecodeBlofeldSample(EncodeBlofeldSample(x).data(), BlofeldCoding::kTwosComplement),
              static_cast<int32_t>(std::round(x * 1048575.0)))
        << x;
  }
  // Positive values read the same either way; the older coding of negatives.
  const std::pair<Bytes, int32_t> older[] = {{{16, 0, 0}, 262144}, {{127 - 16, 0, 0}, -262144}, {{127, 0, 5}, -5}};
  for (const auto& [b, value] : older) EXPECT_EQ(DecodeBlofeldSample(b.data(), BlofeldCoding::kSignMagnitude), value);
}

TEST(BlofeldSysex, NamesDeviceIdsAndSlotsAtTheirLimits) {
  const std::vector<float> waves = VortaWaves(KnownTable());
  // Bytes outside 32..126 would end the message on the instrument.
  for (const auto& [file, shown] : {std::pair{"abc.syx", "abc           "}, {"FIFTEEN_LETTERS_LONG.SYX", "FIFTEEN_LETTER"},
                                    {"EXACTLY14CHARS.SYX", "EXACTLY14CHARS"}, {"", "              "},
                                    {"A\xC4Z\x7F\tB.SYX", "A Z  B        "}}) {
    const Dump dump = BuildDump(waves, file);
    EXPECT_EQ(std::string(&dump[63 * 410 + 392], &dump[63 * 410 + 406]), shown);  // the last message's name
    for (size_t m = 0; m < 64; ++m) EXPECT_LT(*std::max_element(&dump[m * 410 + 1], &dump[m * 410 + 409]), 128);
  }

  // Device id and slot out of range fall back to 0 and 80.
  for (const auto& [device, slot, byte3, byte5] : {std::tuple{0, 80, 0, 80}, {127, 118, 127, 118}, {128, 119, 0, 80},
                                                   {-1, 79, 0, 80}}) {
    const Dump d = BuildDump(waves, "X", 16, device, slot);
    EXPECT_EQ(std::pair(int{d[3]}, int{d[5]}), std::pair(byte3, byte5)) << device << " " << slot;
  }
  EXPECT_EQ(SanitizeBlofeldParameters(1LL << 40, -5), (BlofeldParameters{0, 80}));
}

TEST(BlofeldSysex, ValidationChecksEveryMessageInItsOrder) {
  const Dump good = BuildDump(VortaWaves(KnownTable()));
  ASSERT_EQ(ValidateBlofeldDump(View(good)), nullptr);
  // Message, offset, value, checksum made to fit, the failure.
  const std::tuple<int, size_t, uint8_t, bool, const char*> damages[] = {
      {0, 0, 0xF1, false, "SYSEX STATUS BYTE ERROR"}, {63, 409, 0xF6, false, "SYSEX STATUS BYTE ERROR"},
      {5, 300, 9, false, "CHECKSUM ERROR"},           {0, 1, 0x3F, false, "NO WALDORF SYSEX FILE"},
      {0, 2, 0x14, false, "NO BLOFELD SYSEX FILE"},   {0, 3, 128, false, "DEVICE ID ERROR"},
      {0, 4, 0x13, false, "NO WAVETABLE FILE"},       {3, 5, 79, false, "SLOT POSITION ERROR"},
      {3, 5, 119, false, "SLOT POSITION ERROR"},      {1, 6, 2, true, "WAVE POSITION ERROR"},
      {0, 7, 1, true, "WRONG FORMAT"},
  };
  for (const auto& [m, offset, value, fixChecksum, expected] : damages) {
    Dump dump = good;
    uint8_t* message = MessageAt(dump, m);
    message[offset] = value;
    if (fixChecksum) message[408] = ChecksumOf(message);
    const char* result = ValidateBlofeldDump(View(dump));
    EXPECT_STREQ(result ? result : "", expected) << m << " " << offset;
  }
  // The first failure in message order wins.
  Dump two = good;
  MessageAt(two, 2)[4] = 0;
  MessageAt(two, 9)[0] = 0;
  EXPECT_STREQ(ValidateBlofeldDump(View(two)), "NO WAVETABLE FILE");

  // A checksum byte of 127 is not tested, whatever the content.
  Dump unchecked = good;
  for (int m = 0; m < 64; ++m) {
    MessageAt(unchecked, m)[100] ^= 0x55;
    MessageAt(unchecked, m)[408] = 127;
  }
  EXPECT_EQ(ValidateBlofeldDump(View(unchecked)), nullptr);
}

TEST(BlofeldSysex, VortaStructureTest) {
  const Dump vorta = BuildDump(VortaWaves(KnownTable()));
  EXPECT_EQ(VortaCodingOf(View(vorta)), BlofeldCoding::kTwosComplement);  // the current coding tried first

  // Arbitrary waves: cosines are symmetric about sample 64, not point-symmetric.
  std::vector<float> cosines(64 * 128);
  for (size_t i = 0; i < cosines.size(); ++i) cosines[i] = static_cast<float>(0.8 * std::cos(i * 2 * M_PI / 128));
  const Dump foreign = BuildDump(cosines);
  EXPECT_EQ(ValidateBlofeldDump(View(foreign)), nullptr);
  EXPECT_FALSE(VortaCodingOf(View(foreign)).has_value());

  auto sample = [](const Dump& dump, int wave, int k) {
    return DecodeBlofeldSample(dump.data() + static_cast<size_t>(wave) * 410 + 8 + 3 * k, BlofeldCoding::kTwosComplement);
  };
  auto setSample = [](Dump& dump, int wave, int k, int32_t v) {
    const auto b = EncodeBlofeldSample(v / 1048575.0);
    std::copy(b.begin(), b.end(), MessageAt(dump, wave) + 8 + 3 * k);
  };
  auto passes = [](const Dump& dump) { return HasVortaStructure(View(dump), BlofeldCoding::kTwosComplement); };

  Dump centre = vorta;
  setSample(centre, 10, 64, 3);  // sample 64 must be 0
  EXPECT_FALSE(passes(centre));
  // Point symmetry within 2 (the upper half is not part of the midway rule).
  for (int d : {-2, 2, -3, 3}) {
    Dump dump = vorta;
    setSample(dump, 10, 123, -sample(vorta, 10, 5) + d);
    EXPECT_EQ(passes(dump), std::abs(d) <= 2) << d;
  }
  // An odd wave must lie midway between its neighbours.
  Dump shifted = vorta;
  setSample(shifted, 61, 10, sample(vorta, 61, 10) + 5);
  setSample(shifted, 61, 118, sample(vorta, 61, 118) - 5);
  EXPECT_FALSE(passes(shifted));
  // Wave 63 has no right neighbour in the dump and is left alone.
  Dump last = vorta;
  for (int k = 1; k < 64; ++k) {
    setSample(last, 63, k, k * 4096);
    setSample(last, 63, 128 - k, -k * 4096);
  }
  EXPECT_TRUE(passes(last));

  // R: equal in every wave and at most 32 (0 for none).
  Dump speed = vorta;
  MessageAt(speed, 40)[10] = 15;
  EXPECT_FALSE(passes(speed));
  for (const auto& [r, accepted] : {std::pair{33, false}, {0, true}}) {
    Dump dump = vorta;
    for (int m = 0; m < 64; ++m) MessageAt(dump, m)[10] = static_cast<uint8_t>(r);
    EXPECT_EQ(passes(dump), accepted) << r;
  }
}

TEST(BlofeldSysex, DumpsOfTheOlderCodingStillLoad) {
  const PartialTable table = KnownTable(3);
  const Dump current = BuildDump(VortaWaves(table), "OLD", 9);
  Dump older = current;
  RecodeAsSignMagnitude(older);
  ASSERT_NE(older, current);
  EXPECT_EQ(ValidateBlofeldDump(View(older)), nullptr);
  // Each coding fails the structure test of the other.
  EXPECT_FALSE(HasVortaStructure(View(older), BlofeldCoding::kTwosComplement));
  EXPECT_FALSE(HasVortaStructure(View(current), BlofeldCoding::kSignMagnitude));
  EXPECT_EQ(VortaCodingOf(View(older)), BlofeldCoding::kSignMagnitude);
  PartialTable loaded;
  int32_t stretch = 0;
  ImportBlofeldDump(View(older), BlofeldCoding::kSignMagnitude, loaded, stretch);
  EXPECT_EQ(std::pair(loaded, stretch), std::pair(table, 9));
}

class BlofeldFiles : public FormatLibrary {};

TEST_F(BlofeldFiles, ReaderBranchMessagesAndProperties) {
  const Dump dump = BuildDump(VortaWaves(KnownTable()), "T", 12, 5, 101);
  Dump position = dump;
  MessageAt(position, 1)[6] = 2;
  MessageAt(position, 1)[408] = ChecksumOf(MessageAt(position, 1));
  Dump longer = dump;  // read from its first 26,240 bytes
  longer.push_back(0xF0);
  std::vector<float> saw(64 * 128);
  for (size_t i = 0; i < saw.size(); ++i) saw[i] = static_cast<float>(std::sin(i * 0.05) * 0.5 + 0.1);
  const std::pair<Dump, const char*> cases[] = {  // and what is shown: category|slot|device|remark
      {dump, "5|101|005|SPEED DATA <ENCODED>"},
      {BuildDump(VortaWaves(KnownTable()), "T", 0, 0, 80), "5|080|000|"},
      {longer, "5|101|005|SPEED DATA <ENCODED>"},
      {Dump(dump.begin(), dump.end() - 1), "0|||FILE IS TOO SMALL"},
      {{}, "0|||FILE IS TOO SMALL"},
      {position, "0|||WAVE POSITION ERROR"},
      {BuildDump(saw), "0|||BLOFELD SYSEX, BUT NO VORTA WAVETABLE FILE"},
  };
  for (const auto& [bytes, shown] : cases) {
    const Result r = TestBytes(kCategoryBlofeld, "T.SYX", bytes);
    EXPECT_EQ(std::to_string(r.category) + "|" + r.info.slot + "|" + r.info.device + "|" + r.info.remark, shown);
  }
  // A dump without R (byte 10 is 0) loads with the default.
  Put(kCategoryBlofeld, "N.SYX", cases[1].first);
  EXPECT_EQ(Load(kCategoryBlofeld, "N.SYX"), std::pair(KnownTable(), kDefaultStretch));
}

TEST_F(BlofeldFiles, OfferedParametersAndOverwriting) {
  app.settings.blofeldDeviceId = 999;  // sanitised on the way
  BlofeldParameters offered;
  ASSERT_EQ(OfferedBlofeldParameters(app, "ROUND.SYX", true, offered), kMsgDone);
  EXPECT_EQ(offered, (BlofeldParameters{0, 80}));
  ASSERT_EQ(WriteBlofeldTable(app, KnownTable(11), 23, "ROUND.SYX", BlofeldParameters{17, 99}, true), kMsgDone);
  EXPECT_EQ(std::pair(app.settings.blofeldDeviceId, app.settings.blofeldSlot), std::pair(17u, 99u));

  // Overwriting offers the file's own values; a new file never replaces.
  ASSERT_EQ(OfferedBlofeldParameters(app, "ROUND.SYX", false, offered), kMsgDone);
  EXPECT_EQ(offered, (BlofeldParameters{17, 99}));
  const Dump before = Bytes(kCategoryBlofeld, "ROUND.SYX");
  EXPECT_EQ(WriteBlofeldTable(app, PartialTable{}, 16, "ROUND.SYX", BlofeldParameters{1, 81}, true),
            kMsgFileAlreadyExists);
  EXPECT_EQ(Bytes(kCategoryBlofeld, "ROUND.SYX"), before);
  EXPECT_EQ(app.settings.blofeldSlot, 99u);
  EXPECT_EQ(OfferedBlofeldParameters(app, "MISSING.SYX", false, offered), kMsgAccessDenied);
  // A damaged file can still be replaced; what its first message holds is
  // offered, sanitised.
  Dump damaged = before;
  std::tie(damaged[0], damaged[3], damaged[5]) = std::tuple(0, 200, 50);
  Put(kCategoryBlofeld, "BAD.SYX", damaged);
  ASSERT_EQ(OfferedBlofeldParameters(app, "BAD.SYX", false, offered), kMsgDone);
  EXPECT_EQ(offered, (BlofeldParameters{0, 80}));
  Put(kCategoryBlofeld, "CUT.SYX", Dump(before.begin(), before.end() - 1));
  EXPECT_EQ(OfferedBlofeldParameters(app, "CUT.SYX", false, offered), kMsgAccessDenied);

  // A silent table (after "FLUSH") writes silence and loads.
  ASSERT_EQ(WriteBlofeldTable(app, PartialTable{}, 16, "ROUND.SYX", BlofeldParameters{1, 81}, false), kMsgDone);
  EXPECT_EQ(Load(kCategoryBlofeld, "ROUND.SYX").first, PartialTable{});
}

TEST_F(BlofeldFiles, ParameterRewriteKeepsEveryChecksum) {
  ASSERT_EQ(WriteBlofeldTable(app, KnownTable(), 16, "EDIT.SYX", BlofeldParameters{3, 90}, true), kMsgDone);
  Dump before = Bytes(kCategoryBlofeld, "EDIT.SYX");
  before.insert(before.end(), {1, 2, 3});  // whatever follows the dump stays
  Put(kCategoryBlofeld, "EDIT.SYX", before);

  BlofeldParameters parameters;
  ASSERT_EQ(ReadBlofeldFileParameters(app, "EDIT.SYX", parameters), kMsgDone);
  EXPECT_EQ(parameters, (BlofeldParameters{3, 90}));
  ASSERT_EQ(RewriteBlofeldFileParameters(app, "EDIT.SYX", BlofeldParameters{127, 118}), kMsgDone);
  Dump expected = before;  // checksums included: only bytes 3 and 5 of each message change
  for (int m = 0; m < 64; ++m) std::tie(MessageAt(expected, m)[3], MessageAt(expected, m)[5]) = std::tuple(127, 118);
  EXPECT_EQ(Bytes(kCategoryBlofeld, "EDIT.SYX"), expected);
  EXPECT_EQ(std::pair(app.settings.blofeldDeviceId, app.settings.blofeldSlot), std::pair(127u, 118u));

  // Values out of range are sanitised rather than written.
  ASSERT_EQ(RewriteBlofeldFileParameters(app, "EDIT.SYX", BlofeldParameters{200, 60}), kMsgDone);
  EXPECT_EQ(DumpParameters(View(Bytes(kCategoryBlofeld, "EDIT.SYX"))), (BlofeldParameters{0, 80}));

  EXPECT_EQ(ReadBlofeldFileParameters(app, "", parameters), kMsgNoFileSelected);  // the page covers the rewrite's refusals
  // A file that is no dump is never touched.
  const Dump text(30000, 'x');
  Put(kCategoryBlofeld, "TEXT.SYX", text);
  EXPECT_EQ(RewriteBlofeldFileParameters(app, "TEXT.SYX", BlofeldParameters{1, 81}), kMsgAccessDenied);
  EXPECT_EQ(Bytes(kCategoryBlofeld, "TEXT.SYX"), text);
}

}  // namespace
