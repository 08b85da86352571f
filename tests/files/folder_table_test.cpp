#include "files/folder_table.h"

#include <gtest/gtest.h>

namespace {

TEST(FolderTable, SlotsInUseAndExtensions) {
  for (int category = -1; category <= kCategoryCount; ++category) {
    const bool unused = category < 0 || category == 11 || category == 12 || category >= 14;
    EXPECT_EQ(IsCategoryInUse(category), !unused) << category;
  }
  const std::pair<const char*, int> names[] = {
      {"kick.wav", 1}, {"KICK.WAV", 1}, {"a.b.Wav", 1},
      {"pad.wt", 4},  // first of the ".WT" slots
      {"dump.syx", 5}, {"x.efe", 6}, {"x.WTS", 8},
      {"x.wave", 0},  // four letters after the dot
      {"x.wavfile", 0}, {"README", 0},
      {".wav", 0},  // only dot is the first character
      {"x.", 0}, {"x.wav.txt", 0}, {"", 0},
  };
  for (const auto& [name, category] : names) EXPECT_EQ(CategoryByExtension(name), category) << name;
}

}  // namespace
