#include "modules/import_wave_out.h"

#include <cmath>

#include "core/byte_order.h"
#include "files/sound_file_records.h"

namespace {

constexpr uint32_t kFmtChunkBytes = 16;
constexpr uint32_t kSamplerHeadBytes = 36;  // the nine fields before the loop records
constexpr uint32_t kLoopRecordBytes = 24;
constexpr uint32_t kSamplePeriodNs = 1000000000u / kProgramSampleRate;
constexpr double kPcm16Scale = 32768.0;
constexpr double kFractionScale = 4294967296.0;  // one semitone in the pitch fraction
constexpr uint64_t kMaxRiffBytes = 0xFFFFFFFFull;

int16_t ToPcm16(float value) {
  const double scaled = std::round(static_cast<double>(value) * kPcm16Scale);
  if (scaled >= 32767.0) return 32767;
  if (scaled <= -32768.0) return -32768;
  return static_cast<int16_t>(scaled);
}

WaveHeader HeaderOf(const ImportWaveOut& out, uint32_t dataBytes, uint32_t samplerChunkBytes) {
  WaveHeader header;
  header.riffTag = kRiffTag;
  header.waveTag = kWaveTag;
  header.fmtTag = kFmtTag;
  header.dataTag = kDataTag;
  header.fmtSize = kFmtChunkBytes;
  header.formatTag = out.floatData ? kFormatFloat : kFormatPcm;
  header.channels = static_cast<uint16_t>(out.channels);
  header.sampleRate = kProgramSampleRate;
  header.bitsPerSample = out.floatData ? 32 : 16;
  header.blockAlign = static_cast<uint16_t>(header.bitsPerSample / 8 * out.channels);
  header.bytesPerSecond = kProgramSampleRate * header.blockAlign;
  header.dataSize = dataBytes;
  header.riffSize = 4 + (8 + kFmtChunkBytes) + (8 + dataBytes) + samplerChunkBytes;
  return header;
}

bool WriteAll(std::FILE* file, const uint8_t* data, size_t size) {
  return size == 0 || std::fwrite(data, 1, size, file) == size;
}

}  // namespace

bool OpenImportWave(ImportWaveOut& out, const std::string& path, int channels, bool floatData) {
  out.file = std::fopen(path.c_str(), "wb");
  if (!out.file) return false;
  out.channels = channels;
  out.floatData = floatData;
  // Room for the header; its sizes are known once the data is written.
  const auto header = EncodeWaveHeader(HeaderOf(out, 0, 0));
  out.failed = !WriteAll(out.file, header.data(), header.size());
  return true;
}

void WriteImportFrames(ImportWaveOut& out, std::span<const float> interleaved) {
  if (out.failed || interleaved.empty()) return;
  const size_t sampleBytes = out.floatData ? 4 : 2;
  out.bytes.resize(interleaved.size() * sampleBytes);
  uint8_t* p = out.bytes.data();
  for (const float value : interleaved) {
    if (out.floatData) {
      WriteF32LE(p, value);
    } else {
      WriteI16LE(p, ToPcm16(value));
    }
    p += sampleBytes;
  }
  out.failed = !WriteAll(out.file, out.bytes.data(), out.bytes.size());
  out.frames += interleaved.size() / static_cast<size_t>(out.channels);
}

std::vector<uint8_t> ImportSamplerChunk(const ImportInstrument& instrument) {
  const uint32_t loops = instrument.loop ? 1 : 0;
  const uint32_t dataBytes = kSamplerHeadBytes + loops * kLoopRecordBytes;
  std::vector<uint8_t> chunk(8 + dataBytes, 0);
  uint8_t* p = chunk.data();
  std::copy(kSmplTag.begin(), kSmplTag.end(), p);
  WriteU32LE(p + 4, dataBytes);
  uint8_t* d = p + 8;
  // A negative detune is the note below with an upward fraction.
  int note = instrument.rootNote;
  int cents = instrument.cents;
  if (cents < 0 && note > 0) {
    --note;
    cents += 100;
  }
  const auto fraction = static_cast<uint32_t>(std::max(0, cents) / 100.0 * kFractionScale);
  WriteU32LE(d + 8, kSamplePeriodNs);
  WriteU32LE(d + 12, static_cast<uint32_t>(note));
  WriteU32LE(d + 16, fraction);
  WriteU32LE(d + 28, loops);
  if (instrument.loop) {
    const ImportLoop& loop = *instrument.loop;
    uint8_t* record = d + kSamplerHeadBytes;
    WriteU32LE(record + 4, static_cast<uint32_t>(loop.type));
    WriteU32LE(record + 8, static_cast<uint32_t>(loop.start));
    WriteU32LE(record + 12, static_cast<uint32_t>(loop.end - 1));
    WriteU32LE(record + 20, loop.playCount);
  }
  return chunk;
}

bool FinishImportWave(ImportWaveOut& out, const std::optional<ImportInstrument>& instrument) {
  const uint64_t dataBytes = out.frames * static_cast<uint64_t>(out.channels) * (out.floatData ? 4 : 2);
  std::vector<uint8_t> sampler;
  if (instrument) sampler = ImportSamplerChunk(*instrument);
  bool ok = !out.failed && dataBytes + sampler.size() + 64 < kMaxRiffBytes;
  if (ok) ok = WriteAll(out.file, sampler.data(), sampler.size());
  if (ok) {
    const auto header = EncodeWaveHeader(
        HeaderOf(out, static_cast<uint32_t>(dataBytes), static_cast<uint32_t>(sampler.size())));
    ok = std::fseek(out.file, 0, SEEK_SET) == 0 && WriteAll(out.file, header.data(), header.size());
  }
  ok = std::fflush(out.file) == 0 && ok;
  ok = std::fclose(out.file) == 0 && ok;
  out.file = nullptr;
  return ok;
}

void AbandonImportWave(ImportWaveOut& out) {
  if (out.file) std::fclose(out.file);
  out.file = nullptr;
}
