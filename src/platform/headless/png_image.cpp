// A small PNG writer for looking at test canvases: 8-bit RGB, stored
// (uncompressed) deflate blocks, so it needs no compression library.
#include <array>
#include <cstdio>

#include "platform/headless/headless_platform.h"

namespace {

std::array<uint32_t, 256> CrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

uint32_t Crc(const std::vector<uint8_t>& bytes) {
  static const std::array<uint32_t, 256> table = CrcTable();
  uint32_t c = 0xFFFFFFFFu;
  for (uint8_t byte : bytes) c = table[(c ^ byte) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void PutU32BE(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 24));
  out.push_back(static_cast<uint8_t>(value >> 16));
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutU32BE(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutU32BE(out, Crc(typed));
}

std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t offset = 0;
  do {
    const size_t length = std::min<size_t>(raw.size() - offset, 65535);
    const bool last = offset + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(length));
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(~length));
    out.push_back(static_cast<uint8_t>(~length >> 8));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
               raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
    offset += length;
  } while (offset < raw.size());
  uint32_t a = 1;
  uint32_t b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutU32BE(out, (b << 16) | a);
  return out;
}

}  // namespace

bool WritePngImage(const std::string& path, int width, int height, const std::vector<Colour>& pixels) {
  if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return false;
  }
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width; ++x) {
      const Colour colour = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      raw.push_back(static_cast<uint8_t>(RedOf(colour)));
      raw.push_back(static_cast<uint8_t>(GreenOf(colour)));
      raw.push_back(static_cast<uint8_t>(BlueOf(colour)));
    }
  }
  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutU32BE(header, static_cast<uint32_t>(width));
  PutU32BE(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", StoredZlib(raw));
  PutChunk(file, "IEND", {});
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}
