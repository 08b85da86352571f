#include "files/library_moves.h"

#include "files/file_moves.h"
#include "files/library_fixture.h"

namespace {

TEST(NumberedNames, SplitAndCandidates) {
  // number: the candidate asked for
  const struct { const char* name; int number; const char* candidate; int takenOff; } cases[] = {
      {"Pad (2).wav", 0, "Pad.wav", 2},         {"Pad (2).wav", 17, "Pad (17).wav", 2},
      {"Pad (999).WAV", 1, "Pad (1).WAV", 999}, {"Pad (01).WAV", 1, "Pad (1).WAV", 1},
      {"NoDot (3)", 4, "NoDot (4)", 3},         {".hidden", 1, ".hidden (1)", 0},
      {"a.b.c", 1, "a.b (1).c", 0},             {"Pad(2).wav", 1, "Pad(2) (1).wav", 0},
      {"Pad (0).wav", 1, "Pad (0) (1).wav", 0}, {"Pad (1000).wav", 1, "Pad (1000) (1).wav", 0},
      {"Pad ().wav", 1, "Pad () (1).wav", 0},   {"Pad (x).wav", 1, "Pad (x) (1).wav", 0},
      {"(3).wav", 1, "(3) (1).wav", 0},
  };
  for (const auto& c : cases) {
    const NumberedName n = SplitNumberedName(c.name);
    EXPECT_EQ(std::pair(n.takenOff, NumberedCandidate(n, c.number)), std::pair(c.takenOff, std::string(c.candidate)))
        << c.name;
  }
}

using MoveToCategoryTest = LibraryFixture;

TEST_F(MoveToCategoryTest, NumberedNamesWhenTheNameIsTaken) {
  const std::pair<int, const char*> taken[] = {{kCategorySample, "X.WAV"}, {kCategorySample, "Y (1).WAV"},
                                               {kCategoryUnrecognized, "NODOT"}};
  for (int i = 0; i < 3; ++i) Put(taken[i].first, taken[i].second, SampleBytes(i + 1));
  // Each file comes from the single cycles under a name taken in the target.
  const std::tuple<int, const char*, const char*> moves[] = {
      {kCategorySample, "X.WAV", "X (1).WAV"}, {kCategorySample, "X.WAV", "X (2).WAV"},
      // A numbered file tries the bare name first, then skips its own number.
      {kCategorySample, "Y (1).WAV", "Y.WAV"}, {kCategorySample, "Y (1).WAV", "Y (2).WAV"},
      {kCategoryUnrecognized, "NODOT", "NODOT (1)"},  // numbered at its end
  };
  int seed = 10;
  for (const auto& [target, name, landed] : moves) {
    Put(kCategorySingleCycle, name, SampleBytes(++seed));
    EXPECT_EQ(MoveToCategory(app, target, kCategorySingleCycle, name), 0);
    EXPECT_EQ(Get(target, landed), SampleBytes(seed)) << landed;
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Get(taken[i].first, taken[i].second), SampleBytes(i + 1)) << taken[i].second;
  EXPECT_TRUE(Names(kCategorySingleCycle).empty());
  // Nothing to do; a missing source is a failure.
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySample, "X.WAV"), 0);
  EXPECT_EQ(MoveToCategory(app, -1, kCategorySample, "X.WAV"), 0);
  EXPECT_TRUE(Has(kCategorySample, "X.WAV"));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "GONE.WAV"), 1);
}

TEST_F(MoveToCategoryTest, IdenticalCopiesAreMergedButTheOnlyCopyNeverGoes) {
  Put(kCategorySingleCycle, "SAME.WAV", SampleBytes(1));
  Put(kCategorySample, "SAME.WAV", SampleBytes(1));
  // An identical copy under a numbered name also counts.
  Put(kCategorySample, "Z.WAV", SampleBytes(2));
  Put(kCategorySample, "Z (1).WAV", SampleBytes(3));
  Put(kCategorySingleCycle, "Z.WAV", SampleBytes(3));
  for (const char* name : {"SAME.WAV", "Z.WAV"})
    EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, name), 0);
  EXPECT_TRUE(Names(kCategorySingleCycle).empty());
  EXPECT_EQ(Names(kCategorySample), (std::vector<std::string>{"SAME.WAV", "Z (1).WAV", "Z.WAV"}));

  // The same folder reached through a symbolic link: the very same entry, which must stay.
  Put(kCategorySingleCycle, "SELF.WAV", SampleBytes(5));
  TempFolder roots;
  fs::remove_all(CategoryFolderPath(app, kCategoryXformWav));
  fs::create_directory_symlink(fs::path(CategoryFolderPath(app, kCategorySingleCycle)).parent_path(),
                               roots / kFolderTable[kCategoryXformWav].folderName);
  app.folderUserPath[kCategoryXformWav] = roots.path + "/";
  EXPECT_EQ(MoveToCategory(app, kCategoryXformWav, kCategorySingleCycle, "SELF.WAV"), 0);
  EXPECT_EQ(Get(kCategorySingleCycle, "SELF.WAV"), SampleBytes(5));
  EXPECT_EQ(Names(kCategorySingleCycle), std::vector<std::string>{"SELF.WAV"});
}

TEST_F(MoveToCategoryTest, AllNamesTakenOrReadOnlyFoldersLeaveTheFileWhereItIs) {
  Put(kCategorySample, "FULL.WAV", {0});
  for (int k = 1; k <= 999; ++k) Put(kCategorySample, "FULL (" + std::to_string(k) + ").WAV", {1});
  Put(kCategorySingleCycle, "FULL.WAV", SampleBytes(1));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "FULL.WAV"), 1);
  EXPECT_EQ(Get(kCategorySingleCycle, "FULL.WAV"), SampleBytes(1));
  EXPECT_EQ(Names(kCategorySample).size(), 1000u);
  // A read-only target refuses; a read-only source keeps the file even beside an identical copy.
  Put(kCategorySingleCycle, "R.WAV", SampleBytes(2));
  for (const int locked : {kCategorySample, kCategorySingleCycle}) {
    if (locked == kCategorySingleCycle) Put(kCategorySample, "R.WAV", SampleBytes(2));
    ReadOnlyFolder guard(CategoryFolderPath(app, locked));
    if (!guard.active) GTEST_SKIP() << "no way to make a read-only folder here";
    EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "R.WAV"), 1) << locked;
    EXPECT_EQ(Get(kCategorySingleCycle, "R.WAV"), SampleBytes(2)) << locked;
  }
}

// Across file systems the file is copied, compared and only then removed, keeping mode and time; taken
// names are numbered, never replaced; a copy that cannot be made leaves the source and no partial file.
TEST_F(MoveToCategoryTest, AcrossFileSystemsTheFileIsCopiedComparedAndThenRemoved) {
  OtherFileSystemFolder other;
  if (other.path.empty()) GTEST_SKIP() << "no second file system";
  const std::string far = other.path + "/" + kFolderTable[kCategorySample].folderName + "/";
  fs::create_directories(far);
  app.folderUserPath[kCategorySample] = other.path + "/";
  const std::string source = Put(kCategorySingleCycle, "FAR.WAV", SampleBytes(1));
  chmod(source.c_str(), 0640);
  struct stat before, after;
  ASSERT_EQ(stat(source.c_str(), &before), 0);
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "FAR.WAV"), 0);
  EXPECT_FALSE(fs::exists(source));
  ASSERT_EQ(stat((far + "FAR.WAV").c_str(), &after), 0);
  EXPECT_EQ(std::pair(after.st_mode & 0777, after.st_mtim.tv_sec), std::pair(0640u, before.st_mtim.tv_sec));

  Put(kCategorySingleCycle, "FAR.WAV", SampleBytes(2));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "FAR.WAV"), 0);
  EXPECT_EQ(ReadAllBytes(far + "FAR.WAV"), SampleBytes(1));
  EXPECT_EQ(ReadAllBytes(far + "FAR (1).WAV"), SampleBytes(2));
  EXPECT_EQ(Names(kCategorySample), (std::vector<std::string>{"FAR (1).WAV", "FAR.WAV"}));

  Put(kCategorySingleCycle, "STAY.WAV", SampleBytes(3));
  ReadOnlyFolder guard(far);
  if (!guard.active) return;
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "STAY.WAV"), 1);
  EXPECT_EQ(Get(kCategorySingleCycle, "STAY.WAV"), SampleBytes(3));
  EXPECT_EQ(std::distance(fs::directory_iterator(far), fs::directory_iterator{}), 2);
}

// What the moves above do not reach: content of another length, folders across file systems.
TEST(FileMoves, ContentChecksAndFoldersAcrossFileSystems) {
  TempFolder folder;
  WriteAllBytes(folder / "a", {1, 2});
  WriteAllBytes(folder / "b", {1, 2, 0});
  EXPECT_FALSE(HaveEqualContent(folder / "a", folder / "b"));
  EXPECT_FALSE(HaveEqualContent(folder / "a", folder.path));
  EXPECT_FALSE(IsSameFile(folder / "a", folder / "missing"));
  OtherFileSystemFolder other;
  if (other.path.empty()) return;
  fs::create_directory(folder / "sub");
  EXPECT_EQ(MoveFileNoReplace(folder / "sub", other.path + "/sub"), MoveResult::kFailed);
  EXPECT_TRUE(fs::is_directory(folder / "sub"));
  EXPECT_FALSE(fs::exists(other.path + "/sub"));
}

using SortTest = LibraryFixture;

TEST_F(SortTest, BootOrderSortsLooseFilesAndLeavesOthersAlone) {
  const std::tuple<int, const char*, std::vector<uint8_t>, int> files[] = {
      {kCategoryInstallDir, "LOOSE.wav", SampleBytes(1), kCategorySample},
      {kCategoryInstallDir, "BROKEN.WAV", RejectBytes(2), kCategoryUnrecognized},
      {kCategoryDataRoot, "DATA.WAV", CycleBytes(3), kCategorySingleCycle},
      {kCategorySingleCycle, "STRAY.WAV", SampleBytes(4), kCategorySample},
      {kCategorySingleCycle, "HOME.WAV", CycleBytes(5), kCategorySingleCycle},
      {kCategoryUnrecognized, "BACK.WAV", CycleBytes(6), kCategorySingleCycle},
      {kCategoryUnrecognized, "JUNK.BIN", {1}, kCategoryUnrecognized},
  };
  for (const auto& [from, name, bytes, to] : files) Put(from, name, bytes);
  fs::create_directory(CategoryFolderPath(app, kCategorySample) + "sub.wav");

  std::vector<int> progress;
  LibraryFeedback feedback = Shown();
  feedback.progress = [&](int n) { progress.push_back(n); };
  // Program folder 2, "data" 1, recycle bin 3 (with the file just put there), samples 1, cycles 4.
  EXPECT_EQ(SortLibrary(app, feedback), 11);
  ASSERT_EQ(progress.size(), 11u);
  EXPECT_EQ(progress.back(), 11);
  for (const auto& [from, name, bytes, to] : files) EXPECT_EQ(Get(to, name), bytes) << name;
  EXPECT_TRUE(fs::is_directory(CategoryFolderPath(app, kCategorySample) + "sub.wav"));

  // Re-tested under the other single-cycle rule, a cycle without loop comes back from the recycle bin.
  Put(kCategoryUnrecognized, "NOLOOP.WAV", SampleBytes(7, 2048));
  EXPECT_EQ(SortLibrary(app), 8);
  EXPECT_TRUE(Has(kCategoryUnrecognized, "NOLOOP.WAV"));
  app.settings.noForceLoop = 1;
  shown.clear();
  EXPECT_EQ(RetestLibrary(app, feedback), kMsgDone);
  EXPECT_EQ(shown, "m" + std::to_string(kMsgUpdatingFileSystem) + " ");
  EXPECT_TRUE(Has(kCategorySingleCycle, "NOLOOP.WAV"));
}

}  // namespace
