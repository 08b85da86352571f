#pragma once
#include <cstdint>
#include <span>
#include <vector>

// A small PNG encoder for the test canvases and the desktop icons: 8-bit
// RGB or RGBA, the image data in stored (uncompressed) deflate blocks, so it
// needs no compression library. `pixels` holds the rows one after another,
// 3 (RGB) or 4 (RGBA) bytes a pixel, without filter bytes.
std::vector<uint8_t> EncodePng(int width, int height, bool alpha, std::span<const uint8_t> pixels);
