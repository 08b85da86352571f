// A long seeded random run of moves, renames, sorts, searches and category root moves over a library
// on two file systems, after each step of which every original file content exists exactly once.

#include <map>

#include "core/random.h"
#include "files/library_fixture.h"

namespace {

const int kCategories[] = {kCategoryUnrecognized, kCategorySample, kCategorySingleCycle, kCategoryVortaWav,
                           kCategoryXformWav};
const char* const kNames[] = {"A.WAV", "A (1).WAV", "A (2).WAV", "B.WAV", "B (1).WAV", "c.wav", "C.WAV", "D"};

class LibraryRandomRun : public LibraryFixture {
 protected:
  // Every regular file below the program folder and both roots, by content.
  std::map<std::vector<uint8_t>, int> Contents() {
    std::map<std::vector<uint8_t>, int> contents;
    for (const std::string& root : {folder.path, farRoot, nearRoot})
      for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file() && entry.path().filename() != kLibraryLockName)
          ++contents[ReadAllBytes(entry.path().string())];
    return contents;
  }
  TempFolder elsewhere;
  OtherFileSystemFolder far;
  const std::string farRoot = far.path.empty() ? elsewhere.path + "/far/" : far.path + "/";
  const std::string nearRoot = elsewhere.path + "/near/";
};

TEST_F(LibraryRandomRun, EveryFileSurvivesExactlyOnce) {
  SeedRandom(2024);
  std::map<std::vector<uint8_t>, int> originals;
  for (int i = 0; i < 36; ++i) {
    const std::vector<uint8_t> bytes = i % 3 == 0 ? SampleBytes(i) : i % 3 == 1 ? CycleBytes(i) : RejectBytes(i);
    int category;
    std::string name;
    do {
      category = kCategories[RandomBelow(5)];
      name = kNames[RandomBelow(8)];
    } while (Has(category, name));
    Put(category, name, bytes);
    originals[bytes] = 1;
  }
  // Files already waiting in a root that the samples will move to: the moves meet taken names.
  const std::string waiting = nearRoot + kFolderTable[kCategorySample].folderName + "/";
  fs::create_directories(waiting);
  fs::create_directories(farRoot + kFolderTable[kCategoryXformWav].folderName);
  for (int i = 0; i < 2; ++i) {
    WriteAllBytes(waiting + kNames[3 * i], SampleBytes(100 + i));
    originals[SampleBytes(100 + i)] = 1;
  }
  app.folderUserPath[kCategoryXformWav] = farRoot;
  ASSERT_EQ(Contents(), originals);

  std::map<std::string, int> operations;
  for (int step = 0; step < 400; ++step) {
    std::vector<std::pair<int, std::string>> files;
    for (int category : kCategories)
      for (const std::string& name : Names(category)) files.emplace_back(category, name);
    ASSERT_FALSE(files.empty());
    const auto [category, name] = files[static_cast<size_t>(RandomBelow(static_cast<int>(files.size())))];
    const int target = kCategories[RandomBelow(5)];
    const int choice = RandomBelow(8);
    if (choice <= 2) {
      MoveToCategory(app, target, category, name);
      ++operations["move"];
    } else if (choice <= 4) {
      const std::string newName = kNames[RandomBelow(8)];
      ++operations["rename " + std::to_string(RenameLibraryFile(app, category, name, Typed(newName)).code)];
    } else if (choice == 5) {
      SortLibrary(app);
      ++operations["sort"];
    } else if (choice == 6) {
      FindInCategory(app, target, kNames[RandomBelow(8)], RandomBelow(2) == 1);
    } else {
      // Category folders travel between the default root and two others.
      const int moved = RandomBelow(2) ? kCategorySample : kCategoryXformWav;
      const std::string roots[] = {"", farRoot, nearRoot};
      const std::string to = roots[RandomBelow(3)];
      const int code = to.empty() ? ResetCategoryUserRoot(app, moved, Answer(true))
                                  : SetCategoryUserRoot(app, moved, [&](auto&, auto&) { return std::optional(to); });
      ++operations["root " + std::to_string(code)];
    }
    ASSERT_EQ(Contents(), originals) << "after step " << step;
  }
  for (const char* met : {"rename 3", "rename 26", "root 3", "root 57", "sort"}) EXPECT_GT(operations[met], 0) << met;
}

}  // namespace
