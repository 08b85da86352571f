// Build-time tool: writes the program's icon (the drawing the window uses,
// in the default colour mode) as PNG files for the desktop's hicolor icon
// theme: OUT/SIZExSIZE/apps/sonic-loom.png for each size.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/png_encoding.h"
#include "ui/window_icon.h"

namespace {

constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int kDefaultColourMode = 0;
constexpr const char* kIconName = "sonic-loom.png";

// 8-bit RGBA rows of the icon's ARGB pixels.
std::vector<uint8_t> EncodeIcon(const IconImage& icon) {
  std::vector<uint8_t> rgba;
  rgba.reserve(icon.pixels.size() * 4);
  for (const uint32_t argb : icon.pixels) {
    for (const int shift : {16, 8, 0, 24}) rgba.push_back(static_cast<uint8_t>(argb >> shift));
  }
  return EncodePng(icon.size, icon.size, true, rgba);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_desktop_icons OUTDIR\n");
    return 2;
  }
  for (const int size : kIconSizes) {
    const std::string size_text = std::to_string(size);
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / (size_text + "x" + size_text) / "apps";
    std::filesystem::create_directories(folder);
    const std::vector<uint8_t> png = EncodeIcon(MakeWindowIcon(kDefaultColourMode, size));
    std::FILE* file = std::fopen((folder / kIconName).c_str(), "wb");
    if (!file || std::fwrite(png.data(), 1, png.size(), file) != png.size() || std::fclose(file) != 0) {
      std::fprintf(stderr, "make_desktop_icons: cannot write %s\n", (folder / kIconName).c_str());
      return 1;
    }
  }
  return 0;
}
