#pragma once
#include <array>
#include <string>

#include "core/app_globals.h"

// Category numbers are the slots of the folder table.
enum Category : int {
  kCategoryInstallDir = -2,  // the program folder itself
  kCategoryDataRoot = -1,    // the default root "data"
  kCategoryUnrecognized = 0, // also the recycle bin
  kCategorySample = 1,
  kCategorySingleCycle = 2,
  kCategoryVortaWav = 3,
  kCategoryKomplexer = 4,
  kCategoryBlofeld = 5,
  kCategoryEfe = 6,
  kCategorySurge = 7,
  kCategoryWaveGenerator = 8,
  kCategoryDune2 = 9,
  kCategorySerum = 10,
  kCategoryXformWav = 13,
};

struct FolderSlot {
  const char* folderName;  // empty = free slot
  const char* extension;   // dot included, empty = none
};

extern const std::array<FolderSlot, kCategoryCount> kFolderTable;

inline bool IsCategoryInUse(int category) {
  return category >= 0 && category < kCategoryCount && kFolderTable[category].folderName[0] != '\0';
}

// The category whose extension the name carries (first match from slot 1),
// or 0: no dot, a dot at the first position, or no match.
int CategoryByExtension(const std::string& fileName);
