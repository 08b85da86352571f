// convert: VORTA tables into every exchange format byte for byte as the
// engine writes them; existing, colliding and unwritable outputs.
#include <unistd.h>

#include "cli/cli_fixture.h"
#include "files/read_only_folder.h"
#include "formats/blofeld_sysex.h"
#include "formats/dune2_wt.h"
#include "formats/efe_file.h"
#include "formats/foreign_table_common.h"
#include "formats/komplexer_wt.h"
#include "formats/serum_wav.h"
#include "formats/surge_wt.h"
#include "formats/wavegenerator_wts.h"

using namespace cli_fixture;

TEST_F(CliTest, ConvertWaveTablesMatchTheEngineByteForByte) {
  const PartialTable table = SweepTable();
  WriteAllBytes(folder / "sweep table.wav", VortaWaveBytes(table, 8));
  MakeFolder("out");
  // Defaults: 256 samples, 32 waves per step, NORMAL base, 16 bits.
  EXPECT_EQ(Run({"convert", "--to", "wav", "--out", "out", "sweep table.wav"}), (CliRun{0, "out/SWEEP_TA.WAV\n", ""}));
  EXPECT_EQ(Bytes("out/SWEEP_TA.WAV"), VortaWaveBytes(table, 8));

  VortaWaveOptions options;
  options.samplesPerSlice = 2048;
  options.wavesPerStep = 4;
  options.base = WaveBase::kAlternate;
  options.bitsMode = kBitsModeFloat;
  EXPECT_EQ(Run({"convert", "--to=wav", "--out=out", "--name", "my.pad", "--samples", "2048", "--slices-per-step", "4",
                 "--base", "alternate", "--bits", "float", "sweep table.wav"}),
            (CliRun{0, "out/MY.WAV\n", ""}));
  const std::vector<uint8_t> bytes = Bytes("out/MY.WAV");
  EXPECT_EQ(bytes, VortaWaveBytes(table, 8, options));
  ASSERT_GE(bytes.size(), 44u);
  EXPECT_EQ(GetU32(bytes, 40), 32u * 4 * 2048 * 4);  // 128 slices of 2,048 float samples

  // sox reads the rendered file with the expected length.
  ASSERT_EQ(std::system(("soxi -s '" + (folder / "out/SWEEP_TA.WAV") + "' > '" + (folder / "frames") + "'").c_str()), 0);
  EXPECT_EQ(ReadText(folder / "frames"), std::to_string((32 * 32 + 1) * 256) + "\n");
  // The converted file is a VORTA table again and converts to itself.
  EXPECT_EQ(Run({"convert", "--to", "wav", "out/SWEEP_TA.WAV"}).status, 0);
  EXPECT_EQ(Bytes("SWEEP_TA.WAV"), Bytes("out/SWEEP_TA.WAV"));
}

TEST_F(CliTest, ConvertEveryExchangeFormatAsTheEngineWritesIt) {
  const PartialTable table = SweepTable();
  const PartialTable output = TableForOutput(table);
  constexpr int32_t kStretch = 5;
  WriteAllBytes(folder / "source.wav", VortaWaveBytes(table, kStretch));
  for (const char* sub : {"a", "b", "c"}) MakeFolder(sub);
  EXPECT_EQ(Run({"convert", "--to", "syx,komplexer,efe,wts,serum", "--out", "a", "--device-id", "17", "--slot", "99",
                 "--name", "Glass Pad", "source.wav"}),
            (CliRun{0, "a/GLASS_PA.SYX\na/GLASS_PA.WT\na/GLASS_PA.EFE\na/GLASS_PA.WTS\na/GLASS_PA.WAV\n", ""}));
  EXPECT_EQ(Run({"convert", "--to", "surge", "--out", "b", "--name", "Glass Pad", "source.wav"}).status, 0);
  EXPECT_EQ(Run({"convert", "--to", "dune2", "--out", "c", "--name", "Glass Pad", "source.wav"}).status, 0);

  std::vector<uint8_t> dump(kBlofeldDumpBytes);
  BuildBlofeldDump(std::span<uint8_t, kBlofeldDumpBytes>(dump.data(), kBlofeldDumpBytes),
                   RenderWaves(output, kBlofeldWaveLength, 2), "GLASS_PA.SYX", kStretch, 17, 99);
  const std::pair<const char*, std::vector<uint8_t>> files[] = {
      {"a/GLASS_PA.SYX", dump},
      {"a/GLASS_PA.WT", BuildKomplexerFile(output, kStretch)},
      {"a/GLASS_PA.EFE", BuildEfeFile(output, kStretch, "GLASS_PA.EFE")},
      {"b/GLASS_PA.WT", BuildSurgeFile(output, kStretch)},
      {"a/GLASS_PA.WTS", BuildWtsFile(output, kStretch)},
      {"c/GLASS_PA.WT", BuildDune2File(output, kStretch)},
      {"a/GLASS_PA.WAV", BuildSerumFile(output, kStretch)},
  };
  // Each is the engine's file, lands in its own category (5 to 10, in this
  // order) and converts back to a WAV table; the lossless ones to the same.
  std::vector<std::string> infoArgs = {"info"};
  for (const auto& [name, expected] : files) {
    EXPECT_EQ(Bytes(name), expected) << name;
    infoArgs.push_back(name);
    fs::remove(folder / "BACK.WAV");
    EXPECT_EQ(Run({"convert", "--to", "wav", "--name", "back", name}).status, 0) << name;
    if (std::string(name) != "a/GLASS_PA.SYX" && std::string(name) != "a/GLASS_PA.WT") {
      EXPECT_EQ(Bytes("BACK.WAV"), VortaWaveBytes(table, kStretch)) << name;
    }
  }
  const CliRun info = Run(infoArgs);
  EXPECT_EQ(info.status, 0) << info.err;
  size_t from = 0;
  for (const char* category : {"\t5\t", "\t4\t", "\t6\t", "\t7\t", "\t8\t", "\t9\t", "\t10\t"}) {
    from = info.out.find(category, from);
    ASSERT_NE(from, std::string::npos) << category << " in " << info.out;
    ++from;
  }
}

TEST_F(CliTest, ConvertKeepsExistingFilesAndRefusesWhatIsNoTable) {
  const std::vector<uint8_t> table = VortaWaveBytes(SweepTable(), 16);
  WriteAllBytes(folder / "a.wav", table);
  MakeFolder("out");
  WriteAllBytes(folder / "out/A.WAV", {'o', 'l', 'd'});
  WriteAllBytes(folder / "text.txt", {'x'});
  HandWave sample;
  sample.frames = 20000;
  WriteAllBytes(folder / "sample.wav", BuildWave(sample));

  EXPECT_EQ(Run({"convert", "--to", "wav", "--out", "out", "a.wav"}), (CliRun{1, "", "a.wav: FILE ALREADY EXISTS <A.WAV>\n"}));
  EXPECT_EQ(Bytes("out/A.WAV"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(Run({"convert", "--to", "wav", "--out", "out", "--force", "a.wav"}).status, 0);
  EXPECT_EQ(Bytes("out/A.WAV"), table);
  EXPECT_EQ(Run({"convert", "--to", "wav", "--out", "out", "text.txt", "sample.wav", "gone.wav"}),
            (CliRun{1, "",
                    "text.txt: UNKNOWN FILE TYPE OR EXTENSION\nsample.wav: NO DATA <NOT A VORTA WAVETABLE>\n"
                    "gone.wav: FILE NOT FOUND\n"}));
  EXPECT_FALSE(Exists("out/TEXT.WAV") || Exists("out/SAMPLE.WAV"));

  // Inputs whose outputs land on one name: the first is written, every later
  // one is refused, --force or not, naming both inputs.
  for (const char* name : {"longname_a.wav", "longname_b.wav", "longname_c.wav"}) WriteAllBytes(folder / name, table);
  for (const bool force : {false, true}) {
    std::vector<std::string> args = {"convert", "--to", "syx", "longname_a.wav", "longname_b.wav", "longname_c.wav"};
    if (force) args.insert(args.begin() + 1, "--force");
    fs::remove(folder / "LONGNAME.SYX");
    EXPECT_EQ(Run(args), (CliRun{1, "./LONGNAME.SYX\n",
                                 "longname_b.wav: FILE ALREADY EXISTS <LONGNAME.SYX> <ALSO THE OUTPUT OF longname_a.wav>\n"
                                 "longname_c.wav: FILE ALREADY EXISTS <LONGNAME.SYX> <ALSO THE OUTPUT OF longname_a.wav>\n"}))
        << force;
  }
}

// The output failed, not the input: its path and the system's reason.
TEST_F(CliTest, ConvertReportsOutputsThatCannotBeWritten) {
  WriteAllBytes(folder / "a.wav", VortaWaveBytes(SweepTable(), 16));
  MakeFolder("out");
  {
    ReadOnlyFolder locked(folder / "out");
    if (locked.active) {
      const std::string reason = geteuid() == 0 ? "Operation not permitted" : "Permission denied";
      EXPECT_EQ(Run({"convert", "--to", "wav", "--out", "out", "a.wav"}),
                (CliRun{1, "", "out/A.WAV: cannot write the output of a.wav: " + reason + "\n"}));
    }
  }
  // A full disk (a tiny file system, where the tests may mount one).
  MakeFolder("tiny");
  if (std::system(("mount -t tmpfs -o size=16k tmpfs '" + (folder / "tiny") + "' 2>/dev/null").c_str()) != 0) return;
  const CliRun full = Run({"convert", "--to", "wav", "--out", "tiny", "a.wav"});
  EXPECT_EQ(std::system(("umount '" + (folder / "tiny") + "'").c_str()), 0);
  EXPECT_EQ(full, (CliRun{1, "", "tiny/A.WAV: cannot write the output of a.wav: No space left on device\n"}));
}
