#include "files/library_lock.h"

#include <sys/file.h>

#include "files/library_fixture.h"
#include "files/temporary_files.h"

namespace {

// The library as another process holds it (fd stays -1 when the lock is taken already).
struct ForeignHolder {
  int fd = -1;
  explicit ForeignHolder(const std::string& path) : fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) Release();
  }
  void Release() { if (fd >= 0) close(fd); fd = -1; }
  ~ForeignHolder() { Release(); }
};

// A library with work for every operation: a stray to sort, a file to delete or rename.
class LibraryLockTest : public LibraryFixture {
 protected:
  void SetUp() override {
    LibraryFixture::SetUp();
    Put(kCategorySingleCycle, "STRAY.WAV", SampleBytes(1));
    Put(kCategoryUnrecognized, "JUNK.WAV", RejectBytes(2));
  }
  std::vector<std::string> Snapshot() {
    std::vector<std::string> all;
    for (int category : {kCategoryUnrecognized, kCategorySample, kCategorySingleCycle})
      for (const std::string& name : Names(category)) all.push_back(std::to_string(category) + "/" + name);
    return all;
  }
  TempFolder roots;
};

// Every operation that moves, renames or deletes library files asks the feedback when another
// process holds the library, and on "do not wait" changes nothing.
TEST_F(LibraryLockTest, EveryMovingOperationGivesWayToAnotherHolder) {
  int asked = 0;
  LibraryFeedback refuse;
  refuse.libraryBusy = [&] { ++asked; return false; };
  const auto yes = Answer(true);
  const struct { const char* name; std::function<int()> run; int expected; } operations[] = {
      {"sort library", [&] { return SortLibrary(app, refuse); }, kLibraryBusy},
      {"sort folder", [&] { return SortFolder(app, kCategorySingleCycle, refuse); }, kLibraryBusy},
      {"re-test", [&] { return RetestLibrary(app, refuse); }, kMsgAborted},
      {"listing", [&] { return VisitCategoryFiles(app, kCategorySingleCycle, [](const ListedFile&) { return true; },
                                                  refuse).busy ? 1 : 0; }, 1},
      {"search", [&] { return FindInCategory(app, kCategorySingleCycle, "STRAY", false, refuse).code; }, kMsgAborted},
      {"delete", [&] { return DeleteLibraryFile(app, kCategoryUnrecognized, "JUNK.WAV", yes, refuse); }, kMsgAborted},
      {"clear", [&] { return ClearLibraryFolder(app, kCategoryUnrecognized, yes, refuse); }, kMsgAborted},
      {"rename", [&] { return RenameLibraryFile(app, kCategoryUnrecognized, "JUNK.WAV", Typed("N.WAV"), refuse).code; },
       kMsgAborted},
      {"root move", [&] { return MoveCategoryRoot(app, CurrentCategoryRoot(app, kCategorySingleCycle), roots.path,
                                                  kCategorySingleCycle, refuse); }, kMsgAborted},
  };
  const std::vector<std::string> before = Snapshot();
  ForeignHolder other(LibraryLockPath(app));
  ASSERT_GE(other.fd, 0);
  for (const auto& operation : operations) {
    asked = 0;
    EXPECT_EQ(operation.run(), operation.expected) << operation.name;
    EXPECT_EQ(asked, 1) << operation.name;
    EXPECT_EQ(Snapshot(), before) << operation.name;
  }
  EXPECT_TRUE(fs::is_empty(roots.path));
  other.Release();
  asked = 0;
  EXPECT_EQ(SortLibrary(app, refuse), 2);
  EXPECT_EQ(asked, 0);
  EXPECT_TRUE(Has(kCategorySample, "STRAY.WAV"));
}

// Without a choice of its own an operation waits, with "UPDATING FILE SYSTEM, PLEASE WAIT", and runs
// when the other holder lets go (here: as soon as the message shows); nested operations of this process
// never wait for themselves.
TEST_F(LibraryLockTest, OperationsWaitForTheHolderAndNestWithinTheProcess) {
  ForeignHolder other(LibraryLockPath(app));
  ASSERT_GE(other.fd, 0);
  LibraryFeedback feedback = Shown();
  feedback.showMessage = [&](int code) {
    shown += "m" + std::to_string(code) + " ";
    EXPECT_TRUE(Has(kCategorySingleCycle, "STRAY.WAV"));
    other.Release();
  };
  EXPECT_EQ(SortLibrary(app, feedback), 2);
  EXPECT_EQ(shown, "m" + std::to_string(kMsgUpdatingFileSystem) + " ");
  EXPECT_TRUE(Has(kCategorySample, "STRAY.WAV"));

  const LibraryWriteGuard outer(app);
  ASSERT_TRUE(outer.held());
  Put(kCategorySingleCycle, "AGAIN.WAV", SampleBytes(3));
  EXPECT_EQ(MoveToCategory(app, kCategorySample, kCategorySingleCycle, "AGAIN.WAV"), 0);
  EXPECT_LT(ForeignHolder(LibraryLockPath(app)).fd, 0);  // still held by this process
}

// Sorting passes over the program's own temporary files (a write may be filling one) and removes
// those older than an hour; a look-alike that is not the program's is sorted as any file.
TEST_F(LibraryLockTest, SortLeavesFreshTemporariesAndRemovesStaleOnes) {
  const std::string fresh = Put(kCategorySingleCycle, ".PAD.WAV.a1B2c3", SampleBytes(4));
  const std::string stale = Put(kCategorySample, ".OLD.WAV.Zz9yX8", {1, 2, 3});
  const std::string foreign = Put(kCategorySample, ".notes.backup", {4});
  const time_t old = time(nullptr) - 2 * kStaleTemporarySeconds;
  const struct timespec times[2] = {{old, 0}, {old, 0}};
  for (const std::string& path : {stale, foreign}) ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  SortLibrary(app);
  EXPECT_TRUE(fs::exists(fresh));
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(Has(kCategoryUnrecognized, ".notes.backup"));
  for (const auto& [name, ours] : {std::pair{".A.WT.abcDEF", true}, {".A.TXT.abcdef", false}, {".A.WAV.abc-ef", false}})
    EXPECT_EQ(IsProgramTemporaryName(name), ours) << name;
}

}  // namespace
