// Test canvases saved as PNG files, to be looked at.
#include <cstdio>

#include "platform/headless/headless_platform.h"
#include "platform/png_encoding.h"

bool WritePngImage(const std::string& path, int width, int height, const std::vector<Colour>& pixels) {
  if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return false;
  }
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint8_t> rgb;
  rgb.reserve(count * 3);
  for (size_t i = 0; i < count; ++i) {
    rgb.push_back(static_cast<uint8_t>(RedOf(pixels[i])));
    rgb.push_back(static_cast<uint8_t>(GreenOf(pixels[i])));
    rgb.push_back(static_cast<uint8_t>(BlueOf(pixels[i])));
  }
  const std::vector<uint8_t> file = EncodePng(width, height, false, rgb);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}
