#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "core/app_globals.h"
#include "files/file_classification.h"
#include "files/sound_file_records.h"

// One file of a category folder, by its real name.
struct LibraryEntry {
  int category = 0;
  std::string name;
};

// What a loaded sample brings along besides its audio.
struct SampleDescriptor {
  uint64_t frames = 0;  // frames placed in the channel buffers
  uint16_t channels = 0;
  uint32_t loopStart = 0;
  uint32_t loopEnd = 0;
  uint32_t unityNote = 0;
  uint32_t pitchFraction = 0;
  uint32_t loopCount = 0;
  uint32_t loopType = 0;
  std::string family;  // the 5-character family id of the sampler data
  std::array<uint8_t, kSynthesisPayloadBytes> payload{};
  uint64_t scanLoopCount = 0;
};

// The file image of an XFORM table: the noise as interleaved stereo floats
// and the band profile that travels with it.
inline constexpr int32_t kDefaultXformSpeed = 32;
inline constexpr int32_t kMaxXformSpeed = 512;

struct XformFileData {
  std::span<float> samples;  // the table's noise buffer, two floats per frame
  uint64_t frames = 0;       // frames placed in it
  std::array<uint8_t, kSynthesisPayloadBytes> bandProfile{};
  int32_t speed = kDefaultXformSpeed;
  uint32_t unityNote = 0;
  uint32_t pitchFraction = 0;
};

// Sample loader for categories 1 and 2: converts the audio to 32-bit float,
// mono fed to both buffers, stereo de-interleaved; float files of category 1
// louder than 1.0 are scaled down to a peak of 1.0; non-finite values load as
// 0. At most as many frames as both buffers hold are loaded; audio that the
// file lacks (a data chunk cut short) loads as silence. False when the file
// is not of the expected category.
bool LoadSampleStream(std::FILE* file, const std::string& fileName, int expectedCategory, std::span<float> left,
                      std::span<float> right, SampleDescriptor& descriptor, const ReadRules& rules);

// The same for an entry of a category folder; 3 when loaded, 11 otherwise.
int LoadSampleFile(AppGlobals& app, const LibraryEntry& entry, std::span<float> left, std::span<float> right,
                   SampleDescriptor& descriptor);

// XFORM table loader for category 13: the float audio unconverted (a mono
// file spread to both channels), the band profile and the speed (32 when the
// stored value lies outside 1..512).
bool LoadXformStream(std::FILE* file, const std::string& fileName, XformFileData& table, SampleDescriptor& descriptor,
                     const ReadRules& rules);
int LoadXformFile(AppGlobals& app, const LibraryEntry& entry, XformFileData& table, SampleDescriptor& descriptor);

// Load dispatch: a sample goes to the sample loader, an XFORM table to the
// XFORM loader; 3 when loaded, 11 when loading failed, 0 for the categories
// that load nothing here.
struct LoadTargets {
  std::span<float> left;
  std::span<float> right;
  XformFileData* xform = nullptr;
  SampleDescriptor* descriptor = nullptr;
};

int LoadLibraryFile(AppGlobals& app, const LibraryEntry& entry, LoadTargets& targets);
