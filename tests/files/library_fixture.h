#pragma once
// A library in a temporary program folder, and small sound files of each
// kind whose content differs by seed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app_globals.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_fixtures.h"
#include "support/temp_folder.h"

class LibraryFixture : public ::testing::Test {
 protected:
  void SetUp() override { app.installDir = folder.path; }

  static std::vector<uint8_t> SampleBytes(int seed, uint32_t frames = 5000) {
    wave_fixtures::HandWave w;
    w.frames = frames;
    std::vector<uint8_t> bytes = wave_fixtures::BuildWave(w);
    bytes[44] = static_cast<uint8_t>(seed);
    bytes[45] = static_cast<uint8_t>(seed >> 8);
    return bytes;
  }
  static std::vector<uint8_t> CycleBytes(int seed) {
    wave_fixtures::HandWave w;
    w.frames = 2048;
    wave_fixtures::Smpl loop;
    loop.end = 2047;
    w.chunksAfterData = wave_fixtures::SmplChunk(loop);
    std::vector<uint8_t> bytes = wave_fixtures::BuildWave(w);
    bytes[44] = static_cast<uint8_t>(seed);
    bytes[45] = static_cast<uint8_t>(seed >> 8);
    return bytes;
  }
  // A WAV file the reader refuses (48 kHz).
  static std::vector<uint8_t> RejectBytes(int seed) {
    wave_fixtures::HandWave w;
    w.frames = 5000;
    w.sampleRate = 48000;
    std::vector<uint8_t> bytes = wave_fixtures::BuildWave(w);
    bytes[44] = static_cast<uint8_t>(seed);
    bytes[45] = static_cast<uint8_t>(seed >> 8);
    return bytes;
  }

  std::string Put(int category, const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = CategoryFilePath(app, category, name);
    WriteAllBytes(path, bytes);
    return path;
  }
  std::vector<uint8_t> Get(int category, const std::string& name) {
    return ReadAllBytes(CategoryFilePath(app, category, name));
  }
  bool Has(int category, const std::string& name) {
    return std::filesystem::is_regular_file(CategoryFilePath(app, category, name));
  }
  std::vector<std::string> Names(int category) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : ListCategoryFolder(app, category)) {
      if (entry.isRegularFile) names.push_back(entry.name);
    }
    return names;
  }

  TempFolder folder;
  AppGlobals app;
};
