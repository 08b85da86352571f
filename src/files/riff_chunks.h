#pragma once
#include <cstdint>
#include <cstdio>

#include "files/sound_file_records.h"

// The RIFF chunk scanner. It zeroes header and block, then fills them from
// the first "RIFF", "WAVE", "fmt ", "data" and "smpl" it finds: it walks the
// chunk list, and where the list is broken (odd sizes without pad byte,
// garbage between chunks, no RIFF header at the start) it goes on by
// searching the bytes for the tags it still lacks. A tag that was not found
// stays zero in the header (or block). At most 4,300 bytes of "smpl" data
// are kept. The search reads blocks and gives up after 64 MiB of bytes
// outside the audio data (and the walk after 65,536 chunks), so that a
// huge file of junk costs well under a second, not hours.
//
// Returns the file position of the first audio byte when wantDataPosition is
// set and a data chunk was found, else 0.
uint64_t ScanRiffChunks(std::FILE* file, WaveHeader& header, SamplerBlock& block, bool wantDataPosition);
