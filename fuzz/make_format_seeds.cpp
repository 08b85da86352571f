// Writes files of every wavetable format the program makes, and a settings
// file, into the seed folders of the fuzz targets (CORPUS/wav, CORPUS/wt,
// ...), each behind the selector byte 0 of fuzz_reader.cpp (upper-case
// name, FORCE LOOP on). One-slice tables keep most files short; a full
// Dune2 file gives the reader an input of several MiB.
#include <cstdio>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/byte_order.h"
#include "core/settings.h"
#include "formats/blofeld_sysex.h"
#include "formats/dune2_wt.h"
#include "formats/efe_file.h"
#include "formats/foreign_table_common.h"
#include "formats/komplexer_wt.h"
#include "formats/serum_wav.h"
#include "formats/surge_wt.h"
#include "files/wave_writer.h"
#include "formats/wavegenerator_wts.h"
#include "wavetable/payload.h"

namespace {

bool Save(const std::string& folder, const char* target, const char* name, const std::vector<uint8_t>& bytes,
          bool selector = true) {
  std::FILE* file = std::fopen((folder + "/" + target + "/seed-" + name).c_str(), "wb");
  if (!file) return false;
  bool ok = !selector || std::fputc(0, file) != EOF;
  ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

// The program's own WAV table: 33 waves of 128 samples, 8-bit.
std::vector<uint8_t> VortaWav(const PartialTable& table) {
  WaveHeader header;
  SamplerBlock block;
  header.formatTag = kFormatPcm;
  header.bitsPerSample = 8;
  header.channels = 1;
  header.dataSize = 33 * 128;
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_VORTA);
  SetSamplerU32(block, sampler_offset::kSamplerDataSize, kSynthesisSamplerDataSize);
  SetSamplerU32(block, sampler_offset::kLoopEnd, 127);
  SetSamplerU32(block, sampler_offset::kUnityNote, VortaUnityNote(128));
  WriteVortaPayload(block.bytes, table, 16);
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_VORTA);
  const std::vector<float> waves = RenderWaves(table, 128, 1);
  const auto head = EncodeWaveHeader(header);
  std::vector<uint8_t> bytes(head.begin(), head.end());
  const std::vector<uint8_t> data = EncodeWaveData(header, waves, waves);
  bytes.insert(bytes.end(), data.begin(), data.end());
  const auto smpl = SamplerChunkBytes(block);
  bytes.insert(bytes.end(), smpl.begin(), smpl.end());
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_format_seeds CORPUS-FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  PartialTable one;  // one active slice: the shortest files
  one.at(0, 0) = 127;
  one.at(4, 0) = -80;
  PartialTable full = one;
  for (int slice = 1; slice < kSliceCount; ++slice) full.at(slice % 60, slice) = static_cast<int16_t>(60 + slice);

  std::vector<uint8_t> dump(kBlofeldDumpBytes);
  BuildBlofeldDump(std::span<uint8_t, kBlofeldDumpBytes>(dump.data(), kBlofeldDumpBytes), RenderWaves(full, 128, 2),
                   "SEED", 9, 3, 90);
  bool ok = Save(folder, "syx", "blofeld", dump);
  ok = Save(folder, "wt", "komplexer", BuildKomplexerFile(full, 12)) && ok;
  ok = Save(folder, "wt", "komplexer-silent", BuildKomplexerFile(PartialTable{}, 3)) && ok;
  ok = Save(folder, "wt", "surge", BuildSurgeFile(one, 5)) && ok;
  ok = Save(folder, "wt", "dune2", BuildDune2File(one, 7)) && ok;
  ok = Save(folder, "wt", "dune2-full", BuildDune2File(full, 7)) && ok;
  ok = Save(folder, "efe", "efe", BuildEfeFile(full, 20, "SEED")) && ok;
  ok = Save(folder, "wts", "wts", BuildWtsFile(full, 30)) && ok;
  ok = Save(folder, "wav", "serum", BuildSerumFile(one, 2)) && ok;
  ok = Save(folder, "wav", "vorta", VortaWav(full)) && ok;

  AppGlobals app;
  app.settings.colourMode = 2;
  app.settings.playbackVolume = 0.5f;
  app.folderUserPath[1] = "/music/samples/";
  app.folderUserPath[4] = "/music/tables/";
  ok = Save(folder, "settings", "settings", EncodeSettingsFile(app.settings, app.folderUserPath), false) && ok;
  return ok ? 0 : 1;
}
