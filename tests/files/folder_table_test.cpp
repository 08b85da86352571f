#include "files/folder_table.h"

#include <gtest/gtest.h>

namespace {

TEST(FolderTable, SlotsAndExtensions) {
  EXPECT_STREQ(kFolderTable[0].folderName, "00 Currently Unrecognized Files");
  EXPECT_STREQ(kFolderTable[2].folderName, "02 Single Cycles (WAV)");
  EXPECT_STREQ(kFolderTable[6].folderName, "06 VORTA - Wavetables (EPS16+, ASR10, EFE)");
  EXPECT_STREQ(kFolderTable[13].folderName, "13 XFORM - Wavetables (Audio, WAV)");
  int used = 0;
  for (int category = 0; category < kCategoryCount; ++category) used += IsCategoryInUse(category);
  EXPECT_EQ(used, 12);
  EXPECT_FALSE(IsCategoryInUse(11));
  EXPECT_FALSE(IsCategoryInUse(12));
  EXPECT_FALSE(IsCategoryInUse(14));
  EXPECT_FALSE(IsCategoryInUse(19));
  EXPECT_FALSE(IsCategoryInUse(-1));
}

TEST(FolderTable, ExtensionLookup) {
  EXPECT_EQ(CategoryByExtension("kick.wav"), 1);
  EXPECT_EQ(CategoryByExtension("KICK.WAV"), 1);
  EXPECT_EQ(CategoryByExtension("a.b.Wav"), 1);
  EXPECT_EQ(CategoryByExtension("pad.wt"), 4);  // first of the ".WT" slots
  EXPECT_EQ(CategoryByExtension("dump.syx"), 5);
  EXPECT_EQ(CategoryByExtension("x.efe"), 6);
  EXPECT_EQ(CategoryByExtension("x.WTS"), 8);
  EXPECT_EQ(CategoryByExtension("x.wave"), 0);   // four letters after the dot
  EXPECT_EQ(CategoryByExtension("x.wavfile"), 0);
  EXPECT_EQ(CategoryByExtension("README"), 0);   // no dot
  EXPECT_EQ(CategoryByExtension(".wav"), 0);     // only dot is the first character
  EXPECT_EQ(CategoryByExtension("x."), 0);
  EXPECT_EQ(CategoryByExtension("x.wav.txt"), 0);
  EXPECT_EQ(CategoryByExtension(""), 0);
}

}  // namespace
