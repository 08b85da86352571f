// The import of a long recording: 60 s of stereo 48 kHz 24-bit PCM read,
// converted to 44,100 Hz with libsoxr at very high quality and written as
// 32-bit float. Target: under 1 s per file.
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "modules/import_engine.h"

namespace {

constexpr int kRate = 48000;
constexpr int kSeconds = 60;

std::string MakeRecording(const std::string& folder) {
  const std::string path = folder + "/long take.wav";
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  std::vector<float> block(2 * kRate);
  for (int second = 0; second < kSeconds; ++second) {
    for (int i = 0; i < kRate; ++i) {
      const double t = second + static_cast<double>(i) / kRate;
      block[2 * static_cast<size_t>(i)] = static_cast<float>(0.4 * std::sin(2.0 * M_PI * 441.0 * t));
      block[2 * static_cast<size_t>(i) + 1] = static_cast<float>(0.3 * std::sin(2.0 * M_PI * 1234.5 * t));
    }
    sf_writef_float(file, block.data(), kRate);
  }
  sf_close(file);
  return path;
}

void BM_Import(benchmark::State& state) {
  const std::string folder = std::filesystem::temp_directory_path() / ("sonicloom-bench-import-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string source = MakeRecording(folder);
  for (auto _ : state) {
    const StagedImport staged = StageImport(source, folder, ReadRules{});
    if (!staged.Ok()) state.SkipWithError(staged.reason.c_str());
    DiscardStagedImport(staged);
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond);

}  // namespace
