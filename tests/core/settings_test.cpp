#include "core/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#include <tuple>

#include "support/temp_folder.h"

namespace {

SettingsBlock OddSettings() {
  return {.playbackVolume = 0.25f, .fullScreen = 1, .colourMode = 3, .windowX = -120, .windowY = 345,
          .updateInstalled = 1, .updateAvailable = 1, .updateTimeStamp = 3117, .backlight = 0,
          .playbackDeviceIndex = 2, .shortcuts = 0, .prelistenOn = 0, .noUpdateLookup = 1, .noForceLoop = 1,
          .blofeldDeviceId = 127, .blofeldSlot = 81, .screenSaverOn = 0};
}

// The settings block as it lies at the start of the file.
std::vector<uint8_t> BlockBytes(const SettingsBlock& block) {
  const std::vector<uint8_t> image = EncodeSettingsFile(block, UserPathList{});
  return {image.begin(), image.begin() + 37};
}

TEST(SettingsFile, ImageHasTheExactLayout) {
  UserPathList paths;
  paths[2] = "/home/user/My Sounds/";
  paths[18] = "/x/";
  // The block, zeros up to 1,024, then records of 2,048 bytes: the path, then zeros.
  const uint8_t block[] = {0, 0, 0x80, 0x3E, 1, 0, 3, 0, 0x88, 0xFF, 0x59, 0x01, 1, 1, 0, 0, 0x2D, 0x0C, 0, 0,
                           0, 0, 2, 0, 0, 0, 1, 1, 127, 0, 0, 0, 81, 0, 0, 0, 0};
  std::vector<uint8_t> expected(39936, 0);
  std::copy(std::begin(block), std::end(block), expected.begin());
  std::copy(paths[2].begin(), paths[2].end(), expected.begin() + 1024 + 2 * 2048);
  std::copy_n("/x/", 3, expected.begin() + 1024 + 18 * 2048);
  EXPECT_EQ(EncodeSettingsFile(OddSettings(), paths), expected);
}

class SettingsOnDisk : public ::testing::Test {
 protected:
  void SetUp() override { app.installDir = folder.path; }
  std::string FilePath() const { return folder / "system/sonicloom_system.dat"; }
  TempFolder folder;
  AppGlobals app;
};

TEST_F(SettingsOnDisk, RoundTripsByteForByte) {
  app.settings = OddSettings();
  app.folderUserPath[2] = "/home/user/sounds/";
  app.folderUserPath[13] = "/media/usb/";
  ASSERT_TRUE(WriteSettings(app));
  const std::vector<uint8_t> written = ReadAllBytes(FilePath());
  AppGlobals reread;
  reread.installDir = folder.path;
  EXPECT_FALSE(ReadSettings(reread));  // screen saver was off
  ASSERT_TRUE(WriteSettings(reread));
  EXPECT_EQ(ReadAllBytes(FilePath()), written);
  // Nothing else is left in the folder: the temporary file was renamed.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "system"), {}), 1);
}

TEST_F(SettingsOnDisk, MissingFileGivesDefaultsAndCreatesTheSystemFolder) {
  app.settings = OddSettings();
  app.folderUserPath[3] = "/stale/";
  EXPECT_TRUE(ReadSettings(app));
  EXPECT_EQ(BlockBytes(app.settings), BlockBytes(SettingsBlock{}));
  EXPECT_TRUE(app.folderUserPath[3].empty());
  EXPECT_TRUE(std::filesystem::is_directory(folder / "system"));
}

// A value out of range is read as its default; the limits themselves are kept.
TEST_F(SettingsOnDisk, ReadRepairsOutOfRangeValuesAndKeepsTheLimits) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), infinite = std::numeric_limits<float>::infinity();
  const std::tuple<const char*, SettingsBlock, SettingsBlock> cases[] = {  // what, stored, read
      {"colour 7", {.colourMode = 7}, {.colourMode = 0}}, {"colour 3", {.colourMode = 3}, {.colourMode = 3}},
      {"volume 2.0", {.playbackVolume = 2.0f}, {}}, {"volume NaN", {.playbackVolume = nan}, {}},
      {"volume infinite", {.playbackVolume = infinite}, {}}, {"volume 0", {.playbackVolume = 0.0f}, {}},
      {"volume 0.015", {.playbackVolume = 0.015f}, {}}, {"volume -1", {.playbackVolume = -1.0f}, {}},
      {"volume 1/64", {.playbackVolume = 1.0f / 64.0f}, {.playbackVolume = 1.0f / 64.0f}},
      {"backlight 5", {.backlight = 5}, {.backlight = 1}}, {"full screen 3", {.fullScreen = 3}, {.fullScreen = 0}},
  };
  std::filesystem::create_directories(folder / "system");
  for (const auto& [what, stored, read] : cases) {
    WriteAllBytes(FilePath(), EncodeSettingsFile(stored, UserPathList{}));
    ReadSettings(app);
    EXPECT_EQ(BlockBytes(app.settings), BlockBytes(read)) << what;
  }
}

TEST(SettingsFile, ShortFileKeepsUnreadFieldsEndsThePathListAndLongPathsAreCut) {
  std::vector<uint8_t> image = EncodeSettingsFile(OddSettings(), UserPathList{"/zero/", "/one/", "/two/"});
  // {what, bytes read, {volume, full screen, colour mode}, paths 0, 1, 2 and 5}
  const std::tuple<const char*, size_t, std::tuple<float, uint16_t, uint16_t>, std::vector<std::string>> cases[] = {
      // Only the volume and the full-screen flag are read; the first path is cleared.
      {"cut inside the block", 6, {0.25f, 1, 2}, {"", "/previous/", "/previous/", "/kept/"}},
      // Records 0 and 1 are read, 2 is cleared, 3.. untouched.
      {"cut inside record 2", 1024 + 2 * 2048 + 100, {0.25f, 1, 3}, {"/zero/", "/one/", "", "/kept/"}},
      {"empty", 0, {1.0f, 0, 2}, {"", "/previous/", "/previous/", "/kept/"}},
  };
  for (const auto& [what, length, values, kept] : cases) {
    SettingsBlock block{.colourMode = 2};  // the values before the read
    UserPathList paths = {"/previous/", "/previous/", "/previous/", "", "", "/kept/"};
    DecodeSettingsFile(std::vector<uint8_t>(image.begin(), image.begin() + length), block, paths);
    EXPECT_EQ(std::tuple(block.playbackVolume, block.fullScreen, block.colourMode), values) << what;
    EXPECT_EQ((std::vector<std::string>{paths[0], paths[1], paths[2], paths[5]}), kept) << what;
  }
  // A path record without a terminator is cut at 349 characters.
  std::memset(&image[1024 + 4 * 2048], 'a', 2048);
  SettingsBlock block;
  UserPathList paths;
  DecodeSettingsFile(image, block, paths);
  EXPECT_EQ(paths[4], std::string(349, 'a'));
}

}  // namespace
