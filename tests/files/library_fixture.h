#pragma once
// A library in a temporary program folder, small sound files of each kind whose content differs by
// seed, and scripted answers for the operations; it brings the library operations' headers along.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/message_codes.h"
#include "files/category_root_move.h"
#include "files/folder_scan.h"
#include "files/folder_table.h"
#include "files/library_feedback.h"
#include "files/library_lock.h"
#include "files/library_moves.h"
#include "files/library_paths.h"
#include "files/read_only_folder.h"
#include "files/wave_fixtures.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

// A temporary folder on another file system than /tmp, when there is one.
struct OtherFileSystemFolder {
  std::string path;
  OtherFileSystemFolder() {
    struct stat tmp, shm;
    if (stat("/dev/shm", &shm) != 0 || stat(fs::temp_directory_path().c_str(), &tmp) != 0) return;
    if (tmp.st_dev == shm.st_dev || access("/dev/shm", W_OK) != 0) return;
    char pattern[] = "/dev/shm/sonicloom-test-XXXXXX";
    if (mkdtemp(pattern)) path = pattern;
  }
  ~OtherFileSystemFolder() {
    std::error_code error;
    if (!path.empty()) fs::remove_all(path, error);
  }
};

class LibraryFixture : public ::testing::Test {
 protected:
  void SetUp() override { app.installDir = folder.path; }

  // A sample of 44.1 kHz (48 kHz: refused), or a looped single cycle; bytes 44 and 45 hold the seed.
  static std::vector<uint8_t> Bytes(int seed, uint32_t frames, uint32_t rate, bool loop) {
    wave_fixtures::HandWave w{.sampleRate = rate, .frames = frames};
    if (loop) w.chunksAfterData = wave_fixtures::SmplChunk({.end = frames - 1});
    std::vector<uint8_t> bytes = wave_fixtures::BuildWave(w);
    bytes[44] = static_cast<uint8_t>(seed);
    bytes[45] = static_cast<uint8_t>(seed >> 8);
    return bytes;
  }
  static std::vector<uint8_t> SampleBytes(int seed, uint32_t frames = 5000) { return Bytes(seed, frames, 44100, false); }
  static std::vector<uint8_t> CycleBytes(int seed) { return Bytes(seed, 2048, 44100, true); }
  static std::vector<uint8_t> RejectBytes(int seed) { return Bytes(seed, 5000, 48000, false); }

  std::string Put(int category, const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteAllBytes(CategoryFilePath(app, category, name), bytes);
    return CategoryFilePath(app, category, name);
  }
  std::vector<uint8_t> Get(int category, const std::string& name) {
    return ReadAllBytes(CategoryFilePath(app, category, name));
  }
  bool Has(int category, const std::string& name) { return fs::is_regular_file(CategoryFilePath(app, category, name)); }
  std::vector<std::string> Names(int category) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : ListCategoryFolder(app, category))
      if (entry.isRegularFile) names.push_back(entry.name);
    return names;
  }

  // Scripted answers: to the questions of the operations, and a typed name.
  static auto Answer(bool yes, std::vector<int>* asked = nullptr) {
    return [yes, asked](int question) {
      if (asked) asked->push_back(question);
      return yes;
    };
  }
  static auto Typed(std::optional<std::string> name) { return [name] { return name; }; }
  // Feedback that writes into shown what an operation shows, in order:
  // "m<message code> ", "n<note> ", "c<1 refuse closing, 0 allow again> ", "p<pause ms> ".
  LibraryFeedback Shown() {
    LibraryFeedback f;
    f.showMessage = [this](int code) { shown += "m" + std::to_string(code) + " "; };
    f.showCentred = [this](const char* text) { shown += "n" + std::string(text) + " "; };
    f.refuseClosing = [this](bool refused) { shown += refused ? "c1 " : "c0 "; };
    f.pause = [this](int ms) { shown += "p" + std::to_string(ms) + " "; };
    return f;
  }

  TempFolder folder;
  AppGlobals app;
  std::string shown;
};
