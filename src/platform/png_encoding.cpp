#include "platform/png_encoding.h"

#include <algorithm>
#include <array>

namespace {

constexpr size_t kStoredBlockMax = 65535;
constexpr uint32_t kAdlerModulus = 65521;

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

std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> zlib = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t length = std::min(kStoredBlockMax, raw.size() - at);
    zlib.push_back(at + length == raw.size() ? 1 : 0);
    zlib.push_back(static_cast<uint8_t>(length));
    zlib.push_back(static_cast<uint8_t>(length >> 8));
    zlib.push_back(static_cast<uint8_t>(~length));
    zlib.push_back(static_cast<uint8_t>(~length >> 8));
    zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < raw.size());
  uint32_t a = 1;
  uint32_t b = 0;
  for (const uint8_t byte : raw) {
    a = (a + byte) % kAdlerModulus;
    b = (b + a) % kAdlerModulus;
  }
  PutU32BE(zlib, (b << 16) | a);
  return zlib;
}

}  // namespace

std::vector<uint8_t> EncodePng(int width, int height, bool alpha, std::span<const uint8_t> pixels) {
  const size_t rowBytes = static_cast<size_t>(width) * (alpha ? 4 : 3);
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(height) * (rowBytes + 1));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    const auto row = pixels.subspan(static_cast<size_t>(y) * rowBytes, rowBytes);
    raw.insert(raw.end(), row.begin(), row.end());
  }
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutU32BE(header, static_cast<uint32_t>(width));
  PutU32BE(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, static_cast<uint8_t>(alpha ? 6 : 2), 0, 0, 0});  // 8 bits, RGBA or RGB
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", StoredZlib(raw));
  PutChunk(png, "IEND", {});
  return png;
}
