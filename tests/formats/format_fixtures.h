#pragma once
// A library in a temporary program folder for the wavetable format tests,
// tables with known codes, and byte helpers; it brings the readers and the
// table loader along.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/byte_order.h"
#include "core/message_codes.h"
#include "core/random.h"
#include "files/file_classification.h"
#include "files/folder_table.h"
#include "files/library_paths.h"
#include "files/wave_reader.h"
#include "formats/vorta_import.h"
#include "support/temp_folder.h"
#include "wavetable/partial_table.h"

namespace format_fixtures {

// Slice 0 one full-scale sine (code 127); slices 1..32 eight partials of
// 40..90, so rendering scales nothing; partial 64 (beyond a 128-sample wave) silent.
inline PartialTable KnownTable(uint32_t seed = 7) {
  SeedRandom(seed);
  PartialTable table;
  table.at(0, 0) = 127;
  for (int slice = 1; slice < kSliceCount; ++slice) {
    for (int n = 0; n < 8; ++n) {
      const int row = static_cast<int>(RandomBelow(kPartialCount - 1));
      const int magnitude = 40 + static_cast<int>(RandomBelow(51));
      table.at(row, slice) = static_cast<int16_t>(RandomBelow(2) ? magnitude : -magnitude);
    }
  }
  return table;
}

// Only slices 0..4 hold data.
inline PartialTable FiveSliceTable() {
  PartialTable table;
  for (int slice = 0; slice < 5; ++slice) {
    table.at(0, slice) = 120;
    table.at(2 + slice, slice) = static_cast<int16_t>(-90 + slice);
  }
  return table;
}

// The table and R a library file loads as; a failed load leaves them at five
// slices and -1, which no loaded table matches.
inline std::pair<PartialTable, int32_t> LoadedTable(AppGlobals& app, int category, const std::string& name) {
  std::pair<PartialTable, int32_t> loaded{FiveSliceTable(), -1};
  EXPECT_EQ(LoadVortaFile(app, LibraryEntry{category, name}, loaded.first, loaded.second), kMsgDone) << name;
  return loaded;
}

inline std::vector<float> Floats(const std::vector<uint8_t>& bytes) {
  std::vector<float> values(bytes.size() / 4);
  for (size_t i = 0; i < values.size(); ++i) values[i] = ReadF32LE(bytes.data() + 4 * i);
  return values;
}
inline std::vector<uint8_t> FloatBytes(const std::vector<float>& values) {
  std::vector<uint8_t> bytes;
  for (float v : values) AppendF32LE(bytes, v);
  return bytes;
}

// A golden mark (FNV-1a) of a block every file of a format holds unchanged.
inline uint64_t Golden(const std::vector<uint8_t>& bytes, size_t from, size_t to) {
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = from; i < to && i < bytes.size(); ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

// Byte for byte, naming the first offset that differs.
inline void ExpectSameBytes(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want) {
  ASSERT_EQ(got.size(), want.size());
  const auto at = std::mismatch(got.begin(), got.end(), want.begin()).first;
  EXPECT_EQ(at, got.end()) << "first difference at byte " << (at - got.begin());
}

class FormatLibrary : public ::testing::Test {
 protected:
  void SetUp() override { app.installDir = folder.path; }

  std::string Path(int category, const std::string& name) { return CategoryFilePath(app, category, name); }
  std::vector<uint8_t> Bytes(int category, const std::string& name) { return ReadAllBytes(Path(category, name)); }
  void Put(int category, const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteAllBytes(Path(category, name), bytes);
  }

  struct Result {
    int category = -1;
    FileInfo info;
  };
  Result Test(int category, const std::string& name) {
    Result r;
    r.category = TestSoundFile(Path(category, name), &r.info, ReadRules{true});
    return r;
  }
  // The reader in properties mode on bytes put under a name of a category.
  Result TestBytes(int category, const std::string& name, const std::vector<uint8_t>& bytes) {
    Put(category, name, bytes);
    return Test(category, name);
  }
  std::pair<PartialTable, int32_t> Load(int category, const std::string& name) {
    return LoadedTable(app, category, name);
  }

  TempFolder folder;
  AppGlobals app;
};

}  // namespace format_fixtures
