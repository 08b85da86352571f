#include "files/folder_table.h"

#include <cctype>

const std::array<FolderSlot, kCategoryCount> kFolderTable = {{
    {"00 Currently Unrecognized Files", ""},
    {"01 Samples (WAV)", ".WAV"},
    {"02 Single Cycles (WAV)", ".WAV"},
    {"03 VORTA - Wavetables (Audio, WAV)", ".WAV"},
    {"04 VORTA - Wavetables (Komplexer, WT)", ".WT"},
    {"05 VORTA - Wavetables (Blofeld, SYX)", ".SYX"},
    {"06 VORTA - Wavetables (EPS16+, ASR10, EFE)", ".EFE"},
    {"07 VORTA - Wavetables (Surge, WT)", ".WT"},
    {"08 VORTA - Wavetables (WaveGenerator, WTS)", ".WTS"},
    {"09 VORTA - Wavetables (Dune2, WT)", ".WT"},
    {"10 VORTA - Wavetables (Serum, WAV)", ".WAV"},
    {"", ""},
    {"", ""},
    {"13 XFORM - Wavetables (Audio, WAV)", ".WAV"},
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
}};

namespace {

constexpr size_t kMaxExtensionChars = 5;  // the dot and four characters

}  // namespace

int CategoryByExtension(const std::string& fileName) {
  const size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || dot == 0) return kCategoryUnrecognized;
  std::string extension = fileName.substr(dot, kMaxExtensionChars);
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (int category = 1; category < kCategoryCount; ++category) {
    if (IsCategoryInUse(category) && extension == kFolderTable[category].extension) return category;
  }
  return kCategoryUnrecognized;
}
