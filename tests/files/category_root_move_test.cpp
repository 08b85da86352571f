#include "files/category_root_move.h"

#include "files/library_fixture.h"

namespace {

class CategoryRoots : public LibraryFixture {
 protected:
  FolderChooser Choose(std::optional<std::string> answer) {
    return [this, answer](const std::string& title, const std::string& start) {
      asked = title + "|" + start;
      return answer;
    };
  }
  static std::string SampleFolderAt(const std::string& root) {
    return root + kFolderTable[kCategorySample].folderName + "/";
  }
  // Every sample named by its first letter, unchanged in the category folder.
  void ExpectSamplesHome(const std::vector<std::string>& names) {
    for (const std::string& name : names) EXPECT_EQ(Get(kCategorySample, name), SampleBytes(name[0])) << name;
  }

  TempFolder elsewhere;
  const std::string defaultRoot = folder.path + "/data/";
  const std::string userRoot = elsewhere.path + "/";
  std::string asked;
};

TEST_F(CategoryRoots, SetMovesTheFilesAndResetBringsThemBack) {
  for (const char* name : {"A.WAV", "B.WAV"}) Put(kCategorySample, name, SampleBytes(name[0]));
  fs::create_directory(CategoryFolderPath(app, kCategorySample) + "empty");

  EXPECT_EQ(SetCategoryUserRoot(app, kCategorySample, Choose(elsewhere.path), Shown()), kMsgDone);
  EXPECT_EQ(asked,
            "Move folder \"01 Samples (WAV)\" and all contained files to the following location:|" + defaultRoot);
  EXPECT_EQ(shown, "m" + std::to_string(kMsgUpdatingFileSystem) + " c1 p500 c0 ");
  EXPECT_EQ(app.folderUserPath[kCategorySample], userRoot);
  EXPECT_EQ(CategoryFolderPath(app, kCategorySample), SampleFolderAt(userRoot));
  ExpectSamplesHome({"A.WAV", "B.WAV"});
  EXPECT_FALSE(fs::exists(SampleFolderAt(defaultRoot)));

  std::vector<int> questions;
  EXPECT_EQ(ResetCategoryUserRoot(app, kCategorySample, Answer(false, &questions)), kMsgAborted);
  EXPECT_EQ(questions, std::vector<int>{kMsgResetToDefault});
  EXPECT_EQ(app.folderUserPath[kCategorySample], userRoot);
  EXPECT_EQ(ResetCategoryUserRoot(app, kCategorySample, Answer(true)), kMsgDone);
  EXPECT_TRUE(app.folderUserPath[kCategorySample].empty());
  ExpectSamplesHome({"A.WAV", "B.WAV"});
  EXPECT_FALSE(fs::exists(SampleFolderAt(userRoot)));
  EXPECT_EQ(ResetCategoryUserRoot(app, kCategorySample, Answer(true)), kMsgNothingToReset);
}

TEST_F(CategoryRoots, RefusedChoices) {
  Put(kCategorySample, "A.WAV", SampleBytes(1));
  fs::create_directories(folder / "inside");
  fs::create_directories(elsewhere / "02 Single Cycles (WAV)");
  std::string deep = elsewhere.path;
  while (deep.size() + 1 + std::string(kFolderTable[kCategorySample].folderName).size() + 2 < kMaxUserRootChars)
    deep += "/d";
  fs::create_directories(deep);
  const std::pair<std::optional<std::string>, int> refused[] = {
      {std::nullopt, kMsgAborted}, {defaultRoot, kMsgAborted}, {folder / "data", kMsgAborted},
      {folder / "inside", kMsgInstallPathNotUserPath}, {folder.path, kMsgInstallPathNotUserPath},
      {elsewhere / "02 Single Cycles (WAV)", kMsgCascadingDirectories},
      {deep, kMsgPathTooLong},
  };
  for (const auto& [choice, code] : refused) {
    EXPECT_EQ(SetCategoryUserRoot(app, kCategorySample, Choose(choice)), code) << choice.value_or("-");
    EXPECT_TRUE(app.folderUserPath[kCategorySample].empty());
  }
  EXPECT_EQ(Names(kCategorySample).size(), 1u);
  // A neighbour of the program folder whose name merely starts the same is fine.
  const std::string neighbour = folder.path + "-neighbour";
  fs::create_directories(neighbour);
  EXPECT_EQ(SetCategoryUserRoot(app, kCategorySample, Choose(neighbour)), kMsgDone);
  EXPECT_EQ(app.folderUserPath[kCategorySample], neighbour + "/");
  EXPECT_EQ(ResetCategoryUserRoot(app, kCategorySample, Answer(true)), kMsgDone);
  fs::remove_all(neighbour);
}

TEST_F(CategoryRoots, AFailingPassTwoRollsBack) {
  const std::vector<std::string> names = {"A.WAV", "B.WAV", "C.WAV", "D.WAV"};
  for (const std::string& name : names) Put(kCategorySample, name, SampleBytes(name[0]));
  fs::create_directories(SampleFolderAt(userRoot));
  WriteAllBytes(SampleFolderAt(userRoot) + "C.WAV", {7});
  EXPECT_EQ(MoveCategoryRoot(app, defaultRoot, userRoot, kCategorySample), kMsgConflictingNames);
  ExpectSamplesHome(names);
  EXPECT_EQ(ReadAllBytes(SampleFolderAt(userRoot) + "C.WAV"), (std::vector<uint8_t>{7}));
  EXPECT_EQ(std::distance(fs::directory_iterator(SampleFolderAt(userRoot)), fs::directory_iterator()), 1);
  fs::remove_all(SampleFolderAt(userRoot));

  // A file that cannot be moved: the new folder made for the move goes again.
  ImmutableFile locked(CategoryFilePath(app, kCategorySample, "C.WAV"));
  if (!locked.active) GTEST_SKIP() << "no immutable files here";
  EXPECT_EQ(SetCategoryUserRoot(app, kCategorySample, Choose(elsewhere.path)), kMsgConflictingNames);
  EXPECT_TRUE(app.folderUserPath[kCategorySample].empty());
  ExpectSamplesHome(names);
  EXPECT_FALSE(fs::exists(SampleFolderAt(userRoot)));
}

// The move itself refuses before anything moves: a root that cannot hold the category folder, a
// sub-folder that is not empty, a name that would grow too long, an old folder that is a file (the
// new folder made for it goes again). No old folder is nothing to move; onto itself is no move.
TEST_F(CategoryRoots, MovesRefusedBeforeAnythingMoves) {
  Put(kCategorySample, "A.WAV", SampleBytes('A'));
  WriteAllBytes(elsewhere / "file", {1});
  EXPECT_EQ(MoveCategoryRoot(app, defaultRoot, elsewhere / "file/", kCategorySample), kMsgErrorMovingDirectory);
  fs::create_directories(CategoryFolderPath(app, kCategorySample) + "full/inner");
  EXPECT_EQ(MoveCategoryRoot(app, defaultRoot, userRoot, kCategorySample), kMsgSourceNotEmpty);
  fs::remove_all(CategoryFolderPath(app, kCategorySample) + "full");
  const std::string longName(260 - SampleFolderAt(userRoot).size(), 'x');
  Put(kCategorySample, longName, SampleBytes('x'));
  EXPECT_EQ(MoveCategoryRoot(app, defaultRoot, userRoot, kCategorySample), kMsgPathTooLong);
  ExpectSamplesHome({"A.WAV", longName});
  EXPECT_FALSE(fs::exists(SampleFolderAt(userRoot)));

  fs::remove_all(CategoryFolderPath(app, kCategoryEfe));
  WriteAllBytes(defaultRoot + kFolderTable[kCategoryEfe].folderName, {1});
  EXPECT_EQ(MoveCategoryRoot(app, defaultRoot, userRoot, kCategoryEfe), kMsgErrorMovingDirectory);
  EXPECT_FALSE(fs::exists(userRoot + kFolderTable[kCategoryEfe].folderName));
  EXPECT_EQ(MoveCategoryRoot(app, elsewhere / "nowhere/", userRoot, kCategoryDune2), kMsgDone);
  EXPECT_TRUE(fs::is_directory(userRoot + kFolderTable[kCategoryDune2].folderName));
  EXPECT_EQ(MoveCategoryRoot(app, userRoot, userRoot, kCategoryDune2), kMsgAborted);
}

}  // namespace
