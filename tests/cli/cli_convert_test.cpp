#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "cli/cli_fixture.h"
#include "cli/cli_tables_fixture.h"
#include "formats/blofeld_sysex.h"
#include "formats/dune2_wt.h"
#include "formats/efe_file.h"
#include "formats/foreign_table_common.h"
#include "formats/komplexer_wt.h"
#include "files/read_only_folder.h"
#include "formats/serum_wav.h"
#include "formats/surge_wt.h"
#include "formats/wavegenerator_wts.h"
#include "wavetable/vorta_workspace.h"
#include "files/wave_fixtures.h"

using cli_fixture::RunCli;
using namespace wave_fixtures;
namespace fs = std::filesystem;

TEST(CliConvert, WaveTablesMatchTheEngineByteForByte) {
  TempFolder folder;
  const PartialTable table = cli_fixture::SweepTable();
  WriteAllBytes(folder / "sweep table.wav", cli_fixture::VortaWaveBytes(table, 8));
  fs::create_directory(folder / "out");

  // Defaults: 256 samples, 32 waves per step, NORMAL base, 16 bits.
  const auto plain = RunCli(folder, {"convert", "--to", "wav", "--out", "out", "sweep table.wav"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, "out/SWEEP_TA.WAV\n");
  EXPECT_EQ(ReadAllBytes(folder / "out/SWEEP_TA.WAV"), cli_fixture::VortaWaveBytes(table, 8));

  VortaWaveOptions options;
  options.samplesPerSlice = 2048;
  options.wavesPerStep = 4;
  options.base = WaveBase::kAlternate;
  options.bitsMode = kBitsModeFloat;
  const auto tuned = RunCli(folder, {"convert", "--to=wav", "--out=out", "--name", "my.pad", "--samples", "2048",
                                     "--slices-per-step", "4", "--base", "alternate", "--bits", "float",
                                     "sweep table.wav"});
  EXPECT_EQ(tuned.status, 0) << tuned.err;
  EXPECT_EQ(tuned.out, "out/MY.WAV\n");
  const std::vector<uint8_t> bytes = ReadAllBytes(folder / "out/MY.WAV");
  EXPECT_EQ(bytes, cli_fixture::VortaWaveBytes(table, 8, options));
  ASSERT_GE(bytes.size(), 44u);
  EXPECT_EQ(GetU32(bytes, 40), 32u * 4 * 2048 * 4);  // 128 slices of 2,048 float samples

  // sox reads the rendered file with the expected length.
  if (SoxAvailable()) {
    const std::string probe = "soxi -s '" + (folder / "out/SWEEP_TA.WAV") + "' > '" + (folder / "frames") + "'";
    ASSERT_EQ(std::system(probe.c_str()), 0);
    EXPECT_EQ(cli_fixture::ReadText(folder / "frames"), std::to_string((32 * 32 + 1) * 256) + "\n");
  }

  // The converted file is a VORTA table again and converts to itself.
  const auto twice = RunCli(folder, {"convert", "--to", "wav", "out/SWEEP_TA.WAV"});
  EXPECT_EQ(twice.status, 0) << twice.err;
  EXPECT_EQ(ReadAllBytes(folder / "SWEEP_TA.WAV"), ReadAllBytes(folder / "out/SWEEP_TA.WAV"));
}

TEST(CliConvert, ExistingFilesAndRefusedInputs) {
  TempFolder folder;
  const PartialTable table = cli_fixture::SweepTable();
  WriteAllBytes(folder / "a.wav", cli_fixture::VortaWaveBytes(table, 16));
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  fs::create_directory(folder / "out");
  WriteAllBytes(folder / "out/A.WAV", old);
  WriteAllBytes(folder / "text.txt", {'x'});
  HandWave sample;
  sample.frames = 20000;
  WriteAllBytes(folder / "sample.wav", BuildWave(sample));

  const auto refused = RunCli(folder, {"convert", "--to", "wav", "--out", "out", "a.wav"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, "a.wav: FILE ALREADY EXISTS <A.WAV>\n");
  EXPECT_EQ(ReadAllBytes(folder / "out/A.WAV"), old);

  const auto forced = RunCli(folder, {"convert", "--to", "wav", "--out", "out", "--force", "a.wav"});
  EXPECT_EQ(forced.status, 0);
  EXPECT_EQ(ReadAllBytes(folder / "out/A.WAV"), cli_fixture::VortaWaveBytes(table, 16));

  const auto inputs = RunCli(folder, {"convert", "--to", "wav", "--out", "out", "text.txt", "sample.wav", "gone.wav"});
  EXPECT_EQ(inputs.status, 1);
  EXPECT_EQ(inputs.out, "");
  EXPECT_EQ(inputs.err,
            "text.txt: UNKNOWN FILE TYPE OR EXTENSION\n"
            "sample.wav: NO DATA <NOT A VORTA WAVETABLE>\n"
            "gone.wav: FILE NOT FOUND\n");
  EXPECT_FALSE(fs::exists(folder / "out/TEXT.WAV"));
  EXPECT_FALSE(fs::exists(folder / "out/SAMPLE.WAV"));

  // Bad usage changes nothing.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"convert", "a.wav"},
           {"convert", "--to", "mp3", "a.wav"},
           {"convert", "--to", "wav", "--samples", "300", "a.wav"},
           {"convert", "--to", "wav", "--samples", "4096", "a.wav"},
           {"convert", "--to", "wav", "--slices-per-step", "1", "--base", "alternate", "a.wav"},
           {"convert", "--to", "wav", "--bits", "24", "a.wav"},
           {"convert", "--to", "wav", "--base", "odd", "a.wav"},
           {"convert", "--to", "wav", "--out", "nowhere", "a.wav"},
           {"convert", "--to", "wav", "--name", "x", "a.wav", "a.wav"},
           {"convert", "--to", "wav"}}) {
    const auto run = RunCli(folder, args);
    EXPECT_EQ(run.status, 2) << args[2];
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Try 'sonic-loom-cli convert --help'."), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(folder / "A.WAV"));

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"convert", "--to", "komplexer,surge", "a.wav"},
           {"convert", "--to", "syx", "--slot", "79", "a.wav"},
           {"convert", "--to", "syx", "--device-id", "128", "a.wav"},
           {"convert", "--to", "wav", "--slot", "80", "a.wav"},
           {"convert", "--to", "syx", "--samples", "512", "a.wav"}}) {
    const auto run = RunCli(folder, args);
    EXPECT_EQ(run.status, 2) << args[2] << " " << args[3];
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(RunCli(folder, {"convert", "--to", "komplexer,surge", "a.wav"}).err,
            "sonic-loom-cli convert: two of the formats write .WT files; write them to different --out folders\n"
            "Try 'sonic-loom-cli convert --help'.\n");
}

TEST(CliConvert, EveryExchangeFormatAsTheEngineWritesIt) {
  TempFolder folder;
  const PartialTable table = cli_fixture::SweepTable();
  const PartialTable output = TableForOutput(table);
  constexpr int32_t kStretch = 5;
  WriteAllBytes(folder / "source.wav", cli_fixture::VortaWaveBytes(table, kStretch));
  for (const char* sub : {"a", "b", "c"}) fs::create_directory(folder / sub);

  const auto first = RunCli(folder, {"convert", "--to", "syx,komplexer,efe,wts,serum", "--out", "a", "--device-id",
                                     "17", "--slot", "99", "--name", "Glass Pad", "source.wav"});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "a/GLASS_PA.SYX\na/GLASS_PA.WT\na/GLASS_PA.EFE\na/GLASS_PA.WTS\na/GLASS_PA.WAV\n");
  const auto second = RunCli(folder, {"convert", "--to", "surge", "--out", "b", "--name", "Glass Pad", "source.wav"});
  EXPECT_EQ(second.status, 0) << second.err;
  const auto third = RunCli(folder, {"convert", "--to", "dune2", "--out", "c", "--name", "Glass Pad", "source.wav"});
  EXPECT_EQ(third.status, 0) << third.err;

  std::vector<uint8_t> dump(kBlofeldDumpBytes);
  BuildBlofeldDump(std::span<uint8_t, kBlofeldDumpBytes>(dump.data(), kBlofeldDumpBytes),
                   RenderWaves(output, kBlofeldWaveLength, 2), "GLASS_PA.SYX", kStretch, 17, 99);
  EXPECT_EQ(ReadAllBytes(folder / "a/GLASS_PA.SYX"), dump);
  EXPECT_EQ(ReadAllBytes(folder / "a/GLASS_PA.WT"), BuildKomplexerFile(output, kStretch));
  EXPECT_EQ(ReadAllBytes(folder / "a/GLASS_PA.EFE"), BuildEfeFile(output, kStretch, "GLASS_PA.EFE"));
  EXPECT_EQ(ReadAllBytes(folder / "a/GLASS_PA.WTS"), BuildWtsFile(output, kStretch));
  EXPECT_EQ(ReadAllBytes(folder / "a/GLASS_PA.WAV"), BuildSerumFile(output, kStretch));
  EXPECT_EQ(ReadAllBytes(folder / "b/GLASS_PA.WT"), BuildSurgeFile(output, kStretch));
  EXPECT_EQ(ReadAllBytes(folder / "c/GLASS_PA.WT"), BuildDune2File(output, kStretch));

  // Each lands in its own category, and each converts back to a WAV table.
  const auto info = RunCli(folder, {"info", "a/GLASS_PA.SYX", "a/GLASS_PA.WT", "a/GLASS_PA.EFE", "b/GLASS_PA.WT",
                                    "a/GLASS_PA.WTS", "c/GLASS_PA.WT", "a/GLASS_PA.WAV"});
  EXPECT_EQ(info.status, 0) << info.err;
  const char* expected[] = {"\t5\t", "\t4\t", "\t6\t", "\t7\t", "\t8\t", "\t9\t", "\t10\t"};
  size_t from = 0;
  for (const char* category : expected) {
    const size_t at = info.out.find(category, from);
    EXPECT_NE(at, std::string::npos) << category << " in " << info.out;
    from = at == std::string::npos ? from : at + 1;
  }
  const std::vector<uint8_t> direct = cli_fixture::VortaWaveBytes(table, kStretch);
  for (const char* file : {"a/GLASS_PA.EFE", "a/GLASS_PA.WTS", "a/GLASS_PA.WAV", "b/GLASS_PA.WT", "c/GLASS_PA.WT"}) {
    fs::remove(folder / "BACK.WAV");
    const auto back = RunCli(folder, {"convert", "--to", "wav", "--name", "back", file});
    EXPECT_EQ(back.status, 0) << file << ": " << back.err;
    EXPECT_EQ(ReadAllBytes(folder / "BACK.WAV"), direct) << file;
  }
  for (const char* file : {"a/GLASS_PA.SYX", "a/GLASS_PA.WT"}) {
    fs::remove(folder / "BACK.WAV");
    EXPECT_EQ(RunCli(folder, {"convert", "--to", "wav", "--name", "back", file}).status, 0) << file;
  }
}

TEST(CliConvert, UnwritableOutputFolderIsReported) {
  TempFolder folder;
  WriteAllBytes(folder / "a.wav", cli_fixture::VortaWaveBytes(cli_fixture::SweepTable(), 16));
  fs::create_directory(folder / "out");
  ReadOnlyFolder locked(folder / "out");
  if (!locked.active) GTEST_SKIP() << "folders cannot be locked here";
  const auto run = RunCli(folder, {"convert", "--to", "wav", "--out", "out", "a.wav"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  // The output failed, not the input: its path and the system's reason.
  const std::string reason = geteuid() == 0 ? "Operation not permitted" : "Permission denied";
  EXPECT_EQ(run.err, "out/A.WAV: cannot write the output of a.wav: " + reason + "\n");
}
