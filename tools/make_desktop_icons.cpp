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

#include "ui/window_icon.h"

namespace {

constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int kDefaultColourMode = 0;
constexpr const char* kIconName = "sonic-loom.png";
constexpr size_t kStoredBlockMax = 65535;

std::array<uint32_t, 256> CrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

void PutU32BE(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& png, const char* tag, const std::vector<uint8_t>& data) {
  static const std::array<uint32_t, 256> table = CrcTable();
  PutU32BE(png, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> body(tag, tag + 4);
  body.insert(body.end(), data.begin(), data.end());
  uint32_t crc = 0xFFFFFFFFu;
  for (const uint8_t byte : body) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  png.insert(png.end(), body.begin(), body.end());
  PutU32BE(png, crc ^ 0xFFFFFFFFu);
}

// 8-bit RGBA, the image data in stored (uncompressed) deflate blocks.
std::vector<uint8_t> EncodePng(const IconImage& icon) {
  std::vector<uint8_t> raw;
  for (int y = 0; y < icon.size; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < icon.size; ++x) {
      const uint32_t argb = icon.pixels[static_cast<size_t>(y * icon.size + x)];
      for (const int shift : {16, 8, 0, 24}) raw.push_back(static_cast<uint8_t>(argb >> shift));
    }
  }
  std::vector<uint8_t> zlib = {0x78, 0x01};
  for (size_t at = 0; at < raw.size() || at == 0; at += kStoredBlockMax) {
    const size_t length = std::min(kStoredBlockMax, raw.size() - at);
    zlib.push_back(at + length >= raw.size() ? 1 : 0);
    zlib.push_back(static_cast<uint8_t>(length));
    zlib.push_back(static_cast<uint8_t>(length >> 8));
    zlib.push_back(static_cast<uint8_t>(~length));
    zlib.push_back(static_cast<uint8_t>(~length >> 8));
    zlib.insert(zlib.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + length));
  }
  uint32_t a = 1, b = 0;
  for (const uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutU32BE(zlib, (b << 16) | a);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutU32BE(header, static_cast<uint32_t>(icon.size));
  PutU32BE(header, static_cast<uint32_t>(icon.size));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", zlib);
  PutChunk(png, "IEND", {});
  return png;
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
    const std::vector<uint8_t> png = EncodePng(MakeWindowIcon(kDefaultColourMode, size));
    std::FILE* file = std::fopen((folder / kIconName).c_str(), "wb");
    if (!file || std::fwrite(png.data(), 1, png.size(), file) != png.size() || std::fclose(file) != 0) {
      std::fprintf(stderr, "make_desktop_icons: cannot write %s\n", (folder / kIconName).c_str());
      return 1;
    }
  }
  return 0;
}
