#include "files/riff_chunks.h"

#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "core/byte_order.h"

namespace {

enum TagIndex { kRiff, kWave, kFmt, kData, kSmpl, kTagCount };

constexpr std::array<ChunkTag, kTagCount> kScannedTags = {kRiffTag, kWaveTag, kFmtTag, kDataTag, kSmplTag};
constexpr uint64_t kFormatFieldBytes = 16;
// The tag search reads blocks and searches them in memory. No real WAV
// file holds this many bytes outside its audio data, so a search that got
// this far without finding its tags gives up and the file counts as
// damaged, instead of crawling through gigabytes.
constexpr size_t kSearchBlockBytes = 1 << 16;
constexpr uint64_t kMaxSearchedBytes = 64ull << 20;
// Likewise for the chunk walk: real files hold a handful of chunks.
constexpr int kMaxWalkedChunks = 1 << 16;
constexpr size_t kTagBytes = 4;

struct ScanState {
  std::FILE* file;
  uint64_t fileSize;
  WaveHeader& header;
  SamplerBlock& block;
  bool wantDataPosition;
  std::array<bool, kTagCount> found{};
  int foundCount = 0;
  uint64_t dataPosition = 0;
  uint64_t searchedBytes = 0;  // bytes the tag search has looked at so far
  bool stopped = false;        // a short read or a skip past the end
};

bool AllFound(const ScanState& state) { return state.foundCount >= kTagCount; }

bool SeekTo(std::FILE* file, uint64_t position) {
  return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

// Reads exactly count bytes at position; false on a short read.
bool ReadAt(ScanState& state, uint64_t position, uint8_t* out, size_t count) {
  if (!SeekTo(state.file, position)) return false;
  return std::fread(out, 1, count, state.file) == count;
}

void MarkFound(ScanState& state, TagIndex tag) {
  state.found[tag] = true;
  ++state.foundCount;
}

// Each handler gets the position right behind the 4-byte tag and returns
// where a byte search goes on.
uint64_t HandleRiff(ScanState& state, uint64_t position) {
  state.header.riffTag = kRiffTag;
  MarkFound(state, kRiff);
  uint8_t size[4];
  if (!ReadAt(state, position, size, 4)) {
    state.stopped = true;
    return position;
  }
  state.header.riffSize = ReadU32LE(size);
  return position + 4;
}

uint64_t HandleWave(ScanState& state, uint64_t position) {
  state.header.waveTag = kWaveTag;
  MarkFound(state, kWave);
  return position;
}

uint64_t HandleFmt(ScanState& state, uint64_t position) {
  state.header.fmtTag = kFmtTag;
  MarkFound(state, kFmt);
  uint8_t fields[4 + kFormatFieldBytes];
  if (!ReadAt(state, position, fields, sizeof fields)) {
    state.stopped = true;
    return position;
  }
  state.header.fmtSize = ReadU32LE(fields);
  state.header.formatTag = ReadU16LE(fields + 4);
  state.header.channels = ReadU16LE(fields + 6);
  state.header.sampleRate = ReadU32LE(fields + 8);
  state.header.bytesPerSecond = ReadU32LE(fields + 12);
  state.header.blockAlign = ReadU16LE(fields + 16);
  state.header.bitsPerSample = ReadU16LE(fields + 18);
  uint64_t next = position + sizeof fields;
  if (state.header.fmtSize > kFormatFieldBytes) next += state.header.fmtSize - kFormatFieldBytes;
  return next;
}

uint64_t HandleData(ScanState& state, uint64_t position) {
  state.header.dataTag = kDataTag;
  MarkFound(state, kData);
  uint8_t size[4];
  if (!ReadAt(state, position, size, 4)) {
    state.stopped = true;
    return position;
  }
  state.header.dataSize = ReadU32LE(size);
  if (state.wantDataPosition) state.dataPosition = position + 4;
  return position + 4 + static_cast<uint64_t>(state.header.dataSize);
}

uint64_t HandleSmpl(ScanState& state, uint64_t position) {
  MarkFound(state, kSmpl);
  std::memcpy(state.block.bytes.data() + sampler_offset::kTag, kSmplTag.data(), 4);
  uint8_t size[4];
  if (!ReadAt(state, position, size, 4)) {
    state.stopped = true;
    return position;
  }
  std::memcpy(state.block.bytes.data() + sampler_offset::kChunkSize, size, 4);
  const uint32_t chunkSize = ReadU32LE(size);
  const size_t kept = std::min<uint32_t>(chunkSize, kSamplerChunkMaxData);
  // A chunk cut short by the end of the file keeps what is there.
  SeekTo(state.file, position + 4);
  const size_t got = std::fread(state.block.bytes.data() + 8, 1, kept, state.file);
  if (got < kept) state.stopped = true;
  return position + 4 + chunkSize;
}

uint64_t HandleTag(ScanState& state, TagIndex tag, uint64_t positionAfterTag) {
  switch (tag) {
    case kRiff: return HandleRiff(state, positionAfterTag);
    case kWave: return HandleWave(state, positionAfterTag);
    case kFmt: return HandleFmt(state, positionAfterTag);
    case kData: return HandleData(state, positionAfterTag);
    case kSmpl: return HandleSmpl(state, positionAfterTag);
    default: return positionAfterTag;
  }
}

int UnfoundTagIndex(const ScanState& state, const uint8_t* id) {
  for (int tag = 0; tag < kTagCount; ++tag) {
    if (!state.found[tag] && std::memcmp(id, kScannedTags[tag].data(), 4) == 0) return tag;
  }
  return -1;
}

// The first letters of the tags still missing, as a byte table.
std::array<bool, 256> UnfoundFirstBytes(const ScanState& state) {
  std::array<bool, 256> starts{};
  for (int tag = 0; tag < kTagCount; ++tag) {
    if (!state.found[tag]) starts[static_cast<uint8_t>(kScannedTags[tag][0])] = true;
  }
  return starts;
}

// A hole of a sparse file holds only zeros, which start no tag: the search
// steps over it at once (it still counts as searched, so a file is judged
// the same however it is stored). False when the file has no data left.
bool SkipHole(ScanState& state, uint64_t& position) {
  const int fd = fileno(state.file);
  if (fd < 0) return true;
  const off_t data = lseek(fd, static_cast<off_t>(position), SEEK_DATA);
  if (data < 0) return errno != ENXIO;  // ENXIO: nothing but a hole up to the end
  if (static_cast<uint64_t>(data) <= position) return true;
  const uint64_t skipped = std::min<uint64_t>(static_cast<uint64_t>(data) - position,
                                              kMaxSearchedBytes - std::min(kMaxSearchedBytes, state.searchedBytes));
  position += skipped;
  state.searchedBytes += skipped;
  return true;
}

// Search for the tags not yet found, from position on, block by block: a
// byte that starts an unfound tag is checked with the next three; on a
// match the tag's handler reads its fields and the search goes on behind
// them. Consecutive blocks overlap by three bytes so that no tag is missed
// at a block border.
void SearchTags(ScanState& state, uint64_t position) {
  std::vector<uint8_t> block(kSearchBlockBytes);
  while (!AllFound(state) && !state.stopped && state.searchedBytes < kMaxSearchedBytes) {
    if (!SkipHole(state, position) || state.searchedBytes >= kMaxSearchedBytes) return;
    if (position >= state.fileSize) return;
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(block.size(), state.fileSize - position));
    if (!SeekTo(state.file, position)) return;
    const size_t got = std::fread(block.data(), 1, wanted, state.file);
    if (got < kTagBytes) return;
    const std::array<bool, 256> starts = UnfoundFirstBytes(state);
    int tag = -1;
    size_t offset = 0;
    for (; offset + kTagBytes <= got; ++offset) {
      if (!starts[block[offset]]) continue;
      tag = UnfoundTagIndex(state, block.data() + offset);
      if (tag >= 0) break;
    }
    if (tag < 0) {
      if (got < wanted) return;  // the file ended early
      const size_t advance = got - (kTagBytes - 1);
      state.searchedBytes += advance;
      position += advance;
      continue;
    }
    state.searchedBytes += offset + kTagBytes;
    position = HandleTag(state, static_cast<TagIndex>(tag), position + offset + kTagBytes);
    if (position > state.fileSize) return;  // a skip past the end ends the scan
  }
}

bool IsPlausibleChunkId(const uint8_t* id) {
  for (int i = 0; i < 4; ++i) {
    if (id[i] < 0x20 || id[i] > 0x7E) return false;
  }
  return true;
}

// After an odd-sized chunk the next one starts behind a zero pad byte; some
// writers leave the pad out, and their next chunk starts one byte earlier.
uint64_t SkipPadByte(ScanState& state, uint64_t position) {
  uint8_t padAndId[5];
  if (ReadAt(state, position, padAndId, sizeof padAndId) && padAndId[0] != 0 && IsPlausibleChunkId(padAndId)) {
    return position;
  }
  return position + 1;
}

// Walks the chunk list behind the 12-byte RIFF header. Where the list stops
// making sense, the byte search takes over for the tags still missing.
void WalkChunks(ScanState& state) {
  uint64_t position = 12;
  for (int walked = 0; !AllFound(state) && !state.stopped && walked < kMaxWalkedChunks; ++walked) {
    uint8_t chunkHeader[8];
    if (!ReadAt(state, position, chunkHeader, sizeof chunkHeader)) return;
    if (!IsPlausibleChunkId(chunkHeader)) {
      SearchTags(state, position);
      return;
    }
    const uint32_t size = ReadU32LE(chunkHeader + 4);
    const int tag = UnfoundTagIndex(state, chunkHeader);
    if (tag >= 0) HandleTag(state, static_cast<TagIndex>(tag), position + 4);
    const uint64_t next = position + 8 + static_cast<uint64_t>(size);
    if (next >= state.fileSize) {
      // Audio data cut short ends the file; any other chunk that claims more
      // than the file holds has a broken size, so look inside it.
      if (tag != kData && next > state.fileSize) SearchTags(state, position + 8);
      return;
    }
    position = (size & 1u) != 0 ? SkipPadByte(state, next) : next;
  }
}

}  // namespace

uint64_t ScanRiffChunks(std::FILE* file, WaveHeader& header, SamplerBlock& block, bool wantDataPosition) {
  header = WaveHeader{};
  block = SamplerBlock{};
  if (!file) return 0;
  if (fseeko(file, 0, SEEK_END) != 0) return 0;
  const off_t end = ftello(file);
  if (end < 0) return 0;
  ScanState state{file, static_cast<uint64_t>(end), header, block, wantDataPosition};

  uint8_t start[12];
  const bool riffHeader = ReadAt(state, 0, start, sizeof start) && std::memcmp(start, kRiffTag.data(), 4) == 0 &&
                          std::memcmp(start + 8, kWaveTag.data(), 4) == 0;
  if (riffHeader) {
    HandleRiff(state, 4);
    HandleWave(state, 12);
    WalkChunks(state);
  } else {
    SearchTags(state, 0);
  }
  std::clearerr(file);
  return state.dataPosition;
}
