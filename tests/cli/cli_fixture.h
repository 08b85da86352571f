#pragma once
// Runs the real sonic-loom-cli in a temporary folder; samples made by sox and
// loaded as the engine sees them, tables written by the engine's own writers,
// so a command's output can be compared with the engine called directly.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "core/message_codes.h"
#include "core/message_texts.h"
#include "files/folder_table.h"
#include "files/sample_loader.h"
#include "files/sound_file_records.h"
#include "files/wave_fixtures.h"
#include "files/wave_writer.h"
#include "support/temp_folder.h"
#include "wavetable/partial_table.h"
#include "wavetable/payload.h"
#include "wavetable/vorta_wave_output.h"
#include "wavetable/vorta_workspace.h"

namespace cli_fixture {

namespace fs = std::filesystem;
using namespace wave_fixtures;

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
  bool operator==(const CliRun&) const = default;
};
inline void PrintTo(const CliRun& run, std::ostream* os) {
  *os << "{" << run.status << ", \"" << run.out << "\", \"" << run.err << "\"}";
}

inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

inline std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadAllBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// The program's message text for a refused input: "NAME: TEXT<suffix>\n".
inline std::string Refused(const std::string& name, MessageCode code, const std::string& suffix = "") {
  return name + ": " + std::string(MessageText(code)) + suffix + "\n";
}

// Runs in folder (its working directory); stdin is empty, so no terminal.
inline CliRun RunCli(const TempFolder& folder, const std::vector<std::string>& args) {
  std::string command = "cd " + ShellQuoted(folder.path) + " && " + ShellQuoted(SONICLOOM_CLI_PATH);
  for (const std::string& arg : args) command += " " + ShellQuoted(arg);
  const std::string outPath = folder / ".cli-out";
  const std::string errPath = folder / ".cli-err";
  command += " >" + ShellQuoted(outPath) + " 2>" + ShellQuoted(errPath) + " </dev/null";
  const int raw = std::system(command.c_str());
  CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(outPath), ReadText(errPath)};
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  return run;
}

inline bool Sox(const std::string& arguments) {
  return std::system(("sox -q " + arguments + " 2>/dev/null").c_str()) == 0;
}

// One folder per test, the tool run inside it, sox made samples in it.
class CliTest : public ::testing::Test {
 protected:
  CliRun Run(const std::vector<std::string>& args) const { return RunCli(folder, args); }
  // A 44.1 kHz 16-bit sample of `channels` and `frames` from sox's synth.
  void MakeSample(const std::string& name, int channels, int frames, const std::string& synth) const {
    ASSERT_TRUE(Sox("-r 44100 -c " + std::to_string(channels) + " -n -b 16 " + ShellQuoted(folder / name) + " synth " +
                    std::to_string(frames) + "s " + synth));
  }
  std::vector<uint8_t> Bytes(const std::string& name) const { return ReadAllBytes(folder / name); }
  bool Exists(const std::string& name) const { return fs::exists(folder / name); }
  void MakeFolder(const std::string& name) const { fs::create_directories(folder / name); }

  TempFolder folder;
};

struct EngineSample {
  std::vector<float> left = std::vector<float>(100000, 0.0f);
  std::vector<float> right = std::vector<float>(100000, 0.0f);
  SampleDescriptor descriptor;
};

inline EngineSample LoadForEngine(const std::string& path) {
  EngineSample sample;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  EXPECT_TRUE(file) << path;
  if (!file) return sample;
  EXPECT_TRUE(LoadSampleStream(file, "x.wav", kCategorySample, sample.left, sample.right, sample.descriptor,
                               ReadRules{true}));
  std::fclose(file);
  return sample;
}

// A table with a few partials that move across the slices.
inline PartialTable SweepTable() {
  PartialTable table;
  for (int slice = 0; slice < kSliceCount; ++slice) {
    table.at(0, slice) = 127;
    table.at(2, slice) = static_cast<int16_t>(slice * 3);
    table.at(6, slice) = static_cast<int16_t>(-100 + slice);
    table.at(40, slice) = static_cast<int16_t>(slice % 5 == 0 ? 90 : 0);
  }
  return table;
}

inline std::vector<uint8_t> VortaWaveBytes(const PartialTable& table, int32_t stretch,
                                           const VortaWaveOptions& options = {}) {
  VortaWaveImage image;
  if (!PrepareVortaWave(TableForOutput(table), stretch, options, image)) return {};
  return EncodeWaveFile(image.header, image.block, image.samples, image.samples);
}

// An XFORM table: slices of 131,072 stereo float frames of quiet noise and
// the band profile.
inline std::vector<uint8_t> XformWaveBytes(uint32_t slices) {
  const size_t frames = static_cast<size_t>(slices) * 131072;
  WaveHeader header{.formatTag = kFormatFloat, .channels = 2, .bitsPerSample = 32,
                    .dataSize = static_cast<uint32_t>(frames * 8)};
  SamplerBlock block;
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_XFORM);
  XformBandProfile profile{};
  for (size_t i = 0; i < profile.size(); ++i) profile[i] = static_cast<uint8_t>(i % 128);
  WriteXformPayload(block.bytes, profile);
  PrepareWaveHeader(header, block, nullptr, nullptr, STATE_XFORM);
  std::vector<float> left(frames), right(frames);
  for (size_t i = 0; i < frames; ++i) {
    left[i] = static_cast<float>((i * 7919 % 2001) / 1000.0 - 1.0) * 0.25f;
    right[i] = -left[i];
  }
  return EncodeWaveFile(header, block, left, right);
}

}  // namespace cli_fixture
