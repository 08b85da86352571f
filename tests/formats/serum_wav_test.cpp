#include "formats/serum_wav.h"

#include <gtest/gtest.h>

#include "core/message_codes.h"
#include "formats/foreign_table_common.h"
#include "formats/format_fixtures.h"
#include "formats/vorta_import.h"
#include "files/wave_writer.h"

using namespace format_fixtures;

namespace {

class SerumFiles : public FormatLibrary {};

TEST_F(SerumFiles, ChunkOrderSizesAndPayload) {
  const PartialTable table = FiveSliceTable();
  const std::vector<uint8_t> bytes = BuildSerumFile(table, 6);
  const size_t data = 5 * 8192;
  ASSERT_EQ(bytes.size(), 12u + 36 + 24 + 56 + 8 + data + 4308);
  EXPECT_EQ(ReadU32LE(bytes.data() + 4), 16u + data + 120 + 4300);
  EXPECT_EQ(ReadU32LE(bytes.data() + 4), bytes.size() - 8);
  auto tagAt = [&](size_t at) { return std::string(bytes.begin() + at, bytes.begin() + at + 4); };
  EXPECT_EQ(tagAt(0), "RIFF");
  EXPECT_EQ(tagAt(8), "WAVE");
  EXPECT_EQ(tagAt(12), "JUNK");
  EXPECT_EQ(ReadU32LE(bytes.data() + 16), 28u);
  EXPECT_TRUE(std::all_of(bytes.begin() + 20, bytes.begin() + 48, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(tagAt(48), "fmt ");
  EXPECT_EQ(ReadU32LE(bytes.data() + 52), 16u);
  EXPECT_EQ(ReadU16LE(bytes.data() + 56), 3);       // IEEE float
  EXPECT_EQ(ReadU16LE(bytes.data() + 58), 1);       // mono
  EXPECT_EQ(ReadU32LE(bytes.data() + 60), 44100u);
  EXPECT_EQ(ReadU32LE(bytes.data() + 64), 176400u);
  EXPECT_EQ(ReadU16LE(bytes.data() + 68), 4);
  EXPECT_EQ(ReadU16LE(bytes.data() + 70), 32);
  EXPECT_EQ(tagAt(72), "clm ");
  EXPECT_EQ(std::string(bytes.begin() + 80, bytes.begin() + 128), "<!>2048 10000000 wavetable (Sonic-Loom)         ");
  EXPECT_EQ(tagAt(128), "data");
  EXPECT_EQ(ReadU32LE(bytes.data() + 132), data);
  // The waves at the program's usual WAV level (2 x 0.494265 of full scale).
  const std::vector<float> waves = RenderWaves(table, 2048, 1);
  for (size_t i = 0; i < 5 * 2048; ++i)
    ASSERT_EQ(ReadF32LE(bytes.data() + 136 + 4 * i), static_cast<float>((double{waves[i]} + waves[i]) * kWriteLevel));
  const size_t smpl = 136 + data;
  EXPECT_EQ(tagAt(smpl), "smpl");
  EXPECT_EQ(ReadU32LE(bytes.data() + smpl + 4), 4300u);
  EXPECT_EQ(ReadU32LE(bytes.data() + smpl + 20), 29u);          // unity note
  EXPECT_EQ(ReadU32LE(bytes.data() + smpl + 24), kVortaPitchFraction);
  EXPECT_EQ(ReadU32LE(bytes.data() + smpl + 36), 1u);           // one loop
  EXPECT_EQ(ReadU32LE(bytes.data() + smpl + 40), 4240u);
  EXPECT_EQ(ReadU32LE(bytes.data() + smpl + 52), 0u);
  EXPECT_EQ(ReadU32LE(bytes.data() + smpl + 56), 2047u);
  EXPECT_EQ(tagAt(smpl + 68) + tagAt(smpl + 72), "VORTA___");
  for (int i = 0; i < kTableCodeCount; ++i)
    ASSERT_EQ(ReadI16LE(bytes.data() + smpl + 76 + 2 * i), table.codes[static_cast<size_t>(i)]);
  EXPECT_EQ(ReadU32LE(bytes.data() + smpl + 4300), 6u);
  EXPECT_EQ(tagAt(smpl + 4304), "LOG_");

  // A silent table: one silent wave, no NaN.
  const std::vector<uint8_t> silent = BuildSerumFile(PartialTable{}, 16);
  ASSERT_EQ(ReadU32LE(silent.data() + 132), 8192u);
  for (size_t i = 0; i < 2048; ++i) ASSERT_EQ(ReadF32LE(silent.data() + 136 + 4 * i), 0.0f);
}

TEST_F(SerumFiles, SoxReadsTheAudioAsRendered) {
  if (!ToolAvailable("sox")) GTEST_SKIP() << "sox is installed by scripts/setup.sh";
  ASSERT_EQ(WriteSerumTable(app, FiveSliceTable(), 16, "FIVE.WAV"), kMsgDone);
  const std::string raw = folder / "five.f32";
  ASSERT_EQ(std::system(("sox -q '" + Path(kCategorySerum, "FIVE.WAV") + "' -t f32 '" + raw + "'").c_str()), 0);
  const std::vector<float> read = ReadF32File(raw);
  const std::vector<float> waves = RenderWaves(FiveSliceTable(), 2048, 1);
  ASSERT_EQ(read.size(), 5u * 2048);
  for (size_t i = 0; i < read.size(); ++i) ASSERT_NEAR(read[i], waves[i] * 2 * kWriteLevel, 1e-6) << i;
}

}  // namespace
