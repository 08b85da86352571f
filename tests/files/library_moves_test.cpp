#include "files/library_moves.h"

#include <gtest/gtest.h>

#include "core/message_codes.h"
#include "files/file_moves.h"
#include "files/library_fixture.h"
#include "files/read_only_folder.h"

namespace fs = std::filesystem;

namespace {

TEST(NumberedNames, SplitAndCandidates) {
  const struct {
    const char* name;
    int number;            // the candidate asked for
    const char* candidate;
    int takenOff;
  } cases[] = {
      {"Pad (2).wav", 0, "Pad.wav", 2},      {"Pad (2).wav", 17, "Pad (17).wav", 2},
      {"Pad (999).WAV", 1, "Pad (1).WAV", 999}, {"Pad (01).WAV", 1, "Pad (1).WAV", 1},
      {"NoDot (3)", 4, "NoDot (4)", 3},      {".hidden", 1, ".hidden (1)", 0},
      {"a.b.c", 1, "a.b (1).c", 0},          {"Pad(2).wav", 1, "Pad(2) (1).wav", 0},
      {"Pad (0).wav", 1, "Pad (0) (1).wav", 0}, {"Pad (1000).wav", 1, "Pad (1000) (1).wav", 0},
      {"Pad ().wav", 1, "Pad () (1).wav", 0},  {"Pad (x).wav", 1, "Pad (x) (1).wav", 0},
      {"(3).wav", 1, "(3) (1).wav", 0},
  };
  for (const auto& c : cases) {
    const NumberedName n = SplitNumberedName(c.name);
    EXPECT_EQ(n.takenOff, c.takenOff) << c.name;
    EXPECT_EQ(NumberedCandidate(n, c.number), c.candidate) << c.name;
  }
}

using MoveToCategoryTest = LibraryFixture;

TEST_F(MoveToCategoryTest, NumberedNamesWhenTheNameIsTaken) {
  Put(kCategorySample, "X.WAV", SampleBytes(1));
  Put(kCategorySingleCycle, "X.WAV", SampleBytes(2));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "X.WAV"), 0);
  EXPECT_EQ(Get(kCategorySample, "X (1).WAV"), SampleBytes(2));
  Put(kCategorySingleCycle, "X.WAV", SampleBytes(3));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "X.WAV"), 0);
  EXPECT_EQ(Get(kCategorySample, "X (2).WAV"), SampleBytes(3));
  EXPECT_EQ(Get(kCategorySample, "X.WAV"), SampleBytes(1));
  EXPECT_TRUE(Names(kCategorySingleCycle).empty());

  // A numbered file tries the bare name first, then skips its own number.
  Put(kCategorySingleCycle, "Y (1).WAV", SampleBytes(4));
  Put(kCategorySample, "Y (1).WAV", SampleBytes(5));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "Y (1).WAV"), 0);
  EXPECT_EQ(Get(kCategorySample, "Y.WAV"), SampleBytes(4));
  Put(kCategorySingleCycle, "Y (1).WAV", SampleBytes(6));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "Y (1).WAV"), 0);
  EXPECT_EQ(Get(kCategorySample, "Y (2).WAV"), SampleBytes(6));

  // A name without a dot is numbered at its end.
  Put(kCategorySingleCycle, "NODOT", SampleBytes(7));
  Put(kCategoryUnrecognized, "NODOT", SampleBytes(8));
  EXPECT_EQ(MoveToCategory(app, kCategoryUnrecognized, kCategorySingleCycle, "NODOT"), 0);
  EXPECT_EQ(Get(kCategoryUnrecognized, "NODOT (1)"), SampleBytes(7));

  // Nothing to do.
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySample, "X.WAV"), 0);
  EXPECT_EQ(MoveToCategory(app, -1, kCategorySample, "X.WAV"), 0);
  EXPECT_TRUE(Has(kCategorySample, "X.WAV"));
  // A missing source is a failure.
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "GONE.WAV"), 1);
}

TEST_F(MoveToCategoryTest, IdenticalCopiesAreMergedButTheOnlyCopyNeverGoes) {
  Put(kCategorySingleCycle, "SAME.WAV", SampleBytes(1));
  Put(kCategorySample, "SAME.WAV", SampleBytes(1));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "SAME.WAV"), 0);
  EXPECT_FALSE(Has(kCategorySingleCycle, "SAME.WAV"));
  EXPECT_EQ(Get(kCategorySample, "SAME.WAV"), SampleBytes(1));

  // An identical copy under a numbered name also counts.
  Put(kCategorySample, "Z.WAV", SampleBytes(2));
  Put(kCategorySample, "Z (1).WAV", SampleBytes(3));
  Put(kCategorySingleCycle, "Z.WAV", SampleBytes(3));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "Z.WAV"), 0);
  EXPECT_FALSE(Has(kCategorySingleCycle, "Z.WAV"));
  EXPECT_EQ(Names(kCategorySample).size(), 3u);

  // The destination is a second name of the same file (hard link): only
  // the source's name goes, the file stays under the other.
  const std::string source = Put(kCategorySingleCycle, "LINK.WAV", SampleBytes(4));
  ASSERT_EQ(link(source.c_str(), CategoryFilePath(app, kCategorySample, "LINK.WAV").c_str()), 0);
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "LINK.WAV"), 0);
  EXPECT_FALSE(Has(kCategorySingleCycle, "LINK.WAV"));
  EXPECT_EQ(Get(kCategorySample, "LINK.WAV"), SampleBytes(4));

  // The same folder reached through a symbolic link: the very same entry,
  // which must stay.
  Put(kCategorySingleCycle, "SELF.WAV", SampleBytes(5));
  TempFolder roots;
  fs::remove_all(CategoryFolderPath(app, kCategoryXformWav));
  fs::create_directory_symlink(fs::path(CategoryFolderPath(app, kCategorySingleCycle)).parent_path(),
                               roots.path + "/" + kFolderTable[kCategoryXformWav].folderName);
  app.folderUserPath[kCategoryXformWav] = roots.path + "/";
  EXPECT_EQ(MoveToCategory(app, kCategoryXformWav, kCategorySingleCycle, "SELF.WAV"), 0);
  EXPECT_EQ(Get(kCategorySingleCycle, "SELF.WAV"), SampleBytes(5));
  EXPECT_EQ(Names(kCategorySingleCycle), std::vector<std::string>{"SELF.WAV"});
}

TEST_F(MoveToCategoryTest, AllNamesTakenLeavesTheFileWhereItIs) {
  Put(kCategorySample, "FULL.WAV", {0});
  for (int k = 1; k <= 999; ++k) Put(kCategorySample, "FULL (" + std::to_string(k) + ").WAV", {1});
  Put(kCategorySingleCycle, "FULL.WAV", SampleBytes(1));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "FULL.WAV"), 1);
  EXPECT_EQ(Get(kCategorySingleCycle, "FULL.WAV"), SampleBytes(1));
  EXPECT_EQ(Names(kCategorySample).size(), 1000u);
}

TEST_F(MoveToCategoryTest, ReadOnlyFoldersRefuseAndKeepTheFile) {
  Put(kCategorySingleCycle, "R.WAV", SampleBytes(1));
  {
    ReadOnlyFolder guard(CategoryFolderPath(app, kCategorySample));
    if (!guard.active) GTEST_SKIP() << "no way to make a read-only folder here";
    EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "R.WAV"), 1);
    EXPECT_EQ(Get(kCategorySingleCycle, "R.WAV"), SampleBytes(1));
  }
  {
    Put(kCategorySample, "R.WAV", SampleBytes(1));  // an identical copy waits in the target
    ReadOnlyFolder guard(CategoryFolderPath(app, kCategorySingleCycle));
    EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "R.WAV"), 1);
    EXPECT_EQ(Get(kCategorySingleCycle, "R.WAV"), SampleBytes(1));
  }
}

TEST_F(MoveToCategoryTest, AcrossFileSystemsTheFileIsCopiedComparedAndThenRemoved) {
  OtherFileSystemFolder other;
  if (other.path.empty()) GTEST_SKIP() << "no second file system";
  const std::string root = other.path + "/";
  fs::create_directories(root + kFolderTable[kCategorySample].folderName);
  app.folderUserPath[kCategorySample] = root;
  const std::string source = Put(kCategorySingleCycle, "FAR.WAV", SampleBytes(1));
  chmod(source.c_str(), 0640);
  struct stat before;
  ASSERT_EQ(stat(source.c_str(), &before), 0);

  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "FAR.WAV"), 0);
  const std::string moved = root + kFolderTable[kCategorySample].folderName + "/FAR.WAV";
  EXPECT_EQ(ReadAllBytes(moved), SampleBytes(1));
  EXPECT_FALSE(fs::exists(source));
  struct stat after;
  ASSERT_EQ(stat(moved.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 0777, 0640u);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  // The copy was made under a temporary name that is gone now.
  EXPECT_EQ(std::distance(fs::directory_iterator(root + kFolderTable[kCategorySample].folderName),
                         fs::directory_iterator{}),
            1);

  // Taken names across file systems: numbered, never replaced.
  Put(kCategorySingleCycle, "FAR.WAV", SampleBytes(2));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "FAR.WAV"), 0);
  EXPECT_EQ(ReadAllBytes(moved), SampleBytes(1));
  EXPECT_EQ(ReadAllBytes(root + kFolderTable[kCategorySample].folderName + "/FAR (1).WAV"), SampleBytes(2));

  // A copy that cannot be made leaves the source and no partial file.
  Put(kCategorySingleCycle, "STAY.WAV", SampleBytes(3));
  ReadOnlyFolder guard(root + kFolderTable[kCategorySample].folderName);
  if (!guard.active) return;
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "STAY.WAV"), 1);
  EXPECT_EQ(Get(kCategorySingleCycle, "STAY.WAV"), SampleBytes(3));
}

TEST(FileMoves, NoReplaceMovesAndContentChecks) {
  TempFolder folder;
  WriteAllBytes(folder / "a", {1, 2});
  WriteAllBytes(folder / "b", {3});
  EXPECT_EQ(MoveFileNoReplace(folder / "a", folder / "b"), MoveResult::kTargetExists);
  EXPECT_EQ(ReadAllBytes(folder / "a"), (std::vector<uint8_t>{1, 2}));
  EXPECT_EQ(ReadAllBytes(folder / "b"), (std::vector<uint8_t>{3}));
  EXPECT_EQ(MoveFileNoReplace(folder / "a", folder / "c"), MoveResult::kMoved);
  EXPECT_FALSE(fs::exists(folder / "a"));
  EXPECT_EQ(MoveFileNoReplace(folder / "a", folder / "d"), MoveResult::kFailed);

  WriteAllBytes(folder / "e", {1, 2});
  EXPECT_TRUE(HaveEqualContent(folder / "c", folder / "e"));
  WriteAllBytes(folder / "e", {1, 3});
  EXPECT_FALSE(HaveEqualContent(folder / "c", folder / "e"));
  WriteAllBytes(folder / "e", {1, 2, 0});
  EXPECT_FALSE(HaveEqualContent(folder / "c", folder / "e"));
  EXPECT_FALSE(HaveEqualContent(folder / "c", folder.path));
  ASSERT_EQ(link((folder / "c").c_str(), (folder / "f").c_str()), 0);
  EXPECT_TRUE(IsSameFile(folder / "c", folder / "f"));
  EXPECT_FALSE(IsSameFile(folder / "c", folder / "e"));
  EXPECT_FALSE(IsSameFile(folder / "c", folder / "missing"));

  OtherFileSystemFolder other;
  if (other.path.empty()) return;
  WriteAllBytes(other.path + "/b", {9});
  EXPECT_EQ(MoveFileNoReplace(folder / "c", other.path + "/b"), MoveResult::kTargetExists);
  EXPECT_EQ(ReadAllBytes(folder / "c"), (std::vector<uint8_t>{1, 2}));
  EXPECT_EQ(ReadAllBytes(other.path + "/b"), (std::vector<uint8_t>{9}));
  fs::create_directory(folder / "sub");
  EXPECT_EQ(MoveFileNoReplace(folder / "sub", other.path + "/sub"), MoveResult::kFailed);
  EXPECT_TRUE(fs::is_directory(folder / "sub"));
  EXPECT_FALSE(fs::exists(other.path + "/sub"));
}

using SortTest = LibraryFixture;

TEST_F(SortTest, BootOrderSortsLooseFilesAndLeavesOthersAlone) {
  WriteAllBytes(folder / "readme.txt", {'h', 'i'});
  WriteAllBytes(folder / "LOOSE.wav", SampleBytes(1));
  WriteAllBytes(folder / "BROKEN.WAV", RejectBytes(2));
  WriteAllBytes(CategoryFolderPath(app, kCategoryDataRoot) + "DATA.WAV", CycleBytes(3));
  Put(kCategorySingleCycle, "STRAY.WAV", SampleBytes(4));
  Put(kCategorySingleCycle, "HOME.WAV", CycleBytes(5));
  Put(kCategoryUnrecognized, "BACK.WAV", CycleBytes(6));
  Put(kCategoryUnrecognized, "JUNK.BIN", {1});
  fs::create_directory(CategoryFolderPath(app, kCategorySample) + "sub.wav");

  std::vector<int> progress;
  LibraryFeedback feedback;
  feedback.progress = [&](int n) { progress.push_back(n); };
  const int handled = SortLibrary(app, feedback);
  // Program folder 2, "data" 1, recycle bin 3 (with the file just put
  // there), samples 1, single cycles 4 (with the one from the recycle bin).
  EXPECT_EQ(handled, 11);
  ASSERT_EQ(progress.size(), 11u);
  EXPECT_EQ(progress.back(), 11);

  EXPECT_TRUE(fs::exists(folder / "readme.txt"));
  EXPECT_EQ(Get(kCategorySample, "LOOSE.wav"), SampleBytes(1));
  EXPECT_EQ(Get(kCategoryUnrecognized, "BROKEN.WAV"), RejectBytes(2));
  EXPECT_EQ(Get(kCategorySingleCycle, "DATA.WAV"), CycleBytes(3));
  EXPECT_EQ(Get(kCategorySample, "STRAY.WAV"), SampleBytes(4));
  EXPECT_EQ(Get(kCategorySingleCycle, "HOME.WAV"), CycleBytes(5));
  EXPECT_EQ(Get(kCategorySingleCycle, "BACK.WAV"), CycleBytes(6));
  EXPECT_TRUE(Has(kCategoryUnrecognized, "JUNK.BIN"));
  EXPECT_TRUE(fs::is_directory(CategoryFolderPath(app, kCategorySample) + "sub.wav"));

  // The re-test run under the other single-cycle rule: a cycle without loop
  // comes back from the recycle bin.
  Put(kCategoryUnrecognized, "NOLOOP.WAV", SampleBytes(7, 2048));
  EXPECT_EQ(SortLibrary(app), 8);
  EXPECT_TRUE(Has(kCategoryUnrecognized, "NOLOOP.WAV"));
  app.settings.noForceLoop = 1;
  std::vector<int> messages;
  feedback.showMessage = [&](int code) { messages.push_back(code); };
  EXPECT_EQ(RetestLibrary(app, feedback), kMsgDone);
  EXPECT_EQ(messages, std::vector<int>{kMsgUpdatingFileSystem});
  EXPECT_TRUE(Has(kCategorySingleCycle, "NOLOOP.WAV"));
}

}  // namespace
