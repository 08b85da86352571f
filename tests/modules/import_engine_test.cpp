// The import against recordings written by sox and libsndfile: each result
// is read back by the library reader and, independently, by libsndfile.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "files/wave_reader.h"
#include "modules/import_engine.h"
#include "support/temp_folder.h"

namespace {

constexpr double kAmplitude = 0.5;  // every test sine; its peak after the import
constexpr double kSineHz = 441.0;   // whole periods of 100 samples at 44.1 kHz

struct Recording {
  std::vector<float> frames;  // interleaved
  int channels = 0;
  int rate = 0;
  int subtype = 0;
  SF_INSTRUMENT instrument{};
  bool hasInstrument = false;
};

Recording ReadRecording(const std::string& path) {
  SF_INFO info{};
  Recording r;
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return r;
  r.channels = info.channels;
  r.rate = info.samplerate;
  r.subtype = info.format & SF_FORMAT_SUBMASK;
  r.frames.resize(static_cast<size_t>(info.frames * info.channels));
  sf_readf_float(file, r.frames.data(), info.frames);
  r.hasInstrument = sf_command(file, SFC_GET_INSTRUMENT, &r.instrument, sizeof r.instrument) == SF_TRUE;
  sf_close(file);
  return r;
}

double PeakDb(const std::vector<float>& samples) {
  float peak = 0.0f;
  for (const float v : samples) peak = std::max(peak, std::fabs(v));
  return 20.0 * std::log10(peak);
}

// The strongest frequency of the left channel near the test sine: the peak
// of the Hann-windowed Fourier transform, found by golden-section search.
double MeasuredHz(const Recording& r) {
  const size_t n = r.frames.size() / static_cast<size_t>(r.channels);
  auto magnitude = [&](double hz) {
    double re = 0.0, im = 0.0;
    for (size_t i = 0; i < n; ++i) {
      const double window = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
      const double phase = 2.0 * std::numbers::pi * hz * static_cast<double>(i) / r.rate;
      re += window * r.frames[i * static_cast<size_t>(r.channels)] * std::cos(phase);
      im += window * r.frames[i * static_cast<size_t>(r.channels)] * std::sin(phase);
    }
    return re * re + im * im;
  };
  double lo = kSineHz - 0.8, hi = kSineHz + 0.8;  // inside the window's main lobe
  const double golden = (std::sqrt(5.0) - 1.0) / 2.0;
  while (hi - lo > 1e-4) {
    const double a = hi - golden * (hi - lo), b = lo + golden * (hi - lo);
    if (magnitude(a) < magnitude(b)) {
      lo = a;
    } else {
      hi = b;
    }
  }
  return (lo + hi) / 2.0;
}

// A 24-bit mono file from libsndfile: one sine cycle over the whole file,
// with a root note and, if asked, the whole file as a forward loop.
void WriteLoopedCycle(const std::string& path, int rate, int frames, bool loop, int rootNote) {
  SF_INFO info{0, rate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  SF_INSTRUMENT instrument{};
  instrument.basenote = static_cast<char>(rootNote);
  instrument.velocity_hi = 127;
  instrument.key_hi = 127;
  if (loop) {
    instrument.loop_count = 1;
    instrument.loops[0] = {SF_LOOP_FORWARD, 0, static_cast<unsigned>(frames), 0};
  }
  sf_command(file, SFC_SET_INSTRUMENT, &instrument, sizeof instrument);
  std::vector<float> cycle(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i)
    cycle[static_cast<size_t>(i)] = static_cast<float>(kAmplitude * std::sin(2.0 * std::numbers::pi * i / frames));
  sf_writef_float(file, cycle.data(), frames);
  sf_close(file);
}

// One second of the test sine, faded in and out, as 16-bit stereo
// WAVE_FORMAT_EXTENSIBLE (sox writes plain PCM for this layout).
void WriteSixteenBitExtensible(const std::string& path) {
  SF_INFO info{0, 44100, 2, SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  std::vector<float> frames(2 * 44100);
  for (size_t i = 0; i < 44100; ++i) {
    const double envelope = std::min(1.0, std::min(static_cast<double>(i), 44099.0 - i) / 2205.0);
    frames[2 * i] = frames[2 * i + 1] =
        static_cast<float>(envelope * kAmplitude * std::sin(2.0 * std::numbers::pi * kSineHz * i / 44100.0));
  }
  sf_writef_float(file, frames.data(), 44100);
  sf_close(file);
}

struct CorpusRow {
  const char* name;
  const char* soxFormat;  // sox output options; empty: written by libsndfile here
  int rate;
  int channels;
  double seconds;
  int category;
  int subtype;  // of the result
  bool converted;
};

constexpr int kPcm16 = SF_FORMAT_PCM_16;
constexpr int kFloat = SF_FORMAT_FLOAT;

const CorpusRow kCorpus[] = {
    {"wavex16.wav", "", 44100, 2, 1.0, 1, kPcm16, true},
    {"pcm24.wav", "-b 24", 22050, 1, 1.0, 1, kFloat, true},
    {"pcm32.wav", "-b 32 -e signed", 48000, 2, 1.0, 1, kFloat, true},
    {"float32.wav", "-b 32 -e floating-point", 48000, 2, 1.0, 1, kFloat, true},
    {"float64.wav", "-b 64 -e floating-point", 44100, 1, 1.0, 1, kFloat, true},
    {"u8.wav", "-b 8 -e unsigned", 44100, 3, 1.0, 1, kPcm16, true},
    {"hz96.wav", "-b 24", 96000, 2, 2.0, 1, kFloat, true},
    {"hz48.wav", "-b 16", 48000, 1, 2.0, 1, kPcm16, true},
    {"six.wav", "-b 16", 48000, 6, 1.0, 1, kPcm16, true},
    {"aiff.aif", "-b 16", 44100, 2, 1.0, 1, kPcm16, true},
    {"flac.flac", "-b 24", 48000, 1, 1.0, 1, kFloat, true},
    {"vorbis.ogg", "", 44100, 2, 1.0, 1, kFloat, true},
    {"plain.wav", "-b 16", 44100, 2, 1.0, 1, kPcm16, false},
    {"cycle.wav", "", 48000, 1, 2048.0 / 48000, 2, kFloat, true},
    {"root.wav", "", 48000, 1, 0.5, 1, kFloat, true},
};

struct ImportTest : ::testing::Test {
  TempFolder folder;
  ReadRules rules;

  std::string Make(const CorpusRow& row) {
    const std::string path = folder / row.name;
    const auto frames = static_cast<int>(std::lround(row.seconds * row.rate));
    if (std::string(row.name) == "wavex16.wav") {
      WriteSixteenBitExtensible(path);
    } else if (std::string(row.name) == "cycle.wav" || std::string(row.name) == "root.wav") {
      WriteLoopedCycle(path, row.rate, frames, row.category == 2, 72);
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
    EXPECT_EQ(staged.copied, !row.converted);
    const PlacedImport placed = PlaceImport(staged, out.path);
    ASSERT_TRUE(placed.reason.empty()) << placed.reason;
    EXPECT_EQ(ReadAllBytes(source), sourceBytes);
    EXPECT_EQ(std::filesystem::path(placed.path).filename().string().size() <= 12, true);

    FileInfo info;
    EXPECT_EQ(TestSoundFile(placed.path, &info, rules), row.category) << info.remark;
    const Recording result = ReadRecording(placed.path);
    const double ratio = 44100.0 / row.rate;
    const auto sourceFrames = static_cast<double>(original.frames.size() / static_cast<size_t>(original.channels));
    EXPECT_EQ(result.rate, 44100);
    EXPECT_EQ(result.channels, std::min(row.channels, 2));
    EXPECT_EQ(result.subtype, row.subtype);
    EXPECT_EQ(result.frames.size() / static_cast<size_t>(result.channels),
              static_cast<size_t>(std::llround(sourceFrames * ratio)));
    if (std::string(row.name) != "vorbis.ogg") {
      EXPECT_NEAR(PeakDb(result.frames), 20.0 * std::log10(kAmplitude), 0.01);
    }
    if (!row.converted) {
      EXPECT_EQ(ReadAllBytes(placed.path), sourceBytes);
    }
    if (original.hasInstrument) {
      ASSERT_TRUE(result.hasInstrument);
      EXPECT_EQ(result.instrument.basenote, 72);
      EXPECT_EQ(result.instrument.loop_count, original.instrument.loop_count);
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
  WriteAllBytes(folder / "text.wav", {'h', 'e', 'l', 'l', 'o', '\n'});
  ASSERT_EQ(std::system(("sox -D -q -n -r 48000 -b 24 " + (folder / "full.flac") + " synth 1 sine 441").c_str()),
      0);
  std::vector<uint8_t> flac = ReadAllBytes(folder / "full.flac");
  flac.resize(flac.size() / 3);
  WriteAllBytes(folder / "cut.flac", flac);
  ASSERT_EQ(std::system(("sox -D -q -n -r 48000 -b 16 " + (folder / "long.wav") + " synth 91 sine 441").c_str()),
      0);
  WriteLoopedCycle(folder / "short.wav", 48000, 1000, false, 60);
  const struct {
    const char* name;
    const char* reason;
  } refusals[] = {
      {"empty.wav", kImportUnreadable},
      {"text.wav", kImportUnreadable},
      {"cut.flac", kImportDamaged},
      {"long.wav", kImportTooLarge},
      {"short.wav", "LOOP DATA REQUIRED FOR SINGLE CYCLE CLASSIFICATION"},
      {"missing.wav", "FILE NOT FOUND"},
  };
  const TempFolder out;
  for (const auto& refusal : refusals) {
    const StagedImport staged = StageImport(folder / refusal.name, out.path, rules);
    EXPECT_EQ(staged.reason, refusal.reason) << refusal.name;
  }
  EXPECT_TRUE(std::filesystem::is_empty(out.path));
}

TEST_F(ImportTest, TakenNamesGetNumbersAndIdenticalCopiesAreNotDoubled) {
  WriteLoopedCycle(folder / "my sound.wav", 48000, 4410 * 2, false, 60);
  const TempFolder out;
  std::vector<std::string> names;
  for (int i = 0; i < 2; ++i) {
    const PlacedImport placed = PlaceImport(StageImport(folder / "my sound.wav", out.path, rules), out.path);
    names.push_back(std::filesystem::path(placed.path).filename().string());
    EXPECT_EQ(placed.existing, i == 1);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"MY_SOUND.WAV", "MY_SOUND.WAV"}));
  WriteAllBytes(out / "MY_SOUND.WAV", {1, 2, 3});
  const PlacedImport numbered = PlaceImport(StageImport(folder / "my sound.wav", out.path, rules), out.path);
  EXPECT_EQ(numbered.path, out / "MY_SOUND (1).WAV");
  EXPECT_EQ(ReadAllBytes(out / "MY_SOUND.WAV"), (std::vector<uint8_t>{1, 2, 3}));
}

}  // namespace
