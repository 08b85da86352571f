#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_globals.h"
#include "files/sound_file_records.h"
#include "wavetable/partial_table.h"

// Blofeld wavetable dumps (".SYX"): 64 System Exclusive messages of 410
// bytes, one per wave of 128 samples. Sample 0 of every wave carries the
// table's playbackStretch R (VORTA waves are point-symmetric, so their true
// sample 0 is 0); the other samples are 21-bit two's complement numbers in
// three 7-bit bytes, high byte first.
inline constexpr int kBlofeldWaveCount = 64;
inline constexpr int kBlofeldWaveLength = 128;
inline constexpr size_t kBlofeldMessageBytes = 410;
inline constexpr size_t kBlofeldDumpBytes = kBlofeldWaveCount * kBlofeldMessageBytes;  // 26,240
inline constexpr size_t kBlofeldNameChars = 14;
inline constexpr int kBlofeldMaxDeviceId = 127;
inline constexpr int kBlofeldMinSlot = 80;
inline constexpr int kBlofeldMaxSlot = 118;
inline constexpr double kBlofeldSampleScale = 1048575.0;  // full scale of the 21-bit samples

// Message offsets.
namespace blofeld_offset {
inline constexpr size_t kStatus = 0;       // 240
inline constexpr size_t kMaker = 1;        // 62, Waldorf
inline constexpr size_t kModel = 2;        // 19, Blofeld
inline constexpr size_t kDeviceId = 3;
inline constexpr size_t kCommand = 4;      // 18, wavetable dump
inline constexpr size_t kSlot = 5;
inline constexpr size_t kWaveNumber = 6;
inline constexpr size_t kFormat = 7;       // 0
inline constexpr size_t kSamples = 8;      // 128 x 3 bytes
inline constexpr size_t kStretch = 10;     // low byte of sample 0
inline constexpr size_t kName = 392;
inline constexpr size_t kChecksum = 408;
inline constexpr size_t kEnd = 409;        // 247
}  // namespace blofeld_offset

using BlofeldDump = std::span<const uint8_t, kBlofeldDumpBytes>;

// How the three sample bytes are read. Dumps of earlier versions of this
// program stored negative samples as magnitude with only the high byte
// replaced by 127 - high; they still load.
enum class BlofeldCoding { kTwosComplement, kSignMagnitude };

// v = nearest(x x 1,048,575), held within the 21-bit range; non-finite is 0.
std::array<uint8_t, 3> EncodeBlofeldSample(double x);
int32_t DecodeBlofeldSample(const uint8_t* bytes, BlofeldCoding coding);

// waves: 64 waves of 128 samples, one after the other (missing samples are
// silence). name: the file name, up to its first '.', at most 14 characters,
// blank-padded, characters outside 32..126 as blanks. Device id and slot
// are sanitised, R is stored as R AND 127.
void BuildBlofeldDump(std::span<uint8_t, kBlofeldDumpBytes> out, std::span<const float> waves,
                      std::string_view name, int32_t stretch, int deviceId, int slot);

// nullptr for a valid dump, else the first failure in message order.
const char* ValidateBlofeldDump(BlofeldDump dump);

// Whether the waves have the structure VORTA rendering gives: R in sample 0
// of every wave, point symmetry, odd waves midway between their neighbours.
bool HasVortaStructure(BlofeldDump dump, BlofeldCoding coding);

// The coding under which the dump passes the structure test, two's
// complement first; none when it fails both.
std::optional<BlofeldCoding> VortaCodingOf(BlofeldDump dump);

// Reader branch for ".SYX" (see foreign_format_branches.h). In load mode the
// block receives the imported table and the stored R.
int16_t ReadBlofeldDump(std::FILE* file, FileInfo* info, SamplerBlock* block);

// Import: the even waves 0..62 become slices 0..31 (samples 1..63, the
// negated mirror behind sample 64), slice 32 is extrapolated from wave 63,
// and the 33 cycles are analysed into partials. R is byte 10 of the first
// message; a value outside 1..32 gives 16.
std::vector<float> BlofeldImportCycles(BlofeldDump dump, BlofeldCoding coding);
void ImportBlofeldDump(BlofeldDump dump, BlofeldCoding coding, PartialTable& table, int32_t& stretch);
int32_t StoredBlofeldStretch(BlofeldDump dump);

// Device id and slot: values the instrument accepts.
struct BlofeldParameters {
  int deviceId = 0;
  int slot = kBlofeldMinSlot;
  bool operator==(const BlofeldParameters&) const = default;
};
int SanitizeBlofeldDeviceId(int64_t deviceId);  // outside 0..127 gives 0
int SanitizeBlofeldSlot(int64_t slot);          // outside 80..118 gives 80
BlofeldParameters SanitizeBlofeldParameters(int64_t deviceId, int64_t slot);

BlofeldParameters DumpParameters(BlofeldDump dump);  // from the first message, sanitised
// Bytes 3 and 5 of all 64 messages; the checksum does not cover them.
void SetDumpParameters(std::span<uint8_t, kBlofeldDumpBytes> dump, BlofeldParameters parameters);

// The values the parameter questions offer first, sanitised: the last used
// ones, or, when an existing file is overwritten, those of its first message
// (11 when it cannot be read or is shorter than a dump).
int OfferedBlofeldParameters(AppGlobals& app, const std::string& fileName, bool newFile,
                             BlofeldParameters& parameters);

// "WAVETABLE RENDERING <SYX>": renders the table with one blended wave
// between neighbouring slices (the first 64 of 65 waves of 128 samples),
// writes the dump named after the file into folder 5 and keeps device id
// and slot as the last used. A new file never replaces an existing one.
// 3, 11, or 26 when a new file's name is taken.
int WriteBlofeldTable(AppGlobals& app, const PartialTable& table, int32_t stretch, const std::string& fileName,
                      BlofeldParameters parameters, bool newFile);

// "SYSEX PARAMETER MODIFICATION <SYX>": the selected dump's own values
// (sanitised) for the questions, then the rewrite of bytes 3 and 5 of every
// message, everything else of the file kept. 19 without a file name, 11 when
// the file is no readable dump or cannot be written, else 3.
int ReadBlofeldFileParameters(AppGlobals& app, const std::string& fileName, BlofeldParameters& parameters);
int RewriteBlofeldFileParameters(AppGlobals& app, const std::string& fileName, BlofeldParameters parameters);
