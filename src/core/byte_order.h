#pragma once
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

// Little-endian fields read and written one by one, so that no layout
// depends on struct padding or on the host's byte order.

inline uint16_t ReadU16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ReadU32LE(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline int16_t ReadI16LE(const uint8_t* p) { return static_cast<int16_t>(ReadU16LE(p)); }
inline int32_t ReadI32LE(const uint8_t* p) { return static_cast<int32_t>(ReadU32LE(p)); }
inline float ReadF32LE(const uint8_t* p) {
  const uint32_t bits = ReadU32LE(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline uint16_t ReadU16BE(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t ReadU32BE(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

inline void WriteU16LE(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void WriteU32LE(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void WriteI16LE(uint8_t* p, int16_t v) { WriteU16LE(p, static_cast<uint16_t>(v)); }
inline void WriteI32LE(uint8_t* p, int32_t v) { WriteU32LE(p, static_cast<uint32_t>(v)); }
inline void WriteF32LE(uint8_t* p, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  WriteU32LE(p, bits);
}
inline void WriteU16BE(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline void WriteU32BE(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// Appending forms for building a file image front to back.
inline void AppendBytes(std::vector<uint8_t>& out, const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  out.insert(out.end(), bytes, bytes + size);
}
inline void AppendU16LE(std::vector<uint8_t>& out, uint16_t v) {
  uint8_t b[2];
  WriteU16LE(b, v);
  AppendBytes(out, b, 2);
}
inline void AppendU32LE(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t b[4];
  WriteU32LE(b, v);
  AppendBytes(out, b, 4);
}
inline void AppendF32LE(std::vector<uint8_t>& out, float v) {
  uint8_t b[4];
  WriteF32LE(b, v);
  AppendBytes(out, b, 4);
}
