// Build-time converter: reads a PC screen font (PSF1 or PSF2, 8 pixels wide,
// 16 rows, with its Unicode table) and writes the program's 8 x 16 bitmap
// font for the character codes 0..255 (Latin-1) as a C++ source file.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 16;
constexpr int kCodes = 256;

struct Font {
  uint32_t glyphCount = 0;
  uint32_t bytesPerGlyph = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  size_t glyphOffset = 0;
  std::map<uint32_t, uint32_t> glyphOfCodePoint;
};

uint32_t U32(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

// PSF1 table: per glyph, 16-bit code points up to 0xFFFF (0xFFFE starts
// sequences, which are skipped).
void ReadPsf1Table(const std::vector<uint8_t>& bytes, size_t offset, Font& font) {
  for (uint32_t glyph = 0; glyph < font.glyphCount && offset + 1 < bytes.size(); ++glyph) {
    bool inSequence = false;
    while (offset + 1 < bytes.size()) {
      const uint32_t value = bytes[offset] | bytes[offset + 1] << 8;
      offset += 2;
      if (value == 0xFFFF) break;
      if (value == 0xFFFE) inSequence = true;
      if (!inSequence) font.glyphOfCodePoint.emplace(value, glyph);
    }
  }
}

// PSF2 table: per glyph, UTF-8 code points up to 0xFF (0xFE starts sequences).
void ReadPsf2Table(const std::vector<uint8_t>& bytes, size_t offset, Font& font) {
  for (uint32_t glyph = 0; glyph < font.glyphCount && offset < bytes.size(); ++glyph) {
    bool inSequence = false;
    while (offset < bytes.size()) {
      const uint8_t lead = bytes[offset];
      if (lead == 0xFF) {
        ++offset;
        break;
      }
      if (lead == 0xFE) {
        inSequence = true;
        ++offset;
        continue;
      }
      uint32_t value = lead;
      size_t length = 1;
      if (lead >= 0xF0) {
        value = lead & 0x07;
        length = 4;
      } else if (lead >= 0xE0) {
        value = lead & 0x0F;
        length = 3;
      } else if (lead >= 0xC0) {
        value = lead & 0x1F;
        length = 2;
      }
      for (size_t i = 1; i < length && offset + i < bytes.size(); ++i) value = value << 6 | (bytes[offset + i] & 0x3F);
      offset += length;
      if (!inSequence) font.glyphOfCodePoint.emplace(value, glyph);
    }
  }
}

bool ParseFont(const std::vector<uint8_t>& bytes, Font& font) {
  if (bytes.size() >= 4 && bytes[0] == 0x36 && bytes[1] == 0x04) {
    const uint8_t mode = bytes[2];
    font.glyphCount = (mode & 1) ? 512 : 256;
    font.bytesPerGlyph = bytes[3];
    font.width = 8;
    font.height = bytes[3];
    font.glyphOffset = 4;
    const size_t tableOffset = font.glyphOffset + static_cast<size_t>(font.glyphCount) * font.bytesPerGlyph;
    if (tableOffset > bytes.size()) return false;
    if (mode & 2) ReadPsf1Table(bytes, tableOffset, font);
    return true;
  }
  if (bytes.size() >= 32 && U32(bytes, 0) == 0x864AB572u) {
    const uint32_t headerSize = U32(bytes, 8);
    const uint32_t flags = U32(bytes, 12);
    font.glyphCount = U32(bytes, 16);
    font.bytesPerGlyph = U32(bytes, 20);
    font.height = U32(bytes, 24);
    font.width = U32(bytes, 28);
    font.glyphOffset = headerSize;
    const size_t tableOffset = font.glyphOffset + static_cast<size_t>(font.glyphCount) * font.bytesPerGlyph;
    if (tableOffset > bytes.size()) return false;
    if (flags & 1) ReadPsf2Table(bytes, tableOffset, font);
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_console_font <font.psf> <output.cpp>\n");
    return 1;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Font font;
  if (!ParseFont(bytes, font)) {
    std::fprintf(stderr, "make_console_font: %s is not a PC screen font\n", argv[1]);
    return 1;
  }
  if (font.width != 8 || font.height != kRows || font.bytesPerGlyph != kRows) {
    std::fprintf(stderr, "make_console_font: %s is %ux%u, an 8 x 16 font is needed\n", argv[1], font.width,
                 font.height);
    return 1;
  }
  std::array<std::array<uint8_t, kRows>, kCodes> glyphs{};
  int found = 0;
  for (int code = 32; code < kCodes; ++code) {
    if (code >= 127 && code < 160) continue;  // control codes stay blank
    uint32_t glyph = static_cast<uint32_t>(code);  // fonts without a table use code order
    if (!font.glyphOfCodePoint.empty()) {
      const auto it = font.glyphOfCodePoint.find(static_cast<uint32_t>(code));
      if (it == font.glyphOfCodePoint.end()) continue;
      glyph = it->second;
    }
    if (glyph >= font.glyphCount) continue;
    const size_t offset = font.glyphOffset + static_cast<size_t>(glyph) * font.bytesPerGlyph;
    for (int row = 0; row < kRows; ++row) glyphs[code][row] = bytes[offset + row];
    ++found;
  }
  if (found < 95) {
    std::fprintf(stderr, "make_console_font: %s lacks printable ASCII glyphs\n", argv[1]);
    return 1;
  }
  std::FILE* out = std::fopen(argv[2], "w");
  if (!out) return 1;
  std::fprintf(out, "// Generated at build time from %s. Do not edit.\n", argv[1]);
  std::fprintf(out, "#include \"ui/console_font.h\"\n\n");
  std::fprintf(out, "const uint8_t kConsoleFontGlyphs[%d][%d] = {\n", kCodes, kRows);
  for (int code = 0; code < kCodes; ++code) {
    std::fprintf(out, "    {");
    for (int row = 0; row < kRows; ++row) std::fprintf(out, "0x%02X%s", glyphs[code][row], row + 1 < kRows ? ", " : "");
    std::fprintf(out, "},\n");
  }
  std::fprintf(out, "};\n");
  return std::fclose(out) == 0 ? 0 : 1;
}
