#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/program_state.h"
#include "files/sound_file_records.h"

// Every WAV file the program makes: PrepareWaveHeader fills the header, the
// "smpl" image and the optional extra chunks for the running module;
// WriteWaveFile converts the two float channel buffers and writes header,
// audio and "smpl" into a category folder.

// An optional chunk besides the usual ones ("JUNK" or "clm ").
struct ExtraChunk {
  ChunkTag tag{};
  uint32_t size = 0;
  std::vector<uint8_t> payload;
};

inline constexpr double kWriteLevel = 0.494265;            // per channel; 1.0 becomes about -0.1 dB
inline constexpr uint32_t kVortaPitchFraction = 3289944948u;  // 0.766 of a semitone
inline constexpr uint32_t kJunkChunkSize = 28;
inline constexpr uint32_t kClmChunkSize = 48;
inline constexpr const char* kClmText = "<!>2048 10000000 wavetable (Sonic-Loom)";
inline constexpr uint32_t kXformLoopEnd = 131071;
inline constexpr uint32_t kPlainSamplerDataSize = 8;  // just the family id
inline constexpr uint32_t kXmrphUnityNote = 60;

// An empty header (first byte 0) gets the tags, 44,100 Hz, a 16-byte format
// chunk and the module's sampler defaults, and the extra chunks that are
// passed are filled in; then the derived fields are always computed again
// (bytes per second, block align, sample period, "smpl" chunk size and the
// RIFF size, which counts the extra chunks that are passed). Set channels,
// format, bits and data size before the first call.
void PrepareWaveHeader(WaveHeader& header, SamplerBlock& block, ExtraChunk* junk, ExtraChunk* clm,
                       ProgramState module);

// Unity note of a VORTA table rendered with this wave length: 77, 65, 53,
// 41, 29 and 17 for 128 .. 4,096 samples.
uint32_t VortaUnityNote(uint32_t waveLength);

// The audio data of the header's format from the channel buffers: mono
// writes (left + right) x g, stereo left x g and right x g interleaved, with
// g = channels x 0.494265 (x the largest integer of the PCM format); PCM
// values are rounded halves away from zero and clamped to their range,
// non-finite values become 0. Empty when the buffers are shorter than the
// header's frame count or the format is not one the program writes.
std::vector<uint8_t> EncodeWaveData(const WaveHeader& header, std::span<const float> left,
                                    std::span<const float> right);

// The chunk as it goes into a file: tag, size, payload padded to size.
std::vector<uint8_t> EncodeExtraChunk(const ExtraChunk& chunk);

// The "smpl" chunk as it goes into a file: its size + 8 bytes of the block.
std::span<const uint8_t> SamplerChunkBytes(const SamplerBlock& block);

// Writes the file into the category's folder: 3 when header, audio and
// "smpl" were all written, 11 otherwise. An existing file of that name is
// replaced only when the new one was written completely; otherwise it stays
// as it was.
int WriteWaveFile(AppGlobals& app, const std::string& fileName, int category, const WaveHeader& header,
                  const SamplerBlock& block, std::span<const float> left, std::span<const float> right);

// The whole file as WriteWaveFile writes it: header, audio, "smpl" chunk.
// Empty when the audio cannot be encoded (see EncodeWaveData).
std::vector<uint8_t> EncodeWaveFile(const WaveHeader& header, const SamplerBlock& block, std::span<const float> left,
                                    std::span<const float> right);
