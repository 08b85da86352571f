#include "core/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "core/byte_order.h"
#include "support/temp_folder.h"

namespace {

SettingsBlock OddSettings() {
  SettingsBlock block;
  block.playbackVolume = 0.25f;
  block.fullScreen = 1;
  block.colourMode = 3;
  block.windowX = -120;
  block.windowY = 345;
  block.updateInstalled = 1;
  block.updateAvailable = 1;
  block.updateTimeStamp = 3117;
  block.backlight = 0;
  block.playbackDeviceIndex = 2;
  block.shortcuts = 0;
  block.prelistenOn = 0;
  block.noUpdateLookup = 1;
  block.noForceLoop = 1;
  block.blofeldDeviceId = 127;
  block.blofeldSlot = 81;
  block.screenSaverOn = 0;
  return block;
}

TEST(SettingsFile, ImageHasTheExactLayout) {
  UserPathList paths;
  paths[2] = "/home/user/My Sounds/";
  paths[18] = "/x/";
  const std::vector<uint8_t> image = EncodeSettingsFile(OddSettings(), paths);
  ASSERT_EQ(image.size(), 39936u);

  // volume 0.25f, full screen 1, colour mode 3, window -120 / 345, update installed and available,
  // time stamp 3,117, backlight 0, device 2, shortcuts, prelisten, no lookup, no force loop,
  // Blofeld device 127 and slot 81, screen saver off.
  const std::vector<uint8_t> block = {0, 0, 0x80, 0x3E, 1, 0, 3, 0, 0x88, 0xFF, 0x59, 0x01, 1, 1, 0, 0, 0x2D, 0x0C, 0, 0,
                                      0, 0, 2, 0, 0, 0, 1, 1, 127, 0, 0, 0, 81, 0, 0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 37), block);
  for (size_t i = 37; i < 1024; ++i) ASSERT_EQ(image[i], 0) << "byte " << i;

  const size_t record2 = 1024 + 2 * 2048;
  EXPECT_EQ(std::memcmp(&image[record2], paths[2].data(), paths[2].size()), 0);
  for (size_t i = record2 + paths[2].size(); i < record2 + 2048; ++i) ASSERT_EQ(image[i], 0) << "byte " << i;
  EXPECT_EQ(std::memcmp(&image[1024 + 18 * 2048], "/x/", 3), 0);
  for (size_t i = 1024; i < 1024 + 2048; ++i) ASSERT_EQ(image[i], 0) << "empty record 0, byte " << i;
}

TEST(SettingsFile, RoundTripsByteForByteOnDisk) {
  TempFolder folder;
  AppGlobals app;
  app.installDir = folder.path;
  app.settings = OddSettings();
  app.folderUserPath[2] = "/home/user/sounds/";
  app.folderUserPath[13] = "/media/usb/";
  ASSERT_TRUE(WriteSettings(app));
  const std::string path = folder / "system/sonicloom_system.dat";
  const std::vector<uint8_t> written = ReadAllBytes(path);
  ASSERT_EQ(written.size(), 39936u);

  AppGlobals reread;
  reread.installDir = folder.path;
  EXPECT_FALSE(ReadSettings(reread));  // screen saver was off
  EXPECT_EQ(reread.folderUserPath[2], "/home/user/sounds/");
  EXPECT_EQ(reread.folderUserPath[13], "/media/usb/");
  EXPECT_EQ(reread.settings.windowX, -120);
  EXPECT_EQ(reread.settings.blofeldSlot, 81u);
  ASSERT_TRUE(WriteSettings(reread));
  EXPECT_EQ(ReadAllBytes(path), written);
  // Nothing else is left in the folder: the temporary file was renamed.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "system"),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(SettingsFile, MissingFileGivesDefaultsAndCreatesTheSystemFolder) {
  TempFolder folder;
  AppGlobals app;
  app.installDir = folder.path;
  app.settings = OddSettings();
  app.folderUserPath[3] = "/stale/";
  EXPECT_TRUE(ReadSettings(app));
  EXPECT_EQ(app.settings.colourMode, 0);
  EXPECT_EQ(app.settings.playbackVolume, 1.0f);
  EXPECT_TRUE(app.folderUserPath[3].empty());
  EXPECT_TRUE(std::filesystem::is_directory(folder / "system"));
}

TEST(SettingsFile, ReadRepairsOutOfRangeValuesAndKeepsTheLimits) {
  TempFolder folder;
  AppGlobals app;
  app.installDir = folder.path;
  SettingsBlock bad;
  bad.colourMode = 7;
  bad.playbackVolume = 2.0f;
  bad.backlight = 5;
  bad.fullScreen = 3;
  std::filesystem::create_directories(folder / "system");
  WriteAllBytes(folder / "system/sonicloom_system.dat", EncodeSettingsFile(bad, UserPathList{}));
  ReadSettings(app);
  EXPECT_EQ(app.settings.colourMode, 0);
  EXPECT_EQ(app.settings.playbackVolume, 1.0f);
  EXPECT_EQ(app.settings.backlight, 1);
  EXPECT_EQ(app.settings.fullScreen, 0);

  SettingsBlock block;
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.015f, -1.0f,
                    std::numeric_limits<float>::infinity()}) {
    block.playbackVolume = bad;
    RepairSettings(block);
    EXPECT_EQ(block.playbackVolume, 1.0f) << bad;
  }
  // The limits themselves are kept.
  block.playbackVolume = 1.0f / 64.0f;
  block.colourMode = 3;
  RepairSettings(block);
  EXPECT_EQ(block.playbackVolume, 1.0f / 64.0f);
  EXPECT_EQ(block.colourMode, 3);
}

TEST(SettingsFile, ShortFileKeepsUnreadFieldsAndEndsThePathList) {
  UserPathList stored;
  stored[0] = "/zero/";
  stored[1] = "/one/";
  stored[2] = "/two/";
  std::vector<uint8_t> image = EncodeSettingsFile(OddSettings(), stored);

  // Cut inside the block: only the volume and the full-screen flag survive.
  std::vector<uint8_t> cut(image.begin(), image.begin() + 6);
  SettingsBlock block;  // the values before the read
  UserPathList paths;
  paths[0] = "/previous/";
  DecodeSettingsFile(cut, block, paths);
  EXPECT_EQ(block.playbackVolume, 0.25f);
  EXPECT_EQ(block.fullScreen, 1);
  EXPECT_EQ(block.colourMode, 0);
  EXPECT_EQ(block.backlight, 1);
  EXPECT_TRUE(paths[0].empty());

  // Cut inside record 2: records 0 and 1 are read, 2 is cleared, 3.. untouched.
  cut.assign(image.begin(), image.begin() + 1024 + 2 * 2048 + 100);
  paths = UserPathList{};
  paths[2] = "/previous/";
  paths[5] = "/kept/";
  DecodeSettingsFile(cut, block, paths);
  EXPECT_EQ(paths[0], "/zero/");
  EXPECT_EQ(paths[1], "/one/");
  EXPECT_TRUE(paths[2].empty());
  EXPECT_EQ(paths[5], "/kept/");

  // An empty file changes nothing but clears the first path.
  SettingsBlock untouched = OddSettings();
  DecodeSettingsFile({}, untouched, paths);
  EXPECT_EQ(untouched.colourMode, 3);
}

TEST(SettingsFile, PathRecordWithoutTerminatorIsCutAt349Characters) {
  std::vector<uint8_t> image = EncodeSettingsFile(SettingsBlock{}, UserPathList{});
  std::memset(&image[1024 + 4 * 2048], 'a', 2048);
  SettingsBlock block;
  UserPathList paths;
  DecodeSettingsFile(image, block, paths);
  EXPECT_EQ(paths[4].size(), 349u);
  EXPECT_EQ(paths[4], std::string(349, 'a'));
}

}  // namespace
