#pragma once
// WAV files for the reader tests, made without the program's own writer:
// by sox, or byte by byte here.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/wave_reader.h"
#include "support/temp_folder.h"

namespace wave_fixtures {

inline void PutU16(std::vector<uint8_t>& out, uint16_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline uint32_t GetU32(const std::vector<uint8_t>& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | bytes[at + i];
  return v;
}
inline void SetU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A chunk: tag, size, payload (and a pad byte for odd sizes when asked).
inline std::vector<uint8_t> Chunk(const char* tag, const std::vector<uint8_t>& payload, bool pad = true) {
  std::vector<uint8_t> out;
  out.insert(out.end(), tag, tag + 4);
  PutU32(out, static_cast<uint32_t>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
  if (pad && (payload.size() & 1)) out.push_back(0);
  return out;
}

struct Smpl {
  uint32_t unityNote = 60, loops = 1, type = 0, start = 0, end = 0;
  const char* familyId = nullptr;  // 8 characters, or none
  uint32_t samplerDataSize = 0;    // the declared size
  uint32_t samplerDataBytes = 0;   // the bytes really present behind the loop record
  std::vector<uint8_t> payload{};  // placed behind the family id
};

// A "smpl" chunk with one loop record as the program and most tools write it.
inline std::vector<uint8_t> SmplChunk(const Smpl& s) {
  std::vector<uint8_t> data;
  // manufacturer, product, sample period, unity note, pitch fraction, SMPTE format and offset, loops,
  // sampler data size; the loop: cue id, type, start, end, fraction, play count.
  for (uint32_t v : {0u, 0u, 22675u, s.unityNote, 0u, 0u, 0u, s.loops, s.samplerDataSize, 0u, s.type, s.start, s.end,
                     0u, 0u})
    PutU32(data, v);
  std::vector<uint8_t> specific(s.samplerDataBytes, 0);
  if (s.familyId) std::memcpy(specific.data(), s.familyId, std::min<size_t>(8, specific.size()));
  for (size_t i = 0; i < s.payload.size() && 8 + i < specific.size(); ++i) specific[8 + i] = s.payload[i];
  data.insert(data.end(), specific.begin(), specific.end());
  return Chunk("smpl", data);
}

// The sampler chunk of the program's tables: one loop, 4,240 bytes of data (id, 4,224 payload, R, "LOG_").
inline Smpl TableSmpl(const char* familyId, uint32_t loopEnd, uint32_t dataSize = 4240) {
  return {.end = loopEnd, .familyId = familyId, .samplerDataSize = dataSize, .samplerDataBytes = dataSize};
}

struct HandWave {
  uint16_t formatTag = 1, channels = 1;
  uint32_t sampleRate = 44100;
  uint16_t bits = 16;
  uint32_t frames = 0, fmtSize = 16;
  std::vector<uint8_t> chunksBeforeFmt{};  // whole chunks
  std::vector<uint8_t> chunksAfterData{};  // whole chunks
  std::vector<uint8_t> audio{};          // when empty: frames of a ramp
  int64_t riffSizeDelta = 0;             // added to the true RIFF size
};

// A WAV file laid out chunk by chunk: RIFF, chunks before, fmt, data, chunks after.
inline std::vector<uint8_t> BuildWave(const HandWave& w) {
  std::vector<uint8_t> fmt;
  const uint32_t block = static_cast<uint32_t>(w.bits / 8) * w.channels;
  PutU16(fmt, w.formatTag);
  PutU16(fmt, w.channels);
  PutU32(fmt, w.sampleRate);
  PutU32(fmt, w.sampleRate * block);
  PutU16(fmt, static_cast<uint16_t>(block));
  PutU16(fmt, w.bits);
  fmt.resize(w.fmtSize, 0);
  std::vector<uint8_t> audio = w.audio;
  if (audio.empty()) {
    audio.resize(static_cast<size_t>(w.frames) * block);
    for (size_t i = 0; i < audio.size(); ++i) audio[i] = static_cast<uint8_t>(i * 7);
  }
  std::vector<uint8_t> body{'W', 'A', 'V', 'E'};
  for (const auto& part : {w.chunksBeforeFmt, Chunk("fmt ", fmt), Chunk("data", audio), w.chunksAfterData})
    body.insert(body.end(), part.begin(), part.end());
  std::vector<uint8_t> file{'R', 'I', 'F', 'F'};
  PutU32(file, static_cast<uint32_t>(static_cast<int64_t>(body.size()) + w.riffSizeDelta));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

inline void AppendChunk(const std::string& path, const std::vector<uint8_t>& chunk) {
  std::vector<uint8_t> bytes = ReadAllBytes(path);
  bytes.insert(bytes.end(), chunk.begin(), chunk.end());
  SetU32(bytes, 4, static_cast<uint32_t>(bytes.size() - 8));
  WriteAllBytes(path, bytes);
}

// What the reader shows of a file: category|remark|loop|family|channels|format|count|length.
inline std::string Card(const std::string& path, const ReadRules& rules = ReadRules{true}) {
  FileInfo i;
  const int category = TestSoundFile(path, &i, rules);
  return std::to_string(category) + "|" + i.remark + "|" + i.loop + "|" + i.family + "|" + i.channels + "|" +
         i.format + "|" + i.count + "|" + i.length;
}

// sox writes a sine of the given frame count; format: sox output options ("-b 16", "-t wavpcm -b 32").
// Rate and channels go to the null input, so the length counts at the output rate.
inline bool SoxSine(const std::string& path, uint32_t frames, const std::string& format, int channels = 1,
                    int rate = 44100) {
  const std::string command = "sox -q -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -n " +
                              format + " '" + path + "' synth " + std::to_string(frames) +
                              "s sine 441 vol 0.5 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

}  // namespace wave_fixtures
