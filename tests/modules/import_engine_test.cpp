// The import against recordings written by sox and libsndfile, each result read back independently by libsndfile.
#include <sndfile.h>

#include <filesystem>

#include "files/wave_reader.h"
#include "module_fixture.h"
#include "modules/import_engine.h"
#include "support/temp_folder.h"

namespace {

constexpr double kAmplitude = 0.5;  // every test sine; its peak after the import
constexpr double kSineHz = 441.0;   // whole periods of 100 samples at 44.1 kHz
constexpr int kPcm16 = SF_FORMAT_PCM_16;
constexpr int kFloat = SF_FORMAT_FLOAT;
constexpr int kWave24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;

struct Recording {
  std::vector<float> frames;  // interleaved
  SF_INFO info{};
  SF_INSTRUMENT instrument{};
  bool hasInstrument = false;
};

Recording ReadRecording(const std::string& path) {
  Recording r;
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &r.info);
  if (!file) return r;
  r.frames.resize(static_cast<size_t>(r.info.frames * r.info.channels));
  sf_readf_float(file, r.frames.data(), r.info.frames);
  r.hasInstrument = sf_command(file, SFC_GET_INSTRUMENT, &r.instrument, sizeof r.instrument) == SF_TRUE;
  sf_close(file);
  return r;
}

// The left channel's frequency from interpolated rising zero crossings, clear of the fades.
double MeasuredHz(const Recording& r) {
  const auto channels = static_cast<size_t>(r.info.channels), n = r.frames.size() / channels;
  double first = -1.0, last = 0.0;
  int cycles = -1;
  for (size_t i = n / 4; i < 3 * n / 4; ++i) {
    const double a = r.frames[i * channels], b = r.frames[(i + 1) * channels];
    if (a >= 0.0 || b < 0.0) continue;
    last = static_cast<double>(i) + a / (a - b);
    if (first < 0.0) first = last;
    ++cycles;
  }
  return cycles * r.info.samplerate / (last - first);
}

// A libsndfile sine, faded over 50 ms if asked; a root note >= 0 adds an instrument chunk (looped if asked).
void WriteSine(const std::string& path, int format, int rate, int channels, int frames, double hz, bool fade,
               int rootNote = -1, bool loop = false) {
  SF_INFO info{0, rate, channels, format, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  SF_INSTRUMENT instrument{};
  instrument.basenote = static_cast<char>(rootNote);
  instrument.velocity_hi = instrument.key_hi = 127;
  if (loop) {
    instrument.loop_count = 1;
    instrument.loops[0] = {SF_LOOP_FORWARD, 0, static_cast<unsigned>(frames), 0};
  }
  if (rootNote >= 0) sf_command(file, SFC_SET_INSTRUMENT, &instrument, sizeof instrument);
  std::vector<float> samples(static_cast<size_t>(frames * channels));
  for (int i = 0; i < frames; ++i) {
    const double envelope = fade ? std::min(1.0, std::min(i, frames - 1 - i) / (0.05 * rate)) : 1.0;
    for (int c = 0; c < channels; ++c)
      samples[static_cast<size_t>(i * channels + c)] =
          static_cast<float>(envelope * kAmplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate));
  }
  sf_writef_float(file, samples.data(), frames);
  sf_close(file);
}

struct CorpusRow {
  const char* name;
  const char* soxFormat;  // sox output options (unused for the files written here)
  int rate, channels;
  double seconds;
  int category;
  int subtype;  // of the result
};

const CorpusRow kCorpus[] = {
    {"wavex16.wav", "", 44100, 2, 1.0, 1, kPcm16},  // sox writes plain PCM for this layout
    {"pcm24.wav", "-b 24", 22050, 1, 1.0, 1, kFloat}, {"pcm32.wav", "-b 32 -e signed", 48000, 2, 1.0, 1, kFloat},
    {"float32.wav", "-b 32 -e floating-point", 48000, 2, 1.0, 1, kFloat},
    {"float64.wav", "-b 64 -e floating-point", 44100, 1, 1.0, 1, kFloat},
    {"u8.wav", "-b 8 -e unsigned", 44100, 3, 1.0, 1, kPcm16}, {"hz96.wav", "-b 24", 96000, 2, 2.0, 1, kFloat},
    {"hz48.wav", "-b 16", 48000, 1, 2.0, 1, kPcm16}, {"six.wav", "-b 16", 48000, 6, 1.0, 1, kPcm16},
    {"aiff.aif", "-b 16", 44100, 2, 1.0, 1, kPcm16}, {"flac.flac", "-b 24", 48000, 1, 1.0, 1, kFloat},
    {"vorbis.ogg", "", 44100, 2, 1.0, 1, kFloat}, {"cycle.wav", "", 48000, 1, 2048.0 / 48000, 2, kFloat},
    {"root.wav", "", 48000, 1, 0.5, 1, kFloat},
};

struct ImportTest : ::testing::Test {
  TempFolder folder;
  ReadRules rules;

  std::string Make(const CorpusRow& row) {
    const std::string path = folder / row.name, name = row.name;
    const auto frames = static_cast<int>(std::lround(row.seconds * row.rate));
    if (name == "wavex16.wav") {
      WriteSine(path, SF_FORMAT_WAVEX | kPcm16, 44100, 2, 44100, kSineHz, true);
    } else if (name == "cycle.wav" || name == "root.wav") {  // one sine cycle over the file, root note 72
      WriteSine(path, kWave24, row.rate, 1, frames, static_cast<double>(row.rate) / frames, false, 72, row.category == 2);
    } else {
      const std::string command = "sox -D -q -n -r " + std::to_string(row.rate) + " -c " +
                                  std::to_string(row.channels) + " " + row.soxFormat + " " + path + " synth " +
                                  std::to_string(row.seconds) + " sine 441 vol 0.5 fade q 0.05 -0 0.05";
      EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    return path;
  }
};

TEST_F(ImportTest, EveryCorpusFileLandsInItsCategoryWithItsLengthLevelAndLoop) {
  if (std::system("sox --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
  for (const CorpusRow& row : kCorpus) {
    SCOPED_TRACE(row.name);
    const std::string source = Make(row);
    const Recording original = ReadRecording(source);
    const std::vector<uint8_t> sourceBytes = ReadAllBytes(source);
    const TempFolder out;
    const StagedImport staged = StageImport(source, out.path, rules);
    ASSERT_TRUE(staged.Ok()) << staged.reason;
    EXPECT_FALSE(staged.copied);  // plain copies are the command line's (tests/cli)
    const PlacedImport placed = PlaceImport(staged, out.path);
    ASSERT_TRUE(placed.reason.empty()) << placed.reason;
    EXPECT_EQ(ReadAllBytes(source), sourceBytes);
    EXPECT_LE(std::filesystem::path(placed.path).filename().string().size(), 12u);

    FileInfo info;
    EXPECT_EQ(TestSoundFile(placed.path, &info, rules), row.category) << info.remark;
    const Recording result = ReadRecording(placed.path);
    const double ratio = 44100.0 / row.rate;
    EXPECT_EQ(std::tuple(result.info.samplerate, result.info.channels, result.info.format & SF_FORMAT_SUBMASK),
              std::tuple(44100, std::min(row.channels, 2), row.subtype));
    EXPECT_EQ(result.info.frames, std::llround(static_cast<double>(original.info.frames) * ratio));
    if (std::string(row.name) != "vorbis.ogg") {
      EXPECT_NEAR(20.0 * std::log10(MaxAbsOf(result.frames)), 20.0 * std::log10(kAmplitude), 0.01);
    }
    if (original.hasInstrument) {
      ASSERT_TRUE(result.hasInstrument);
      EXPECT_EQ(std::pair(result.instrument.basenote, result.instrument.loop_count),
                std::pair(char{72}, original.instrument.loop_count));
      if (original.instrument.loop_count == 1) {
        EXPECT_NEAR(result.instrument.loops[0].start, original.instrument.loops[0].start * ratio, 1.0);
        EXPECT_NEAR(result.instrument.loops[0].end, original.instrument.loops[0].end * ratio, 1.0);
      }
    }
    if (row.seconds >= 2.0) {
      EXPECT_NEAR(MeasuredHz(result), kSineHz, kSineHz * 1e-4);
    }
  }
}

TEST_F(ImportTest, RefusedFilesLeaveNothingBehind) {
  if (std::system("sox --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
  WriteAllBytes(folder / "empty.wav", {});
  for (const char* made : {"-b 24 full.flac synth 1", "-b 16 long.wav synth 91"}) {
    const std::string command = "cd " + folder.path + " && sox -D -q -n -r 48000 " + made + " sine 441";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  std::vector<uint8_t> flac = ReadAllBytes(folder / "full.flac");
  flac.resize(flac.size() / 3);
  WriteAllBytes(folder / "cut.flac", flac);
  WriteSine(folder / "short.wav", kWave24, 48000, 1, 1000, 48.0, false, 60);
  const std::pair<const char*, std::string> refusals[] = {
      {"empty.wav", kImportUnreadable}, {"cut.flac", kImportDamaged}, {"long.wav", kImportTooLarge},
      {"short.wav", "LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION"}};
  const TempFolder out;
  for (const auto& [name, reason] : refusals) EXPECT_EQ(StageImport(folder / name, out.path, rules).reason, reason) << name;
  EXPECT_TRUE(std::filesystem::is_empty(out.path));
}

// An identical copy already there is the command line's "(already there)" (tests/cli).
TEST_F(ImportTest, TakenNamesGetNumbers) {
  WriteSine(folder / "my sound.wav", kWave24, 48000, 1, 8820, 48000.0 / 8820, false, 60);
  const TempFolder out;
  WriteAllBytes(out / "MY_SOUND.WAV", {1, 2, 3});
  const PlacedImport numbered = PlaceImport(StageImport(folder / "my sound.wav", out.path, rules), out.path);
  EXPECT_EQ(numbered.path, out / "MY_SOUND (1).WAV");
  EXPECT_EQ(ReadAllBytes(out / "MY_SOUND.WAV"), (std::vector<uint8_t>{1, 2, 3}));
}

}  // namespace
