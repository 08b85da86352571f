#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A recording of any kind libsndfile reads, opened for the import: what it
// is, what the sampler data of the file says, and its audio as float frames
// of one or two channels (more channels are mixed down to stereo).

struct ImportLoop {
  int type = 0;           // sampler chunk loop type: 0 forward, 1 alternating, 2 backward
  uint64_t start = 0;     // first frame of the loop
  uint64_t end = 0;       // one past the last frame of the loop
  uint32_t playCount = 0;  // 0 = endless
};

struct ImportInstrument {
  int rootNote = 60;
  int cents = 0;  // detune, -50..50
  std::optional<ImportLoop> loop;
};

struct ImportSourceFacts {
  uint32_t sampleRate = 0;
  int channels = 0;          // of the file
  int outChannels = 0;       // 1 or 2 after the mix-down
  uint64_t frames = 0;       // as the file declares them
  std::string depthText;     // "16-bit", "24-bit", "float", "64-bit float", ...
  bool fitsSixteenBits = false;  // 16 bits or fewer: the result is 16-bit PCM
  std::optional<ImportInstrument> instrument;
};

struct ImportSource {
  void* handle = nullptr;  // SNDFILE*
  ImportSourceFacts facts;
  std::vector<float> wide;  // one block of the file's own channels before the mix-down
};

// Opens the file; empty optional-like result: handle null when libsndfile
// cannot read it.
bool OpenImportSource(const std::string& path, ImportSource& source);
void CloseImportSource(ImportSource& source);

// Reads up to out.size() / outChannels frames as float, mixed down to the
// output channels. Returns the frames read (0 at the end); -1 on a read
// error.
int64_t ReadImportFrames(ImportSource& source, std::span<float> out);

// Mixes frames of n channels down to stereo: the mean of the odd-numbered
// channels (1, 3, 5, ...) on the left, of the even-numbered on the right.
void MixToStereo(std::span<const float> in, int channels, std::span<float> out);
