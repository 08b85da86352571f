#include "files/library_paths.h"

#include "files/library_fixture.h"

namespace {

using LibraryPaths = LibraryFixture;

TEST_F(LibraryPaths, CategoryFoldersAndInstallLayoutLevelsAreCreatedOnDemand) {
  EXPECT_FALSE(fs::exists(folder / "system"));
  const std::pair<std::string, std::string> paths[] = {
      {CategoryFolderPath(app, kCategorySingleCycle), "/data/02 Single Cycles (WAV)/"},
      {CategoryFolderPath(app, kCategoryInstallDir), "/"},
      {CategoryFolderPath(app, kCategoryDataRoot), "/data/"},
      {CategoryFilePath(app, kCategoryBlofeld, "A.SYX"), "/data/05 VORTA - Wavetables (Blofeld, SYX)/A.SYX"},
      {BuildPath(app, "system", "update", "Sonic-Loom"), "/system/update/Sonic-Loom"},
      {BuildPath(app, "", "", "Sonic-Loom.pdf"), "/Sonic-Loom.pdf"},
      {BuildPath(app, "", "", ""), "/"},
      {BuildPath(app, "data", "13 XFORM - Wavetables (Audio, WAV)", "N.WAV"),
       "/data/13 XFORM - Wavetables (Audio, WAV)/N.WAV"},
  };
  for (const auto& [path, expected] : paths) EXPECT_EQ(path, folder.path + expected);
  for (const char* made : {"data/02 Single Cycles (WAV)", "system/update", "data/13 XFORM - Wavetables (Audio, WAV)"})
    EXPECT_TRUE(fs::is_directory(folder / made)) << made;
}

// A user root is used while its folder exists and forgotten for good when it vanishes.
TEST_F(LibraryPaths, UserRootIsUsedWhileItsFolderExistsAndForgottenWhenItVanishes) {
  TempFolder elsewhere;
  const std::string root = elsewhere.path + "/";
  const std::string atDefault = folder.path + "/data/02 Single Cycles (WAV)/";
  fs::create_directories(root + "02 Single Cycles (WAV)");
  app.folderUserPath[2] = root;
  EXPECT_EQ(CategoryFolderPath(app, 2), root + "02 Single Cycles (WAV)/");
  EXPECT_EQ(app.folderUserPath[2], root);
  fs::remove_all(root + "02 Single Cycles (WAV)");
  EXPECT_EQ(CategoryFolderPath(app, 2), atDefault);
  EXPECT_TRUE(app.folderUserPath[2].empty());
  fs::create_directories(root + "02 Single Cycles (WAV)");
  EXPECT_EQ(CategoryFolderPath(app, 2), atDefault);
}

// Stored roots: absolute, ending in a separator, of a slot in use, with folder name + 2 below 260 characters.
TEST_F(LibraryPaths, UnusableStoredRootsAreClearedOnLoad) {
  const size_t folderChars = std::string(kFolderTable[2].folderName).size();
  const std::string longest = "/" + std::string(260 - folderChars - 2 - 3, 'r') + "/";
  const std::string tooLong = "/r" + longest.substr(1);
  ASSERT_EQ(longest.size() + folderChars + 2, 259u);
  const std::pair<std::string, int> usable[] = {{"/media/usb/", 2}, {longest, 2}};
  const std::pair<std::string, int> unusable[] = {{"media/usb/", 2}, {"/media/usb", 2}, {"/media/usb/", 11},
                                                  {tooLong, 2}};
  for (const auto& [root, category] : usable) EXPECT_TRUE(IsUsableUserRoot(root, category)) << root;
  for (const auto& [root, category] : unusable) EXPECT_FALSE(IsUsableUserRoot(root, category)) << root;
  for (const auto& [category, root] : {std::pair<int, std::string>{1, "relative/"}, {2, "/fine/"}, {3, tooLong},
                                       {12, "/empty-slot/"}})
    app.folderUserPath[category] = root;
  ForgetUnusableUserRoots(app);
  for (int category : {1, 3, 12}) EXPECT_TRUE(app.folderUserPath[category].empty()) << category;
  EXPECT_EQ(app.folderUserPath[2], "/fine/");
}

TEST(FolderTable, CategoryByExtension) {
  const std::pair<const char*, int> names[] = {
      {"kick.wav", 1}, {"KICK.WAV", 1}, {"a.b.Wav", 1}, {"pad.wt", 4},  // first of the ".WT" slots
      {"dump.syx", 5}, {"x.efe", 6},    {"x.WTS", 8},   {"x.wave", 0},  // four letters after the dot
      {"x.wavfile", 0}, {"README", 0},  {".wav", 0},    {"x.", 0},      // ".wav": the dot is the first character
      {"x.wav.txt", 0}, {"", 0},
  };
  for (const auto& [name, category] : names) EXPECT_EQ(CategoryByExtension(name), category) << name;
}

}  // namespace
