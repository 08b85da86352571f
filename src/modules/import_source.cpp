#include "modules/import_source.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxKeptChannels = 2;
constexpr int kMaxNote = 127;

struct SubtypeText {
  int subtype;
  const char* text;
  bool sixteenOrFewer;
};

// What each sample encoding is called in the conversion note, and whether
// it holds 16 bits or fewer (so that 16-bit PCM keeps every bit of it).
constexpr SubtypeText kSubtypes[] = {
    {SF_FORMAT_PCM_S8, "8-bit", true},         {SF_FORMAT_PCM_U8, "8-bit", true},
    {SF_FORMAT_PCM_16, "16-bit", true},        {SF_FORMAT_PCM_24, "24-bit", false},
    {SF_FORMAT_PCM_32, "32-bit", false},       {SF_FORMAT_FLOAT, "float", false},
    {SF_FORMAT_DOUBLE, "64-bit float", false}, {SF_FORMAT_ULAW, "u-law", true},
    {SF_FORMAT_ALAW, "A-law", true},           {SF_FORMAT_IMA_ADPCM, "IMA ADPCM", true},
    {SF_FORMAT_MS_ADPCM, "MS ADPCM", true},    {SF_FORMAT_GSM610, "GSM 6.10", true},
    {SF_FORMAT_VOX_ADPCM, "VOX ADPCM", true},  {SF_FORMAT_DPCM_8, "8-bit DPCM", true},
    {SF_FORMAT_DPCM_16, "16-bit DPCM", true},  {SF_FORMAT_DWVW_12, "12-bit DWVW", true},
    {SF_FORMAT_DWVW_16, "16-bit DWVW", true},  {SF_FORMAT_DWVW_24, "24-bit DWVW", false},
    {SF_FORMAT_ALAC_16, "16-bit ALAC", true},  {SF_FORMAT_ALAC_20, "20-bit ALAC", false},
    {SF_FORMAT_ALAC_24, "24-bit ALAC", false}, {SF_FORMAT_ALAC_32, "32-bit ALAC", false},
    {SF_FORMAT_VORBIS, "Vorbis", false},       {SF_FORMAT_OPUS, "Opus", false},
    {SF_FORMAT_MPEG_LAYER_III, "MP3", false},
};

void DescribeDepth(int format, ImportSourceFacts& facts) {
  const int subtype = format & SF_FORMAT_SUBMASK;
  facts.depthText = "encoded";
  facts.fitsSixteenBits = false;
  for (const SubtypeText& entry : kSubtypes) {
    if (entry.subtype != subtype) continue;
    facts.depthText = entry.text;
    facts.fitsSixteenBits = entry.sixteenOrFewer;
  }
}

int LoopType(int mode) {
  switch (mode) {
    case SF_LOOP_ALTERNATING: return 1;
    case SF_LOOP_BACKWARD: return 2;
    default: return 0;
  }
}

// The root note and the first loop of the file's instrument data. Only the
// first loop is kept: the library reads a file with one loop only.
std::optional<ImportInstrument> ReadInstrument(SNDFILE* file) {
  SF_INSTRUMENT data;
  std::memset(&data, 0, sizeof data);
  if (sf_command(file, SFC_GET_INSTRUMENT, &data, sizeof data) != SF_TRUE) return std::nullopt;
  ImportInstrument instrument;
  instrument.rootNote = std::clamp(static_cast<int>(data.basenote), 0, kMaxNote);
  instrument.cents = std::clamp(static_cast<int>(data.detune), -50, 50);
  if (data.loop_count >= 1 && data.loops[0].mode != SF_LOOP_NONE && data.loops[0].end > data.loops[0].start) {
    ImportLoop loop;
    loop.type = LoopType(data.loops[0].mode);
    loop.start = data.loops[0].start;
    loop.end = data.loops[0].end;
    loop.playCount = data.loops[0].count;
    instrument.loop = loop;
  }
  return instrument;
}

}  // namespace

bool OpenImportSource(const std::string& path, ImportSource& source) {
  SF_INFO info;
  std::memset(&info, 0, sizeof info);
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return false;
  if (info.channels < 1 || info.samplerate < 1) {
    sf_close(file);
    return false;
  }
  source.handle = file;
  ImportSourceFacts& facts = source.facts;
  facts.sampleRate = static_cast<uint32_t>(info.samplerate);
  facts.channels = info.channels;
  facts.outChannels = std::min(info.channels, kMaxKeptChannels);
  facts.frames = info.frames > 0 ? static_cast<uint64_t>(info.frames) : 0;
  DescribeDepth(info.format, facts);
  facts.instrument = ReadInstrument(file);
  // Float files may hold values beyond full scale; they are kept as they
  // are, never clipped.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_FALSE);
  return true;
}

void CloseImportSource(ImportSource& source) {
  if (source.handle) sf_close(static_cast<SNDFILE*>(source.handle));
  source.handle = nullptr;
}

void MixToStereo(std::span<const float> in, int channels, std::span<float> out) {
  const size_t frames = in.size() / static_cast<size_t>(channels);
  const int leftCount = (channels + 1) / 2;
  const int rightCount = channels / 2;
  for (size_t f = 0; f < frames; ++f) {
    const float* frame = in.data() + f * static_cast<size_t>(channels);
    double left = 0.0;
    double right = 0.0;
    for (int c = 0; c < channels; c += 2) left += frame[c];
    for (int c = 1; c < channels; c += 2) right += frame[c];
    out[2 * f] = static_cast<float>(left / leftCount);
    out[2 * f + 1] = static_cast<float>(right / rightCount);
  }
}

int64_t ReadImportFrames(ImportSource& source, std::span<float> out) {
  auto* file = static_cast<SNDFILE*>(source.handle);
  const ImportSourceFacts& facts = source.facts;
  const auto wanted = static_cast<sf_count_t>(out.size() / static_cast<size_t>(facts.outChannels));
  if (facts.channels == facts.outChannels) {
    const sf_count_t got = sf_readf_float(file, out.data(), wanted);
    return sf_error(file) != SF_ERR_NO_ERROR ? -1 : got;
  }
  source.wide.resize(static_cast<size_t>(wanted) * static_cast<size_t>(facts.channels));
  const sf_count_t got = sf_readf_float(file, source.wide.data(), wanted);
  if (sf_error(file) != SF_ERR_NO_ERROR) return -1;
  MixToStereo(std::span<const float>(source.wide).first(static_cast<size_t>(got) * static_cast<size_t>(facts.channels)),
              facts.channels, out);
  return got;
}
