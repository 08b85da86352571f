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

TEST_F(CliTest, ConvertWritesEveryFormatAsTheEngineDoes) {
  const PartialTable table = SweepTable(), output = TableForOutput(table);
  WriteAllBytes(folder / "sweep table.wav", VortaWaveBytes(table, 5));
  for (const char* sub : {"a", "b", "c"}) MakeFolder(sub);
  // Defaults: 256 samples, 32 waves per step, NORMAL base, 16 bits.
  EXPECT_EQ(Run({"convert", "--to", "wav", "--out", "a", "sweep table.wav"}), (CliRun{0, "a/SWEEP_TA.WAV\n", ""}));
  EXPECT_EQ(Run({"convert", "--to=wav", "--out=a", "--name", "my.pad", "--samples", "2048", "--slices-per-step", "4",
                 "--base", "alternate", "--bits", "float", "sweep table.wav"}),
            (CliRun{0, "a/MY.WAV\n", ""}));
  EXPECT_EQ(Run({"convert", "--to", "syx,komplexer,efe,wts,serum", "--out", "b", "--device-id", "17", "--slot", "99",
                 "--name", "Glass Pad", "sweep table.wav"}),
            (CliRun{0, "b/GLASS_PA.SYX\nb/GLASS_PA.WT\nb/GLASS_PA.EFE\nb/GLASS_PA.WTS\nb/GLASS_PA.WAV\n", ""}));
  EXPECT_EQ(Run({"convert", "--to", "surge", "--out", "a", "--name", "Glass Pad", "sweep table.wav"}).status, 0);
  EXPECT_EQ(Run({"convert", "--to", "dune2", "--out", "c", "--name", "Glass Pad", "sweep table.wav"}).status, 0);

  std::vector<uint8_t> dump(kBlofeldDumpBytes);
  BuildBlofeldDump(std::span<uint8_t, kBlofeldDumpBytes>(dump.data(), kBlofeldDumpBytes),
                   RenderWaves(output, kBlofeldWaveLength, 2), "GLASS_PA.SYX", 5, 17, 99);
  const VortaWaveOptions options{.samplesPerSlice = 2048, .wavesPerStep = 4, .base = WaveBase::kAlternate,
                                 .bitsMode = kBitsModeFloat};
  const struct {
    const char* name;
    std::vector<uint8_t> expected;
    bool lossless;  // converts back to the same WAV table
  } files[] = {
      {"a/SWEEP_TA.WAV", VortaWaveBytes(table, 5), true},
      {"a/MY.WAV", VortaWaveBytes(table, 5, options), true},
      {"b/GLASS_PA.SYX", dump, false},
      {"b/GLASS_PA.WT", BuildKomplexerFile(output, 5), false},
      {"b/GLASS_PA.EFE", BuildEfeFile(output, 5, "GLASS_PA.EFE"), true},
      {"a/GLASS_PA.WT", BuildSurgeFile(output, 5), true},
      {"b/GLASS_PA.WTS", BuildWtsFile(output, 5), true},
      {"c/GLASS_PA.WT", BuildDune2File(output, 5), true},
      {"b/GLASS_PA.WAV", BuildSerumFile(output, 5), true},
  };
  // What info shows of each format is the import tests' (formats) concern.
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(Bytes(f.name), f.expected);
    fs::remove(folder / "BACK.WAV");
    EXPECT_EQ(Run({"convert", "--to", "wav", "--name", "back", f.name}).status, 0);
    if (f.lossless) {
      EXPECT_EQ(Bytes("BACK.WAV"), Bytes("a/SWEEP_TA.WAV"));
    }
  }
}

TEST_F(CliTest, ConvertKeepsExistingFilesAndRefusesWhatIsNoTable) {
  const std::vector<uint8_t> table = VortaWaveBytes(SweepTable(), 16);
  WriteAllBytes(folder / "a.wav", table);
  MakeFolder("out");
  WriteAllBytes(folder / "out/A.WAV", {'o', 'l', 'd'});
  WriteAllBytes(folder / "text.txt", {'x'});
  WriteAllBytes(folder / "sample.wav", BuildWave(HandWave{.frames = 20000}));

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
