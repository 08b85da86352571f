// Writes one file of every wavetable format the program makes into the
// fuzz corpus, each behind the selector byte that gives it its file name in
// fuzz_read_sound_file.cpp. Small tables keep the files short.
#include <cstdio>
#include <string>
#include <vector>

#include "core/byte_order.h"
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

// Selector bytes of the target's name list.
constexpr uint8_t kWav = 0, kWt = 2, kSyx = 3, kEfe = 4, kWts = 5;

bool Save(const std::string& folder, const char* name, uint8_t selector, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen((folder + "/seed-" + name).c_str(), "wb");
  if (!file) return false;
  bool ok = std::fputc(selector, file) != EOF;
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
  bool ok = Save(folder, "syx", kSyx, dump);
  ok = Save(folder, "komplexer", kWt, BuildKomplexerFile(full, 12)) && ok;
  ok = Save(folder, "surge", kWt, BuildSurgeFile(one, 5)) && ok;
  ok = Save(folder, "dune2", kWt, BuildDune2File(one, 7)) && ok;
  ok = Save(folder, "efe", kEfe, BuildEfeFile(full, 20, "SEED")) && ok;
  ok = Save(folder, "wts", kWts, BuildWtsFile(full, 30)) && ok;
  ok = Save(folder, "serum", kWav, BuildSerumFile(one, 2)) && ok;
  ok = Save(folder, "vorta", kWav, VortaWav(full)) && ok;
  return ok ? 0 : 1;
}
